# Run by ctest before the tests that drive the Windows executables: a missing
# one is reported once, with the way to build it, and those tests are then
# not run.
#   cmake -DEXE32=path -DEXE64=path -P present.cmake
foreach(bits 32 64)
  if(NOT EXISTS "${EXE${bits}}")
    message(FATAL_ERROR
      "No ${bits}-bit Windows executable at ${EXE${bits}}.\n"
      "The tests take it from the CMake cache variable QUILLFEN_EXE${bits}. "
      "Build it from the source folder with\n"
      "  bash scripts/build-product.sh ${bits}\n"
      "or configure this build with -DQUILLFEN_EXE${bits}=<path of another build's Quillfen.exe>.")
  endif()
endforeach()
