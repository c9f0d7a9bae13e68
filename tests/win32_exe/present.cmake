# Run by ctest before the tests that drive the Windows executable: a missing
# executable is reported once, with the way to build it, and those tests are
# then not run.
#   cmake -DEXE=path -P present.cmake
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR
    "No Windows executable at ${EXE}.\n"
    "The tests that run it take it from the CMake cache variable QUILLFEN_WIN32_EXE. "
    "Build it from the source folder with\n"
    "  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake "
    "-DCMAKE_BUILD_TYPE=MinSizeRel -DQUILLFEN_TESTS=OFF\n"
    "  cmake --build build/win32\n"
    "or configure this build with -DQUILLFEN_WIN32_EXE=<path of another build's Quillfen.exe>.")
endif()
