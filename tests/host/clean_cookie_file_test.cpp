#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <new>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "log/run_log.h"
#include "platform/file_writer.h"
#include "test_folder.h"

namespace {

using CleanCookieFileTest = EngineTest;

TEST_F(CleanCookieFileTest, LeavesAFileWithoutExpiredCookiesByteForByte) {
  std::string bytes = Cookie("a", kFuture, 0, "\r\n") + Cookie("b", 7, 101, "\r\n") +
                      Cookie("c", kFuture, 0, "\r\n") +
                      "\x1a"
                      "tail";
  Folder.Write("site.txt", bytes);
  CleanListedFile("site.txt");
  EXPECT_EQ(LogText, "");
  ExpectCounters(3, 0, 0, 0, 0, 0);
  EXPECT_EQ(Folder.Read("site.txt"), bytes);
}

TEST_F(CleanCookieFileTest, DeletesAFileWhoseCookiesAllExpired) {
  Folder.Write("all@site[1].txt",
               Cookie("one", kPast) + Cookie("two", 7, 100) + Cookie("three", -1, 5));
  CleanListedFile("all@site[1].txt");
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n"
            "1. File: all@site[1].txt, cookie: one\r\n"
            "2. File: all@site[1].txt, cookie: two\r\n"
            "3. File: all@site[1].txt, cookie: three\r\n");
  ExpectCounters(3, 3, 1, 1, 0, 0);
  EXPECT_TRUE(Folder.Names().empty());
}

// A ninth line with more than its "*" is kept as it stands.
TEST_F(CleanCookieFileTest, RewritesAPartlyExpiredFileWithTheKeptCookiesAndLineFeeds) {
  const std::string starred = "s\nv\nh\n1\n0\n8\n0\n0\n* and more\n";
  Folder.Write("part.txt", Cookie("a", kFuture, 1, "\r\n") + Cookie("b", kPast, 0, "\r\n") +
                               starred + Cookie("c", kFuture, 3, "\r") + "\x1a\x1a\x1a");
  CleanListedFile("part.txt");
  EXPECT_EQ(LogText, "Cleaning expired cookies:\r\n1. File: part.txt, cookie: b\r\n");
  ExpectCounters(4, 1, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read("part.txt"), Cookie("a", kFuture, 1) + starred + Cookie("c", kFuture, 3));
  EXPECT_EQ(Folder.Names(), std::vector<std::string>{"part.txt"});
}

// A last record cut short by the end of the data is kept with the "*" it
// lacked, so that the next run reads the file this one wrote.
TEST_F(CleanCookieFileTest, WritesARecordCutShortSoThatTheNextRunReadsIt) {
  const struct {
    std::string Cut, Written;
  } cases[] = {
      {"k\nv\nh\n1\n100\n8", "k\nv\nh\n1\n100\n8\n\n\n*\n"},
      {"k\nv\nh\n1\n100\n8\r\n7\r\n", "k\nv\nh\n1\n100\n8\n7\n\n*\n"},
      {"k\nv\nh\n1\n100\n8\n7\n\x1a", "k\nv\nh\n1\n100\n8\n7\n\x1a\n*\n"},
  };
  for (const auto& c : cases) {
    ResetEngine(Folder.Path);
    Folder.Write("cut.txt", Cookie("gone", kPast) + c.Cut);
    CleanListedFile("cut.txt");
    EXPECT_EQ(Folder.Read("cut.txt"), c.Written);
    ResetEngine(Folder.Path);
    CleanListedFile("cut.txt");
    EXPECT_EQ(LogText, "");
    ExpectCounters(1, 0, 0, 0, 0, 0);
    EXPECT_EQ(Folder.Read("cut.txt"), c.Written);
  }
}

// Other bytes after the Ctrl-Z that ended the records are data a deletion or
// a rewrite would destroy: the file is given up as of incorrect format.
TEST_F(CleanCookieFileTest, KeepsBytesAfterTheCtrlZOfAFileItWouldChange) {
  const std::string padding(kFileBufferSize + 100, '\x1a');
  const struct {
    std::string Cookies, Tail;
    bool Kept;
  } cases[] = {
      {Cookie("gone", kPast), "\x1a" + Cookie("k1", kFuture) + Cookie("k2", kFuture), true},
      {Cookie("gone", kPast) + Cookie("k", kFuture), "\x1a\x1atail", true},
      {Cookie("gone", kPast), padding + "x", true},
      {Cookie("gone", kPast), padding, false},
  };
  for (const auto& c : cases) {
    ResetEngine(Folder.Path);
    Folder.Write("z.txt", c.Cookies + c.Tail);
    CleanListedFile("z.txt");
    EXPECT_EQ(LogText,
              std::string("Cleaning expired cookies:\r\n1. File: z.txt, cookie: gone\r\n") +
                  (c.Kept ? "Error: Incorrect file format: z.txt\r\n" : ""));
    EXPECT_EQ(Counters.IncorrectFiles + Counters.FilesWithExpired, 1);
    EXPECT_EQ(Folder.Exists("z.txt") && Folder.Read("z.txt") == c.Cookies + c.Tail, c.Kept);
  }
}

TEST_F(CleanCookieFileTest, GivesUpAFileOnAFormatErrorAfterLoggingItsExpiredCookies) {
  std::string bytes = Cookie("a", kPast) + Cookie("b", kPast) + "c\nv\nh\n1\n\n7\n1\n2\n*\n";
  Folder.Write("bad.txt", bytes);
  CleanListedFile("bad.txt");
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n"
            "1. File: bad.txt, cookie: a\r\n"
            "2. File: bad.txt, cookie: b\r\n"
            "Error: Incorrect file format: bad.txt\r\n");
  ExpectCounters(2, 2, 0, 0, 0, 1);
  EXPECT_EQ(Folder.Read("bad.txt"), bytes);
}

TEST_F(CleanCookieFileTest, NumbersExpiredCookiesAcrossFilesUnderOneHeader) {
  Folder.Write("a.txt", Cookie("a1", kPast) + Cookie("a2", kPast));
  Folder.Write("b.txt", Cookie("b1", kPast) + Cookie("b2", kFuture) + Cookie("b3", kPast));
  Folder.Write("c.txt", Cookie("c1", kFuture));
  CleanListedFile("a.txt");
  CleanListedFile("c.txt");
  CleanListedFile("b.txt");
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n"
            "1. File: a.txt, cookie: a1\r\n"
            "2. File: a.txt, cookie: a2\r\n"
            "3. File: b.txt, cookie: b1\r\n"
            "4. File: b.txt, cookie: b3\r\n");
  ExpectCounters(6, 4, 2, 1, 0, 0);
  EXPECT_EQ(Folder.Read("b.txt"), Cookie("b2", kFuture));
}

TEST_F(CleanCookieFileTest, ReportsAFileThatCannotBeOpened) {
  CleanListedFile("gone.txt");
  EXPECT_EQ(LogText, "Error [2] reading file: gone.txt\r\n");
  ExpectCounters(0, 0, 0, 0, 1, 0);
}

TEST_F(CleanCookieFileTest, KeepsAReadOnlyFileWhoseCookiesAllExpired) {
  std::string bytes = Cookie("a", kPast);
  Folder.Write("ro.txt", bytes);
  Folder.MakeReadOnly("ro.txt");
  CleanListedFile("ro.txt");
  EXPECT_EQ(
      LogText,
      "Cleaning expired cookies:\r\n1. File: ro.txt, cookie: a\r\nError deleting: ro.txt\r\n");
  ExpectCounters(1, 1, 1, 1, 1, 0);
  EXPECT_EQ(Folder.Read("ro.txt"), bytes);
}

uint32_t NoOneStepReplace(const char*, const char*) { return kErrorCallNotImplemented; }

TEST_F(CleanCookieFileTest, KeepsAReadOnlyPartlyExpiredFileAndLeavesNoWorkingCopy) {
  // Refused by the one-step replacement, or by the deletion that stands in for it.
  for (auto moveOver : {NativePlatform.MoveOver, NoOneStepReplace}) {
    SCOPED_TRACE(moveOver == NoOneStepReplace ? "delete and rename" : "one step");
    TestFolder folder;
    ResetEngine(folder.Path);
    Platform.MoveOver = moveOver;
    std::string bytes = Cookie("a", kPast) + Cookie("b", kFuture);
    folder.Write("ro.txt", bytes);
    folder.MakeReadOnly("ro.txt");
    CleanListedFile("ro.txt");
    EXPECT_EQ(LogText,
              "Cleaning expired cookies:\r\n1. File: ro.txt, cookie: a\r\n"
              "Error: File is read-only or in use: ro.txt\r\n");
    ExpectCounters(2, 1, 1, 0, 1, 0);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"ro.txt"});
    EXPECT_EQ(folder.Read("ro.txt"), bytes);
  }
}

// Another program rewrote the file after the listing: to another size within
// the same write time (a FAT volume keeps it to 2 s), or to the same size a
// moment later, which may show in the low half of the write time only.
TEST_F(CleanCookieFileTest, LeavesAFileWhoseStampDiffersFromTheListedOne) {
  const struct {
    uint64_t Size;
    uint32_t Low, High;
  } changes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (const std::string& bytes :
       {Cookie("gone", kPast), Cookie("gone", kPast) + Cookie("k", kFuture)}) {
    for (const auto& change : changes) {
      ResetEngine(Folder.Path);
      Folder.Write("c.txt", bytes);
      FileStamp listed;
      ASSERT_EQ(Platform.QueryStamp((Folder.Path + "c.txt").c_str(), &listed), 0u);
      listed.Size += change.Size;
      listed.LastWrite.Low += change.Low;
      listed.LastWrite.High += change.High;
      CleanCookieFile("c.txt", listed);
      EXPECT_NE(LogText.find("Error: File changed by another program: c.txt\r\n"),
                std::string::npos);
      EXPECT_EQ(Counters.IoErrors, 1);
      EXPECT_EQ(Folder.Names(), std::vector<std::string>{"c.txt"});
      EXPECT_EQ(Folder.Read("c.txt"), bytes);
    }
  }
}

// Write times are kept to 100 ns: a rewrite to the same size within the
// second of the listing still shows.
TEST_F(CleanCookieFileTest, LeavesAFileRewrittenToTheSameSizeWithinTheListedSecond) {
  namespace fs = std::filesystem;
  const std::string path = Folder.Path + "c.txt";
  Folder.Write("c.txt", Cookie("a", kPast));
  const auto second = std::chrono::floor<std::chrono::seconds>(fs::last_write_time(path));
  fs::last_write_time(path, second + std::chrono::milliseconds(100));
  FileStamp listed;
  ASSERT_EQ(Platform.QueryStamp(path.c_str(), &listed), 0u);
  Folder.Write("c.txt", Cookie("b", kPast));
  fs::last_write_time(path, second + std::chrono::milliseconds(600));
  CleanCookieFile("c.txt", listed);
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n1. File: c.txt, cookie: b\r\n"
            "Error: File changed by another program: c.txt\r\n");
  EXPECT_EQ(Folder.Read("c.txt"), Cookie("b", kPast));
}

TEST_F(CleanCookieFileTest, OverwritesAnOldWorkingCopy) {
  Folder.Write("w.txt", Cookie("a", kPast) + Cookie("b", kFuture));
  Folder.Write("w.txt.bak", "left over from before");
  CleanListedFile("w.txt");
  EXPECT_EQ(Folder.Names(), std::vector<std::string>{"w.txt"});
  EXPECT_EQ(Folder.Read("w.txt"), Cookie("b", kFuture));
}

// A link at the working copy's name must not lead the kept cookies into the
// file it points to: the link goes, the other file stays as it was.
TEST_F(CleanCookieFileTest, NeverWritesThroughALinkAtTheWorkingCopyName) {
  Folder.Write("w.txt", Cookie("a", kPast) + Cookie("b", kFuture));
  Folder.Write("other.dat", "another program's data");
  ASSERT_EQ(symlink((Folder.Path + "other.dat").c_str(), (Folder.Path + "w.txt.bak").c_str()), 0);
  CleanListedFile("w.txt");
  EXPECT_EQ(Folder.Names(), (std::vector<std::string>{"other.dat", "w.txt"}));
  EXPECT_EQ(Folder.Read("w.txt"), Cookie("b", kFuture));
  EXPECT_EQ(Folder.Read("other.dat"), "another program's data");
}

TEST_F(CleanCookieFileTest, KeepsAFileWhenAReadOnlyFileBearsTheWorkingCopyName) {
  std::string bytes = Cookie("a", kPast) + Cookie("b", kFuture);
  Folder.Write("w.txt", bytes);
  Folder.Write("w.txt.bak", "read-only leftover");
  Folder.MakeReadOnly("w.txt.bak");
  CleanListedFile("w.txt");
  EXPECT_EQ(
      LogText,
      "Cleaning expired cookies:\r\n1. File: w.txt, cookie: a\r\nError writing file: w.txt\r\n");
  ExpectCounters(2, 1, 1, 0, 1, 0);
  EXPECT_EQ(Folder.Read("w.txt"), bytes);
  EXPECT_EQ(Folder.Read("w.txt.bak"), "read-only leftover");
}

// A full disk: part of the block reaches the working copy, then the write fails.
bool HalfWrite(FileHandle file, const char* data, uint32_t size) {
  NativePlatform.WriteBlock(file, data, size / 2);
  return false;
}

TEST_F(CleanCookieFileTest, RemovesAWorkingCopyWhoseWriteFailed) {
  std::string bytes = Cookie("a", kPast) + Cookie("b", kFuture);
  Folder.Write("w.txt", bytes);
  Platform.WriteBlock = HalfWrite;
  CleanListedFile("w.txt");
  EXPECT_EQ(
      LogText,
      "Cleaning expired cookies:\r\n1. File: w.txt, cookie: a\r\nError writing file: w.txt\r\n");
  ExpectCounters(2, 1, 1, 0, 1, 0);
  EXPECT_EQ(Folder.Names(), std::vector<std::string>{"w.txt"});
  EXPECT_EQ(Folder.Read("w.txt"), bytes);
}

TEST_F(CleanCookieFileTest, KeepsAFileWhoseWorkingCopyNameIsTooLong) {
  std::string name = std::string(248, 'n') + ".txt";
  std::string bytes = Cookie("a", kPast) + Cookie("b", kFuture);
  Folder.Write(name, bytes);
  CleanListedFile(name);
  EXPECT_EQ(LogText, "Cleaning expired cookies:\r\n1. File: " + name + ", cookie: a\r\n" +
                         "Error writing file: " + name + "\r\n");
  ExpectCounters(2, 1, 1, 0, 1, 0);
  EXPECT_EQ(Folder.Names(), std::vector<std::string>{name});
  EXPECT_EQ(Folder.Read(name), bytes);
}

TEST_F(CleanCookieFileTest, ReadsAFileOfAThousandRecordsInFull) {
  std::string bytes;
  std::string kept;
  for (int i = 0; i < 1000; ++i) {
    std::string cookie = Cookie("c" + std::to_string(i), i % 3 == 0 ? kPast : kFuture);
    bytes += cookie;
    if (i % 3 != 0) kept += cookie;
  }
  Folder.Write("many.txt", bytes);
  CleanListedFile("many.txt");
  ExpectCounters(1000, 334, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read("many.txt"), kept);
}

// The window sink, out of memory for the line of a cookie with a long name,
// as it was in a 32-bit window run over names of 20 MB: the file read whole
// is cleaned all the same, with no read error, and the count of the missing
// line shows in its place.
void AppendUnlessLong(LogParts line) {
  size_t length = 0;
  for (std::string_view part : line) length += part.size();
  if (length > 1000) throw std::bad_alloc();
  KeepLogLine(line);
}

TEST_F(CleanCookieFileTest, CleansAFileWhoseLogLineTheWindowHasNoMemoryFor) {
  const std::string name(2000, 'n');
  Folder.Write("long.txt", Cookie(name, kPast) + Cookie("kept", kFuture));
  LogBox.AppendToBox = AppendUnlessLong;
  CleanListedFile("long.txt");
  LogLine("next");
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n"
            "Error: Not enough memory to show 1 lines of the log.\r\nnext\r\n");
  ExpectCounters(2, 1, 1, 0, 0, 0);
  EXPECT_EQ(Folder.Read("long.txt"), Cookie("kept", kFuture));
}

constexpr uint32_t kErrorLockViolation = 33;  // a region another program has locked
int ReadsBeforeLock = 0;
uint32_t ReadUntilLocked(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd) {
  if (ReadsBeforeLock-- == 0) return kErrorLockViolation;
  return NativePlatform.ReadBlock(file, buffer, size, got, atEnd);
}

// The first block ends just after a record, where the file could also have
// ended: only the platform's answer tells that it did not.
TEST_F(CleanCookieFileTest, GivesUpAFileWhoseReadFailsAtARecordBoundary) {
  std::string first = Cookie("e", kPast);
  size_t missing = kFileBufferSize - first.size() - Cookie("k", kFuture).size();
  first += Cookie("k" + std::string(missing / 2, 'k'), kFuture, missing % 2 == 0 ? 0 : 10);
  ASSERT_EQ(first.size(), kFileBufferSize);
  std::string bytes = first + Cookie("t", kFuture);
  Folder.Write("edge.txt", bytes);
  Platform.ReadBlock = ReadUntilLocked;
  ReadsBeforeLock = 1;
  CleanListedFile("edge.txt");
  EXPECT_EQ(LogText,
            "Cleaning expired cookies:\r\n1. File: edge.txt, cookie: e\r\n"
            "Error [33] reading file: edge.txt\r\n");
  ExpectCounters(2, 1, 0, 0, 1, 0);
  EXPECT_EQ(Folder.Names(), std::vector<std::string>{"edge.txt"});
  EXPECT_EQ(Folder.Read("edge.txt"), bytes);
}

}  // namespace
