# The 32-bit Windows build: the product that runs on every Windows.
set(QUILLFEN_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
