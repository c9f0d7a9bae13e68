// Runs a cleaning over the fixture once without faults, recording every
// platform call, then once more for every call and every way that call can
// fail, each time on a fresh copy of the fixture, and checks the promises
// after each run. Three environments: the shell names the folder; the shell
// has none and the environment gives it; the platform cannot replace a file
// in one step, so the engine deletes and renames.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "cleaning/run_cleaning.h"
#include "fault_fixture.h"
#include "log/run_log.h"
#include "log_capture.h"
#include "recording_platform.h"
#include "run_invariants.h"

namespace {

struct Totals {
  int Points = 0;
  int Survived = 0;
  bool BaselineFailed = false;  // a run without a fault broke a promise
};

std::string MakeRoot() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "quillfen-faults-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return "";
  return pattern;
}

std::vector<std::string> RecordingProblems(const Recording& recording, FaultKind kind) {
  std::vector<std::string> problems;
  if (kind != FaultKind::None && !recording.FaultHit)
    problems.push_back("the fault was not reached");
  if (recording.FilesLeftOpen != 0) problems.push_back("a file was left open");
  if (recording.SearchesLeftOpen != 0) problems.push_back("a search was left open");
  if (recording.UnknownHandles != 0) problems.push_back("a handle was used that was never opened");
  return problems;
}

// One run on a fresh fixture; the problems found, none when it survived.
std::vector<std::string> RunOnce(const Environment& environment, const std::string& key,
                                 FaultKind kind, Recording& recording) {
  std::string folder = environment.ShellFolder;
  WriteFixture(folder);
  CaptureLogText();
  StartRecording(environment, key, kind);
  RunCleaning();
  recording = StopRecording();
  std::vector<std::string> problems = RecordingProblems(recording, kind);
  for (std::string& problem : CheckRun(kind, key, folder, ReadRunLog(LogText))) {
    problems.push_back(std::move(problem));
  }
  return problems;
}

void Report(const Environment& environment, const std::string& key, FaultKind kind,
            const std::vector<std::string>& problems) {
  std::printf("FAILED [%s] %s: %s\n", environment.Name.c_str(), key.c_str(), KindName(kind));
  for (const std::string& problem : problems) std::printf("    %s\n", problem.c_str());
  std::printf("  log:\n%s", LogText.c_str());
}

void RunEnvironment(const Environment& environment, Totals& totals) {
  Recording baseline;
  std::vector<std::string> problems = RunOnce(environment, "", FaultKind::None, baseline);
  if (!problems.empty()) {
    totals.BaselineFailed = true;
    return Report(environment, "no fault", FaultKind::None, problems);
  }
  int points = 0;
  for (const Call& call : baseline.Calls) {
    for (FaultKind kind : FaultKindsOf(call, environment)) {
      Recording faulted;
      problems = RunOnce(environment, call.Key, kind, faulted);
      ++points;
      if (problems.empty())
        ++totals.Survived;
      else
        Report(environment, call.Key, kind, problems);
    }
  }
  totals.Points += points;
  std::printf("%s: %zu platform calls, %d fault points\n", environment.Name.c_str(),
              baseline.Calls.size(), points);
}

}  // namespace

int main() {
  std::string root = MakeRoot();
  if (root.empty()) return 2;
  std::string profile = root + "/profile";
  setenv("USERPROFILE", profile.c_str(), 1);
  setenv("WINDIR", profile.c_str(), 1);
  LogToFile = false;
  LogToWindow = true;
  const std::string folder = profile + "/Cookies";
  const Environment environments[] = {
      {"shell folder", root, folder, true, true},
      {"environment folder", root, folder, false, true},
      {"delete and rename", root, folder, true, false},
  };
  Totals totals;
  for (const Environment& environment : environments) RunEnvironment(environment, totals);
  std::filesystem::remove_all(root);
  std::printf("fault points: %d, survived: %d\n", totals.Points, totals.Survived);
  return totals.Points == totals.Survived && !totals.BaselineFailed ? 0 : 1;
}
