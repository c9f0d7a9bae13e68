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
  // or where the code page cannot hold that, its short name. Empty when the
  // code page holds neither: no path leads to the entry.
  char Name[kMaxPath];
  // The long name as the code page shows it: it decides whether the entry is
  // a cookie file, and it names an entry that has no Name.
  char LongName[kMaxPath];
  FileStamp Stamp;  // size 0 for a folder or a device
};

enum class ShellFolderAnswer {
  Found,        // the buffer holds the folder, without a trailing backslash
  NoLibrary,    // the shell library cannot be loaded
  NoEntry,      // the library lacks the special-folder query
  Failed,       // the query itself answered false
  NoExactName,  // the buffer holds the folder as shown: no path leads to it
};

// The expansion's answer for a folder that neither its name nor its short
// path can name in the code page.
constexpr uint32_t kExpansionNotNamed = 0xFFFFFFFF;

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
  // Puts `from` in the place of `to` in one step, so that `to` never
  // disappears; where `to` is a short name the listing gave, the file keeps
  // its long name. Answers 0, the platform's error number, or
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
  // Both folder queries name the folder by its name or its short path,
  // whichever the code page holds.
  ShellFolderAnswer (*QueryCookieFolder)(char buffer[kMaxPath]);
  // The platform's answer: 0 on failure, otherwise the size the expansion
  // needs, terminating zero included (which may exceed `size`), or
  // kExpansionNotNamed with the folder as shown in the buffer.
  uint32_t (*ExpandEnvironment)(const char* text, char* buffer, uint32_t size);
};

// The services in use; starts as the real implementation of this build.
extern PlatformServices Platform;

// The real implementation, for a test that wraps some entries and restores.
extern const PlatformServices NativePlatform;

// The code shown for a failed open: the error number, except that a sharing
// violation reads as access denied and 19 to 31 are moved up by 131.
uint32_t ReportedOpenError(uint32_t errorNumber);
