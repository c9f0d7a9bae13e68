// The directory search, and the stamp of one file as the directory gives it.
#include <windows.h>

#include <cstring>

#include "platform/win32/win32_platform.h"

namespace {

FileStamp StampOf(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
  uint64_t size = (uint64_t{sizeHigh} << 32) | sizeLow;
  return FileStamp{size, FileTime{written.dwLowDateTime, written.dwHighDateTime}};
}

FileStamp StampOf(const WIN32_FIND_DATAA& data) {
  return StampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
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

// In the system's ANSI code page: a double-byte one may end a character with
// the byte of a backslash.
bool Win32IsLeadByte(char byte) { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0; }

namespace {

using AttributeQuery = BOOL(WINAPI*)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);

AttributeQuery LookUpAttributeQuery() {
  return reinterpret_cast<AttributeQuery>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileAttributesExA")));
}

// Windows 95 lacks the attribute query; a search for the one name answers
// the same there, at the cost of a search handle.
uint32_t QueryStampBySearch(const char* path, FileStamp* stamp) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(path, &data);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  FindClose(handle);
  *stamp = StampOf(data);
  return 0;
}

}  // namespace

uint32_t Win32QueryStamp(const char* path, FileStamp* stamp) {
  static const AttributeQuery query = LookUpAttributeQuery();
  if (std::strlen(path) >= kMaxPath) return ERROR_FILENAME_EXCED_RANGE;
  if (query == nullptr) return QueryStampBySearch(path, stamp);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!query(path, GetFileExInfoStandard, &data)) return GetLastError();
  *stamp = StampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
  return 0;
}
