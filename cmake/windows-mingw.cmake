# CMake toolchain for x86_64 Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix,
# the "posix" thread model that std::thread and Qt need). Used by tools/windows-build.sh both for
# Qt itself and, chained by the cross Qt's qt-cmake, for the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(platine_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${platine_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${platine_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${platine_mingw}-windres)

# Libraries and headers come from the MinGW tree (and from the prefixes given by
# CMAKE_PREFIX_PATH, e.g. the cross Qt); programs run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${platine_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
