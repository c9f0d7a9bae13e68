# Cross-compiling a Windows build with MinGW-w64, for the processor that the
# including toolchain file names in QUILLFEN_MINGW_PROCESSOR (i686 or x86_64).
# The posix thread variant of the compilers is chosen by the -posix toolchain
# files, for the test builds only (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLFEN_MINGW_PROCESSOR})
if(NOT DEFINED QUILLFEN_MINGW_SUFFIX)
  set(QUILLFEN_MINGW_SUFFIX "")
endif()
set(triplet ${QUILLFEN_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc${QUILLFEN_MINGW_SUFFIX})
set(CMAKE_CXX_COMPILER ${triplet}-g++${QUILLFEN_MINGW_SUFFIX})
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
