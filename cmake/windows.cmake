# The Windows build (scripts/build-windows.sh): the Remote Module alone,
# duplane-remote.exe, plus the tests that only make sense on Windows. No Qt, no
# GLib: the Windows local branch is the system's own API.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 UNICODE _UNICODE NOMINMAX)
# Nothing but the system's DLLs at run time: an old PC has no C++ runtime.
add_link_options(-static -static-libgcc -static-libstdc++ -s)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

option(DUPLANE_BUILD_TESTS "Build the Windows-only tests (run under Wine)" ON)
find_package(Threads REQUIRED)
add_subdirectory(src/link)
add_subdirectory(src/remote)
if(DUPLANE_BUILD_TESTS AND EXISTS /usr/src/googletest/CMakeLists.txt)
  add_subdirectory(tests/windows)
endif()
