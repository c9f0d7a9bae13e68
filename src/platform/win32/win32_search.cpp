// The directory search, and the stamp of one file as the directory gives it.
//
// On the NT family the search runs in Unicode, so that each name can be made
// exactly: the ANSI search would give a look-alike of a name the code page
// cannot hold, which leads to another file. The 9x family, whose names all
// are ANSI, is searched in ANSI.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/win32/ansi_names.h"
#include "platform/win32/long_name_of.h"
#include "platform/win32/look_up_entry.h"
#include "platform/win32/system_family.h"
#include "platform/win32/win32_platform.h"

namespace {

struct Win32Search {
  HANDLE Handle;
  bool Wide;
  std::wstring Folder;  // with its closing backslash; for the wide search only
};

template <typename FindData>
FileStamp StampOf(const FindData& data) {
  uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  const FILETIME& written = data.ftLastWriteTime;
  return FileStamp{size, FileTime{written.dwLowDateTime, written.dwHighDateTime}};
}

void ConvertAnsiEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  std::memcpy(entry->Name, data.cFileName, sizeof entry->Name);
  entry->Name[kMaxPath - 1] = '\0';
  std::memcpy(entry->LongName, entry->Name, sizeof entry->LongName);
  entry->Stamp = StampOf(data);
}

// A short name stands for the listed file only where a search for it names
// that file and no other: two long names may share one short name.
bool LeadsBack(const std::wstring& folder, const WIN32_FIND_DATAW& data) {
  std::wstring longName;
  return LongNameOf(folder + data.cAlternateFileName, longName) == 0 && longName == data.cFileName;
}

// A long name the code page cannot hold is reached by the short name, where
// the file has one the code page holds and it leads back; otherwise by no
// name at all. Only such files pay for the search that checks it.
void ConvertWideEntry(const std::wstring& folder, const WIN32_FIND_DATAW& data, FoundEntry* entry) {
  entry->Stamp = StampOf(data);
  if (ToAnsiExactly(data.cFileName, entry->Name, kMaxPath)) {
    std::memcpy(entry->LongName, entry->Name, sizeof entry->LongName);
    return;
  }
  ToAnsiShown(data.cFileName, entry->LongName, kMaxPath);
  if (!ToAnsiExactly(data.cAlternateFileName, entry->Name, kMaxPath) || entry->Name[0] == '\0' ||
      !LeadsBack(folder, data)) {
    entry->Name[0] = '\0';
  }
}

uint32_t FindFirstAnsi(const char* pattern, Win32Search& search, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  search.Handle = FindFirstFileA(pattern, &data);
  if (search.Handle == INVALID_HANDLE_VALUE) return GetLastError();
  ConvertAnsiEntry(data, entry);
  return 0;
}

uint32_t FindFirstWide(const char* pattern, Win32Search& search, FoundEntry* entry) {
  std::wstring widePattern;
  if (!ToWide(pattern, widePattern)) return ERROR_NO_UNICODE_TRANSLATION;
  WIN32_FIND_DATAW data;
  search.Handle = FindFirstFileW(widePattern.c_str(), &data);
  if (search.Handle == INVALID_HANDLE_VALUE) return GetLastError();
  search.Wide = true;
  search.Folder = widePattern.substr(0, widePattern.find_last_of(L'\\') + 1);
  ConvertWideEntry(search.Folder, data, entry);
  return 0;
}

}  // namespace

uint32_t Win32FindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  auto state = std::make_unique<Win32Search>();
  uint32_t error = AsksInUnicode() ? FindFirstWide(pattern, *state, entry)
                                   : FindFirstAnsi(pattern, *state, entry);
  if (error == 0) *search = state.release();
  return error;
}

uint32_t Win32FindNext(SearchHandle search, FoundEntry* entry) {
  auto& state = *static_cast<Win32Search*>(search);
  if (state.Wide) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(state.Handle, &data)) return GetLastError();
    ConvertWideEntry(state.Folder, data, entry);
  } else {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(state.Handle, &data)) return GetLastError();
    ConvertAnsiEntry(data, entry);
  }
  return 0;
}

void Win32FindEnd(SearchHandle search) {
  auto* state = static_cast<Win32Search*>(search);
  FindClose(state->Handle);
  delete state;
}

// In the system's ANSI code page: a double-byte one may end a character with
// the byte of a backslash.
bool Win32IsLeadByte(char byte) { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0; }

namespace {

using AttributeQuery = BOOL(WINAPI*)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);

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
  static const auto query =
      LookUpEntry<AttributeQuery>(GetModuleHandleA("kernel32.dll"), "GetFileAttributesExA");
  if (std::strlen(path) >= kMaxPath) return ERROR_FILENAME_EXCED_RANGE;
  if (query == nullptr) return QueryStampBySearch(path, stamp);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!query(path, GetFileExInfoStandard, &data)) return GetLastError();
  *stamp = StampOf(data);
  return 0;
}
