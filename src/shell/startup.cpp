#include "shell/startup.h"

#include "cleaning/run_cleaning.h"
#include "log/run_log.h"

namespace {

constexpr size_t kLogFileNameLimit = 255;
const char* const kDefaultLogFile = "Result.log";

// An empty name names no file, and a name cut short would name another one,
// which would be emptied: both fail like a name that cannot be made.
bool OpenLogFile(const std::string& name) {
  if (name.empty() || name.size() > kLogFileNameLimit) return false;
  return LogFile.Create(name.c_str()) == 0;
}

int RunBatch(const std::vector<std::string>& arguments) {
  LogToWindow = false;
  LogToFile = true;
  bool named = arguments.size() >= 2;
  LogFileName = named ? arguments[1] : kDefaultLogFile;
  if (!OpenLogFile(LogFileName)) {
    LogFileName = kDefaultLogFile;
    LogToFile = named && OpenLogFile(LogFileName);
  }
  RunCleaning();
  if (LogToFile) LogFile.Close();
  return 0;
}

}  // namespace

int StartUp(const std::vector<std::string>& arguments, MainWindowRunner runMainWindow) {
  LogFileName.clear();
  if (!arguments.empty() && arguments[0] == "a") return RunBatch(arguments);
  LogToFile = false;
  LogToWindow = true;
  return runMainWindow();
}
