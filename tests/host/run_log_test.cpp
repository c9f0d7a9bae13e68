#include <gtest/gtest.h>

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
