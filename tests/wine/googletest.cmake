# GoogleTest for the Windows test build, compiled from the sources of Debian's
# googletest package with the MinGW compilers, since no prebuilt Windows
# library exists. The targets carry the names the host build gets from
# find_package(GTest), so test directories link them the same way in both.
# A test linking them is linked statically: it then needs no MinGW runtime DLL
# in the Wine prefix, only the system's own.
set(QUILLFEN_GOOGLETEST_DIR /usr/src/googletest/googletest CACHE PATH
    "The GoogleTest sources the Windows test build compiles")

add_library(gtest STATIC ${QUILLFEN_GOOGLETEST_DIR}/src/gtest-all.cc)
target_include_directories(gtest SYSTEM PUBLIC ${QUILLFEN_GOOGLETEST_DIR}/include)
target_include_directories(gtest PRIVATE ${QUILLFEN_GOOGLETEST_DIR})
target_link_options(gtest INTERFACE -static)

add_library(gtest_main STATIC ${QUILLFEN_GOOGLETEST_DIR}/src/gtest_main.cc)
target_link_libraries(gtest_main PUBLIC gtest)

add_library(GTest::gtest ALIAS gtest)
add_library(GTest::gtest_main ALIAS gtest_main)

include(GoogleTest)
