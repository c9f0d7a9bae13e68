#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "log/run_log.h"
#include "test_folder.h"

namespace {

std::vector<std::string> BoxAppends;
void RecordAppend(LogParts line) {
  std::string text;
  for (std::string_view part : line) text.append(part);
  BoxAppends.push_back(text);
}

// A box that has no memory for any line that mentions "big".
void AppendUnlessBig(LogParts line) {
  for (std::string_view part : line)
    if (part.find("big") != std::string_view::npos) throw std::bad_alloc();
  RecordAppend(line);
}

class RunLogTest : public EngineTest {
 protected:
  void StartFileSink() {
    LogToWindow = false;
    LogToFile = true;
    ASSERT_EQ(LogFile.Create((Folder.Path + "Result.log").c_str()), 0u);
  }
  std::string CloseFileSink() {
    if (LogToFile) {
      EXPECT_TRUE(LogFile.Close());
    }
    LogToFile = false;
    return Folder.Read("Result.log");
  }
};

TEST_F(RunLogTest, FileSinkWritesEveryByteWithCrLf) {
  StartFileSink();
  LogLine("Quillfen 1.03 started.");
  LogLine("");
  LogLine("======\r\n3 files found with 0 cookies.");
  LogLine(std::string("zero\0byte \xe9\xff", 12));
  const char expected[] =
      "Quillfen 1.03 started.\r\n\r\n======\r\n3 files found with 0 cookies.\r\n"
      "zero\0byte \xe9\xff\r\n";
  EXPECT_EQ(CloseFileSink(), std::string(expected, sizeof expected - 1));
  EXPECT_EQ(LogText, "");
}

TEST_F(RunLogTest, WindowSinkHandsEachLineToTheBoxInItsParts) {
  BoxAppends.clear();
  LogBox.AppendToBox = RecordAppend;
  LogLine("one");
  LogLine("");
  LogLine({"a\r\n", "", "b"});
  EXPECT_EQ(BoxAppends, (std::vector<std::string>{"one", "", "a\r\nb"}));
  EXPECT_FALSE(Folder.Exists("Result.log"));
}

// Lines the box has no memory for are counted, and the count shows in their
// place once it can take a line again; the file sink, on beside it, keeps
// every line.
TEST_F(RunLogTest, ABoxWithoutMemoryForALineShowsHowManyItMissed) {
  StartFileSink();
  LogToWindow = true;
  BoxAppends.clear();
  LogBox.AppendToBox = AppendUnlessBig;
  LogLine("first");
  LogLine({"1. ", "big"});
  LogLine("big two");
  LogLine("after");
  LogLine("last");
  const std::string missed = "Error: Not enough memory to show 1 lines of the log.";
  EXPECT_EQ(BoxAppends, (std::vector<std::string>{"first", missed, missed, "after", "last"}));
  EXPECT_EQ(CloseFileSink(), "first\r\n1. big\r\nbig two\r\nafter\r\nlast\r\n");
}

TEST_F(RunLogTest, DoesNothingWithBothSinksOff) {
  LogToWindow = false;
  LogLine("nowhere");
  EXPECT_EQ(LogText, "");
  EXPECT_TRUE(Folder.Names().empty());
}

bool FailingWrite(FileHandle, const char*, uint32_t) { return false; }

TEST_F(RunLogTest, AFailingWriteSwitchesTheFileSinkOff) {
  StartFileSink();
  Platform.WriteBlock = FailingWrite;
  std::string big(kFileBufferSize, 'x');
  LogLine(big);
  EXPECT_FALSE(LogToFile);
  LogLine("after");
  Platform = NativePlatform;
  EXPECT_EQ(CloseFileSink(), "");
}

}  // namespace
