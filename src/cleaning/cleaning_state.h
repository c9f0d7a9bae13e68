// The process-wide values of a cleaning run.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/platform.h"

struct CleaningCounters {
  int32_t TotalCookies;
  int32_t ExpiredCookies;
  int32_t FilesWithExpired;
  int32_t FilesRemoved;  // counted before the deletion is tried
  int32_t IoErrors;
  int32_t IncorrectFiles;
};

extern CleaningCounters Counters;

// The folder being scanned; always ends with a backslash.
extern std::string CookieFolder;

// The time every cookie of a run is judged against.
extern FileTime NowFileTime;

// Asks the run to stop at the next boundary between files, from another
// thread: the window sets it when the session ends during a run, so that the
// process is not ended in the middle of a file's replacement. Batch mode never
// sets it, and nothing clears it: a stopped run is the last of its process.
extern std::atomic<bool> StopRequested;
