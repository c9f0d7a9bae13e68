# The Windows executable: GUI subsystem, linked statically so that it needs
# nothing but the system's own DLLs.
enable_language(RC)

# The window of window mode; its resources are compiled into every
# executable that shows it (an archive would drop them, as nothing refers to
# them by symbol).
add_library(quillfen_ui STATIC
  src/ui/box_lines.cpp
  src/ui/dialog_handles.cpp
  src/ui/links.cpp
  src/ui/log_box.cpp
  src/ui/main_dialog_proc.cpp
  src/ui/main_window.cpp
  src/ui/process_command.cpp
  src/ui/shutdown_reason.cpp
)
target_link_libraries(quillfen_ui PUBLIC quillfen_cleaning comctl32 gdi32 user32 shell32
                      PRIVATE quillfen_warnings)

# The manifest names the processor of the build: Windows will not load a
# 64-bit program that asks for the 32-bit common controls.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUILLFEN_MANIFEST_PROCESSOR amd64)
else()
  set(QUILLFEN_MANIFEST_PROCESSOR X86)
endif()
configure_file(resources/quillfen.manifest.in resources/quillfen.manifest @ONLY)
# Every executable that compiles the resources links the window.
target_include_directories(quillfen_ui INTERFACE ${CMAKE_BINARY_DIR}/resources)

set(QUILLFEN_RESOURCES ${CMAKE_SOURCE_DIR}/resources/quillfen.rc)
set_property(SOURCE ${QUILLFEN_RESOURCES} APPEND PROPERTY INCLUDE_DIRECTORIES
             ${CMAKE_SOURCE_DIR}/resources)
set_property(SOURCE ${QUILLFEN_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/resources/quillfen.ico
             ${CMAKE_BINARY_DIR}/resources/quillfen.manifest
             ${CMAKE_SOURCE_DIR}/src/ui/resource_ids.h)

add_executable(Quillfen WIN32
  src/shell/win32_main.cpp
  ${QUILLFEN_RESOURCES}
)
target_link_libraries(Quillfen PRIVATE quillfen_ui quillfen_shell quillfen_warnings)
target_link_options(Quillfen PRIVATE -static -static-libgcc -static-libstdc++ -s)
# Hardening that every Windows since XP SP2 or Vista honours and that older
# ones ignore: no code from data pages, a load address of the system's choice
# (the relocation table stays, which the loader needs for that), and no
# compatibility shims for terminal servers. The subsystem and OS versions name
# the oldest Windows the program is for: 4.0 for the 32-bit build, 5.2 (XP x64
# and Server 2003, the first 64-bit Windows) for the 64-bit one, which also
# takes its load address from the whole 64-bit range. No link time stamp, so
# that the same sources give the same bytes.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(major 5)
  set(minor 2)
  target_link_options(Quillfen PRIVATE -Wl,--high-entropy-va)
else()
  set(major 4)
  set(minor 0)
endif()
target_link_options(Quillfen PRIVATE
  -Wl,--nxcompat,--dynamicbase,--tsaware
  -Wl,--major-subsystem-version,${major},--minor-subsystem-version,${minor}
  -Wl,--major-os-version,${major},--minor-os-version,${minor}
  -Wl,--no-insert-timestamp)
# A map of where each object's code lies, beside the executable: the tests
# that trace a run under Wine tell the program's own calls from those of the
# runtime linked into it by their return addresses. The executable's bytes
# stay the same.
target_link_options(Quillfen PRIVATE -Wl,-Map=$<TARGET_FILE_DIR:Quillfen>/Quillfen.map)
