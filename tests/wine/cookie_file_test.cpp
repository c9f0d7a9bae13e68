// CleanCookieFile on the Win32 calls: the open codes the log shows, and how a
// cookie file is deleted or replaced when Windows lets it and when it refuses.
#include <memory>
#include <string>
#include <vector>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "engine_fixture.h"
#include "file_holder.h"
#include "log/run_log.h"

namespace {

using Win32CookieFile = Win32EngineTest;
using Names = std::vector<std::string>;

const std::string kPartlyExpired = Cookie("keep1", kFuture, 1, "\r\n") +
                                   Cookie("gone", kPast, 0, "\r\n") +
                                   Cookie("keep2", kFuture, 2, "\r\n");
const std::string kKept = Cookie("keep1", kFuture, 1) + Cookie("keep2", kFuture, 2);
const std::string kPartlyExpiredLog =
    "Cleaning expired cookies:\r\n1. File: part.txt, cookie: gone\r\n";
const std::string kRefusedReplaceLog =
    kPartlyExpiredLog + "Error: File is read-only or in use: part.txt\r\n";

uint32_t ReplaceNotImplemented(const char*, const char*) { return kErrorCallNotImplemented; }

int ReplaceCalls = 0;
uint32_t CountedReplace(const char* from, const char* to) {
  ++ReplaceCalls;
  return NativePlatform.MoveOver(from, to);
}

// Another process takes hold of the file just before it is replaced.
std::unique_ptr<HeldFile> HolderOfTarget;
uint32_t ReplaceWhileHeld(const char* from, const char* to) {
  HolderOfTarget.reset(new HeldFile(to));
  EXPECT_EQ(HolderOfTarget->Answer(), "held");
  return NativePlatform.MoveOver(from, to);
}

TEST_F(Win32CookieFile, ReportsTheOpenCodeOfAFileHeldByAnotherProcess) {
  std::string bytes = Cookie("a", kPast) + Cookie("b", kPast);
  Folder.Write("held.txt", bytes);
  {
    HeldFile holder(Folder.Path + "held.txt");
    ASSERT_EQ(holder.Answer(), "held");
    CleanListedFile("held.txt");
  }
  EXPECT_EQ(LogText, "Error [5] reading file: held.txt\r\n");
  ExpectCounters(0, 0, 0, 0, 1, 0);
  EXPECT_EQ(Folder.Read("held.txt"), bytes);
}

TEST_F(Win32CookieFile, ReportsTheOpenCodesOfAMissingFileAndAMissingFolder) {
  CleanListedFile("gone.txt");
  CookieFolder = Folder.Path + "absent\\";
  CleanListedFile("lost.txt");
  EXPECT_EQ(LogText,
            "Error [2] reading file: gone.txt\r\n"
            "Error [3] reading file: lost.txt\r\n");
  ExpectCounters(0, 0, 0, 0, 2, 0);
  EXPECT_TRUE(Folder.Names().empty());
}

TEST_F(Win32CookieFile, ReplacesAPartlyExpiredFileInOneStepWithoutItsAttributes) {
  Folder.Write("part.txt", kPartlyExpired);
  Folder.SetAttributes("part.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Folder.Write("part.txt.bak", std::string(5000, 'x'));
  Platform.MoveOver = CountedReplace;
  ReplaceCalls = 0;
  CleanListedFile("part.txt");
  EXPECT_EQ(ReplaceCalls, 1);
  EXPECT_EQ(LogText, kPartlyExpiredLog);
  ExpectCounters(3, 1, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read("part.txt"), kKept);
  EXPECT_EQ(Folder.Attributes("part.txt") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
  EXPECT_EQ(Folder.Names(), Names{"part.txt"});
}

TEST_F(Win32CookieFile, ReplacesByDeleteAndRenameWhereTheOneStepIsMissing) {
  Folder.Write("part.txt", kPartlyExpired);
  Platform.MoveOver = ReplaceNotImplemented;
  CleanListedFile("part.txt");
  EXPECT_EQ(LogText, kPartlyExpiredLog);
  ExpectCounters(3, 1, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read("part.txt"), kKept);
  EXPECT_EQ(Folder.Names(), Names{"part.txt"});
}

TEST_F(Win32CookieFile, KeepsAReadOnlyFileWhoseCookiesAllExpired) {
  std::string bytes = Cookie("a", kPast) + Cookie("b", kPast);
  Folder.Write("ro.txt", bytes);
  Folder.SetAttributes("ro.txt", FILE_ATTRIBUTE_READONLY);
  CleanListedFile("ro.txt");
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n"
            "1. File: ro.txt, cookie: a\r\n"
            "2. File: ro.txt, cookie: b\r\n"
            "Error deleting: ro.txt\r\n");
  ExpectCounters(2, 2, 1, 1, 1, 0);
  EXPECT_EQ(Folder.Read("ro.txt"), bytes);
}

// Windows refuses to replace a read-only file in one step. Wine 8 replaces it
// whoever runs it, as its rename does not look at the target's attributes, so
// what this system does is asked first.
bool MoveOverReplacesReadOnlyFiles() {
  ScratchFolder folder;
  folder.Write("target", "old");
  folder.SetAttributes("target", FILE_ATTRIBUTE_READONLY);
  folder.Write("source", "new");
  return MoveFileExA((folder.Path + "source").c_str(), (folder.Path + "target").c_str(),
                     MOVEFILE_REPLACE_EXISTING) != 0;
}

// Where the file is not replaced, both ways of replacing must leave it as
// it was, take the working copy away again and say which file stayed.
TEST_F(Win32CookieFile, KeepsAReadOnlyPartlyExpiredFileUnlessTheSystemReplacesIt) {
  const bool oneStepReplaces = MoveOverReplacesReadOnlyFiles();
  for (auto replace : {NativePlatform.MoveOver, ReplaceNotImplemented}) {
    const bool replaced = replace != ReplaceNotImplemented && oneStepReplaces;
    SCOPED_TRACE(replace == ReplaceNotImplemented ? "delete and rename"
                 : replaced                       ? "one step, replacing read-only files"
                                                  : "one step");
    ScratchFolder folder;
    CookieFolder = folder.Path;
    LogText.clear();
    Counters = CleaningCounters{};
    Platform.MoveOver = replace;
    folder.Write("part.txt", kPartlyExpired);
    folder.SetAttributes("part.txt", FILE_ATTRIBUTE_READONLY);
    CleanListedFile("part.txt");
    EXPECT_EQ(LogText, replaced ? kPartlyExpiredLog : kRefusedReplaceLog);
    ExpectCounters(3, 1, 1, 0, replaced ? 0 : 1, 0);
    EXPECT_EQ(folder.Read("part.txt"), replaced ? kKept : kPartlyExpired);
    EXPECT_EQ(folder.Names(), Names{"part.txt"});
  }
}

TEST_F(Win32CookieFile, KeepsAFileThatAnotherProcessHoldsWhenItIsReplaced) {
  Folder.Write("part.txt", kPartlyExpired);
  Platform.MoveOver = ReplaceWhileHeld;
  CleanListedFile("part.txt");
  HolderOfTarget.reset();
  EXPECT_EQ(LogText, kRefusedReplaceLog);
  ExpectCounters(3, 1, 1, 0, 1, 0);
  EXPECT_EQ(Folder.Read("part.txt"), kPartlyExpired);
  EXPECT_EQ(Folder.Names(), Names{"part.txt"});
}

TEST_F(Win32CookieFile, KeepsTheFileWhenAReadOnlyFileBlocksTheWorkingCopy) {
  Folder.Write("part.txt", kPartlyExpired);
  Folder.Write("part.txt.bak", "someone else's");
  Folder.SetAttributes("part.txt.bak", FILE_ATTRIBUTE_READONLY);
  CleanListedFile("part.txt");
  EXPECT_EQ(LogText, kPartlyExpiredLog + "Error writing file: part.txt\r\n");
  ExpectCounters(3, 1, 1, 0, 1, 0);
  EXPECT_EQ(Folder.Read("part.txt"), kPartlyExpired);
  EXPECT_EQ(Folder.Read("part.txt.bak"), "someone else's");
}

}  // namespace
