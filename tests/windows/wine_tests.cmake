# The Windows Remote Module under Wine, from the Linux build's test run. The
# executables come from scripts/build-windows.sh (DUPLANE_WINDOWS_DIR); every
# test that starts a module process runs once more against each of them, and
# their import tables are checked against what Windows XP offers.
find_program(DUPLANE_WINE64_LOADER wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(DUPLANE_WINE32_LOADER wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(DUPLANE_WINEBOOT wineboot)

set(wine_prefix ${CMAKE_BINARY_DIR}/wine-prefix)
set(wine_env WINEPREFIX=${wine_prefix} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
target_compile_definitions(duplane_test_support PUBLIC
  DUPLANE_WINDOWS_DIR="${DUPLANE_WINDOWS_DIR}" DUPLANE_WINE_PREFIX="${wine_prefix}"
  DUPLANE_WINE64_LOADER="${DUPLANE_WINE64_LOADER}" DUPLANE_WINE32_LOADER="${DUPLANE_WINE32_LOADER}")

# One prefix for the whole run, made before the first Windows test.
if(DUPLANE_WINE64_LOADER AND DUPLANE_WINEBOOT)
  add_test(NAME WinePrefix COMMAND env ${wine_env} ${DUPLANE_WINEBOOT} -i)
  set_tests_properties(WinePrefix PROPERTIES FIXTURES_SETUP Wine TIMEOUT 300)
else()
  message(STATUS "Wine not found: the Windows module's tests are left out")
endif()

foreach(arch i686 x86_64)
  set(exe ${DUPLANE_WINDOWS_DIR}/${arch}/duplane-remote.exe)
  if(NOT EXISTS ${exe})
    message(STATUS "${exe} not built: its tests are left out")
    continue()
  endif()
  add_test(NAME WindowsImports.${arch}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_imports.sh
                   ${arch}-w64-mingw32-objdump ${exe}
                   ${CMAKE_CURRENT_SOURCE_DIR}/windows/xp_imports.txt)

  if(arch STREQUAL "x86_64")
    set(loader ${DUPLANE_WINE64_LOADER})
  else()
    set(loader ${DUPLANE_WINE32_LOADER})
  endif()
  if(NOT loader OR NOT TEST WinePrefix)
    message(STATUS "no Wine loader for ${arch}: its module tests are left out")
    continue()
  endif()
  foreach(test_program remote_connection_test served_process_test module_twin_test abandoned_request_test
                       windows_module_test fast_path_module_test)
    if(TARGET ${test_program})
      gtest_discover_tests(${test_program} TEST_PREFIX "Windows-${arch}." DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "DUPLANE_WINDOWS_ARCH=${arch}" FIXTURES_REQUIRED Wine
                   TIMEOUT 600)
    endif()
  endforeach()
endforeach()

# The end-to-end test once more with the Linux window working the 32-bit
# module's folder (the old PCs are mostly 32-bit), or the 64-bit one's when
# there is no 32-bit Wine.
foreach(arch i686 x86_64)
  set(exe ${DUPLANE_WINDOWS_DIR}/${arch}/duplane-remote.exe)
  set(loader ${DUPLANE_WINE64_LOADER})
  if(arch STREQUAL "i686")
    set(loader ${DUPLANE_WINE32_LOADER})
  endif()
  if(EXISTS ${exe} AND loader AND TEST WinePrefix AND TARGET duplane)
    add_test(NAME EndToEnd.Windows-${arch}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/end_to_end_test.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(EndToEnd.Windows-${arch} PROPERTIES
      ENVIRONMENT "E2E_REMOTE=${loader} ${exe};WINEPREFIX=${wine_prefix};WINEDEBUG=-all"
      SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE FIXTURES_REQUIRED Wine)
    break()
  endif()
endforeach()
