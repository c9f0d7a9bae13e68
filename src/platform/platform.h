// The operating-system services the cleaning engine and the run log use.
//
// They are reached through one table of plain function pointers so that a test
// can wrap any of them (to count calls or to make one fail) without the engine
// knowing. win32/ fills the table with the real Win32 calls, host/ with POSIX
// stand-ins that answer with the same Windows error numbers.
#pragma once

#include <cstdint>

using FileHandle = void*;
using SearchHandle = void*;

// Windows error numbers the engine and its tests name.
enum : uint32_t {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorNotEnoughMemory = 8,
  kErrorNoMoreFiles = 18,
  kErrorSharingViolation = 32,
  kErrorNotSupported = 50,
  kErrorFileExists = 80,
  kErrorCallNotImplemented = 120,
  kErrorNotAFolder = 267,
  kErrorNoUnicodeTranslation = 1113,
};

// The size of the platform's path buffers, terminating zero included.
constexpr uint32_t kMaxPath = 260;

// 100-nanosecond intervals since 1 January 1601 UTC, low half first.
struct FileTime {
  uint32_t Low;
  uint32_t High;
};

struct VersionInfo {
  uint32_t Major;
  uint32_t Minor;
  uint32_t PlatformId;  // 2 for the NT family
};

// What tells one version of a file from the next without reading it.
struct FileStamp {
  uint64_t Size;
  FileTime LastWrite;
};

inline bool operator==(const FileStamp& a, const FileStamp& b) {
  return a.Size == b.Size && a.LastWrite.Low == b.LastWrite.Low &&
         a.LastWrite.High == b.LastWrite.High;
}

// Names are in the system's ANSI code page. Where a name holds a character
// the code page lacks, the system's own conversion writes a look-alike ("O"
// for an omega) or "?", and so names another file or none: the platform gives
// only names that lead to the file they stand for, and shows each character
// the code page lacks as "?", which no name on Windows holds.
struct FoundEntry {
  // The name that leads to this entry alone, without folder: its long name,
  // or where the code page cannot hold that, its short name, and that only
  // when a search for the short name names this entry and no other (two long
  // names may share one short name: Wine makes them so, and shares that
  // mangle names may). Empty when neither will do: no path leads to the entry.
  char Name[kMaxPath];
  // The long name as the code page shows it: it decides whether the entry is
  // a cookie file, and it names an entry that has no Name.
  char LongName[kMaxPath];
  FileStamp Stamp;  // size 0 for a folder or a device
};

// How the platform answers for a folder: the shell's cookie folder, or the
// expansion of an environment template. Where the code page cannot hold the
// folder's path, its short path stands in, but only where it leads back to
// the folder; a path the system would change on its way (a component ending
// in a dot or a blank, which the Win32 calls drop) names no folder.
enum class FolderAnswer {
  Found,        // the buffer holds a path that leads to the folder
  NoExactName,  // the folder is there, but no path the code page holds leads
                // to it: the buffer shows it
  NotThere,     // a folder without such a path, which is not there: the
                // buffer shows it
  Failed,       // no folder is named
  TooLong,      // the folder's path does not fit the buffer
  NoLibrary,    // the shell library cannot be loaded (cookie folder only)
  NoEntry,      // the library lacks the special-folder query (cookie folder only)
};

struct PlatformServices {
  // The opens are exclusive (no sharing) and answer 0 or the code the log
  // shows, made from the platform's error number by ReportedOpenError.
  // OpenExisting opens disk files only: anything else (a device behind a
  // reserved name) is closed again and answers kErrorNotSupported.
  uint32_t (*OpenExisting)(const char* path, FileHandle* file);
  // Creates the file, or empties the one there.
  uint32_t (*CreateEmpty)(const char* path, FileHandle* file);
  // Creates a file that must not exist yet, never through a link that stands
  // at `path`; kErrorFileExists when the name is taken.
  uint32_t (*CreateNew)(const char* path, FileHandle* file);

  // Answers 0 or the platform's error number. *atEnd tells that the block
  // reaches the end of the data (an empty block always does): only the
  // platform knows whether a short block is the last one, and saying so spares
  // each small file a read that would find nothing.
  uint32_t (*ReadBlock)(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd);
  // False unless every byte was written.
  bool (*WriteBlock)(FileHandle file, const char* data, uint32_t size);
  bool (*CloseFile)(FileHandle file);

  bool (*RemoveFile)(const char* path);
  // Renames `from` to `to`, which must not exist.
  bool (*RenameFile)(const char* from, const char* to);
  // Puts `from` in the place of the file `to` leads to, in one step, so that
  // the file never disappears. The file keeps the long name it has at that
  // moment, also where `to` is its short name; where `to` leads to no single
  // file, nothing is moved. Answers 0, the platform's error number, or
  // kErrorCallNotImplemented where the platform has no such step.
  uint32_t (*MoveOver)(const char* from, const char* to);

  // Answer 0 with an entry, or the platform's error number: kErrorFileNotFound
  // when nothing matches, kErrorPathNotFound when the folder is missing,
  // kErrorNotAFolder when a file stands in its place, kErrorNoMoreFiles at
  // the end of the listing.
  uint32_t (*FindFirst)(const char* pattern, SearchHandle* search, FoundEntry* entry);
  uint32_t (*FindNext)(SearchHandle search, FoundEntry* entry);
  void (*FindEnd)(SearchHandle search);
  // The stamp the directory holds for `path` now, as the listing reports it.
  // 0 or the platform's error number.
  uint32_t (*QueryStamp)(const char* path, FileStamp* stamp);
  // Whether `byte` begins a double-byte character of the names the listing
  // gives, so that the byte after it is no character of its own.
  bool (*IsLeadByte)(char byte);

  uint32_t (*TickCount)();
  FileTime (*NowAsFileTime)();
  VersionInfo (*QueryVersion)();
  // The shell's cookie folder, without a trailing backslash.
  FolderAnswer (*QueryCookieFolder)(char buffer[kMaxPath]);
  // `text` with its environment references expanded, as a folder; a
  // reference to a variable that is not set stays as it is.
  FolderAnswer (*ExpandEnvironment)(const char* text, char buffer[kMaxPath]);
};

// The services in use; starts as the real implementation of this build.
extern PlatformServices Platform;

// The real implementation, for a test that wraps some entries and restores.
extern const PlatformServices NativePlatform;

// The code shown for a failed open: the error number, except that a sharing
// violation reads as access denied and 19 to 31 are moved up by 131.
uint32_t ReportedOpenError(uint32_t errorNumber);
