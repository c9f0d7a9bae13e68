#include "platform/win32/long_name_of.h"

#include <windows.h>

#include <cwchar>

uint32_t LongNameOf(const std::wstring& path, std::wstring& longName) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return GetLastError();
  WIN32_FIND_DATAW another;
  bool single = !FindNextFileW(search, &another);
  FindClose(search);
  if (!single || std::wcspbrk(data.cFileName, L"\\/") != nullptr)
    return ERROR_NO_UNICODE_TRANSLATION;
  longName = data.cFileName;
  return 0;
}
