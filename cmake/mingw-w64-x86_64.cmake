# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (packages g++-mingw-w64-x86-64-posix
# and gcc-mingw-w64-x86-64-posix). The -posix compilers use winpthread for C++ threads, which the
# static link below takes in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KIRTO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KIRTO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIRTO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KIRTO_MINGW}-windres)

# Headers and libraries come from the MinGW-w64 sysroot and the dependency prefix, never from the
# build machine; its programs (CMake's own helpers) still come from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KIRTO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
