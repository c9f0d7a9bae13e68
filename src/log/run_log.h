// The run log: every report of a run goes through LogLine, which copies it to
// the log file in batch mode and to the window's log box in window mode.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/file_writer.h"

extern bool LogToFile;
extern bool LogToWindow;
extern std::string LogFileName;
extern FileWriter LogFile;

// One log line given as parts that follow each other: a cookie name of
// megabytes reaches the sinks without a copy.
using LogParts = std::initializer_list<std::string_view>;

// What the window code provides to show the log; both stay empty in batch
// mode. AppendToBox receives each line without its CR LF, and keeps no more
// of it than the box shows; it throws std::bad_alloc when it has no memory
// for it.
struct LogBoxHooks {
  void (*AppendToBox)(LogParts line);
  void (*ScrollBoxToEnd)();
};
extern LogBoxHooks LogBox;

// Appends the line and CR LF to every sink that is on.
void LogLine(std::string_view text);
void LogLine(LogParts line);

// Scrolls the log box so that its last line is in view.
void ScrollLogToEnd();
