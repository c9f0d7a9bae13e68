#include "log/run_log.h"

#include <charconv>
#include <new>
#include <stdexcept>

bool LogToFile = false;
bool LogToWindow = false;
std::string LogFileName;
FileWriter LogFile;
LogBoxHooks LogBox = {nullptr, nullptr};

namespace {

// Lines the box had no memory for since it last took one.
size_t LinesNotShown = 0;

// A log file that cannot take more is given up, so that the cleaning goes on
// to its end rather than stalling on a full disk.
void WriteToLogFile(LogParts line) {
  for (std::string_view part : line) LogFile.Write(part);
  LogFile.Write("\r\n");
  if (LogFile.HasFailed()) {
    LogFile.Close();
    LogToFile = false;
  }
}

// Made on the stack: memory is what is short.
void ShowLinesNotShown() {
  char count[24];
  std::string_view number(count,
                          std::to_chars(count, count + sizeof count, LinesNotShown).ptr - count);
  LogBox.AppendToBox({"Error: Not enough memory to show ", number, " lines of the log."});
}

// Running short of memory for the box is no failure of the cleaning: the run
// goes on, the lines the box missed are counted, and their count shows in
// their place as soon as the box takes a line again.
void WriteToWindow(LogParts line) {
  if (LogBox.AppendToBox == nullptr) return;
  try {
    if (LinesNotShown != 0) {
      ShowLinesNotShown();
      LinesNotShown = 0;
    }
    LogBox.AppendToBox(line);
  } catch (const std::bad_alloc&) {
    ++LinesNotShown;
  } catch (const std::length_error&) {
    ++LinesNotShown;
  }
}

}  // namespace

void LogLine(std::string_view text) { LogLine({text}); }

void LogLine(LogParts line) {
  if (LogToFile) WriteToLogFile(line);
  if (LogToWindow) WriteToWindow(line);
}

void ScrollLogToEnd() {
  if (LogBox.ScrollBoxToEnd != nullptr) LogBox.ScrollBoxToEnd();
}
