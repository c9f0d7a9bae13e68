#include "platform/win32/long_name_of.h"

#include <windows.h>

#include <cwchar>

namespace {

// How many entries of the folder answer to `name` as their long or their
// short name. A search for the name itself gives the first of them only, so
// the search asks for every name that differs in the last character at most,
// which takes in all that answer to it.
int EntriesNamed(const std::wstring& path, size_t nameAt) {
  std::wstring pattern = path;
  pattern.back() = L'?';
  const wchar_t* name = path.c_str() + nameAt;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int named = 0;
  do {
    if (lstrcmpiW(data.cFileName, name) == 0 || lstrcmpiW(data.cAlternateFileName, name) == 0) {
      ++named;
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return named;
}

}  // namespace

uint32_t LongNameOf(const std::wstring& path, std::wstring& longName) {
  size_t nameAt = path.find_last_of(L'\\') + 1;
  if (nameAt == path.size()) return ERROR_INVALID_NAME;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return GetLastError();
  FindClose(search);
  // A long name is the only one of its folder; a short name need not be.
  bool byLongName = lstrcmpiW(data.cFileName, path.c_str() + nameAt) == 0;
  if (!byLongName && EntriesNamed(path, nameAt) != 1) return ERROR_NO_UNICODE_TRANSLATION;
  if (std::wcspbrk(data.cFileName, L"\\/") != nullptr) return ERROR_NO_UNICODE_TRANSLATION;
  longName = data.cFileName;
  return 0;
}
