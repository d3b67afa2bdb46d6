# Cross-building the Windows program with Debian's mingw-w64 (the posix thread model, which
# std::thread and std::mutex need). Programs the build runs to test what it built go through
# Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TICKER_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TICKER_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TICKER_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TICKER_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TICKER_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
