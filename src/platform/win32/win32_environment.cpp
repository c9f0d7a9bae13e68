#include <windows.h>

#include <string>

#include "platform/win32/ansi_names.h"
#include "platform/win32/look_up_entry.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr int kCsidlCookies = 0x21;

using SpecialFolderQuery = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using WideSpecialFolderQuery = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
  path[length] = '\\';
  lstrcpyA(path + length + 1, name);
  return LoadLibraryA(path);
}

// A folder's name in the code page, else its short path in it, else neither:
// then the buffer shows it, and no other folder is named in its place (the
// ANSI calls would name C:\Users\Omega for C:\Users\Ωmega, another account's).
bool NameFolder(const wchar_t* folder, char buffer[kMaxPath]) {
  if (ToAnsiExactly(folder, buffer, kMaxPath)) return true;
  wchar_t shortPath[MAX_PATH];
  DWORD length = GetShortPathNameW(folder, shortPath, MAX_PATH);
  if (length != 0 && length < MAX_PATH && ToAnsiExactly(shortPath, buffer, kMaxPath)) return true;
  ToAnsiShown(folder, buffer, kMaxPath);
  return false;
}

// The wide query is looked up by name like the ANSI one; a shell that has it
// answers in Unicode, where the folder's own name stands.
bool AskInUnicode(HMODULE shell, char buffer[kMaxPath], ShellFolderAnswer* answer) {
  auto query = LookUpEntry<WideSpecialFolderQuery>(shell, "SHGetSpecialFolderPathW");
  wchar_t folder[MAX_PATH];
  if (query == nullptr || !query(nullptr, folder, kCsidlCookies, FALSE)) return false;
  *answer = NameFolder(folder, buffer) ? ShellFolderAnswer::Found : ShellFolderAnswer::NoExactName;
  return true;
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
  ShellFolderAnswer answer;
  if (AskInUnicode(shell, buffer, &answer)) return answer;
  auto query = LookUpEntry<SpecialFolderQuery>(shell, "SHGetSpecialFolderPathA");
  if (query == nullptr) return ShellFolderAnswer::NoEntry;
  return query(nullptr, buffer, kCsidlCookies, FALSE) ? ShellFolderAnswer::Found
                                                      : ShellFolderAnswer::Failed;
}

// The 9x family answers that the wide expansion is not implemented.
uint32_t Win32ExpandEnvironment(const char* text, char* buffer, uint32_t size) {
  wchar_t folder[MAX_PATH];
  DWORD needed = ExpandEnvironmentStringsW(ToWide(text).c_str(), folder, MAX_PATH);
  if (needed == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    return ExpandEnvironmentStringsA(text, buffer, size);
  }
  if (needed == 0 || needed > MAX_PATH) return needed;
  char named[kMaxPath];
  if (!NameFolder(folder, named)) {
    lstrcpynA(buffer, named, static_cast<int>(size));
    return kExpansionNotNamed;
  }
  uint32_t length = static_cast<uint32_t>(lstrlenA(named)) + 1;
  if (length <= size) CopyMemory(buffer, named, length);
  return length;
}
