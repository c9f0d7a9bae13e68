# The layers below the window, each a library that links only the layers
# beneath it: platform, then the run log, then the cleaning engine, then the
# shell (start-up and the command line). Win32 services for the product,
# POSIX stand-ins on the host.
add_library(quillfen_platform STATIC
  src/platform/reported_open_error.cpp
  src/platform/file_writer.cpp
)
if(WIN32)
  target_sources(quillfen_platform PRIVATE
    src/platform/win32/ansi_names.cpp
    src/platform/win32/long_name_of.cpp
    src/platform/win32/system_family.cpp
    src/platform/win32/win32_seams.cpp
    src/platform/win32/win32_files.cpp
    src/platform/win32/win32_search.cpp
    src/platform/win32/win32_environment.cpp
    src/platform/win32/win32_table.cpp
  )
else()
  target_sources(quillfen_platform PRIVATE
    src/platform/host/host_paths.cpp
    src/platform/host/host_files.cpp
    src/platform/host/host_search.cpp
    src/platform/host/host_environment.cpp
    src/platform/host/host_table.cpp
  )
endif()
target_include_directories(quillfen_platform PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(quillfen_platform PRIVATE quillfen_warnings)

add_library(quillfen_log STATIC src/log/run_log.cpp)
target_link_libraries(quillfen_log PUBLIC quillfen_platform PRIVATE quillfen_warnings)

add_library(quillfen_cleaning STATIC
  src/cleaning/cleaning_state.cpp
  src/cleaning/expiry.cpp
  src/cleaning/cookie_reader.cpp
  src/cleaning/cookie_writer.cpp
  src/cleaning/clean_cookie_file.cpp
  src/cleaning/scan_cookie_folder.cpp
  src/cleaning/format_elapsed.cpp
  src/cleaning/windows_name.cpp
  src/cleaning/run_cleaning.cpp
)
target_link_libraries(quillfen_cleaning PUBLIC quillfen_log PRIVATE quillfen_warnings)

add_library(quillfen_shell STATIC
  src/shell/command_line.cpp
  src/shell/startup.cpp
)
if(WIN32)
  target_sources(quillfen_shell PRIVATE src/shell/dll_search_guard.cpp src/shell/win32_arguments.cpp)
endif()
target_link_libraries(quillfen_shell PUBLIC quillfen_cleaning PRIVATE quillfen_warnings)
