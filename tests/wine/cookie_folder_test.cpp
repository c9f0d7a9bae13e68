// The cookie folder as the shell and the environment name it, on the real
// Win32 calls: a folder whose path the code page cannot hold is reached by a
// short path only where that leads back to it, a path the Win32 calls would
// change names no folder, and the 9x family is asked in ANSI alone.
#include <string>

#include "cleaning/run_cleaning.h"
#include "engine_fixture.h"
#include "log/run_log.h"
#include "platform/win32/win32_seams.h"

namespace {

const wchar_t* const kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring ShellCookieFolder() {
  wchar_t folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Cookies", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
               nullptr, folder, &size);
  return folder;
}

// An empty folder takes the setting away: Wine's own default holds again.
void SetShellCookieFolder(const std::wstring& folder) {
  HKEY key;
  RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                  nullptr);
  if (folder.empty()) {
    RegDeleteValueW(key, L"Cookies");
  } else {
    RegSetValueExW(key, L"Cookies", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

// What GetShortPathNameW answers: the system's answer, a failure with access
// denied or with the folder not found, or the path of another folder.
enum class ShortPath { System, Denied, NotFound, Elsewhere };
std::wstring ElsewhereFolder;
ShortPath ShortPathAnswer = ShortPath::System;

DWORD WINAPI AnswerShortPath(LPCWSTR path, LPWSTR shortPath, DWORD size) {
  switch (ShortPathAnswer) {
    case ShortPath::System: return GetShortPathNameW(path, shortPath, size);
    case ShortPath::Denied: SetLastError(ERROR_ACCESS_DENIED); return 0;
    case ShortPath::NotFound: SetLastError(ERROR_PATH_NOT_FOUND); return 0;
    case ShortPath::Elsewhere: break;
  }
  lstrcpynW(shortPath, ElsewhereFolder.c_str(), static_cast<int>(size));
  return static_cast<DWORD>(ElsewhereFolder.size());
}

std::string ShortPathOf(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH];
  DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return length != 0 && length < MAX_PATH ? std::string(shortPath, shortPath + length) : "(none)";
}

// What a run makes of the folder: cleans it, reports it, or finds nothing.
enum Outcome { Cleaned, Reported, Quiet };

class Win32CookieFolder : public Win32EngineTest {
 protected:
  void SetUp() override {
    Win32EngineTest::SetUp();
    Seams.GetShortPathNameW = AnswerShortPath;
    ShortPathAnswer = ShortPath::System;
    WideFolder = Widened(Folder.Path);
    ElsewhereFolder = WideFolder + L"Omega";
    SavedShellFolder = ShellCookieFolder();
    GetEnvironmentVariableW(L"USERPROFILE", Profile, MAX_PATH);
  }
  void TearDown() override {
    SetShellCookieFolder(SavedShellFolder);
    SetEnvironmentVariableW(L"USERPROFILE", Profile);
    SetEnvironmentVariableW(L"QUILLFEN_TEST_FOLDER", nullptr);
    Win32EngineTest::TearDown();
  }

  std::wstring WideFolder;
  std::wstring SavedShellFolder;
  wchar_t Profile[MAX_PATH] = {};
};

// The answers differ here: the ANSI calls give a look-alike ("O" for the
// omega), the wide ones the short path that leads back.
TEST_F(Win32CookieFolder, AsksInAnsiOnThe9xFamilyAndInUnicodeOnTheNtFamily) {
  const std::wstring omega = WideFolder + L"\u03a9mega";
  Folder.MakeFolder(L"\u03a9mega");
  SetShellCookieFolder(omega);
  SetEnvironmentVariableW(L"QUILLFEN_TEST_FOLDER", omega.c_str());
  char ansiShell[MAX_PATH] = {};
  using Query = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA("shell32.dll"), "SHGetSpecialFolderPathA")));
  ASSERT_TRUE(query(nullptr, ansiShell, 0x21, FALSE));
  char ansiExpanded[MAX_PATH] = {};
  ExpandEnvironmentStringsA("%QUILLFEN_TEST_FOLDER%", ansiExpanded, MAX_PATH);
  for (uint32_t platformId : {1u, 2u}) {
    Seams.PlatformId = platformId;
    const bool nt = platformId == 2;
    char shell[kMaxPath] = {};
    char expanded[kMaxPath] = {};
    EXPECT_EQ(Platform.QueryCookieFolder(shell), FolderAnswer::Found) << platformId;
    EXPECT_EQ(Platform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%", expanded), FolderAnswer::Found);
    EXPECT_EQ(std::string(shell), nt ? ShortPathOf(omega) : ansiShell) << platformId;
    EXPECT_EQ(std::string(expanded), nt ? ShortPathOf(omega) : ansiExpanded) << platformId;
  }
}

// Expiry high halves before and after the time of any run (about 1998 and
// 2178): a whole run judges against the clock.
constexpr int64_t kBeforeRuns = 29000000;
constexpr int64_t kAfterRuns = 33000000;

// The log of a whole run up to its working time, for a folder with one
// partly expired file in it.
std::string RunLog(const std::string& shown, Outcome outcome) {
  std::string log = "Quillfen 1.03 started.\r\nWindows " +
                    std::string(WindowsName(Platform.QueryVersion())) +
                    " detected.\r\nCookies folder: " + shown + "\r\n";
  if (outcome == Cleaned) {
    return log +
           "Cleaning expired cookies:\r\n1. File: site.txt, cookie: gone\r\n======\r\n"
           "1 files found with 2 cookies.\r\n1 files with 1 expired cookies found.\r\n"
           "0 files removed, 1 files optimized.\r\n";
  }
  if (outcome == Reported) {
    log += "Error [1113] reading folder: " + shown + "\r\nError [1113] reading folder: " + shown +
           "Low\\\r\n";
  }
  return log + "======\r\n0 files found with 0 cookies.\r\nNo expired cookies found.\r\n" +
         (outcome == Reported ? "I/O Errors: 2\r\n" : "");
}

// The shell's folder, or where the shell names none (Wine's names none that
// is not there) the profile's: where the short path cannot be had or leads
// elsewhere, the folder is shown and reported, or, where it is not there, as
// quiet as any missing folder. The Win32 calls would take bob. for bob,
// another account's folder. The folder that a look-alike or a changed path
// names is never touched.
TEST_F(Win32CookieFolder, NamesTheFolderByAShortPathThatLeadsBackOrReportsIt) {
  struct Case {
    bool FromShell;
    const wchar_t* Folder;  // the shell's folder, or the profile
    bool There;
    const wchar_t* Decoy;
    ShortPath Answer;
    Outcome Expected;
    const char* Shown;  // null: the short path
  };
  const Case cases[] = {
      {true, L"\u03a9mega", true, L"Omega", ShortPath::System, Cleaned, nullptr},
      {true, L"\u03a9mega", true, L"Omega", ShortPath::Denied, Reported, "?mega"},
      {true, L"\u03a9mega", true, L"Omega", ShortPath::Elsewhere, Reported, "?mega"},
      {true, L"\u03a9mega", true, L"Omega", ShortPath::NotFound, Quiet, "?mega"},
      {false, L"\u03a9mega", true, L"Omega", ShortPath::System, Cleaned, nullptr},
      {false, L"\u03a9mega", true, L"Omega", ShortPath::Denied, Reported, "?mega"},
      {false, L"\u03a9mega", true, L"Omega", ShortPath::Elsewhere, Reported, "?mega"},
      {false, L"\u03a9mega", true, L"Omega", ShortPath::NotFound, Quiet, "?mega"},
      {false, L"\u03a9absent", false, L"Omega", ShortPath::System, Quiet, "?absent"},
      {false, L"bob.", true, L"bob", ShortPath::System, Reported, "bob."},
      {false, L"zed.", false, L"zed", ShortPath::System, Quiet, "zed."},
  };
  for (const wchar_t* folder : {L"\u03a9mega", L"bob.", L"Omega", L"bob", L"zed"}) {
    Folder.MakeFolder(folder);
    Folder.MakeFolder(std::wstring(folder) + L"\\Cookies");
  }
  const std::string partly = Cookie("gone", kBeforeRuns) + Cookie("kept", kAfterRuns);
  for (const Case& c : cases) {
    const std::wstring cookies = c.FromShell ? L"" : L"\\Cookies";
    const std::wstring site = c.Folder + cookies + L"\\site.txt";
    const std::wstring decoy = c.Decoy + cookies + L"\\site.txt";
    if (c.There) Folder.Write(site, partly);
    Folder.Write(decoy, partly);
    SetShellCookieFolder(WideFolder + (c.FromShell ? c.Folder : L"absent"));
    SetEnvironmentVariableW(L"USERPROFILE", (WideFolder + c.Folder).c_str());
    ShortPathAnswer = c.Answer;
    LogText.clear();
    RunCleaning();
    std::string shown = c.Shown ? Folder.Path + c.Shown : ShortPathOf(WideFolder + c.Folder);
    shown += c.FromShell ? "\\" : "\\Cookies\\";
    EXPECT_EQ(LogText.substr(0, LogText.find("Working time: ")), RunLog(shown, c.Expected));
    if (c.There) {
      EXPECT_EQ(Folder.Read(site), c.Expected == Cleaned ? Cookie("kept", kAfterRuns) : partly);
    }
    EXPECT_EQ(Folder.Read(decoy), partly);
  }
}

}  // namespace
