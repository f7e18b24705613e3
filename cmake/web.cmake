# The page: both programs compiled to WebAssembly with emscripten (the web
# preset) and put with the page's HTML, CSS and JavaScript into one
# self-contained file, arrasto-VERSION.html. And, for the native build with
# ARRASTO_MUSL_MATH, arrasto and arrasto-grafico linked with musl's math
# functions, the ones the WebAssembly build has, so that the two can be
# compared byte for byte.

if(EMSCRIPTEN)
  # Exceptions as WebAssembly's own (the runtime's errors are exceptions),
  # and what emscripten's C++ library lacks (src/runtime/library_gaps.hpp). No threads: a page opened from the disk cannot share
  # memory with a worker, and the result files are written on the sweep's
  # own thread when no writer thread can be started.
  target_compile_options(arrasto_flags INTERFACE -fwasm-exceptions
    "SHELL:-include ${PROJECT_SOURCE_DIR}/src/runtime/library_gaps.hpp")
  target_link_options(arrasto_flags INTERFACE -fwasm-exceptions)
  set_target_properties(arrasto arrasto-grafico PROPERTIES EXCLUDE_FROM_ALL ON)
  # Link-time optimisation as in the native Release build, in its full form:
  # emscripten's prebuilt libraries are there for that one, not for thin LTO.
  target_compile_options(arrasto_flags INTERFACE $<$<CONFIG:Release>:-flto>)
  target_link_options(arrasto_flags INTERFACE $<$<CONFIG:Release>:-flto>)

  # One module holds both programs: their main functions under other names.
  set(web_mains ${PROJECT_SOURCE_DIR}/src/driver/main.cpp ${PROJECT_SOURCE_DIR}/src/grafico/main.cpp)
  add_executable(arrasto_web ${PROJECT_SOURCE_DIR}/src/web/web_module.cpp ${web_mains})
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/driver/main.cpp PROPERTIES
    COMPILE_DEFINITIONS "main=arrasto_main")
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/grafico/main.cpp PROPERTIES
    COMPILE_DEFINITIONS "main=grafico_main")
  target_link_libraries(arrasto_web PRIVATE arrasto_core grafico_core)
  # The number reading and writing that stand in for the library's, against
  # musl's strtod, under node.
  add_executable(web_number_text_check ${PROJECT_SOURCE_DIR}/web/tests/number_text_check.cpp)
  target_link_libraries(web_number_text_check PRIVATE arrasto_runtime)
  target_link_options(web_number_text_check PRIVATE -sSINGLE_FILE=1)
  # Emscripten's linker runs a node script that needs the acorn package,
  # which Debian installs where only Debian's own node looks (a node from
  # elsewhere is told where).
  execute_process(COMMAND node -e "require('acorn')" RESULT_VARIABLE web_no_acorn
                  OUTPUT_QUIET ERROR_QUIET)
  if(web_no_acorn AND EXISTS /usr/share/nodejs/acorn)
    set_target_properties(arrasto_web web_number_text_check PROPERTIES
      CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
  endif()
  set(web_exports _web_arrasto _web_grafico _web_read_data _web_name_text _web_curve_csv)
  list(JOIN web_exports "," web_exports)
  target_link_options(arrasto_web PRIVATE --no-entry -sMODULARIZE=1 -sEXPORT_NAME=createArrasto
    -sENVIRONMENT=web,worker,node -sALLOW_MEMORY_GROWTH=1 -sFILESYSTEM=0
    -sEXPORTED_FUNCTIONS=${web_exports} -sEXPORTED_RUNTIME_METHODS=ccall,ENV)

  # The page, one file: the module and its bytes, the HTML, CSS and
  # JavaScript of web/, the dimension drawing, the example, the catalogue.
  set(web_page ${CMAKE_BINARY_DIR}/arrasto-${PROJECT_VERSION}.html)
  file(GLOB web_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*.html
       ${PROJECT_SOURCE_DIR}/web/*.css ${PROJECT_SOURCE_DIR}/web/*.js ${PROJECT_SOURCE_DIR}/web/po/*.po)
  add_custom_command(OUTPUT ${web_page}
    COMMAND node ${PROJECT_SOURCE_DIR}/web/build_page.mjs ${PROJECT_SOURCE_DIR}
            $<TARGET_FILE_DIR:arrasto_web>/arrasto_web.js ${PROJECT_VERSION} ${web_page}
    DEPENDS arrasto_web ${web_sources} ${PROJECT_SOURCE_DIR}/web/build_page.mjs
            ${PROJECT_SOURCE_DIR}/docs/dimensoes.svg ${PROJECT_SOURCE_DIR}/example/dados.txt
    COMMENT "Putting the page together: ${web_page}"
    VERBATIM)
  add_custom_target(arrasto_page ALL DEPENDS ${web_page})

  # The module's own tests, under node.
  enable_testing()
  add_test(NAME web_module COMMAND node --test ${PROJECT_SOURCE_DIR}/web/tests/module.test.mjs)
  set_tests_properties(web_module PROPERTIES ENVIRONMENT "ARRASTO_WEB_BUILD=${CMAKE_BINARY_DIR}")
  add_test(NAME web_number_text COMMAND node $<TARGET_FILE:web_number_text_check>)
elseif(ARRASTO_MUSL_MATH)
  # musl's pow, log10, sin, cos, atan, asin, sqrt and cbrt with what they
  # call, taken from Debian's musl-dev; the C library's own stack check and
  # memcpy stay.
  set(musl_libc /usr/lib/x86_64-linux-musl/libc.a)
  set(musl_members __cos.lo __math_invalid.lo __math_oflow.lo __math_uflow.lo __math_xflow.lo
      __rem_pio2.lo __rem_pio2_large.lo __sin.lo asin.lo atan.lo cbrt.lo cos.lo exp_data.lo
      fabs.lo floor.lo log10.lo pow.lo pow_data.lo scalbn.lo sin.lo sincos.lo sqrt.lo)
  set(musl_dir ${CMAKE_BINARY_DIR}/musl_math)
  file(MAKE_DIRECTORY ${musl_dir})
  add_custom_command(OUTPUT ${musl_dir}/libmusl_math.a
    COMMAND ${CMAKE_AR} x ${musl_libc} ${musl_members}
    COMMAND ${CMAKE_AR} rcs libmusl_math.a ${musl_members}
    WORKING_DIRECTORY ${musl_dir}
    DEPENDS ${musl_libc}
    COMMENT "musl's math functions from ${musl_libc}"
    VERBATIM)
  add_custom_target(musl_math DEPENDS ${musl_dir}/libmusl_math.a)
  foreach(program arrasto arrasto-grafico)
    add_dependencies(${program} musl_math)
    target_link_libraries(${program} PRIVATE ${musl_dir}/libmusl_math.a)
  endforeach()
endif()
