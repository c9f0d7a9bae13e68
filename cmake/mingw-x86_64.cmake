# The 64-bit Windows build: for Windows that runs 64-bit programs only, and
# for Wine where it cannot start 32-bit programs.
set(QUILLFEN_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
