// ScanCookieFolder over the system's directory search: which entries are
// counted and which are handed to the cleaning, whatever their attributes and
// whatever characters their names hold.
#include <cstring>
#include <string>
#include <vector>

#include "cleaning/cleaning_state.h"
#include "cleaning/scan_cookie_folder.h"
#include "engine_fixture.h"
#include "log/run_log.h"

namespace {

using Win32Scan = Win32EngineTest;
using Names = std::vector<std::string>;

bool Logged(const std::string& text) { return LogText.find(text) != std::string::npos; }

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
// opened.
TEST_F(Win32Scan, OpensNoFileByALookAlikeOfItsName) {
  const std::string partly = Cookie("gone", kPast) + Cookie("kept", kFuture);
  const std::wstring omega = UnlimitedPath(Folder.Path) + L"\u03a9mega.txt";
  HANDLE file = CreateFileW(omega.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, partly.data(), static_cast<DWORD>(partly.size()), &written, nullptr);
  CloseHandle(file);
  Folder.Write("Omega.txt", partly);
  AlterListedEntries(DropShortName);

  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, 0);

  EXPECT_EQ(filesFound, 2);
  ExpectCounters(2, 1, 1, 0, 1, 0);
  EXPECT_TRUE(Logged("Error [1113] reading file: ?mega.txt\r\n")) << LogText;
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(omega.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, partly.size());
  EXPECT_EQ(Folder.Read("Omega.txt"), Cookie("kept", kFuture));
}

TEST_F(Win32Scan, LeavesTheCountAloneForAFolderThatDoesNotExist) {
  CookieFolder = Folder.Path + "absent\\";
  int32_t filesFound = 3;
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(filesFound, 3);
  EXPECT_EQ(LogText, "");
}

}  // namespace
