// Synthetic cookie folders shaped like a well-used browser profile: many small
// files of a few records each, written with a mix of line ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum class FileKind {
  Small,          // 18 bytes or less: counted, never opened
  Untouched,      // no cookie expired
  AllExpired,     // every cookie expired: deleted
  PartlyExpired,  // some expired: rewritten with the others
};

struct PlannedFile {
  std::string Name;
  FileKind Kind;
  // What a cleaner writes back: the kept records with LF line ends.
  std::string Kept;
};

// What a correct run over the folder must find.
struct ExpectedCounts {
  int32_t TotalCookies = 0;
  int32_t ExpiredCookies = 0;
  int32_t FilesWithExpired = 0;
  int32_t FilesRemoved = 0;
};

struct SyntheticFolder {
  std::vector<PlannedFile> Files;
  ExpectedCounts Expected;
};

enum class FolderMix {
  Mixed,          // 5% small; of the rest 60% untouched, 20% all, 20% partly expired
  UntouchedOnly,  // every file kept as it is
};

// Writes `files` cookie files into the existing folder `path`. The expiry
// times lie years before or after `now`, so a run started later judges them
// the same way. The same arguments always give the same bytes.
SyntheticFolder WriteSyntheticFolder(const std::string& path, int files, FolderMix mix,
                                     FileTime now);

// One file of `records` records of about `recordBytes` bytes each, every
// second one expired.
ExpectedCounts WriteBigCookieFile(const std::string& filePath, int records, int recordBytes,
                                  FileTime now);
