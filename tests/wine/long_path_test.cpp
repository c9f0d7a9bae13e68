// Paths of 260 characters or more: Windows refuses them, and nothing may be
// opened or created under a shortened name instead.
#include <string>
#include <vector>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "cleaning/run_cleaning.h"
#include "engine_fixture.h"
#include "log/run_log.h"

namespace {

using Win32LongPath = Win32EngineTest;
using Names = std::vector<std::string>;

// A name that makes the path in `folder` `length` characters long.
std::string NameForPathOf(const ScratchFolder& folder, size_t length) {
  const std::string ending = ".txt";
  return std::string(length - folder.Path.size() - ending.size(), 'n') + ending;
}

TEST_F(Win32LongPath, RefusesACookieFileOf260CharactersWithThePlatformsCode) {
  std::string name = NameForPathOf(Folder, 260);
  std::string expired = Cookie("a", kPast);
  Folder.Write(name, expired);
  // A path cut to its first 255 characters would reach this file.
  std::string cut = (Folder.Path + name).substr(0, 255).substr(Folder.Path.size());
  Folder.Write(cut, expired);
  FileHandle file = nullptr;
  uint32_t code = Platform.OpenExisting((Folder.Path + name).c_str(), &file);
  if (code == 0) Platform.CloseFile(file);
  ASSERT_NE(code, 0u);
  CleanListedFile(name);
  EXPECT_EQ(LogText, "Error [" + std::to_string(code) + "] reading file: " + name + "\r\n");
  ExpectCounters(0, 0, 0, 0, 1, 0);
  EXPECT_EQ(Folder.Read(name), expired);
  EXPECT_EQ(Folder.Read(cut), expired);
}

TEST_F(Win32LongPath, CleansACookieFileOf259Characters) {
  std::string name = NameForPathOf(Folder, 259);
  Folder.Write(name, Cookie("a", kPast));
  CleanListedFile(name);
  ExpectCounters(1, 1, 1, 1, 0, 0);
  EXPECT_TRUE(Folder.Names().empty());
}

// A path of 256 characters gives a working copy path of 260.
TEST_F(Win32LongPath, KeepsTheFileWhenTheWorkingCopyPathReaches260Characters) {
  std::string name = NameForPathOf(Folder, 256);
  std::string bytes = Cookie("keep", kFuture) + Cookie("gone", kPast);
  Folder.Write(name, bytes);
  CleanListedFile(name);
  const std::string expiredLine = "1. File: " + name + ", cookie: gone\r\n";
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n" + expiredLine + "Error writing file: " + name + "\r\n");
  ExpectCounters(2, 1, 1, 0, 1, 0);
  EXPECT_EQ(Folder.Read(name), bytes);
  EXPECT_EQ(Folder.Names(), Names{name});
}

TEST_F(Win32LongPath, ReplacesAFileWhoseWorkingCopyPathHas259Characters) {
  std::string name = NameForPathOf(Folder, 255);
  Folder.Write(name, Cookie("keep", kFuture) + Cookie("gone", kPast));
  CleanListedFile(name);
  ExpectCounters(2, 1, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read(name), Cookie("keep", kFuture));
  EXPECT_EQ(Folder.Names(), Names{name});
}

TEST_F(Win32LongPath, ExpandsOnlyWhatFitsTheFolderBuffer) {
  char buffer[kMaxPath];
  std::string fits(kMaxPath - 1, 'f');
  SetEnvironmentVariableA("QUILLFEN_TEST_FOLDER", fits.c_str());
  EXPECT_EQ(Platform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%", buffer), FolderAnswer::Found);
  EXPECT_EQ(std::string(buffer), fits);
  SetEnvironmentVariableA("QUILLFEN_TEST_FOLDER", (fits + "x").c_str());
  EXPECT_EQ(Platform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%", buffer), FolderAnswer::TooLong);
  EXPECT_EQ(Platform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%%QUILLFEN_TEST_FOLDER%", buffer),
            FolderAnswer::TooLong);
  SetEnvironmentVariableA("QUILLFEN_TEST_FOLDER", nullptr);
}

}  // namespace
