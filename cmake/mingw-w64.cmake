# Cross-compiling the Remote Module for Windows with Debian's MinGW-w64. The
# per-architecture files set DUPLANE_MINGW_ARCH and include this one.
#
# The "-win32" compilers use Windows' own threads instead of winpthreads, so a
# statically linked executable needs no DLL beyond the system's, and the
# program asks nothing of Windows that XP does not have.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 5.1)
set(CMAKE_SYSTEM_PROCESSOR ${DUPLANE_MINGW_ARCH})

set(DUPLANE_MINGW_TRIPLE ${DUPLANE_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${DUPLANE_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${DUPLANE_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${DUPLANE_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${DUPLANE_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${DUPLANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
