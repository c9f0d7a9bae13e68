// The bytes the file sink puts into the log file through the Win32 calls.
#include <string>

#include "engine_fixture.h"
#include "log/run_log.h"

namespace {

using Win32RunLog = Win32EngineTest;

TEST_F(Win32RunLog, WritesEachLineWithCrLfByteForByteIntoAnEmptiedFile) {
  const std::string path = Folder.Path + "Result.log";
  Folder.Write("Result.log", std::string(70000, 'o'));
  ASSERT_EQ(LogFile.Create(path.c_str()), 0u);
  LogToWindow = false;
  LogToFile = true;
  const std::string highAndZero("caf\xe9 \0 end", 10);
  const std::string longLine(100000, 'L');
  LogLine("Quillfen 1.03 started.");
  LogLine("");
  LogLine("======\r\n2 files found with 3 cookies.");
  LogLine(highAndZero);
  LogLine(longLine);
  LogToFile = false;
  EXPECT_TRUE(LogFile.Close());
  EXPECT_EQ(Folder.Read("Result.log"),
            "Quillfen 1.03 started.\r\n"
            "\r\n"
            "======\r\n2 files found with 3 cookies.\r\n" +
                highAndZero + "\r\n" + longLine + "\r\n");
  EXPECT_EQ(LogText, "");
}

}  // namespace
