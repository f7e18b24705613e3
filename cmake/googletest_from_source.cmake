# Debian's libgtest-dev holds GoogleTest built for the host only. A cross
# build compiles it from the sources the package brings along, offline, and
# every find_package(GTest) of the project then finds these targets.
set(ARRASTO_GOOGLETEST_SOURCE /usr/src/googletest
    CACHE PATH "GoogleTest sources, compiled into cross builds")
if(NOT EXISTS ${ARRASTO_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR
    "GoogleTest sources not found in ${ARRASTO_GOOGLETEST_SOURCE}: install libgtest-dev, "
    "or set ARRASTO_GOOGLETEST_SOURCE, or configure with -DARRASTO_TESTS=OFF")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
# Defines GTest::gtest and GTest::gtest_main, as the installed package does.
add_subdirectory(${ARRASTO_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest
                 EXCLUDE_FROM_ALL SYSTEM)

get_directory_property(arrasto_gtest_version DIRECTORY ${ARRASTO_GOOGLETEST_SOURCE}
                       DEFINITION GOOGLETEST_VERSION)

# find_package looks in this folder before anything else, even for a
# package that has a find module, so this stands in for the package.
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake
     "# GTest::gtest and GTest::gtest_main are built by the project itself.\n")
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config-version.cmake
     "set(PACKAGE_VERSION \"${arrasto_gtest_version}\")\n"
     "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
