# The Windows executable: GUI subsystem, linked statically so that it needs
# nothing but the system's own DLLs.
add_executable(Quillfen WIN32
  src/shell/win32_main.cpp
  src/ui/main_window_stub.cpp
)
target_link_libraries(Quillfen PRIVATE quillfen_engine quillfen_warnings)
target_link_options(Quillfen PRIVATE -static -static-libgcc -static-libstdc++ -s)
