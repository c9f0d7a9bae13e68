# Cross-compiling the 32-bit Windows build with MinGW-w64. The posix thread
# variant of the compilers is chosen by mingw-i686-posix.cmake, for the test
# build only (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT DEFINED QUILLFEN_MINGW_SUFFIX)
  set(QUILLFEN_MINGW_SUFFIX "")
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc${QUILLFEN_MINGW_SUFFIX})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++${QUILLFEN_MINGW_SUFFIX})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
