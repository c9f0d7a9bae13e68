#include "platform/win32/long_name_of.h"

#include <windows.h>

#include <cwchar>

// A search for the name itself would give the first entry that answers to it
// only, so the search asks for every name that differs from it in the last
// character at most, which takes in all entries whose long or short name it
// is, and counts them.
uint32_t LongNameOf(const std::wstring& path, std::wstring& longName) {
  size_t nameAt = path.find_last_of(L'\\') + 1;
  if (nameAt == path.size()) return ERROR_INVALID_NAME;
  const wchar_t* name = path.c_str() + nameAt;
  std::wstring pattern = path;
  pattern.back() = L'?';
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return GetLastError();
  int named = 0;
  do {
    if (lstrcmpiW(data.cFileName, name) == 0 || lstrcmpiW(data.cAlternateFileName, name) == 0) {
      ++named;
      longName = data.cFileName;
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
  if (named == 0) return ERROR_FILE_NOT_FOUND;
  if (named > 1 || std::wcspbrk(longName.c_str(), L"\\/") != nullptr) {
    return ERROR_NO_UNICODE_TRANSLATION;
  }
  return 0;
}
