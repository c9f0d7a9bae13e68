# The Windows executable: GUI subsystem, linked statically so that it needs
# nothing but the system's own DLLs.
enable_language(RC)

# The window of window mode; its resources are compiled into every
# executable that shows it (an archive would drop them, as nothing refers to
# them by symbol).
add_library(quillfen_ui STATIC
  src/ui/dialog_handles.cpp
  src/ui/links.cpp
  src/ui/log_box.cpp
  src/ui/main_dialog_proc.cpp
  src/ui/main_window.cpp
)
target_link_libraries(quillfen_ui PUBLIC quillfen_cleaning comctl32 gdi32 user32 shell32
                      PRIVATE quillfen_warnings)

set(QUILLFEN_RESOURCES ${CMAKE_SOURCE_DIR}/resources/quillfen.rc)
set_property(SOURCE ${QUILLFEN_RESOURCES} APPEND PROPERTY INCLUDE_DIRECTORIES
             ${CMAKE_SOURCE_DIR}/resources)
set_property(SOURCE ${QUILLFEN_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_SOURCE_DIR}/resources/quillfen.ico
             ${CMAKE_SOURCE_DIR}/resources/quillfen.manifest
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
# compatibility shims for terminal servers. The subsystem and OS versions stay
# 4.0, the oldest Windows the program is for. No link time stamp, so that the
# same sources give the same bytes.
target_link_options(Quillfen PRIVATE
  -Wl,--nxcompat,--dynamicbase,--tsaware
  -Wl,--major-subsystem-version,4,--minor-subsystem-version,0
  -Wl,--major-os-version,4,--minor-os-version,0
  -Wl,--no-insert-timestamp)
