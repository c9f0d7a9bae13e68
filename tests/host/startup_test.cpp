#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include "log/run_log.h"
#include "shell/startup.h"
#include "test_folder.h"

namespace {

int WindowRuns = 0;
int FakeWindow() {
  ++WindowRuns;
  return 0;
}

// Runs start-up in the folder, with a cookie folder holding one expired file.
class StartUpTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_NE(getcwd(OldDirectory, sizeof OldDirectory), nullptr);
    ASSERT_EQ(chdir(Folder.Path.c_str()), 0);
    Folder.MakeFolder("cookies");
    Folder.Write("cookies/old.txt", Cookie("old", -1));
    setenv("QUILLFEN_COOKIES", (Folder.Path + "cookies").c_str(), 1);
    WindowRuns = 0;
  }
  void TearDown() override {
    ASSERT_EQ(chdir(OldDirectory), 0);
    unsetenv("QUILLFEN_COOKIES");
    EngineTest::TearDown();
  }

  int Start(const std::vector<std::string>& arguments) { return StartUp(arguments, FakeWindow); }

  void ExpectRunLog(const std::string& name) {
    std::string log = Folder.Read(name);
    EXPECT_EQ(log.find("Quillfen 1.03 started.\r\n"), 0u) << name;
    EXPECT_NE(log.find("1. File: old.txt, cookie: old\r\n"), std::string::npos) << name;
    EXPECT_NE(log.find(" sec.\r\n"), std::string::npos) << name;
  }

  char OldDirectory[4096];
};

TEST_F(StartUpTest, BatchModeReplacesResultLogInTheCurrentDirectory) {
  Folder.Write("Result.log", std::string(100000, '#'));
  EXPECT_EQ(Start({"a"}), 0);
  ExpectRunLog("Result.log");
  EXPECT_EQ(Folder.Read("Result.log").find('#'), std::string::npos);
  EXPECT_FALSE(Folder.Exists("cookies/old.txt"));
  EXPECT_EQ(WindowRuns, 0);
  EXPECT_FALSE(LogToWindow);
  EXPECT_EQ(LogText, "");
}

TEST_F(StartUpTest, BatchModeWritesToTheNamedFileAndIgnoresFurtherArguments) {
  EXPECT_EQ(Start({"a", "run one.log", "third"}), 0);
  ExpectRunLog("run one.log");
  EXPECT_FALSE(Folder.Exists("Result.log"));
  EXPECT_FALSE(Folder.Exists("third"));
}

TEST_F(StartUpTest, BatchModeFallsBackToResultLogForANameThatCannotBeMade) {
  for (const char* name : {"no-folder/x.log", "", "cookies"}) {
    EXPECT_EQ(Start({"a", name}), 0);
    ExpectRunLog("Result.log");
    EXPECT_EQ(LogFileName, "Result.log");
    ASSERT_EQ(unlink((Folder.Path + "Result.log").c_str()), 0);
    Folder.Write("cookies/old.txt", Cookie("old", -1));
  }
}

// Cut to 255 characters, the longer name would name this other file.
TEST_F(StartUpTest, BatchModeRefusesALogFileNameOf256CharactersOrMore) {
  const std::string other(255, 'L');
  Folder.Write(other, "another program's file");
  EXPECT_EQ(Start({"a", other + "/run.log"}), 0);
  ExpectRunLog("Result.log");
  EXPECT_EQ(Folder.Read(other), "another program's file");
  ASSERT_EQ(unlink(other.c_str()), 0);
  Folder.Write("cookies/old.txt", Cookie("old", -1));
  EXPECT_EQ(Start({"a", other}), 0);
  ExpectRunLog(other);
  // 256 characters, cut to 255, would name this file.
  const std::string cut = "d/" + std::string(253, 'L');
  Folder.MakeFolder("d");
  Folder.Write(cut, "another program's file");
  Folder.Write("cookies/old.txt", Cookie("old", -1));
  EXPECT_EQ(Start({"a", cut + "L"}), 0);
  ExpectRunLog("Result.log");
  EXPECT_EQ(Folder.Read(cut), "another program's file");
  EXPECT_FALSE(Folder.Exists(cut + "L"));
}

TEST_F(StartUpTest, BatchModeStillCleansWithoutAnyLogFile) {
  Folder.MakeFolder("Result.log");
  EXPECT_EQ(Start({"a", "no-folder/x.log"}), 0);
  EXPECT_FALSE(LogToFile);
  EXPECT_FALSE(Folder.Exists("cookies/old.txt"));
  EXPECT_EQ(Folder.Names(), (std::vector<std::string>{"Result.log", "cookies"}));
}

TEST_F(StartUpTest, EveryOtherCommandLineOpensTheWindowAndNoLogFile) {
  const std::vector<std::vector<std::string>> commandLines = {{},     {"A"},  {"-a"}, {"/a"},
                                                              {"a "}, {"ab"}, {""},   {"x", "a"}};
  for (const auto& arguments : commandLines) EXPECT_EQ(Start(arguments), 0);
  EXPECT_EQ(WindowRuns, static_cast<int>(commandLines.size()));
  EXPECT_TRUE(LogToWindow);
  EXPECT_FALSE(LogToFile);
  EXPECT_EQ(Folder.Names(), std::vector<std::string>{"cookies"});
}

}  // namespace
