// Whole batch runs of the tool over a cookie folder: in this process through
// the engine, or as a child process of the host executable.
#pragma once

#include <string>
#include <vector>

#include "stopwatch.h"
#include "synthetic_folder.h"

// Runs the batch mode ("a" with a log file) of the engine in this process
// over `folder`; answers the time it took.
Timing TimeBatchRun(const std::string& folder, const std::string& logPath);

// Ends the benchmark when the last run in this process found other counts
// than the folder holds, so that no figure is taken from a broken run.
void CheckCounts(const ExpectedCounts& expected, const std::string& what);

// The same for a run in a child process, judged by the summary of its log.
void CheckLog(const std::string& logPath, int filesFound, const ExpectedCounts& expected);

// Runs `command` with QUILLFEN_COOKIES set to `folder` and its output sent to
// `output`; ends the benchmark unless it exits with status 0. The CPU time is
// the child's own, user and system.
Timing RunChild(const std::vector<std::string>& command, const std::string& folder,
                const std::string& output = "/dev/null");

// The peak resident memory in KiB of `command` run as by RunChild. A child
// forked from this process would count this process's memory as its own, so
// the command is started by a fresh, small instance of the benchmark
// (`launcher`, which answers through PeakRssLauncherMain); `scratch` takes
// its answer.
long PeakRssKib(const std::string& launcher, const std::vector<std::string>& command,
                const std::string& folder, const std::string& scratch);

// The launcher's side: runs `command` and prints its peak resident memory.
int PeakRssLauncherMain(char** command);
