# The Windows build (scripts/build-windows.sh): the Remote Module alone,
# duplane-remote.exe. No Qt, no GLib: the Windows local branch is the
# system's own API. Its tests run from the Linux build, under Wine
# (tests/windows/wine_tests.cmake).
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 UNICODE _UNICODE NOMINMAX)
# Nothing but the system's DLLs at run time: an old PC has no C++ runtime.
add_link_options(-static -static-libgcc -static-libstdc++ -s)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

find_package(Threads REQUIRED)
add_subdirectory(src/text)
add_subdirectory(src/port)
add_subdirectory(src/localfs)
add_subdirectory(src/link)
add_subdirectory(src/remote)
