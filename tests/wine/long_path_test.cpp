// Paths of 260 characters or more: Windows refuses them, and nothing may be
// opened or created under a shortened name instead.
#include <string>
#include <vector>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "cleaning/run_cleaning.h"
#include "engine_fixture.h"
#include "shell/run_log.h"

namespace {

using Win32LongPath = Win32EngineTest;
using Names = std::vector<std::string>;

// A name that makes the path in `folder` `length` characters long.
std::string NameForPathOf(const ScratchFolder& folder, size_t length) {
  const std::string ending = ".txt";
  return std::string(length - folder.Path.size() - ending.size(), 'n') + ending;
}

TEST_F(Win32LongPath, CleansACookieFileOf259Characters) {
  std::string name = NameForPathOf(Folder, 259);
  Folder.Write(name, Cookie("a", kPast));
  CleanCookieFile(name);
  ExpectCounters(1, 1, 1, 1, 0, 0);
  EXPECT_TRUE(Folder.Names().empty());
}

TEST_F(Win32LongPath, ReplacesAFileWhoseWorkingCopyPathHas259Characters) {
  std::string name = NameForPathOf(Folder, 255);
  Folder.Write(name, Cookie("keep", kFuture) + Cookie("gone", kPast));
  CleanCookieFile(name);
  ExpectCounters(2, 1, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read(name), Cookie("keep", kFuture));
  EXPECT_EQ(Folder.Names(), Names{name});
}

TEST_F(Win32LongPath, ExpandsOnlyWhatFitsTheFolderBuffer) {
  char buffer[kMaxPath];
  std::string fits(kMaxPath - 1, 'f');
  SetEnvironmentVariableA("QUILLFEN_TEST_FOLDER", fits.c_str());
  EXPECT_TRUE(ExpandIntoCookieFolder("%QUILLFEN_TEST_FOLDER%", buffer));
  EXPECT_EQ(std::string(buffer), fits);
  SetEnvironmentVariableA("QUILLFEN_TEST_FOLDER", (fits + "x").c_str());
  EXPECT_FALSE(ExpandIntoCookieFolder("%QUILLFEN_TEST_FOLDER%", buffer));
  EXPECT_FALSE(ExpandIntoCookieFolder("%QUILLFEN_TEST_FOLDER%%QUILLFEN_TEST_FOLDER%", buffer));
  SetEnvironmentVariableA("QUILLFEN_TEST_FOLDER", nullptr);
}

}  // namespace
