#include <windows.h>

#include <cstring>

#include "platform/win32/win32_platform.h"

namespace {

void TakeEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  std::memcpy(entry->Name, data.cFileName, sizeof entry->Name);
  entry->Name[kMaxPath - 1] = '\0';
  entry->SizeLow = data.nFileSizeLow;
}

}  // namespace

bool Win32FindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return false;
  TakeEntry(data, entry);
  *search = handle;
  return true;
}

bool Win32FindNext(SearchHandle search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(search, &data)) return false;
  TakeEntry(data, entry);
  return true;
}

void Win32FindEnd(SearchHandle search) { FindClose(search); }
