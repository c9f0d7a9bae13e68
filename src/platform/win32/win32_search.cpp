#include <windows.h>

#include <cstring>

#include "platform/win32/win32_platform.h"

namespace {

FileStamp StampOf(const WIN32_FIND_DATAA& data) {
  uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return FileStamp{
      size, FileTime{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}};
}

void TakeEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  std::memcpy(entry->Name, data.cFileName, sizeof entry->Name);
  entry->Name[kMaxPath - 1] = '\0';
  entry->Stamp = StampOf(data);
}

}  // namespace

uint32_t Win32FindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  TakeEntry(data, entry);
  *search = handle;
  return 0;
}

uint32_t Win32FindNext(SearchHandle search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(search, &data)) return GetLastError();
  TakeEntry(data, entry);
  return 0;
}

void Win32FindEnd(SearchHandle search) { FindClose(search); }

// Asked of the directory as the listing was, so that an unchanged file gives
// the same stamp; every Windows since 95 answers it.
uint32_t Win32QueryStamp(const char* path, FileStamp* stamp) {
  if (std::strlen(path) >= kMaxPath) return ERROR_FILENAME_EXCED_RANGE;
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(path, &data);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  FindClose(handle);
  *stamp = StampOf(data);
  return 0;
}
