#include "run_invariants.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "fault_fixture.h"

namespace {

enum class OnDisk { Original, Cleaned, Absent, Other };

struct FileState {
  OnDisk State = OnDisk::Absent;
  bool CopyKept = false;     // a working copy lies beside the file
  bool CopyIsClean = false;  // and holds exactly the kept cookies
};

struct Tally {
  int MinCookies = 0;
  int MaxCookies = 0;
};

struct Checker {
  FaultKind Kind;
  std::string FaultKey;
  std::string Folder;
  const RunLogReport& Log;
  std::vector<std::string> Problems;
  Tally Counted;

  void Fail(const FixtureFile& file, const std::string& what) {
    Problems.push_back(file.Path + ": " + what);
  }
  // Whether the fault may keep the run from ever reaching the file.
  bool MaySkip(const FixtureFile& file) const {
    return Kind == FaultKind::SearchFails || Kind == FaultKind::SearchEndsEarly ||
           Kind == FaultKind::ExpandFails || Kind == FaultKind::ExpandTooLong ||
           (Kind == FaultKind::VersionFails && file.InLowFolder);
  }
};

bool ReadBytes(const std::string& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream text;
  text << file.rdbuf();
  bytes = text.str();
  return true;
}

FileState StateOf(const FixtureFile& file, const std::string& folder) {
  FileState state;
  std::string path = folder + "/" + file.Path;
  std::string bytes;
  if (file.Outcome == Fate::Folder) {
    state.State = std::filesystem::is_directory(path) ? OnDisk::Original : OnDisk::Other;
  } else if (ReadBytes(path, bytes)) {
    state.State = bytes == file.Bytes                                        ? OnDisk::Original
                  : file.Outcome == Fate::Rewritten && bytes == file.Cleaned ? OnDisk::Cleaned
                                                                             : OnDisk::Other;
  }
  state.CopyKept = ReadBytes(path + ".bak", bytes);
  state.CopyIsClean = state.CopyKept && file.Outcome == Fate::Rewritten && bytes == file.Cleaned;
  return state;
}

const FileEvents& EventsOf(const FixtureFile& file, const RunLogReport& log) {
  static const FileEvents none;
  auto found = log.Files.find(file.Name);
  return found == log.Files.end() ? none : found->second;
}

bool IsPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// A file read to its end logged every expired cookie; one given up, a prefix.
bool FullyRead(const FixtureFile& file, const FileEvents& events) {
  return events.ExpiredCookies == file.ExpiredNames;
}

void CheckNeverOpened(Checker& check, const FixtureFile& file, const FileState& state,
                      const FileEvents& events) {
  if (state.State != OnDisk::Original) check.Fail(file, "changed though it is never cleaned");
  if (events.ErrorLines() + events.ExpiredCookies.size() != 0) check.Fail(file, "was logged");
}

// Untouched and incorrect files keep their bytes whatever happens.
void CheckKeptAsItWas(Checker& check, const FixtureFile& file, const FileState& state,
                      const FileEvents& events) {
  if (state.State != OnDisk::Original) check.Fail(file, "changed");
  bool fits = events.ReadErrors == 1 && events.FormatErrors == 0;
  if (file.Outcome == Fate::Incorrect) {
    fits = fits || (events.ReadErrors == 0 && events.FormatErrors == 1 && FullyRead(file, events));
    if (events.ErrorLines() == 0 && !check.MaySkip(file)) check.Fail(file, "was not reported");
  }
  if (events.ErrorLines() == 0) fits = events.ExpiredCookies.empty();
  if (!fits ||
      events.DeleteErrors + events.WriteErrors + events.ReplaceErrors + events.RefusedErrors != 0) {
    check.Fail(file, "logged with the wrong lines");
  }
  if (state.CopyKept) check.Fail(file, "working copy left behind");
}

// An expired file left as it was must have been reported, or never visited.
bool ExplainsOriginal(Checker& check, const FixtureFile& file, const FileEvents& events) {
  if (events.ReadErrors == 1 && events.ErrorLines() == 1) return true;
  if (events.ErrorLines() == 0 && events.ExpiredCookies.empty()) return check.MaySkip(file);
  return false;
}

void CheckDeleted(Checker& check, const FixtureFile& file, const FileState& state,
                  const FileEvents& events) {
  bool fits = false;
  if (state.State == OnDisk::Absent) {
    fits = events.ErrorLines() == 0 && FullyRead(file, events);
  } else if (state.State == OnDisk::Original) {
    bool refused = events.DeleteErrors + events.ChangedErrors == 1 && events.ErrorLines() == 1;
    fits = ExplainsOriginal(check, file, events) || (refused && FullyRead(file, events));
  }
  if (!fits) check.Fail(file, "state and log disagree");
  if (state.CopyKept) check.Fail(file, "working copy left behind");
}

// A refused replacement, or a refused deletion where the file is deleted before
// the rename, leaves the file whole: the working copy goes, and the file is named.
bool RefusesReplacement(FaultKind kind) {
  return kind == FaultKind::ReplaceDenied || kind == FaultKind::ReplaceShared ||
         kind == FaultKind::DeleteRefused;
}

bool ExplainsOriginalRewrite(Checker& check, const FixtureFile& file, const FileState& state,
                             const FileEvents& events) {
  if (!state.CopyKept && ExplainsOriginal(check, file, events)) return true;
  if (!FullyRead(file, events)) return false;
  if (events.RefusedErrors == 1 && events.ErrorLines() == 1) {
    return !state.CopyKept && RefusesReplacement(check.Kind);
  }
  if (events.WriteErrors + events.ChangedErrors == 1 && events.ErrorLines() == 1) {
    return !state.CopyKept;
  }
  // Only a replacement failing for another reason reports a copy beside the whole file.
  return check.Kind == FaultKind::ReplaceOther && events.ReplaceErrors == 1 &&
         events.ErrorLines() == 1 && state.CopyIsClean;
}

void CheckRewritten(Checker& check, const FixtureFile& file, const FileState& state,
                    const FileEvents& events) {
  bool fits = false;
  if (state.State == OnDisk::Cleaned) {
    fits = events.ErrorLines() == 0 && FullyRead(file, events) && !state.CopyKept;
  } else if (state.State == OnDisk::Absent) {
    // The kept cookies survive only in the working copy, which was reported.
    fits = events.ReplaceErrors == 1 && events.ErrorLines() == 1 && FullyRead(file, events) &&
           state.CopyIsClean;
  } else if (state.State == OnDisk::Original) {
    fits = ExplainsOriginalRewrite(check, file, state, events);
  }
  if (!fits) check.Fail(file, "state and log disagree");
}

// A file whose stamp could not be read, or no longer matched, just before its
// deletion or replacement is left as it was and reported as changed. A read
// that failed, even at a record boundary or among the Ctrl-Z bytes after the
// records, is never taken for the end of the file: that file is reported too.
void CheckFaultedFile(Checker& check, const FixtureFile& file, const FileState& state,
                      const FileEvents& events) {
  bool stampFault = check.Kind == FaultKind::StampChanged || check.Kind == FaultKind::StampUnknown;
  if (!stampFault && check.Kind != FaultKind::ReadError) return;
  if (check.FaultKey.find("/" + file.Path + " #") == std::string::npos) return;
  int reported = stampFault ? events.ChangedErrors : events.ReadErrors;
  if (state.State != OnDisk::Original || reported != 1) {
    check.Fail(file, stampFault ? "deleted or rewritten without the listed stamp"
                                : "a failed read went unreported");
  }
}

// The cookies the summary may count for this file.
void CountCookies(Checker& check, const FixtureFile& file, const FileEvents& events) {
  if (file.Outcome == Fate::Small || file.Outcome == Fate::Folder ||
      file.Outcome == Fate::Unmatched) {
    return;
  }
  bool maybeUnvisited = events.ErrorLines() == 0 && events.ExpiredCookies.empty();
  int least = events.ReadErrors != 0 ? static_cast<int>(events.ExpiredCookies.size())
              : maybeUnvisited && check.MaySkip(file) ? 0
                                                      : file.Records;
  check.Counted.MinCookies += least;
  check.Counted.MaxCookies += file.Records;
}

void CheckFile(Checker& check, const FixtureFile& file) {
  FileState state = StateOf(file, check.Folder);
  const FileEvents& events = EventsOf(file, check.Log);
  if (!IsPrefix(events.ExpiredCookies, file.ExpiredNames)) check.Fail(file, "wrong cookies logged");
  switch (file.Outcome) {
    case Fate::Small:
    case Fate::Folder:
    case Fate::Unmatched: CheckNeverOpened(check, file, state, events); break;
    case Fate::Untouched:
    case Fate::Incorrect: CheckKeptAsItWas(check, file, state, events); break;
    case Fate::Deleted: CheckDeleted(check, file, state, events); break;
    case Fate::Rewritten: CheckRewritten(check, file, state, events); break;
  }
  CheckFaultedFile(check, file, state, events);
  CountCookies(check, file, events);
}

void CheckNoStrangers(Checker& check) {
  std::set<std::string> known;
  for (const FixtureFile& file : FixtureFiles()) {
    known.insert(file.Path);
    known.insert(file.Path + ".bak");
  }
  known.insert("Low");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(check.Folder)) {
    std::string path = entry.path().lexically_relative(check.Folder).generic_string();
    if (known.count(path) == 0) check.Problems.push_back("unexpected entry: " + path);
  }
  for (const auto& named : check.Log.Files) {
    bool fixture = false;
    for (const FixtureFile& file : FixtureFiles()) fixture = fixture || file.Name == named.first;
    if (!fixture) check.Problems.push_back("logged a file that does not exist: " + named.first);
  }
}

void Expect(Checker& check, const char* what, int logged, int expected) {
  if (logged != expected) {
    check.Problems.push_back(std::string(what) + ": summary says " + std::to_string(logged) +
                             ", the log and the folder say " + std::to_string(expected));
  }
}

void CheckFileCounts(Checker& check) {
  const Summary& numbers = check.Log.Numbers;
  int withExpired = 0, removed = 0, incorrect = 0;
  int ioErrors = check.Log.FolderErrors;
  for (const FixtureFile& file : FixtureFiles()) {
    const FileEvents& events = EventsOf(file, check.Log);
    ioErrors += events.ReadErrors + events.DeleteErrors + events.WriteErrors +
                events.ReplaceErrors + events.ChangedErrors + events.RefusedErrors;
    incorrect += events.FormatErrors;
    if (events.ExpiredCookies.empty() || events.GivenUp()) continue;
    ++withExpired;
    if (file.Outcome == Fate::Deleted) ++removed;
  }
  Expect(check, "files with expired cookies", numbers.FilesWithExpired, withExpired);
  Expect(check, "files removed", numbers.FilesRemoved, removed);
  Expect(check, "files optimized", numbers.FilesOptimized, withExpired - removed);
  Expect(check, "I/O errors", numbers.IoErrors, ioErrors);
  Expect(check, "incorrect files", numbers.IncorrectFiles, incorrect);
}

void CheckSummary(Checker& check) {
  const Summary& numbers = check.Log.Numbers;
  Expect(check, "expired cookies", numbers.ExpiredCookies, check.Log.ExpiredLines);
  CheckFileCounts(check);
  if (numbers.TotalCookies < check.Counted.MinCookies ||
      numbers.TotalCookies > check.Counted.MaxCookies) {
    Expect(check, "cookies", numbers.TotalCookies, check.Counted.MinCookies);
  }
  bool searchCut = check.Kind == FaultKind::SearchFails || check.Kind == FaultKind::SearchEndsEarly;
  int found = FixtureEntriesFound(check.Kind != FaultKind::VersionFails);
  if (searchCut ? numbers.FilesFound > found : numbers.FilesFound != found) {
    Expect(check, "files found", numbers.FilesFound, found);
  }
}

bool AbortExpected(FaultKind kind) {
  return kind == FaultKind::ExpandFails || kind == FaultKind::ExpandTooLong;
}

}  // namespace

std::vector<std::string> CheckRun(FaultKind kind, const std::string& faultKey,
                                  const std::string& folder, const RunLogReport& log) {
  Checker check{kind, faultKey, folder, log, log.Problems, {}};
  if (log.Aborted != AbortExpected(kind)) check.Problems.push_back("aborted: unexpected answer");
  bool searchFault = kind == FaultKind::SearchFails || kind == FaultKind::SearchEndsEarly;
  if (log.FolderErrors != (searchFault ? 1 : 0)) {
    check.Problems.push_back("a broken listing went unreported, or one was reported in vain");
  }
  for (const FixtureFile& file : FixtureFiles()) CheckFile(check, file);
  CheckNoStrangers(check);
  if (!log.Aborted) CheckSummary(check);
  if (kind == FaultKind::None && log.Numbers.IoErrors != 0)
    check.Problems.push_back("errors without a fault");
  return check.Problems;
}
