// ScanCookieFolder over FindFirstFileA: which entries are counted and which
// are handed to the cleaning, whatever their attributes.
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
  ScanCookieFolder(filesFound);

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

TEST_F(Win32Scan, LeavesTheCountAloneForAFolderThatDoesNotExist) {
  CookieFolder = Folder.Path + "absent\\";
  int32_t filesFound = 3;
  ScanCookieFolder(filesFound);
  EXPECT_EQ(filesFound, 3);
  EXPECT_EQ(LogText, "");
}

}  // namespace
