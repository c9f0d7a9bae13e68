// A platform table that wraps every entry of the native one: it records each
// call under a key that names the entry, its file and how often that pair was
// called before, and makes the one call whose key it is given fail in the way
// it is given. The keys do not depend on the order of the directory listing,
// so a fault meant for one file's second read hits exactly that read.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

enum class Entry {
  OpenExisting,
  CreateEmpty,
  CreateNew,
  ReadBlock,
  WriteBlock,
  CloseFile,
  RemoveFile,
  RenameFile,
  MoveOver,
  FindFirst,
  FindNext,
  FindEnd,
  QueryStamp,
  TickCount,
  NowAsFileTime,
  QueryVersion,
  QueryCookieFolder,
  ExpandEnvironment,
};

enum class FaultKind {
  None,
  OpenRefused,
  OpenVanished,
  CreateRefused,
  DiskFull,
  NameTaken,
  ReadError,
  ShortRead,
  ShortWrite,
  CloseFails,
  DeleteRefused,
  RenameRefused,
  ReplaceDenied,
  ReplaceShared,
  ReplaceOther,
  ReplaceNotImplemented,
  SearchFails,
  SearchEndsEarly,
  StampChanged,
  StampUnknown,
  VersionFails,
  ShellNoLibrary,
  ShellNoEntry,
  ShellFails,
  ExpandFails,
  ExpandTooLong,
};

const char* KindName(FaultKind kind);

// How the wrapped platform answers apart from the one fault.
struct Environment {
  std::string Name;
  std::string Root;         // left out of the paths in the keys
  std::string ShellFolder;  // what the shell answers, without a trailing slash
  bool ShellHasFolder;      // false: the shell query answers false
  bool ReplaceInOneStep;    // false: the platform has no one-step replacement
};

struct Call {
  Entry Which;
  std::string Key;
};

// The ways a call can fail in this environment; none for calls that cannot.
std::vector<FaultKind> FaultKindsOf(const Call& call, const Environment& environment);

struct Recording {
  std::vector<Call> Calls;
  bool FaultHit = false;
  size_t FilesLeftOpen = 0;
  size_t SearchesLeftOpen = 0;
  size_t UnknownHandles = 0;  // closed or used without having been opened
};

// Puts the wrapping table in Platform until StopRecording restores the native one.
void StartRecording(const Environment& environment, const std::string& faultKey, FaultKind kind);
Recording StopRecording();
