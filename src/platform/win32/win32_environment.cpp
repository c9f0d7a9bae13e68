#include <windows.h>

#include <string>

#include "platform/win32/ansi_names.h"
#include "platform/win32/look_up_entry.h"
#include "platform/win32/system_family.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_seams.h"

namespace {

constexpr int kCsidlCookies = 0x21;

using SpecialFolderQuery = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using WideSpecialFolderQuery = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);
using LongPathQuery = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
  path[length] = '\\';
  lstrcpyA(path + length + 1, name);
  return LoadLibraryA(path);
}

// The Win32 calls drop the dots and blanks that end a path's component, so
// that C:\Users\bob.\INetCookies leads to C:\Users\bob\INetCookies, another
// account's folder. "." and ".." stand for folders of their own.
bool EndsAComponentInADotOrBlank(const std::wstring& path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of(L"\\/", start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring component = path.substr(start, end - start);
    if (!component.empty() && component != L"." && component != L".." &&
        (component.back() == L'.' || component.back() == L' ')) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// Asked with the "\\?\" prefix, which keeps the path as it stands. A path
// that is neither a drive's nor a share's cannot be asked so, and counts as
// there: a folder without a name is reported rather than passed over.
bool IsThereAsItStands(const std::wstring& folder) {
  std::wstring unchanged;
  if (folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\') {
    unchanged = L"\\\\?\\" + folder;
  } else if (folder.compare(0, 2, L"\\\\") == 0 && folder.compare(0, 4, L"\\\\?\\") != 0) {
    unchanged = L"\\\\?\\UNC\\" + folder.substr(2);
  } else {
    return true;
  }
  return GetFileAttributesW(unchanged.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether `shortPath` leads to `folder`: both are led to their long paths,
// which name one folder only when they are the same. Windows NT 4 lacks the
// query, and there a short path is not used.
bool LeadsTo(const wchar_t* shortPath, const wchar_t* folder) {
  static const auto longPathOf =
      LookUpEntry<LongPathQuery>(GetModuleHandleA("kernel32.dll"), "GetLongPathNameW");
  if (longPathOf == nullptr) return false;
  wchar_t fromShort[MAX_PATH];
  wchar_t fromFolder[MAX_PATH];
  DWORD shortLength = longPathOf(shortPath, fromShort, MAX_PATH);
  DWORD folderLength = longPathOf(folder, fromFolder, MAX_PATH);
  return shortLength != 0 && shortLength < MAX_PATH && shortLength == folderLength &&
         lstrcmpW(fromShort, fromFolder) == 0;
}

// What no path in the code page leads to: a folder that is not there is as
// quiet as any missing folder, whatever its name.
FolderAnswer Unnamed(bool there, const wchar_t* folder, char buffer[kMaxPath]) {
  ToAnsiShown(folder, buffer, kMaxPath);
  return there ? FolderAnswer::NoExactName : FolderAnswer::NotThere;
}

// A folder's name in the code page, else its short path in it where that
// leads back to it, else neither: then the buffer shows it, and no other
// folder is named in its place (the ANSI calls would name C:\Users\Omega for
// C:\Users\Ωmega, another account's, and Wine may give two folders one short
// path).
FolderAnswer NameFolder(const wchar_t* folder, char buffer[kMaxPath]) {
  if (EndsAComponentInADotOrBlank(folder))
    return Unnamed(IsThereAsItStands(folder), folder, buffer);
  std::string name;
  bool held = ToAnsiExactly(folder, name);
  if (held && name.size() < kMaxPath) {
    CopyMemory(buffer, name.c_str(), name.size() + 1);
    return FolderAnswer::Found;
  }
  wchar_t shortPath[MAX_PATH];
  DWORD length = Seams.GetShortPathNameW(folder, shortPath, MAX_PATH);
  DWORD error = GetLastError();
  if (length != 0 && length < MAX_PATH && ToAnsiExactly(shortPath, buffer, kMaxPath) &&
      LeadsTo(shortPath, folder)) {
    return FolderAnswer::Found;
  }
  if (held) return FolderAnswer::TooLong;
  bool missing = length == 0 && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
  return Unnamed(!missing, folder, buffer);
}

// On the NT family the shell answers in Unicode, where the folder's own name
// stands; a wide query that fails is a failure, never a reason to take the
// ANSI query's look-alike.
FolderAnswer AskShellInUnicode(HMODULE shell, char buffer[kMaxPath]) {
  auto query = LookUpEntry<WideSpecialFolderQuery>(shell, "SHGetSpecialFolderPathW");
  if (query == nullptr) return FolderAnswer::NoEntry;
  wchar_t folder[MAX_PATH];
  if (!query(nullptr, folder, kCsidlCookies, FALSE)) return FolderAnswer::Failed;
  return NameFolder(folder, buffer);
}

FolderAnswer AskShellInAnsi(HMODULE shell, char buffer[kMaxPath]) {
  auto query = LookUpEntry<SpecialFolderQuery>(shell, "SHGetSpecialFolderPathA");
  if (query == nullptr) return FolderAnswer::NoEntry;
  return query(nullptr, buffer, kCsidlCookies, FALSE) ? FolderAnswer::Found : FolderAnswer::Failed;
}

// The size the expansion needs, terminating zero included, tells whether the
// buffer holds it.
FolderAnswer ExpansionFits(DWORD needed) {
  if (needed == 0) return FolderAnswer::Failed;
  return needed > kMaxPath ? FolderAnswer::TooLong : FolderAnswer::Found;
}

FolderAnswer ExpandInUnicode(const char* text, char buffer[kMaxPath]) {
  std::wstring wideText;
  if (!ToWide(text, wideText)) return FolderAnswer::Failed;
  wchar_t folder[MAX_PATH];
  FolderAnswer answer =
      ExpansionFits(ExpandEnvironmentStringsW(wideText.c_str(), folder, MAX_PATH));
  return answer == FolderAnswer::Found ? NameFolder(folder, buffer) : answer;
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

// Looked up by name, since early shells lack the query; the library stays
// loaded for the life of the process. It is loaded from the system folder by
// its full name, so that no shell32.dll beside the program can stand in.
FolderAnswer Win32QueryCookieFolder(char buffer[kMaxPath]) {
  HMODULE shell = LoadSystemLibrary("shell32.dll");
  if (shell == nullptr) return FolderAnswer::NoLibrary;
  return AsksInUnicode() ? AskShellInUnicode(shell, buffer) : AskShellInAnsi(shell, buffer);
}

FolderAnswer Win32ExpandEnvironment(const char* text, char buffer[kMaxPath]) {
  if (AsksInUnicode()) return ExpandInUnicode(text, buffer);
  return ExpansionFits(ExpandEnvironmentStringsA(text, buffer, kMaxPath));
}
