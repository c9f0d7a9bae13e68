// The cookie folder every fault run starts from: at least one file of every
// outcome in the folder and in its "Low" subfolder, each with the bytes the
// cleaning must leave behind worked out here, without the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum class Fate {
  Untouched,  // no cookie expired: the file keeps its bytes
  Deleted,    // every cookie expired
  Rewritten,  // some expired: the file holds the kept cookies afterwards
  Incorrect,  // an expiry line does not convert: the file keeps its bytes
  Small,      // 18 bytes or fewer: counted, never opened
  Folder,     // a subfolder whose name matches: counted, never opened
  Unmatched,  // not "*.txt": neither counted nor opened
};

struct FixtureFile {
  std::string Path;  // within the cookie folder, '/' between folders
  std::string Name;  // the bare name the log shows; unique in the fixture
  bool InLowFolder = false;
  Fate Outcome = Fate::Untouched;
  std::string Bytes;                      // as written before the run
  std::string Cleaned;                    // Rewritten: the kept cookies with LF line ends
  int Records = 0;                        // read before the end or the format error
  std::vector<std::string> ExpiredNames;  // in file order
};

// Every cookie is judged against this time; the fixture's expiries lie far
// on either side of it.
constexpr FileTime kFixtureNow = {0, 0x01E00000};

const std::vector<FixtureFile>& FixtureFiles();

// Brings `folder` (made if missing) to the fixture, whatever a run left in it.
void WriteFixture(const std::string& folder);

// The number of entries the scans count: both folders' "*.txt" entries.
int FixtureEntriesFound(bool withLowFolder);
