# The portable engine (cleaning, run log, start-up) over the platform layer of
# this build: Win32 for the product, POSIX stand-ins on the host.
add_library(quillfen_engine STATIC
  src/platform/reported_open_error.cpp
  src/platform/file_writer.cpp
  src/cleaning/cleaning_state.cpp
  src/cleaning/expiry.cpp
  src/cleaning/cookie_reader.cpp
  src/cleaning/cookie_writer.cpp
  src/cleaning/clean_cookie_file.cpp
  src/cleaning/scan_cookie_folder.cpp
  src/cleaning/format_elapsed.cpp
  src/cleaning/windows_name.cpp
  src/cleaning/run_cleaning.cpp
  src/shell/run_log.cpp
  src/shell/command_line.cpp
  src/shell/startup.cpp
)
if(WIN32)
  target_sources(quillfen_engine PRIVATE
    src/platform/win32/win32_files.cpp
    src/platform/win32/win32_search.cpp
    src/platform/win32/win32_environment.cpp
    src/platform/win32/win32_table.cpp
  )
else()
  target_sources(quillfen_engine PRIVATE
    src/platform/host/host_paths.cpp
    src/platform/host/host_files.cpp
    src/platform/host/host_search.cpp
    src/platform/host/host_environment.cpp
    src/platform/host/host_table.cpp
  )
endif()
target_include_directories(quillfen_engine PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(quillfen_engine PRIVATE quillfen_warnings)
