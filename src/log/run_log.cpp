#include "log/run_log.h"

bool LogToFile = false;
bool LogToWindow = false;
std::string LogFileName;
FileWriter LogFile;
std::string LogText;
LogBoxHooks LogBox = {nullptr, nullptr};

namespace {

// A log file that cannot take more is given up, so that the cleaning goes on
// to its end rather than stalling on a full disk.
void WriteToLogFile(std::string_view text) {
  LogFile.Write(text);
  LogFile.Write("\r\n");
  if (LogFile.HasFailed()) {
    LogFile.Close();
    LogToFile = false;
  }
}

void WriteToWindow(std::string_view text) {
  size_t start = LogText.size();
  LogText.append(text);
  LogText.append("\r\n");
  if (LogBox.AppendToBox != nullptr) LogBox.AppendToBox(std::string_view(LogText).substr(start));
}

}  // namespace

void LogLine(std::string_view text) {
  if (LogToFile) WriteToLogFile(text);
  if (LogToWindow) WriteToWindow(text);
}

void ScrollLogToEnd() {
  if (LogBox.ScrollBoxToEnd != nullptr) LogBox.ScrollBoxToEnd();
}
