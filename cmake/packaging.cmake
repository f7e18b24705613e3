# What `cmake --install` puts beside the two programs, and the package CPack
# makes of it: a zip for Windows, a .deb elsewhere. Everything comes from the
# checkout; nothing is downloaded.
set(arrasto_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(arrasto_pkg_out ${PROJECT_BINARY_DIR}/packaging)

if(WIN32)
  # Notepad shows these as they are: CR LF line ends, and in the two texts
  # that hold accents (the guide, and the example's remarks) a byte-order
  # mark, without which an older Notepad takes UTF-8 for the ANSI code page.
  # The program skips the mark at the start of the data file.
  string(ASCII 239 187 191 arrasto_utf8_bom)
  foreach(text IN ITEMS packaging/LEIAME.txt example/dados.txt)
    get_filename_component(name ${text} NAME)
    file(READ ${PROJECT_SOURCE_DIR}/${text} arrasto_text)
    file(CONFIGURE OUTPUT ${arrasto_pkg_out}/${name} CONTENT "${arrasto_utf8_bom}${arrasto_text}"
         @ONLY NEWLINE_STYLE CRLF)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${text})
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${arrasto_pkg_out}/LICENSE.txt
                 @ONLY NEWLINE_STYLE CRLF)
  # The drawing of the dimensions, with each value's line number, opens in
  # any browser.
  install(FILES ${arrasto_pkg_out}/dados.txt ${arrasto_pkg_out}/LEIAME.txt
                ${arrasto_pkg_out}/LICENSE.txt ${PROJECT_SOURCE_DIR}/docs/dimensoes.svg
          DESTINATION ${ARRASTO_INSTALL_DOCDIR})
else()
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/Notepad DESTINATION ${ARRASTO_INSTALL_LIBEXECDIR})
  # The guides, and beside them what they link to: the model notes, the
  # pictures and the developers' guide, so that every link of an installed
  # guide opens an installed file.
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LEIAME.md
                ${PROJECT_SOURCE_DIR}/CONTRIBUTING.md
          DESTINATION ${ARRASTO_INSTALL_DOCDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${ARRASTO_INSTALL_DOCDIR}/docs
          FILES_MATCHING PATTERN "*.md" PATTERN "*.svg")
  # What the validation pages link to: the rockets' data files, the
  # measurements and the tables and pictures made from them.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/validation/ DESTINATION ${ARRASTO_INSTALL_DOCDIR}/validation
          FILES_MATCHING PATTERN "*.txt" PATTERN "*.md" PATTERN "*.svg")
  install(FILES ${PROJECT_SOURCE_DIR}/example/dados.txt ${PROJECT_SOURCE_DIR}/example/dados-aletas.txt
          DESTINATION ${ARRASTO_INSTALL_DOCDIR}/examples)
endif()

option(ARRASTO_DEBIAN_PACKAGE
  "Install the licence and changelog the way a Debian package holds them" OFF)
set(ARRASTO_PACKAGE_MAINTAINER "arrasto developers <arrasto@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

# The manual pages, in English and in Brazilian Portuguese (pt_BR, where
# man looks first for LANG=pt_BR.UTF-8).
if(NOT WIN32)
  set(arrasto_man_pages)
  foreach(page IN ITEMS man1/arrasto.1 man1/arrasto-grafico.1
                        pt_BR/man1/arrasto.1 pt_BR/man1/arrasto-grafico.1)
    string(REPLACE "man1/" "" source ${page})
    configure_file(${arrasto_pkg}/man/${source} ${arrasto_pkg_out}/man/${page} @ONLY)
    list(APPEND arrasto_man_pages ${page})
  endforeach()
endif()

if(NOT WIN32 AND ARRASTO_DEBIAN_PACKAGE)
  # Debian's places: the licence as a machine-readable "copyright" file; the
  # changelog and the manual pages gzip-compressed at the highest level,
  # without a time stamp.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE arrasto_license)
  string(STRIP "${arrasto_license}" arrasto_license)
  string(REGEX REPLACE "\n\n" "\n.\n" arrasto_license "${arrasto_license}")
  string(REPLACE "\n" "\n " ARRASTO_LICENSE_TEXT " ${arrasto_license}")
  configure_file(${arrasto_pkg}/debian/copyright.in ${arrasto_pkg_out}/copyright @ONLY)
  configure_file(${arrasto_pkg}/debian/changelog.in ${arrasto_pkg_out}/changelog @ONLY)
  find_program(ARRASTO_GZIP gzip REQUIRED)
  set(arrasto_compressed)
  list(TRANSFORM arrasto_man_pages PREPEND man/ OUTPUT_VARIABLE arrasto_man_files)
  foreach(file IN ITEMS changelog ${arrasto_man_files})
    set(file ${arrasto_pkg_out}/${file})
    add_custom_command(
      OUTPUT ${file}.gz
      COMMAND ${ARRASTO_GZIP} -9nkf ${file}
      DEPENDS ${file}
      VERBATIM)
    list(APPEND arrasto_compressed ${file}.gz)
  endforeach()
  add_custom_target(arrasto_debian_compressed ALL DEPENDS ${arrasto_compressed})
  install(FILES ${arrasto_pkg_out}/copyright ${arrasto_pkg_out}/changelog.gz
          DESTINATION ${ARRASTO_INSTALL_DOCDIR})
  set(arrasto_man_suffix .gz)
elseif(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${ARRASTO_INSTALL_DOCDIR})
  set(arrasto_man_suffix "")
endif()
if(NOT WIN32)
  foreach(page IN LISTS arrasto_man_pages)
    get_filename_component(section ${page} DIRECTORY)
    install(FILES ${arrasto_pkg_out}/man/${page}${arrasto_man_suffix}
            DESTINATION ${CMAKE_INSTALL_MANDIR}/${section})
  endforeach()
endif()

# The page, built beforehand by the web preset (cmake --workflow --preset
# web), goes beside the programs in the zip and under share/arrasto in the
# .deb; another build of it can be named with -DARRASTO_WEB_PAGE=FILE.
set(ARRASTO_WEB_PAGE ${PROJECT_SOURCE_DIR}/build/web/arrasto-${PROJECT_VERSION}.html
    CACHE FILEPATH "The page to install, when it has been built")
if(EXISTS ${ARRASTO_WEB_PAGE} AND WIN32)
  install(FILES ${ARRASTO_WEB_PAGE} DESTINATION .)
elseif(EXISTS ${ARRASTO_WEB_PAGE})
  install(FILES ${ARRASTO_WEB_PAGE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/arrasto)
endif()

set(CPACK_PACKAGE_NAME arrasto)
set(CPACK_PACKAGE_VENDOR "the arrasto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drag coefficient of a small rocket over a range of Mach numbers")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${arrasto_pkg}/debian/description)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  # The zip's one top folder is named like the zip.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME arrasto-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ARRASTO_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Reproducible: every time in the package is the last commit's, when the
  # sources are a git checkout and the caller set no SOURCE_DATE_EPOCH of
  # its own (the DEB generator takes its times from that variable). cpack
  # reads this file as it makes the package, so the time is that of the
  # commit packaged, whenever the build was configured.
  find_package(Git QUIET)
  file(CONFIGURE OUTPUT ${arrasto_pkg_out}/cpack_commit_time.cmake @ONLY CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND EXISTS "@GIT_EXECUTABLE@")
  execute_process(COMMAND "@GIT_EXECUTABLE@" -C "@PROJECT_SOURCE_DIR@" log -1 --format=%ct
                  OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(commit_time MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
]])
  set(CPACK_PROJECT_CONFIG_FILE ${arrasto_pkg_out}/cpack_commit_time.cmake)
endif()
include(CPack)
