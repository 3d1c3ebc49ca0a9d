# Cross build for x86_64 Windows (the build that runs under Wine here).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
# The win32 threading flavour: no winpthread, no threads.
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
