#include "recording_platform.h"

#include <cstring>
#include <map>
#include <set>

#include "fault_fixture.h"

namespace {

constexpr uint32_t kErrorDataError = 23;     // a read the device could not serve
constexpr uint32_t kErrorNetworkError = 59;  // a listing the server broke off
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorUnableToMoveReplacement = 1176;

struct RecordingState {
  Environment Setup;
  std::string FaultKey;
  FaultKind Kind = FaultKind::None;
  Recording Result;
  std::map<std::string, int> Occurrences;
  std::map<FileHandle, std::string> OpenFiles;
  std::map<SearchHandle, std::string> OpenSearches;
};

RecordingState State;

std::string Relative(const char* enginePath) {
  std::string path(enginePath);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  const std::string& root = State.Setup.Root;
  if (path.compare(0, root.size(), root) == 0) path.erase(0, root.size());
  return path;
}

// Records the call and tells whether it is the one to fail.
bool Faulted(Entry which, const std::string& subject) {
  std::string base = subject;
  int occurrence = ++State.Occurrences[base];
  std::string key = base + " #" + std::to_string(occurrence);
  State.Result.Calls.push_back(Call{which, key});
  if (key != State.FaultKey || State.Kind == FaultKind::None) return false;
  State.Result.FaultHit = true;
  return true;
}

std::string FileOf(FileHandle file) {
  auto found = State.OpenFiles.find(file);
  if (found != State.OpenFiles.end()) return found->second;
  ++State.Result.UnknownHandles;
  return "?";
}

std::string SearchOf(SearchHandle search) {
  auto found = State.OpenSearches.find(search);
  if (found != State.OpenSearches.end()) return found->second;
  ++State.Result.UnknownHandles;
  return "?";
}

uint32_t OpenCode(FaultKind kind) {
  switch (kind) {
    case FaultKind::OpenVanished: return kErrorFileNotFound;
    case FaultKind::DiskFull: return kErrorDiskFull;
    case FaultKind::NameTaken: return kErrorFileExists;
    default: return kErrorAccessDenied;
  }
}

uint32_t RecordOpen(uint32_t (*open)(const char*, FileHandle*), const char* entryName, Entry which,
                    const char* path, FileHandle* file) {
  std::string subject = std::string(entryName) + " " + Relative(path);
  if (Faulted(which, subject)) return OpenCode(State.Kind);
  uint32_t code = open(path, file);
  if (code == 0) State.OpenFiles[*file] = Relative(path);
  return code;
}

uint32_t OpenExisting(const char* path, FileHandle* file) {
  return RecordOpen(NativePlatform.OpenExisting, "OpenExisting", Entry::OpenExisting, path, file);
}

uint32_t CreateEmpty(const char* path, FileHandle* file) {
  return RecordOpen(NativePlatform.CreateEmpty, "CreateEmpty", Entry::CreateEmpty, path, file);
}

uint32_t CreateNew(const char* path, FileHandle* file) {
  return RecordOpen(NativePlatform.CreateNew, "CreateNew", Entry::CreateNew, path, file);
}

// A short read is no failure but a platform's right: a block may hold fewer
// bytes than asked for before the end, which the platform then does not call
// the end. Seven bytes split lines, and CR LF pairs, across blocks.
uint32_t ReadBlock(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd) {
  if (Faulted(Entry::ReadBlock, "ReadBlock " + FileOf(file))) {
    if (State.Kind == FaultKind::ShortRead) {
      return NativePlatform.ReadBlock(file, buffer, size < 7 ? size : 7, got, atEnd);
    }
    *got = 0;
    return kErrorDataError;
  }
  return NativePlatform.ReadBlock(file, buffer, size, got, atEnd);
}

// A short write puts part of the data on disk before it fails, as a full
// disk does.
bool WriteBlock(FileHandle file, const char* data, uint32_t size) {
  if (Faulted(Entry::WriteBlock, "WriteBlock " + FileOf(file))) {
    NativePlatform.WriteBlock(file, data, size / 2);
    return false;
  }
  return NativePlatform.WriteBlock(file, data, size);
}

// A failed close still gives the handle back, so the fault itself leaks nothing.
bool CloseFile(FileHandle file) {
  bool faulted = Faulted(Entry::CloseFile, "CloseFile " + FileOf(file));
  State.OpenFiles.erase(file);
  bool closed = NativePlatform.CloseFile(file);
  return closed && !faulted;
}

bool RemoveFile(const char* path) {
  if (Faulted(Entry::RemoveFile, "RemoveFile " + Relative(path))) return false;
  return NativePlatform.RemoveFile(path);
}

bool RenameFile(const char* from, const char* to) {
  if (Faulted(Entry::RenameFile, "RenameFile " + Relative(from) + " " + Relative(to))) return false;
  return NativePlatform.RenameFile(from, to);
}

uint32_t ReplaceCode(FaultKind kind) {
  switch (kind) {
    case FaultKind::ReplaceDenied: return kErrorAccessDenied;
    case FaultKind::ReplaceShared: return kErrorSharingViolation;
    case FaultKind::ReplaceOther: return kErrorUnableToMoveReplacement;
    default: return kErrorCallNotImplemented;
  }
}

uint32_t MoveOver(const char* from, const char* to) {
  if (Faulted(Entry::MoveOver, "MoveOver " + Relative(from) + " " + Relative(to))) {
    return ReplaceCode(State.Kind);
  }
  if (!State.Setup.ReplaceInOneStep) return kErrorCallNotImplemented;
  return NativePlatform.MoveOver(from, to);
}

uint32_t FindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  std::string subject = Relative(pattern);
  if (Faulted(Entry::FindFirst, "FindFirst " + subject)) return kErrorAccessDenied;
  uint32_t error = NativePlatform.FindFirst(pattern, search, entry);
  if (error == 0) State.OpenSearches[*search] = subject;
  return error;
}

uint32_t FindNext(SearchHandle search, FoundEntry* entry) {
  if (Faulted(Entry::FindNext, "FindNext " + SearchOf(search))) return kErrorNetworkError;
  return NativePlatform.FindNext(search, entry);
}

void FindEnd(SearchHandle search) {
  Faulted(Entry::FindEnd, "FindEnd " + SearchOf(search));
  State.OpenSearches.erase(search);
  NativePlatform.FindEnd(search);
}

// A changed file shows a later write time than the listing gave.
uint32_t QueryStamp(const char* path, FileStamp* stamp) {
  if (Faulted(Entry::QueryStamp, "QueryStamp " + Relative(path))) {
    if (State.Kind == FaultKind::StampUnknown) return kErrorAccessDenied;
    uint32_t error = NativePlatform.QueryStamp(path, stamp);
    ++stamp->LastWrite.High;
    return error;
  }
  return NativePlatform.QueryStamp(path, stamp);
}

uint32_t TickCount() {
  Faulted(Entry::TickCount, "TickCount");
  return NativePlatform.TickCount();
}

// Fixed, so that every run judges the fixture's cookies alike.
FileTime NowAsFileTime() {
  Faulted(Entry::NowAsFileTime, "NowAsFileTime");
  return kFixtureNow;
}

// Poses as Windows 7; a failed query leaves the record as zeroed before it.
VersionInfo QueryVersion() {
  if (Faulted(Entry::QueryVersion, "QueryVersion")) return VersionInfo{0, 0, 0};
  return VersionInfo{6, 1, 2};
}

// Asks nothing of the file system, and so cannot fail.
bool IsLeadByte(char byte) { return NativePlatform.IsLeadByte(byte); }

FolderAnswer QueryCookieFolder(char buffer[kMaxPath]) {
  if (Faulted(Entry::QueryCookieFolder, "QueryCookieFolder")) {
    if (State.Kind == FaultKind::ShellNoLibrary) return FolderAnswer::NoLibrary;
    if (State.Kind == FaultKind::ShellNoEntry) return FolderAnswer::NoEntry;
    return FolderAnswer::Failed;
  }
  if (!State.Setup.ShellHasFolder) return FolderAnswer::Failed;
  std::strcpy(buffer, State.Setup.ShellFolder.c_str());
  return FolderAnswer::Found;
}

FolderAnswer ExpandEnvironment(const char* text, char buffer[kMaxPath]) {
  if (Faulted(Entry::ExpandEnvironment, std::string("ExpandEnvironment ") + text)) {
    return State.Kind == FaultKind::ExpandTooLong ? FolderAnswer::TooLong : FolderAnswer::Failed;
  }
  return NativePlatform.ExpandEnvironment(text, buffer);
}

const PlatformServices RecordingPlatform = {
    OpenExisting,  CreateEmpty,  CreateNew,         ReadBlock,         WriteBlock,
    CloseFile,     RemoveFile,   RenameFile,        MoveOver,          FindFirst,
    FindNext,      FindEnd,      QueryStamp,        IsLeadByte,        TickCount,
    NowAsFileTime, QueryVersion, QueryCookieFolder, ExpandEnvironment,
};

}  // namespace

void StartRecording(const Environment& environment, const std::string& faultKey, FaultKind kind) {
  State = RecordingState{};
  State.Setup = environment;
  State.FaultKey = faultKey;
  State.Kind = kind;
  Platform = RecordingPlatform;
}

Recording StopRecording() {
  Platform = NativePlatform;
  for (const auto& open : State.OpenFiles) NativePlatform.CloseFile(open.first);
  for (const auto& open : State.OpenSearches) NativePlatform.FindEnd(open.first);
  State.Result.FilesLeftOpen = State.OpenFiles.size();
  State.Result.SearchesLeftOpen = State.OpenSearches.size();
  return std::move(State.Result);
}
