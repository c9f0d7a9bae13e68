// The cookie folder as the shell and the environment name it, on the real
// Win32 calls: a folder whose path the code page cannot hold is reached by a
// short path only where that leads back to it, a path the Win32 calls would
// change names no folder, and the 9x family is asked in ANSI alone.
#include <string>
#include <vector>

#include "cleaning/run_cleaning.h"
#include "engine_fixture.h"
#include "log/run_log.h"
#include "platform/win32/win32_seams.h"

namespace {

const wchar_t* const kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Points the shell's cookie folder at `folder` while it lives.
class ShellCookieFolder {
 public:
  explicit ShellCookieFolder(const std::wstring& folder) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Key,
                    nullptr);
    DWORD size = sizeof Saved;
    Had = RegQueryValueExW(Key, L"Cookies", nullptr, &SavedType, Saved, &size) == ERROR_SUCCESS;
    SavedSize = size;
    Set(REG_EXPAND_SZ, folder.c_str(), (folder.size() + 1) * sizeof(wchar_t));
  }
  ~ShellCookieFolder() {
    if (Had) {
      Set(SavedType, Saved, SavedSize);
    } else {
      RegDeleteValueW(Key, L"Cookies");
    }
    RegCloseKey(Key);
  }
  ShellCookieFolder(const ShellCookieFolder&) = delete;
  ShellCookieFolder& operator=(const ShellCookieFolder&) = delete;

 private:
  void Set(DWORD type, const void* data, size_t size) {
    RegSetValueExW(Key, L"Cookies", 0, type, static_cast<const BYTE*>(data),
                   static_cast<DWORD>(size));
  }

  HKEY Key = nullptr;
  bool Had = false;
  DWORD SavedType = 0;
  BYTE Saved[2048];
  DWORD SavedSize = 0;
};

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

std::string Narrowed(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

std::string ShortPathOf(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH];
  DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return length != 0 && length < MAX_PATH ? Narrowed(shortPath) : "(none)";
}

// Expiry high halves before and after the time of any run (about 1998 and
// 2178): a whole run judges against the clock.
constexpr int64_t kBeforeRuns = 29000000;
constexpr int64_t kAfterRuns = 33000000;

// What a run makes of the folder: cleans it, reports it, or finds nothing.
enum Outcome { Cleaned, Reported, Quiet };

struct FolderCase {
  ShortPath Answer;
  Outcome Expected;
};

class Win32CookieFolder : public Win32EngineTest {
 protected:
  void SetUp() override {
    Win32EngineTest::SetUp();
    Seams.GetShortPathNameW = AnswerShortPath;
    ShortPathAnswer = ShortPath::System;
    WideFolder = Widened(Folder.Path);
    ElsewhereFolder = WideFolder + L"Omega";
    GetEnvironmentVariableW(L"USERPROFILE", Profile, MAX_PATH);
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"USERPROFILE", Profile);
    SetEnvironmentVariableW(L"QUILLFEN_TEST_FOLDER", nullptr);
    Win32EngineTest::TearDown();
  }

  // Runs a whole cleaning with one partly expired file in `cookies` (empty
  // where that folder is not there) and one in `decoy`, the folder that the
  // look-alike path or the changed path names, and checks both files and the
  // log up to its working time.
  void ExpectRun(const std::wstring& cookies, const std::wstring& decoy, const std::string& shown,
                 Outcome outcome) {
    const std::string partly = Cookie("gone", kBeforeRuns) + Cookie("kept", kAfterRuns);
    if (!cookies.empty()) Folder.Write(cookies + L"\\site.txt", partly);
    Folder.Write(decoy + L"\\site.txt", partly);
    LogText.clear();
    RunCleaning();
    std::string expected = "Quillfen 1.03 started.\r\nWindows " +
                           std::string(WindowsName(Platform.QueryVersion())) +
                           " detected.\r\nCookies folder: " + shown + "\r\n";
    if (outcome == Cleaned) {
      expected +=
          "Cleaning expired cookies:\r\n1. File: site.txt, cookie: gone\r\n======\r\n"
          "1 files found with 2 cookies.\r\n1 files with 1 expired cookies found.\r\n"
          "0 files removed, 1 files optimized.\r\n";
    } else {
      if (outcome == Reported) {
        expected += "Error [1113] reading folder: " + shown +
                    "\r\nError [1113] reading folder: " + shown + "Low\\\r\n";
      }
      expected += "======\r\n0 files found with 0 cookies.\r\nNo expired cookies found.\r\n";
      if (outcome == Reported) expected += "I/O Errors: 2\r\n";
    }
    EXPECT_EQ(LogText.substr(0, LogText.find("Working time: ")), expected);
    if (!cookies.empty()) {
      EXPECT_EQ(Folder.Read(cookies + L"\\site.txt"),
                outcome == Cleaned ? Cookie("kept", kAfterRuns) : partly);
    }
    EXPECT_EQ(Folder.Read(decoy + L"\\site.txt"), partly);
  }

  std::wstring WideFolder;
  wchar_t Profile[MAX_PATH] = {};
};

// The answers differ here: the ANSI calls give a look-alike ("O" for the
// omega), the wide ones the short path that leads back.
TEST_F(Win32CookieFolder, AsksInAnsiOnThe9xFamilyAndInUnicodeOnTheNtFamily) {
  const std::wstring omega = WideFolder + L"\u03a9mega";
  Folder.MakeFolder(L"\u03a9mega");
  ShellCookieFolder shell(omega);
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
    char buffer[kMaxPath] = {};
    EXPECT_EQ(Platform.QueryCookieFolder(buffer), FolderAnswer::Found) << platformId;
    EXPECT_EQ(std::string(buffer), nt ? ShortPathOf(omega) : ansiShell) << platformId;
    char expanded[kMaxPath] = {};
    EXPECT_EQ(Platform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%", expanded), FolderAnswer::Found)
        << platformId;
    EXPECT_EQ(std::string(expanded), nt ? ShortPathOf(omega) : ansiExpanded) << platformId;
  }
}

// Where the short path cannot be had or leads elsewhere, the shell's folder
// is shown and reported, or, where it is not there, as quiet as any missing
// folder; the folder its look-alike names is never touched.
TEST_F(Win32CookieFolder, NamesTheShellsFolderByAShortPathThatLeadsBackOrReportsIt) {
  const std::wstring omega = WideFolder + L"\u03a9mega";
  Folder.MakeFolder(L"\u03a9mega");
  Folder.MakeFolder(L"Omega");
  ShellCookieFolder shell(omega);
  const FolderCase cases[] = {{ShortPath::System, Cleaned},
                              {ShortPath::Denied, Reported},
                              {ShortPath::Elsewhere, Reported},
                              {ShortPath::NotFound, Quiet}};
  for (const FolderCase& c : cases) {
    ShortPathAnswer = c.Answer;
    std::string shown = c.Expected == Cleaned ? ShortPathOf(omega) : Folder.Path + "?mega";
    ExpectRun(L"\u03a9mega", L"Omega", shown + "\\", c.Expected);
  }
}

// Wine's shell names no folder that is not there, and the profile follows,
// named the same way; one that is not there is as quiet as any missing
// folder. The Win32 calls would take bob. for bob, another account's folder.
TEST_F(Win32CookieFolder, FallsBackToTheProfileNamedTheSameWay) {
  ShellCookieFolder shell(WideFolder + L"absent");
  struct ProfileCase {
    const wchar_t* Profile;
    bool There;
    const wchar_t* Decoy;
    const char* Shown;  // null: the short path
    FolderCase Case;
  };
  const ProfileCase cases[] = {
      {L"\u03a9mega", true, L"Omega", nullptr, {ShortPath::System, Cleaned}},
      {L"\u03a9mega", true, L"Omega", "?mega", {ShortPath::Denied, Reported}},
      {L"\u03a9mega", true, L"Omega", "?mega", {ShortPath::Elsewhere, Reported}},
      {L"\u03a9mega", true, L"Omega", "?mega", {ShortPath::NotFound, Quiet}},
      {L"\u03a9absent", false, L"Omega", "?absent", {ShortPath::System, Quiet}},
      {L"bob.", true, L"bob", "bob.", {ShortPath::System, Reported}},
      {L"zed.", false, L"zed", "zed.", {ShortPath::System, Quiet}},
  };
  Folder.MakeFolder(L"\u03a9mega");
  Folder.MakeFolder(L"\u03a9mega\\Cookies");
  Folder.MakeFolder(L"bob.");
  Folder.MakeFolder(L"bob.\\Cookies");
  for (const wchar_t* decoy : {L"Omega", L"bob", L"zed"}) {
    Folder.MakeFolder(decoy);
    Folder.MakeFolder(std::wstring(decoy) + L"\\Cookies");
  }
  for (const ProfileCase& c : cases) {
    const std::wstring profile = WideFolder + c.Profile;
    SetEnvironmentVariableW(L"USERPROFILE", profile.c_str());
    ShortPathAnswer = c.Case.Answer;
    std::string shown = c.Shown != nullptr ? Folder.Path + c.Shown : ShortPathOf(profile);
    std::wstring cookies = c.There ? std::wstring(c.Profile) + L"\\Cookies" : std::wstring();
    ExpectRun(cookies, std::wstring(c.Decoy) + L"\\Cookies", shown + "\\Cookies\\",
              c.Case.Expected);
  }
}

}  // namespace
