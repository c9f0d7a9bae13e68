// The process-wide values of a cleaning run.
#pragma once

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
// 0, or why no path leads to CookieFolder: the code page cannot name it, and
// its text only shows it.
extern uint32_t CookieFolderError;

// The time every cookie of a run is judged against.
extern FileTime NowFileTime;
