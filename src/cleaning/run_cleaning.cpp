#include "cleaning/run_cleaning.h"

#include "cleaning/cleaning_state.h"
#include "cleaning/scan_cookie_folder.h"
#include "log/run_log.h"

namespace {

constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kFirstMajorWithLowFolder = 6;

// A folder the code page cannot name is still the user's: it is named in
// the log and reported, and no other folder is taken in its place.
void TakeFolderAsShown() { CookieFolderError = kErrorNoUnicodeTranslation; }

// Asks the shell for the cookie folder; false when it gives none.
bool AskShellForCookieFolder(char (&buffer)[kMaxPath]) {
  switch (Platform.QueryCookieFolder(buffer)) {
    case ShellFolderAnswer::NoExactName: TakeFolderAsShown(); [[fallthrough]];
    case ShellFolderAnswer::Found: CookieFolder.assign(buffer).push_back('\\'); return true;
    case ShellFolderAnswer::NoEntry: LogLine("Old version of shell32.dll detected"); return false;
    default: return false;
  }
}

VersionInfo DetectWindows() {
  VersionInfo version = Platform.QueryVersion();
  std::string line = "Windows ";
  line.append(WindowsName(version)).append(" detected.");
  LogLine(line);
  return version;
}

bool FindCookieFolderInEnvironment(const VersionInfo& version, char (&buffer)[kMaxPath]) {
  const char* text = version.PlatformId == kPlatformNt ? "%USERPROFILE%" : "%WINDIR%";
  if (!ExpandIntoCookieFolder(text, buffer)) return false;
  CookieFolder.assign(buffer).append("\\Cookies\\");
  return true;
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

bool ExpandIntoCookieFolder(const char* text, char (&buffer)[kMaxPath]) {
  uint32_t needed = Platform.ExpandEnvironment(text, buffer, kMaxPath);
  if (needed != kExpansionNotNamed) return needed != 0 && needed <= kMaxPath;
  TakeFolderAsShown();
  return true;
}

void RunCleaning() {
  const uint32_t startTick = Platform.TickCount();
  LogLine("Quillfen 1.03 started.");
  CookieFolderError = 0;
  char buffer[kMaxPath] = {};
  bool folderFound = AskShellForCookieFolder(buffer);
  VersionInfo version = DetectWindows();
  if (!folderFound && !FindCookieFolderInEnvironment(version, buffer)) {
    LogLine("Error: Cookies folder not found.\r\nProcess aborted.");
    return;
  }
  LogLine("Cookies folder: " + CookieFolder);
  NowFileTime = Platform.NowAsFileTime();
  Counters = CleaningCounters{};
  int32_t filesFound = 0;
  ScanCookieFolder(filesFound);
  if (version.Major >= kFirstMajorWithLowFolder && !StopRequested) {
    CookieFolder.append("Low\\");
    ScanCookieFolder(filesFound);
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
