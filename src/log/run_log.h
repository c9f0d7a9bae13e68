// The run log: every report of a run goes through LogLine, which copies it to
// the log file in batch mode and to the window's log box in window mode.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_writer.h"

extern bool LogToFile;
extern bool LogToWindow;
extern std::string LogFileName;
extern FileWriter LogFile;
// Everything the window sink has been given since start-up.
extern std::string LogText;

// What the window code provides to show the log; both stay empty in batch
// mode. AppendToBox receives each new line with its CR LF.
struct LogBoxHooks {
  void (*AppendToBox)(std::string_view line);
  void (*ScrollBoxToEnd)();
};
extern LogBoxHooks LogBox;

// Appends `text` and CR LF to every sink that is on.
void LogLine(std::string_view text);

// Scrolls the log box so that its last line is in view.
void ScrollLogToEnd();
