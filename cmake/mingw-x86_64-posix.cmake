set(QUILLFEN_MINGW_SUFFIX "-posix")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
