# The Windows build's tests, cross-built and run under Wine. Every test program runs whole as
# one test: a Wine process takes a while to start, so one start per program, not per case.

# GoogleTest is built from Debian's sources with the same cross compiler.
set(TICKER_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TICKER_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its own code is not held to this project's warning switches. It names its targets
# GTest::gtest, GTest::gtest_main and GTest::gmock itself.
foreach(library gtest gtest_main gmock gmock_main)
  target_compile_options(${library} PRIVATE -w)
endforeach()

# Wine keeps its state (registry, C: drive) in a prefix: this build's own, created once by the
# fixture below and reused by later runs. The Mono and Gecko installers are turned off so that
# creating it asks nothing.
set(TICKER_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TICKER_WINE_ENVIRONMENT
  "WINEPREFIX=${TICKER_WINEPREFIX}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")
add_test(NAME windows.WinePrefix
  COMMAND ${CMAKE_COMMAND} -DPREFIX=${TICKER_WINEPREFIX}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/wine_prefix.cmake)
set_tests_properties(windows.WinePrefix PROPERTIES
  FIXTURES_SETUP wine_prefix LABELS unit TIMEOUT 300
  ENVIRONMENT "${TICKER_WINE_ENVIRONMENT}")

# Registers a test program to run under Wine with the prefix above.
function(ticker_wine_test name)
  cmake_parse_arguments(ARG "" "" "LABELS;ENVIRONMENT" ${ARGN})
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_prefix LABELS "${ARG_LABELS}" TIMEOUT 300
    ENVIRONMENT "${TICKER_WINE_ENVIRONMENT};${ARG_ENVIRONMENT}")
endfunction()

# The unit tests as one program: one static link and one Wine start instead of one per file.
file(GLOB UNIT_TESTS CONFIGURE_DEPENDS unit/*_test.cpp)
file(GLOB UNIT_SUPPORT CONFIGURE_DEPENDS unit/support/*.cpp)
add_executable(unit_tests ${UNIT_TESTS} ${UNIT_SUPPORT})
target_include_directories(unit_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(unit_tests PRIVATE feed platform_core platform_engine GTest::gtest
                      GTest::gtest_main GTest::gmock)
target_compile_definitions(unit_tests PRIVATE TEST_FIXTURES="${TEST_FIXTURES}")
# GoogleTest's headers, parsed once instead of once a file: half of each file's compile time.
target_precompile_headers(unit_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
ticker_wine_test(unit_tests)

# The Windows services: the decoding of fetched bytes (the same cases as the Linux back end's),
# the opener, twips and folders.
add_executable(win32_services_test
  windows/win32_services_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/net/decode_document_test.cpp)
target_link_libraries(win32_services_test PRIVATE platform_win32_services GTest::gtest
                      GTest::gtest_main)
ticker_wine_test(win32_services_test)

# The download against the sample feed server, started around the test program.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_executable(wininet_download_test windows/wininet_download_test.cpp)
target_link_libraries(wininet_download_test PRIVATE platform_win32_services GTest::gtest
                      GTest::gtest_main)
add_test(NAME wininet_download_test
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/windows/with_feed_server.py
          ${PROJECT_SOURCE_DIR}/tools/feedserver.py wine $<TARGET_FILE:wininet_download_test>)
set_tests_properties(wininet_download_test PROPERTIES
  FIXTURES_REQUIRED wine_prefix LABELS net TIMEOUT 300
  ENVIRONMENT "${TICKER_WINE_ENVIRONMENT}")

# Tests with windows have a Wine prefix of their own and run one at a time: Wine's desktop
# process belongs to the X server of the first program that starts it, and each of these
# tests has an X server of its own.
set(TICKER_WINEPREFIX_WINDOWS ${CMAKE_BINARY_DIR}/wineprefix-windows)
set(TICKER_WINE_WINDOWS_ENVIRONMENT
  "WINEPREFIX=${TICKER_WINEPREFIX_WINDOWS}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")
add_test(NAME windows.WinePrefixForWindows
  COMMAND ${CMAKE_COMMAND} -DPREFIX=${TICKER_WINEPREFIX_WINDOWS}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/wine_prefix.cmake)
set_tests_properties(windows.WinePrefixForWindows PROPERTIES
  FIXTURES_SETUP wine_windows_prefix LABELS widget TIMEOUT 300
  ENVIRONMENT "${TICKER_WINE_WINDOWS_ENVIRONMENT}")

# The form engine with real windows, under Wine on an X server of its own with openbox.
if(TARGET platform)
  add_executable(win32_engine_test windows/engine_test.cpp)
  target_include_directories(win32_engine_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(win32_engine_test PRIVATE platform GTest::gtest)
  add_test(NAME win32_engine_test
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/with_display.py --window-manager
            wine $<TARGET_FILE:win32_engine_test>)
  set_tests_properties(win32_engine_test PROPERTIES
    FIXTURES_REQUIRED wine_windows_prefix RESOURCE_LOCK wine_windows_prefix LABELS widget
    TIMEOUT 300 ENVIRONMENT "${TICKER_WINE_WINDOWS_ENVIRONMENT}")
endif()

# The surface cases of surface/ (the same table the Qt surface runs in widget_tests) against
# the Windows surface, under Wine with openbox.
if(TARGET platform)
  add_executable(win32_surface_test surface/surface_test.cpp windows/surface_probe.cpp)
  target_include_directories(win32_surface_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(win32_surface_test PRIVATE platform win32_pictures_resource GTest::gtest)
  add_test(NAME win32_surface_test
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/with_display.py --window-manager
            wine $<TARGET_FILE:win32_surface_test>)
  set_tests_properties(win32_surface_test PROPERTIES
    FIXTURES_REQUIRED wine_windows_prefix RESOURCE_LOCK wine_windows_prefix LABELS widget
    TIMEOUT 300 ENVIRONMENT "${TICKER_WINE_WINDOWS_ENVIRONMENT}")

  # The title picture's case once more at 192 dots per inch, in a prefix of its own set to it.
  set(prefix ${CMAKE_BINARY_DIR}/wineprefix-192dpi)
  add_test(NAME windows.WinePrefixAt192Dpi COMMAND ${CMAKE_COMMAND} -DPREFIX=${prefix} -DDPI=192
           -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/wine_prefix.cmake)
  add_test(NAME win32_surface_test.192dpi
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/with_display.py --window-manager wine
            $<TARGET_FILE:win32_surface_test> --gtest_filter=*TitlePicture*)
  set_tests_properties(windows.WinePrefixAt192Dpi PROPERTIES FIXTURES_SETUP wine_192dpi_prefix)
  set_tests_properties(win32_surface_test.192dpi PROPERTIES FIXTURES_REQUIRED wine_192dpi_prefix)
  set_tests_properties(windows.WinePrefixAt192Dpi win32_surface_test.192dpi PROPERTIES LABELS widget
    TIMEOUT 300 ENVIRONMENT "WINEPREFIX=${prefix};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
endif()

# The real ticker.exe under Wine on Xvfb with openbox, driven as a person drives it, with the
# end-to-end harness of the Linux program.
if(TARGET ticker)
  add_test(NAME e2e_windows_program
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/e2e_test.py $<TARGET_FILE:ticker>)
  set_tests_properties(e2e_windows_program PROPERTIES
    FIXTURES_REQUIRED wine_windows_prefix RESOURCE_LOCK wine_windows_prefix LABELS e2e
    TIMEOUT 600
    ENVIRONMENT "${TICKER_WINE_WINDOWS_ENVIRONMENT};TICKER_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endif()

# What Wine does when a program that is not active activates its dialog as Windows asks: a
# small program outside the ticker, on Xvfb with openbox. It records Wine's answer; it fails
# only when the probe cannot run.
add_executable(foreground_probe windows/foreground_probe.cpp)
add_test(NAME foreground_probe
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/foreground_probe.py
          $<TARGET_FILE:foreground_probe>)
set_tests_properties(foreground_probe PROPERTIES
  FIXTURES_REQUIRED wine_windows_prefix RESOURCE_LOCK wine_windows_prefix LABELS widget
  TIMEOUT 300
  ENVIRONMENT "${TICKER_WINE_WINDOWS_ENVIRONMENT};TICKER_SOURCE_DIR=${PROJECT_SOURCE_DIR}")

# What a screen reader finds in the real ticker.exe through Microsoft Active Accessibility:
# msaa_client.exe reads it from a process of its own, under Wine on Xvfb with openbox.
if(TARGET ticker)
  add_executable(msaa_client windows/msaa_client.cpp)
  target_link_options(msaa_client PRIVATE -municode -static)
  target_link_libraries(msaa_client PRIVATE oleacc ole32 oleaut32 uuid)
  add_test(NAME msaa_windows_program
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/msaa_test.py $<TARGET_FILE:ticker>
            $<TARGET_FILE:msaa_client>)
  set_tests_properties(msaa_windows_program PROPERTIES
    FIXTURES_REQUIRED wine_windows_prefix RESOURCE_LOCK wine_windows_prefix LABELS e2e
    TIMEOUT 300
    ENVIRONMENT "${TICKER_WINE_WINDOWS_ENVIRONMENT};TICKER_SOURCE_DIR=${PROJECT_SOURCE_DIR};TICKER_DISPLAY_NAME=${APP_DISPLAY_NAME}")
endif()

# ticker.exe's version resource against the project's version and names.
if(TARGET ticker)
  add_executable(version_resource_test windows/version_resource_test.cpp)
  target_link_libraries(version_resource_test PRIVATE GTest::gtest GTest::gtest_main version)
  target_compile_definitions(version_resource_test PRIVATE
    TICKER_EXE="$<TARGET_FILE:ticker>" TICKER_VERSION="${PROJECT_VERSION}"
    APP_DISPLAY_NAME="${APP_DISPLAY_NAME}" HOME_SITE_NAME="${HOME_SITE_NAME}")
  add_dependencies(version_resource_test ticker)
  ticker_wine_test(version_resource_test)
endif()

# The installer end to end: one install, sign-in, upgrade and uninstall cycle under Wine in a
# prefix of its own, whose Start-menu shortcuts make no menu entries on this machine, on Xvfb
# with openbox. `cpack` makes the installer and the .zip first, as a fixture, so that the
# default build and ctest are all it needs. hold_file holds a file open as a program using it
# does, so that the installer cannot replace it.
if(TARGET ticker)
  add_test(NAME windows.Packages COMMAND ${CMAKE_CPACK_COMMAND} -G "NSIS;ZIP"
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(windows.Packages PROPERTIES FIXTURES_SETUP windows_packages LABELS e2e)
  set(prefix ${CMAKE_BINARY_DIR}/wineprefix-installer)
  set(environment "WINEPREFIX=${prefix}" "WINEDEBUG=-all"
      "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=")
  add_test(NAME windows.WinePrefixForInstaller COMMAND ${CMAKE_COMMAND} -DPREFIX=${prefix}
           -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/wine_prefix.cmake)
  set_tests_properties(windows.WinePrefixForInstaller PROPERTIES
    FIXTURES_SETUP wine_installer_prefix LABELS e2e TIMEOUT 300 ENVIRONMENT "${environment}")
  add_executable(hold_file windows/hold_file.cpp)
  target_link_options(hold_file PRIVATE -municode)
  set(package ${CMAKE_BINARY_DIR}/${TICKER_PACKAGE_FILE_NAME})
  add_test(NAME e2e_windows_installer
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer_test.py ${package}.exe
            ${package}.zip $<TARGET_FILE:hold_file> ${APP_DISPLAY_NAME} ${TICKER_DESKTOP_ID}
            ${PROJECT_VERSION} ${HOME_SITE_NAME})
  set_tests_properties(e2e_windows_installer PROPERTIES
    FIXTURES_REQUIRED "windows_packages;wine_installer_prefix"
    RESOURCE_LOCK wine_windows_prefix LABELS e2e TIMEOUT 600
    ENVIRONMENT "${environment};TICKER_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  add_test(NAME windows_signed_packages
    COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer_test.py --signed
            ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${TICKER_PACKAGE_FILE_NAME})
  set_tests_properties(windows_signed_packages PROPERTIES LABELS e2e TIMEOUT 300)
endif()
