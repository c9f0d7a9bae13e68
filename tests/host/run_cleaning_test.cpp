#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "cleaning/cleaning_state.h"
#include "cleaning/run_cleaning.h"
#include "log/run_log.h"
#include "test_folder.h"

namespace {

// What the wrapped platform answers about the run's environment.
struct FakeEnvironment {
  FolderAnswer Answer = FolderAnswer::Found;
  std::string ShellFolder;
  VersionInfo Version = {6, 1, 2};
  // Found: the host's own expansion; otherwise this answer, with ShellFolder
  // as the folder shown.
  FolderAnswer ExpansionAnswer = FolderAnswer::Found;
  uint32_t Ticks[2] = {4294967290u, 5u};
  int TickCalls = 0;
  int Scrolls = 0;
};
FakeEnvironment Fake;

FolderAnswer FakeQueryCookieFolder(char buffer[kMaxPath]) {
  std::strcpy(buffer, Fake.ShellFolder.c_str());
  return Fake.Answer;
}
VersionInfo FakeQueryVersion() { return Fake.Version; }
uint32_t FakeTickCount() { return Fake.Ticks[Fake.TickCalls++ % 2]; }
FileTime FakeNow() { return kTestNow; }
FolderAnswer FakeExpand(const char* text, char buffer[kMaxPath]) {
  if (Fake.ExpansionAnswer == FolderAnswer::Found)
    return NativePlatform.ExpandEnvironment(text, buffer);
  std::strcpy(buffer, Fake.ShellFolder.c_str());
  return Fake.ExpansionAnswer;
}
void CountScroll() { ++Fake.Scrolls; }

class RunCleaningTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Fake = FakeEnvironment{};
    Fake.ShellFolder = Folder.Path.substr(0, Folder.Path.size() - 1);
    Platform.QueryCookieFolder = FakeQueryCookieFolder;
    Platform.QueryVersion = FakeQueryVersion;
    Platform.TickCount = FakeTickCount;
    Platform.NowAsFileTime = FakeNow;
    Platform.ExpandEnvironment = FakeExpand;
    LogBox.ScrollBoxToEnd = CountScroll;
  }

  std::string Start(const char* windows) const {
    return std::string("Quillfen 1.03 started.\r\nWindows ") + windows + " detected.\r\n";
  }
  std::string FolderLine() const { return "Cookies folder: " + Fake.ShellFolder + "\\\r\n"; }
};

TEST_F(RunCleaningTest, LogsTheShortRunOfAnEmptyFolderExactly) {
  RunCleaning();
  EXPECT_EQ(LogText, Start("7") + FolderLine() +
                         "======\r\n0 files found with 0 cookies.\r\n"
                         "No expired cookies found.\r\n"
                         "Working time: 0.011 sec.\r\n");
  EXPECT_EQ(Fake.Scrolls, 1);
}

TEST_F(RunCleaningTest, ScansTheLowFolderFromMajorVersionSixAndSumsBothScans) {
  Folder.MakeFolder("Low");
  Folder.Write("a.txt", Cookie("a", kPast) + Cookie("b", kFuture));
  Folder.Write("small.txt", "tiny");
  Folder.Write("Low/bad.txt", Cookie("c", kPast) + "\n");
  RunCleaning();
  EXPECT_EQ(LogText, Start("7") + FolderLine() +
                         "Cleaning expired cookies:\r\n"
                         "1. File: a.txt, cookie: a\r\n"
                         "2. File: bad.txt, cookie: c\r\n"
                         "Error: Incorrect file format: bad.txt\r\n"
                         "======\r\n3 files found with 3 cookies.\r\n"
                         "1 files with 2 expired cookies found.\r\n"
                         "0 files removed, 1 files optimized.\r\n"
                         "Incorrect files: 1\r\n"
                         "Working time: 0.011 sec.\r\n");
  EXPECT_EQ(CookieFolder, Fake.ShellFolder + "\\Low\\");
}

TEST_F(RunCleaningTest, LeavesTheLowFolderAloneBeforeMajorVersionSix) {
  Fake.Version = {5, 1, 2};
  Folder.MakeFolder("Low");
  Folder.Write("Low/c.txt", Cookie("c", kPast));
  RunCleaning();
  EXPECT_EQ(LogText, Start("XP") + FolderLine() +
                         "======\r\n0 files found with 0 cookies.\r\n"
                         "No expired cookies found.\r\n"
                         "Working time: 0.011 sec.\r\n");
  EXPECT_TRUE(Folder.Exists("Low/c.txt"));
}

TEST_F(RunCleaningTest, CountsAFailedDeletionAsRemovedAndAsAnIoError) {
  Folder.Write("ro.txt", Cookie("r", kPast));
  Folder.MakeReadOnly("ro.txt");
  RunCleaning();
  EXPECT_NE(LogText.find("Error deleting: ro.txt\r\n======\r\n1 files found with 1 cookies.\r\n"
                         "1 files with 1 expired cookies found.\r\n"
                         "1 files removed, 0 files optimized.\r\n"
                         "I/O Errors: 1\r\nWorking time: "),
            std::string::npos)
      << LogText;
}

// The shell's folder, or the profile's, that neither its name nor its short
// path can name: shown as it is, reported for each scan where it is there and
// as quiet as any missing folder where it is not, and no other folder, such
// as the one its look-alike name would name, listed in its place.
TEST_F(RunCleaningTest, ReportsAFolderTheCodePageCannotNameAndListsNoOther) {
  Fake.ShellFolder = Folder.Path + "?mega";
  for (FolderAnswer answer : {FolderAnswer::NoExactName, FolderAnswer::NotThere}) {
    for (bool fromProfile : {false, true}) {
      Fake.Answer = fromProfile ? FolderAnswer::Failed : answer;
      Fake.ExpansionAnswer = fromProfile ? answer : FolderAnswer::Found;
      LogText.clear();
      RunCleaning();
      std::string folder = Fake.ShellFolder + (fromProfile ? "\\Cookies\\" : "\\");
      std::string reports = "Error [1113] reading folder: " + folder + "\r\n" +
                            "Error [1113] reading folder: " + folder + "Low\\\r\n";
      bool there = answer == FolderAnswer::NoExactName;
      EXPECT_EQ(LogText, Start("7") + "Cookies folder: " + folder + "\r\n" +
                             (there ? reports : "") +
                             "======\r\n0 files found with 0 cookies.\r\n"
                             "No expired cookies found.\r\n" +
                             (there ? "I/O Errors: 2\r\n" : "") + "Working time: 0.011 sec.\r\n");
    }
  }
}

TEST_F(RunCleaningTest, NamesTheOldShellBeforeTheWindowsLine) {
  Fake.Answer = FolderAnswer::NoEntry;
  setenv("USERPROFILE", Fake.ShellFolder.c_str(), 1);
  RunCleaning();
  EXPECT_EQ(
      LogText.substr(0, 100),
      ("Quillfen 1.03 started.\r\nOld version of shell32.dll detected\r\nWindows 7 detected.\r\n"
       "Cookies folder: " +
       Fake.ShellFolder + "\\Cookies\\\r\n")
          .substr(0, 100));
}

TEST_F(RunCleaningTest, FallsBackToTheEnvironmentByPlatform) {
  setenv("USERPROFILE", "/profile", 1);
  setenv("WINDIR", "/windows", 1);
  for (FolderAnswer answer : {FolderAnswer::NoLibrary, FolderAnswer::TooLong}) {
    Fake.Answer = answer;
    LogText.clear();
    RunCleaning();
    EXPECT_EQ(LogText.find("Cookies folder: /profile\\Cookies\\\r\n"), Start("7").size());
  }

  LogText.clear();
  Fake.Answer = FolderAnswer::Failed;
  Fake.Version = {4, 10, 1};
  RunCleaning();
  EXPECT_EQ(LogText.find(Start("9x") + "Cookies folder: /windows\\Cookies\\\r\n"), 0u);
}

TEST_F(RunCleaningTest, AbortsWhenNoFolderIsFound) {
  Fake.Answer = FolderAnswer::Failed;
  Fake.ExpansionAnswer = FolderAnswer::Failed;
  Counters.TotalCookies = 77;
  RunCleaning();
  EXPECT_EQ(LogText, Start("7") + "Error: Cookies folder not found.\r\nProcess aborted.\r\n");
  EXPECT_EQ(Counters.TotalCookies, 77);
  EXPECT_EQ(Fake.Scrolls, 0);
}

TEST_F(RunCleaningTest, AbortsWhenTheExpandedFolderDoesNotFitThePathBuffer) {
  Fake.Answer = FolderAnswer::Failed;
  setenv("USERPROFILE", std::string(300, 'p').c_str(), 1);
  RunCleaning();
  EXPECT_EQ(LogText, Start("7") + "Error: Cookies folder not found.\r\nProcess aborted.\r\n");
}

// The folder buffer holds 259 characters and the terminating zero.
TEST_F(RunCleaningTest, TakesAnExpansionOnlyWhenItFitsWithItsTerminatingZero) {
  for (const auto& [length, fits] : {std::pair<size_t, bool>{1, true}, {259, true}, {260, false}}) {
    std::string folder(length, 'p');
    setenv("QUILLFEN_TEST_FOLDER", folder.c_str(), 1);
    char buffer[kMaxPath] = {};
    EXPECT_EQ(Platform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%", buffer) == FolderAnswer::Found,
              fits)
        << length;
    if (fits) {
      EXPECT_EQ(std::string(buffer), folder);
    }
  }
}

// A result that does not fit with its terminating zero is too long, and
// leaves the bytes past the buffer alone.
TEST(HostExpandEnvironment, AnswersTooLongAndWritesNothingPastTheBuffer) {
  for (size_t length : {258, 259, 260, 261}) {
    std::string value(length, 'v');
    setenv("QUILLFEN_TEST_FOLDER", value.c_str(), 1);
    char buffer[kMaxPath + 8];
    std::memset(buffer, '#', sizeof buffer);
    FolderAnswer answer = NativePlatform.ExpandEnvironment("%QUILLFEN_TEST_FOLDER%", buffer);
    EXPECT_EQ(answer, length < kMaxPath ? FolderAnswer::Found : FolderAnswer::TooLong);
    if (answer == FolderAnswer::Found) {
      EXPECT_EQ(std::string(buffer), value);
    }
    EXPECT_EQ(std::string(buffer + kMaxPath, 8), std::string(8, '#')) << length;
  }
}

TEST(WindowsName, FollowsTheVersionTable) {
  struct Row {
    VersionInfo Version;
    const char* Name;
  };
  const Row rows[] = {
      {{3, 51, 2}, ""},    {{4, 0, 2}, "NT"}, {{5, 0, 2}, "2000"},  {{5, 1, 2}, "XP"},
      {{5, 2, 2}, "2003"}, {{5, 3, 2}, ""},   {{6, 0, 2}, "Vista"}, {{6, 1, 2}, "7"},
      {{6, 2, 2}, "7"},    {{10, 0, 2}, ""},  {{4, 10, 1}, "9x"},   {{10, 0, 0}, "9x"},
  };
  for (const Row& row : rows) {
    EXPECT_STREQ(WindowsName(row.Version), row.Name)
        << row.Version.PlatformId << " " << row.Version.Major << "." << row.Version.Minor;
  }
}

TEST_F(RunCleaningTest, WritesTwoBlanksForAnUnnamedRelease) {
  Fake.Version = {10, 0, 2};
  RunCleaning();
  EXPECT_EQ(LogText.find("Quillfen 1.03 started.\r\nWindows  detected.\r\n"), 0u);
}

TEST(FormatElapsed, DropsTrailingZerosButKeepsOneDecimalPlace) {
  const std::pair<uint32_t, const char*> table[] = {
      {0, "0.0"},        {1, "0.001"},    {10, "0.01"},
      {100, "0.1"},      {999, "0.999"},  {1000, "1.0"},
      {1005, "1.005"},   {1010, "1.01"},  {1050, "1.05"},
      {1200, "1.2"},     {1205, "1.205"}, {1250, "1.25"},
      {12345, "12.345"}, {60000, "60.0"}, {4294967295u, "4294967.295"}};
  for (const auto& [milliseconds, text] : table) EXPECT_EQ(FormatElapsed(milliseconds), text);
}

}  // namespace
