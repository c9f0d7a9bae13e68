// Reads a run's log back into what it says about each file and the summary's
// numbers, and notes every line that does not have the shape of a run's log.
#pragma once

#include <map>
#include <string>
#include <vector>

struct FileEvents {
  std::vector<std::string> ExpiredCookies;  // in the order logged
  int ReadErrors = 0;
  int FormatErrors = 0;
  int DeleteErrors = 0;
  int WriteErrors = 0;
  int ReplaceErrors = 0;
  int ChangedErrors = 0;
  int RefusedErrors = 0;  // the replacement refused: read-only or in use

  int ErrorLines() const {
    return ReadErrors + FormatErrors + DeleteErrors + WriteErrors + ReplaceErrors + ChangedErrors +
           RefusedErrors;
  }
  bool GivenUp() const { return ReadErrors + FormatErrors != 0; }
};

struct Summary {
  int FilesFound = 0;
  int TotalCookies = 0;
  int FilesWithExpired = 0;
  int ExpiredCookies = 0;
  int FilesRemoved = 0;
  int FilesOptimized = 0;
  int IoErrors = 0;
  int IncorrectFiles = 0;
};

struct RunLogReport {
  bool Aborted = false;
  std::map<std::string, FileEvents> Files;  // by the bare name the log shows
  int ExpiredLines = 0;
  int FolderErrors = 0;
  Summary Numbers;
  std::vector<std::string> Problems;
};

RunLogReport ReadRunLog(const std::string& text);
