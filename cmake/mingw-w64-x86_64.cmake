# 64-bit Windows (x86_64), XP x64 and later.
set(DUPLANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
