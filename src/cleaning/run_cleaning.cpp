#include "cleaning/run_cleaning.h"

#include "cleaning/cleaning_state.h"
#include "cleaning/scan_cookie_folder.h"
#include "log/run_log.h"

namespace {

constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kFirstMajorWithLowFolder = 6;

// The folders the run goes on with: one that no path in the code page leads
// to is still the user's, named in the log and reported, and no other folder
// is taken in its place.
bool IsSettled(FolderAnswer answer) {
  return answer == FolderAnswer::Found || answer == FolderAnswer::NoExactName ||
         answer == FolderAnswer::NotThere;
}

// Why a settled folder is not listed: 0 when its path leads to it. One that
// is not there is as quiet as the search for a missing folder.
uint32_t FolderError(FolderAnswer answer) {
  switch (answer) {
    case FolderAnswer::NoExactName: return kErrorNoUnicodeTranslation;
    case FolderAnswer::NotThere: return kErrorPathNotFound;
    default: return 0;
  }
}

FolderAnswer AskShellForCookieFolder(char (&buffer)[kMaxPath]) {
  FolderAnswer answer = Platform.QueryCookieFolder(buffer);
  if (answer == FolderAnswer::NoEntry) LogLine("Old version of shell32.dll detected");
  if (IsSettled(answer)) CookieFolder.assign(buffer).push_back('\\');
  return answer;
}

VersionInfo DetectWindows() {
  VersionInfo version = Platform.QueryVersion();
  std::string line = "Windows ";
  line.append(WindowsName(version)).append(" detected.");
  LogLine(line);
  return version;
}

FolderAnswer FindCookieFolderInEnvironment(const VersionInfo& version, char (&buffer)[kMaxPath]) {
  const char* text = version.PlatformId == kPlatformNt ? "%USERPROFILE%" : "%WINDIR%";
  FolderAnswer answer = Platform.ExpandEnvironment(text, buffer);
  if (IsSettled(answer)) CookieFolder.assign(buffer).append("\\Cookies\\");
  return answer;
}

void LogSummary(int32_t filesFound) {
  const CleaningCounters& c = Counters;
  LogLine("======\r\n" + std::to_string(filesFound) + " files found with " +
          std::to_string(c.TotalCookies) + " cookies.");
  if (c.FilesWithExpired != 0) {
    LogLine(std::to_string(c.FilesWithExpired) + " files with " + std::to_string(c.ExpiredCookies) +
            " expired cookies found.");
    LogLine(std::to_string(c.FilesRemoved) + " files removed, " +
            std::to_string(c.FilesWithExpired - c.FilesRemoved) + " files optimized.");
  } else {
    LogLine("No expired cookies found.");
  }
  if (c.IoErrors != 0) LogLine("I/O Errors: " + std::to_string(c.IoErrors));
  if (c.IncorrectFiles != 0) LogLine("Incorrect files: " + std::to_string(c.IncorrectFiles));
}

}  // namespace

void RunCleaning() {
  const uint32_t startTick = Platform.TickCount();
  LogLine("Quillfen 1.03 started.");
  char buffer[kMaxPath] = {};
  FolderAnswer answer = AskShellForCookieFolder(buffer);
  VersionInfo version = DetectWindows();
  if (!IsSettled(answer)) answer = FindCookieFolderInEnvironment(version, buffer);
  if (!IsSettled(answer)) {
    LogLine("Error: Cookies folder not found.\r\nProcess aborted.");
    return;
  }
  const uint32_t folderError = FolderError(answer);
  LogLine("Cookies folder: " + CookieFolder);
  NowFileTime = Platform.NowAsFileTime();
  Counters = CleaningCounters{};
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound, folderError);
  if (version.Major >= kFirstMajorWithLowFolder && !StopRequested) {
    CookieFolder.append("Low\\");
    ScanCookieFolder(filesFound, folderError);
  }
  // A stopped run's counts cover only part of the folder; a summary of them
  // would read as that of a whole run.
  if (StopRequested) {
    LogLine("Process stopped.");
    return;
  }
  LogSummary(filesFound);
  uint32_t elapsed = Platform.TickCount() - startTick;
  LogLine("Working time: " + FormatElapsed(elapsed) + " sec.");
  ScrollLogToEnd();
}
