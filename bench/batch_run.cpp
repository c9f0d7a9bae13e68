#include "batch_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "cleaning/cleaning_state.h"
#include "folder_files.h"
#include "shell/startup.h"

namespace {

int NoWindow() { return 2; }

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
}

[[noreturn]] void ExecWithOutput(char** command, const std::string& output) {
  int target = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (target >= 0) dup2(target, STDOUT_FILENO);
  execvp(command[0], command);
  _exit(127);
}

// Starts `command` and waits for it; false unless it exits with status 0.
bool Run(char** command, const std::string& output, rusage& usage) {
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) ExecWithOutput(command, output);
  int status = 0;
  if (wait4(child, &status, 0, &usage) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

Timing TimeBatchRun(const std::string& folder, const std::string& logPath) {
  setenv("QUILLFEN_COOKIES", folder.c_str(), 1);
  Platform = NativePlatform;
  const Stopwatch stopwatch;
  if (StartUp({"a", logPath}, NoWindow) != 0) Fail("the batch run failed");
  return stopwatch.Elapsed();
}

void CheckCounts(const ExpectedCounts& expected, const std::string& what) {
  const CleaningCounters& c = Counters;
  if (c.TotalCookies != expected.TotalCookies || c.ExpiredCookies != expected.ExpiredCookies ||
      c.FilesWithExpired != expected.FilesWithExpired || c.FilesRemoved != expected.FilesRemoved ||
      c.IoErrors != 0 || c.IncorrectFiles != 0) {
    Fail("the run over " + what + " counted other cookies than the folder holds");
  }
}

void CheckLog(const std::string& logPath, int filesFound, const ExpectedCounts& expected) {
  std::ifstream file(logPath, std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::string found = std::to_string(filesFound) + " files found with " +
                            std::to_string(expected.TotalCookies) + " cookies.\r\n";
  const std::string expired = std::to_string(expected.FilesWithExpired) + " files with " +
                              std::to_string(expected.ExpiredCookies) + " expired cookies found.";
  if (log.find(found) == std::string::npos || log.find(expired) == std::string::npos) {
    Fail("the log " + logPath + " shows other counts than the folder holds");
  }
}

Timing RunChild(const std::vector<std::string>& command, const std::string& folder,
                const std::string& output) {
  setenv("QUILLFEN_COOKIES", folder.c_str(), 1);
  std::vector<char*> arguments;
  for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);
  const Stopwatch stopwatch;
  rusage usage{};
  if (!Run(arguments.data(), output, usage)) Fail(command[0] + " did not succeed");
  return Timing{stopwatch.Elapsed().Wall, Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

long PeakRssKib(const std::string& launcher, const std::vector<std::string>& command,
                const std::string& folder, const std::string& scratch) {
  std::vector<std::string> wrapped{launcher, "--peak-rss"};
  wrapped.insert(wrapped.end(), command.begin(), command.end());
  RunChild(wrapped, folder, scratch);
  long kib = 0;
  if (!(std::ifstream(scratch) >> kib)) Fail("no peak memory in " + scratch);
  return kib;
}

int PeakRssLauncherMain(char** command) {
  rusage usage{};
  if (!Run(command, "/dev/null", usage)) return 1;
  std::printf("%ld\n", usage.ru_maxrss);
  return 0;
}
