# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the "posix"
# thread model, which has std::thread and friends).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(arrasto_mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${arrasto_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${arrasto_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${arrasto_mingw_prefix}-windres)

# Libraries and headers come from the MinGW sysroot only; programs run
# during the build are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${arrasto_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable (the program, its tests and their helpers) runs on its
# own, under wine or copied to a Windows machine: no MinGW DLLs needed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# With wine on the build machine, ctest runs the Windows executables under it.
find_program(ARRASTO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT ARRASTO_WINE64)
  find_program(ARRASTO_WINE64 NAMES wine64 wine)
endif()
if(ARRASTO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ARRASTO_WINE64})
endif()
