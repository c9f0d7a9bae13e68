// ScanCookieFolder over the system's directory search: which entries are
// counted and which are handed to the cleaning, whatever their attributes and
// whatever characters their names hold.
#include <cstring>
#include <string>
#include <vector>

#include <map>

#include "cleaning/cleaning_state.h"
#include "cleaning/scan_cookie_folder.h"
#include "engine_fixture.h"
#include "log/run_log.h"
#include "platform/win32/win32_seams.h"

namespace {

using Win32Scan = Win32EngineTest;
using Names = std::vector<std::string>;

bool Logged(const std::string& text) { return LogText.find(text) != std::string::npos; }

// The line of a file that no name in the code page leads to, shown as it is.
bool LoggedUnnamed(const std::string& shown) {
  return Logged("Error [1113] reading file: " + shown + "\r\n");
}

int32_t FilesFoundByAScan() {
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, 0);
  return filesFound;
}

// The paths the one-step replacement is handed, in order; it then moves as
// the system does.
std::vector<std::wstring> MovedOnto;

BOOL WINAPI NoteMoveTarget(LPCWSTR from, LPCWSTR to, DWORD flags) {
  MovedOnto.push_back(to);
  return MoveFileExW(from, to, flags);
}

std::string ShortNameOf(const ScratchFolder& folder, const std::wstring& name) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((UnlimitedPath(folder.Path) + name).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return std::string();
  FindClose(search);
  std::string shortName;
  for (const wchar_t* at = data.cAlternateFileName; *at != 0; ++at) shortName.push_back(*at);
  return shortName;
}

TEST_F(Win32Scan, CountsEveryMatchAndCleansTheFilesAbove18Bytes) {
  const std::string hidden = "user@www.example-cookie-site[1].txt";
  Folder.Write(hidden, Cookie("keep", kFuture) + Cookie("gone", kPast));
  Folder.SetAttributes(hidden, FILE_ATTRIBUTE_HIDDEN);
  std::string readOnly = Cookie("r1", kFuture) + Cookie("r2", kFuture);
  Folder.Write("readonly.txt", readOnly);
  Folder.SetAttributes("readonly.txt", FILE_ATTRIBUTE_READONLY);
  Folder.Write("system.txt", Cookie("old", kPast));
  Folder.SetAttributes("system.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  Folder.MakeFolder("x.txt");
  Folder.Write("small.txt", std::string(SmallFileLimit, '?'));
  Folder.Write("larger.txt", std::string(SmallFileLimit + 1, '?'));
  Folder.Write("other.dat", Cookie("dat", kPast));

  int32_t filesFound = 4;
  ScanCookieFolder(filesFound, 0);

  EXPECT_EQ(filesFound, 4 + 6);
  ExpectCounters(5, 2, 2, 1, 0, 1);
  EXPECT_TRUE(Logged(", cookie: gone\r\n"));
  EXPECT_TRUE(Logged(", cookie: old\r\n"));
  EXPECT_TRUE(Logged("Error: Incorrect file format: larger.txt\r\n"));
  EXPECT_FALSE(Logged("small.txt"));
  EXPECT_FALSE(Logged("x.txt"));
  EXPECT_EQ(Folder.Read(hidden), Cookie("keep", kFuture));
  EXPECT_EQ(Folder.Read("readonly.txt"), readOnly);
  EXPECT_EQ(Folder.Names(),
            (Names{"larger.txt", "other.dat", "readonly.txt", "small.txt", hidden, "x.txt"}));
}

// Where a file has no short name, the code page holds no name of it that
// leads to it alone: here the listing's short names are taken away.
void DropShortName(FoundEntry* entry) {
  if (std::strcmp(entry->Name, entry->LongName) != 0) entry->Name[0] = '\0';
}

// An omega is no character of code page 1252, whose own conversion would
// name Omega.txt instead: that file is cleaned once, and the other one never
// opened. A character outside the basic plane, two units in Unicode, shows
// as one "?".
TEST_F(Win32Scan, OpensNoFileByALookAlikeOfItsName) {
  const std::string partly = Cookie("gone", kPast) + Cookie("kept", kFuture);
  const std::wstring unheld[] = {L"\u03a9mega.txt", L"\U0001F36A.txt"};
  for (const std::wstring& name : unheld) Folder.Write(name, partly);
  Folder.Write("Omega.txt", partly);
  AlterListedEntries(DropShortName);

  EXPECT_EQ(FilesFoundByAScan(), 3);
  ExpectCounters(2, 1, 1, 0, 2, 0);
  EXPECT_TRUE(LoggedUnnamed("?mega.txt") && LoggedUnnamed("?.txt")) << LogText;
  for (const std::wstring& name : unheld) EXPECT_EQ(Folder.Read(name), partly);
  EXPECT_EQ(Folder.Read("Omega.txt"), Cookie("kept", kFuture));
}

// Wine makes a short name of four characters and a hash, which gives the
// first two long names one short name; a search for it names whichever comes
// first in the folder at that moment. A file is reached by its short name
// only where no other file answers to it, and its working copy is moved onto
// its long name; the others are reported and left as they are.
TEST_F(Win32Scan, ReachesAFileByItsShortNameOnlyWhereNoOtherAnswersToIt) {
  const std::wstring bank = L"\u0142ukasz@bank.example[1].txt";
  const std::wstring shop = L"\u0142ukasz@shopkko.example[1].txt";
  const std::wstring omega = L"\u03a9mega.txt";
  const std::string bankCookies = Cookie("gone-bank", kPast) + Cookie("kept-bank", kFuture);
  const std::string shopCookies = Cookie("gone-shop", kPast) + Cookie("kept-shop", kFuture);
  Folder.Write(bank, bankCookies);
  Folder.Write(shop, shopCookies);
  Folder.Write(omega, Cookie("gone", kPast) + Cookie("kept", kFuture));
  ASSERT_EQ(ShortNameOf(Folder, bank), ShortNameOf(Folder, shop));
  MovedOnto.clear();
  Seams.MoveFileExW = NoteMoveTarget;

  EXPECT_EQ(FilesFoundByAScan(), 3);
  EXPECT_TRUE(LoggedUnnamed("?ukasz@bank.example[1].txt")) << LogText;
  EXPECT_TRUE(LoggedUnnamed("?ukasz@shopkko.example[1].txt")) << LogText;
  ExpectCounters(2, 1, 1, 0, 2, 0);
  EXPECT_EQ(Folder.Read(bank), bankCookies);
  EXPECT_EQ(Folder.Read(shop), shopCookies);
  EXPECT_EQ(Folder.Read(omega), Cookie("kept", kFuture));
  EXPECT_EQ(MovedOnto, std::vector<std::wstring>{Widened(Folder.Path) + omega});
}

// The 9x family is listed and its files replaced through the ANSI calls
// alone, whatever the wide ones would answer there: its listing gives what
// the ANSI search gives, a look-alike here, and no wide move is made. The NT
// family's gives the short name that leads back.
TEST_F(Win32Scan, ListsAndReplacesInAnsiOnThe9xFamilyAndInUnicodeOnTheNtFamily) {
  const std::wstring omega = L"\u03a9mega.txt";
  Folder.Write(omega, Cookie("omega", kPast));
  WIN32_FIND_DATAA ansi;
  FindClose(FindFirstFileA((Folder.Path + "*mega.txt").c_str(), &ansi));
  Seams.MoveFileExW = NoteMoveTarget;
  for (uint32_t platformId : {1u, 2u}) {
    Seams.PlatformId = platformId;
    Folder.Write("plain.txt", Cookie("gone", kPast) + Cookie("kept", kFuture));
    std::map<std::string, std::string> names;  // the long name as shown, and the name
    SearchHandle search = nullptr;
    FoundEntry entry;
    for (uint32_t error = Platform.FindFirst((Folder.Path + "*.txt").c_str(), &search, &entry);
         error == 0; error = Platform.FindNext(search, &entry)) {
      names[entry.LongName] = entry.Name;
    }
    if (search != nullptr) Platform.FindEnd(search);
    const bool nt = platformId == 2;
    EXPECT_EQ(
        names,
        (std::map<std::string, std::string>{
            {nt ? "?mega.txt" : ansi.cFileName, nt ? ShortNameOf(Folder, omega) : ansi.cFileName},
            {"plain.txt", "plain.txt"}}))
        << platformId;
    MovedOnto.clear();
    CleanListedFile("plain.txt");
    EXPECT_EQ(Folder.Read("plain.txt"), Cookie("kept", kFuture)) << platformId;
    EXPECT_EQ(MovedOnto.size(), nt ? 1u : 0u) << platformId;
  }
}

TEST_F(Win32Scan, LeavesTheCountAloneForAFolderThatDoesNotExist) {
  CookieFolder = Folder.Path + "absent\\";
  int32_t filesFound = 3;
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(filesFound, 3);
  EXPECT_EQ(LogText, "");
}

}  // namespace
