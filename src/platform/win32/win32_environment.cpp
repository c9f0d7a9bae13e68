#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace {

constexpr int kCsidlCookies = 0x21;

using SpecialFolderQuery = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
  path[length] = '\\';
  lstrcpyA(path + length + 1, name);
  return LoadLibraryA(path);
}

}  // namespace

uint32_t Win32TickCount() { return GetTickCount(); }

FileTime Win32NowAsFileTime() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  FILETIME time = {};
  SystemTimeToFileTime(&now, &time);
  return FileTime{time.dwLowDateTime, time.dwHighDateTime};
}

VersionInfo Win32QueryVersion() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  return VersionInfo{version.dwMajorVersion, version.dwMinorVersion, version.dwPlatformId};
}

// Looked up by name, since early shells lack the query; the library stays
// loaded for the life of the process. It is loaded from the system folder by
// its full name, so that no shell32.dll beside the program can stand in.
ShellFolderAnswer Win32QueryCookieFolder(char buffer[kMaxPath]) {
  HMODULE shell = LoadSystemLibrary("shell32.dll");
  if (shell == nullptr) return ShellFolderAnswer::NoLibrary;
  auto query = reinterpret_cast<SpecialFolderQuery>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSpecialFolderPathA")));
  if (query == nullptr) return ShellFolderAnswer::NoEntry;
  return query(nullptr, buffer, kCsidlCookies, FALSE) ? ShellFolderAnswer::Found
                                                      : ShellFolderAnswer::Failed;
}

uint32_t Win32ExpandEnvironment(const char* text, char* buffer, uint32_t size) {
  return ExpandEnvironmentStringsA(text, buffer, size);
}
