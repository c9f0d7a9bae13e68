#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cleaning/cleaning_state.h"
#include "cleaning/scan_cookie_folder.h"
#include "log/run_log.h"
#include "test_folder.h"

namespace {

using ScanCookieFolderTest = EngineTest;

// Nineteen bytes that are no cookie: cleaning such a file logs a format error,
// which shows that the scan handed it over.
const std::string kNineteenBytes = "0123456789abcdefghi";

TEST_F(ScanCookieFolderTest, CountsEveryMatchAndCleansOnlyThoseAboveEighteenBytes) {
  Folder.Write("a.txt", Cookie("a", kFuture));
  Folder.Write("b.txt", kNineteenBytes.substr(0, 18));
  Folder.Write("c.txt", kNineteenBytes);
  Folder.Write("d.dat", std::string(500, 'x'));
  Folder.Write("empty.txt", "");
  Folder.Write("UPPER.TXT", kNineteenBytes);
  Folder.Write(".hidden.txt", Cookie("h", kPast));
  Folder.MakeFolder("folder.txt");
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(filesFound, 7);
  EXPECT_EQ(Counters.TotalCookies, 2);
  EXPECT_EQ(Counters.IncorrectFiles, 2);
  EXPECT_NE(LogText.find("Error: Incorrect file format: c.txt\r\n"), std::string::npos);
  EXPECT_NE(LogText.find("Error: Incorrect file format: UPPER.TXT\r\n"), std::string::npos);
  EXPECT_EQ(LogText.find("b.txt"), std::string::npos);
  EXPECT_FALSE(Folder.Exists(".hidden.txt"));
  EXPECT_TRUE(Folder.Exists("b.txt"));
}

TEST_F(ScanCookieFolderTest, AddsToTheCountItIsGivenAndIgnoresAMissingFolder) {
  Folder.Write("a.txt", Cookie("a", kFuture));
  int32_t filesFound = 5;
  ScanCookieFolder(filesFound, 0);
  CookieFolder = Folder.Path + "missing\\";
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(filesFound, 6);
  EXPECT_EQ(LogText, "");
}

// Each name as the listing leaves it, followed by what is left of a longer
// name listed before, which no check may read.
constexpr char kStaleBytes[] = "\x7f";
void LeaveAStaleByte(FoundEntry* entry) {
  for (char* name : {entry->Name, entry->LongName}) {
    std::strcpy(name + std::strlen(name) + 1, kStaleBytes);
  }
}

// Windows matches "*.txt" against short names too, so the search may report
// names that only look like cookie files in 8.3 form; this one reports all.
uint32_t FindEveryName(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  std::string every(pattern);
  every.erase(every.size() - 4);
  return NativePlatform.FindFirst(every.c_str(), search, entry);
}

// Code page 932, where "\x83\x5c" is one character (katakana so).
bool ShiftJisLeadByte(char byte) {
  EXPECT_NE(byte, kStaleBytes[0]) << "a byte after the name was read";
  auto b = static_cast<unsigned char>(byte);
  return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
}

// "cut\x83" is a name cut short after the first byte of a character.
TEST_F(ScanCookieFolderTest, CountsOnlyLongNamesEndingInTxt) {
  for (const char* name : {"notes.txt~", "cookies.txt_2011", "q.txtx", "footxt", "a.txtatxt",
                           "a.TxT", "b.txt", ".txt", "\x83\x5c.txt", "cut\x83"}) {
    Folder.Write(name, Cookie("gone", kPast));
  }
  ASSERT_EQ(mkfifo((Folder.Path + "pipe.txt").c_str(), 0644), 0);
  Platform.FindFirst = FindEveryName;
  AlterListedEntries(LeaveAStaleByte);
  Platform.IsLeadByte = ShiftJisLeadByte;
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(filesFound, 5);
  EXPECT_EQ(Folder.Names(),
            (std::vector<std::string>{"a.txtatxt", "cookies.txt_2011", "cut\x83", "footxt",
                                      "notes.txt~", "pipe.txt", "q.txtx", "\x83\x5c.txt"}));
}

// No host file name holds a slash, but a listing may: this one gives the
// names with slashes for backslashes.
void PutSlashesForBackslashes(FoundEntry* entry) {
  for (char* name : {entry->Name, entry->LongName}) {
    std::replace(name, name + std::strlen(name), '\\', '/');
  }
}

// Put behind the folder, a listed name ..\..\x.txt or ../../x.txt names a
// file two folders up: here a copy of this one, with its bytes and write time.
TEST_F(ScanCookieFolderTest, NeverFollowsANameOutOfTheFolder) {
  const std::string partly = Cookie("gone", kPast) + Cookie("kept", kFuture);
  const std::pair<std::string, std::string> files[] = {{"gone.txt", Cookie("gone", kPast)},
                                                       {"part.txt", partly}};
  Folder.MakeFolder("a");
  Folder.MakeFolder("a/b");
  for (const auto& [name, bytes] : files) {
    Folder.Write(name, bytes);
    Folder.Write("a/b/..\\..\\" + name, bytes);
    std::filesystem::last_write_time(Folder.Path + "a/b/..\\..\\" + name,
                                     std::filesystem::last_write_time(Folder.Path + name));
  }
  CookieFolder = Folder.Path + "a/b/";
  for (bool slashes : {false, true}) {
    if (slashes) AlterListedEntries(PutSlashesForBackslashes);
    int32_t filesFound = 0;
    ScanCookieFolder(filesFound, 0);
    EXPECT_EQ(filesFound, 0);
    EXPECT_EQ(LogText, "");
    for (const auto& [name, bytes] : files) {
      EXPECT_EQ(Folder.Read(name), bytes);
      EXPECT_EQ(Folder.Read("a/b/..\\..\\" + name), bytes);
    }
  }
}

TEST_F(ScanCookieFolderTest, CleansAReplacedFileOnlyOnce) {
  for (int i = 0; i < 50; ++i) {
    Folder.Write("f" + std::to_string(i) + ".txt", Cookie("gone", kPast) + Cookie("kept", kFuture));
  }
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(filesFound, 50);
  EXPECT_EQ(Counters.TotalCookies, 100);
  EXPECT_EQ(Counters.FilesWithExpired, 50);
  EXPECT_EQ(Folder.Read("f7.txt"), Cookie("kept", kFuture));
}

// A browser may rewrite a cookie file between the folder's listing and its
// cleaning. This one grows by a cookie as the cleaning opens it, and its
// reads hand out blocks of the size the listing gave.
std::string GrowingFile;
uint32_t ListedSize = 0;

uint32_t OpenAfterGrowing(const char* path, FileHandle* file) {
  if (GrowingFile == path) {
    std::ofstream(path, std::ios::binary | std::ios::app) << Cookie("late", kFuture);
    GrowingFile.clear();
  }
  return NativePlatform.OpenExisting(path, file);
}

uint32_t ReadInListedBlocks(FileHandle file, char* buffer, uint32_t size, uint32_t* got,
                            bool* atEnd) {
  return NativePlatform.ReadBlock(file, buffer, size < ListedSize ? size : ListedSize, got, atEnd);
}

// Its stamp no longer matches the listing's, so it is left as the browser
// wrote it: nothing it added is lost, and nothing it removed comes back.
TEST_F(ScanCookieFolderTest, LeavesAFileThatGrewSinceTheListingAsItIs) {
  const std::string listed = Cookie("gone", kPast) + Cookie("kept", kFuture);
  Folder.Write("a.txt", listed);
  GrowingFile = Folder.Path + "a.txt";
  ListedSize = static_cast<uint32_t>(listed.size());
  Platform.OpenExisting = OpenAfterGrowing;
  Platform.ReadBlock = ReadInListedBlocks;
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, 0);
  EXPECT_EQ(Counters.TotalCookies, 3);
  EXPECT_EQ(Counters.IoErrors, 1);
  EXPECT_EQ(Folder.Read("a.txt"), listed + Cookie("late", kFuture));
  EXPECT_NE(LogText.find("Error: File changed by another program: a.txt\r\n"), std::string::npos);
  EXPECT_FALSE(Folder.Exists("a.txt.bak"));
}

// A pipe another program puts in the place of a listed file, and never
// writes to: the run must not wait for a writer.
std::string PipePath;
uint32_t OpenAfterPipeIsPut(const char* path, FileHandle* file) {
  if (PipePath == path && unlink(path) == 0) mkfifo(path, 0644);
  return NativePlatform.OpenExisting(path, file);
}

TEST_F(ScanCookieFolderTest, DoesNotWaitForAPipePutInPlaceAfterTheListing) {
  Folder.Write("a.txt", Cookie("gone", kPast));
  PipePath = Folder.Path + "a.txt";
  Platform.OpenExisting = OpenAfterPipeIsPut;
  int32_t filesFound = 0;
  alarm(10);  // a run that waits is ended, and the test fails with it
  ScanCookieFolder(filesFound, 0);
  alarm(0);
  EXPECT_EQ(Counters.IoErrors + Counters.IncorrectFiles, 1);
  EXPECT_EQ(LogText.substr(LogText.rfind(": ")), ": a.txt\r\n");
}

}  // namespace
