# The native Windows back end: the form engine's surface over Win32 with the Windows services,
# the two windows over it, and ticker.exe with its pictures and manifest compiled in. Included
# by src/CMakeLists.txt when TICKER_PLATFORM is win32.

add_library(platform STATIC ${TICKER_WIN32_ENGINE_SOURCES})
if(TARGET platform_win32_services)
  target_precompile_headers(platform REUSE_FROM platform_win32_services)
endif()
target_compile_definitions(platform PUBLIC APP_DISPLAY_NAME="${APP_DISPLAY_NAME}")
# Screen readers reach the windows through Microsoft Active Accessibility (oleacc) and COM;
# captions are laid out by Uniscribe (usp10).
target_link_libraries(platform PUBLIC text platform_core platform_engine comctl32 gdi32 user32 wtsapi32
                      usp10 oleacc ole32 oleaut32 uuid)
if(TARGET platform_win32_services)
  target_link_libraries(platform PUBLIC platform_win32_services)
endif()

add_library(windows STATIC ${TICKER_WINDOWS_SOURCES})
target_compile_definitions(windows PUBLIC
  HOME_DOMAIN="${HOME_DOMAIN}" HOME_SITE_NAME="${HOME_SITE_NAME}"
  DEFAULT_FEED_URL="${DEFAULT_FEED_URL}" PRODUCT_NAME="${TICKER_PRODUCT_NAME}")
# The C library's reentrant time functions (localtime_r) by their POSIX names.
target_compile_definitions(windows PRIVATE _POSIX_THREAD_SAFE_FUNCTIONS)
target_link_libraries(windows PUBLIC feed platform)

# The pictures as GDI loads them: bitmaps for the title pictures, icons for the window and the
# program, the hand pointer as an icon made into a pointer at run time.
find_program(TICKER_CONVERT convert REQUIRED)
set(pictures ${CMAKE_CURRENT_BINARY_DIR}/win32-pictures)
set(images ${PROJECT_SOURCE_DIR}/resources/images)
set(icons ${PROJECT_SOURCE_DIR}/resources/icons)
set(converted)
foreach(entry "normal.bmp|${images}/normal.gif" "downloading.bmp|${images}/downloading.gif"
              "normal@2x.bmp|${images}/normal@2x.png"
              "downloading@2x.bmp|${images}/downloading@2x.png"
              "icon32.ico|${images}/icon32.png" "icon16.ico|${images}/icon16.png"
              "icon32@2x.ico|${images}/icon32@2x.png" "icon16@2x.ico|${images}/icon16@2x.png"
              "hand.ico|${images}/hand.png"
              "ticker.ico|${icons}/ticker-16.png;${icons}/ticker-32.png;${icons}/ticker-48.png")
  string(REPLACE "|" ";" parts "${entry}")
  list(POP_FRONT parts output)
  # BMP3: the plain bitmap header every version of GDI reads.
  if(output MATCHES "\\.bmp$")
    set(target BMP3:${pictures}/${output})
  else()
    set(target ${pictures}/${output})
  endif()
  add_custom_command(OUTPUT ${pictures}/${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${pictures}
    COMMAND ${TICKER_CONVERT} ${parts} ${target}
    DEPENDS ${parts} VERBATIM)
  list(APPEND converted ${pictures}/${output})
endforeach()
add_custom_target(win32_pictures DEPENDS ${converted})

# The version resource's four numbers from the project's version (1.0 -> 1,0,0,0), with its
# texts, for ticker.rc.
set(TICKER_VERSION_NUMBERS)
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND TICKER_VERSION_NUMBERS 0)
  else()
    list(APPEND TICKER_VERSION_NUMBERS ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN TICKER_VERSION_NUMBERS "," TICKER_VERSION_NUMBERS)
set(version_header ${CMAKE_CURRENT_BINARY_DIR}/win32-version/ProgramVersion.h)
configure_file(platform/win32/ProgramVersion.h.in ${version_header} @ONLY)

# The resource compiler does not report what ticker.rc includes: name it here. The texts are
# UTF-8 (a home site's name may not be ASCII).
set_source_files_properties(platform/win32/ticker.rc PROPERTIES
  OBJECT_DEPENDS "${version_header};${CMAKE_CURRENT_SOURCE_DIR}/platform/win32/ticker.manifest"
  COMPILE_OPTIONS "--codepage=65001")

# The program's icon and its windows' pictures, in an object of their own: ticker.exe's, and the
# test programs' that draw them. An icon's images are numbered within one file: all the icons
# are in this one.
add_library(win32_pictures_resource OBJECT platform/win32/Pictures.rc)
add_dependencies(win32_pictures_resource win32_pictures)
target_include_directories(win32_pictures_resource PRIVATE ${pictures} ${PROJECT_SOURCE_DIR}/src)
set_source_files_properties(platform/win32/Pictures.rc PROPERTIES OBJECT_DEPENDS "${converted}")

# The program needs the Windows services.
if(NOT TARGET platform_win32_services)
  return()
endif()

# One static executable for the GUI subsystem with the Unicode entry point.
add_executable(ticker WIN32 ${TICKER_WIN32_PROGRAM_SOURCES} platform/win32/ticker.rc)
add_dependencies(ticker win32_pictures)
target_include_directories(ticker PRIVATE ${pictures} ${CMAKE_CURRENT_BINARY_DIR}/win32-version
                           ${CMAKE_CURRENT_SOURCE_DIR}/platform/win32)
# No symbols: the program is one small file to copy.
target_link_options(ticker PRIVATE -municode -static -s)
target_link_libraries(ticker PRIVATE windows win32_pictures_resource)
# Its icon file is the installer's too (packaging/windows/Installer.cmake).
set_target_properties(ticker PROPERTIES OUTPUT_NAME ticker SUFFIX .exe
                      TICKER_ICON_FILE ${pictures}/ticker.ico)
