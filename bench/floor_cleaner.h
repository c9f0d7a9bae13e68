// The least work any cleaner of a folder must do, with the answers known in
// advance: open, read whole and close every file that is large enough, delete
// the files whose cookies all expired, write the kept cookies of the others to
// a working copy and rename it over the file. No parsing, no logging.
#pragma once

#include <string>

#include "synthetic_folder.h"

enum class FloorListing {
  None,  // the names and sizes are simply known
  // The folder is listed first with the size of every entry, which on POSIX
  // takes one stat per entry: the least a cleaner must do to find the files
  // to open and to leave the small ones alone.
  WithSizes,
};

void CleanLikeTheFloor(const std::string& path, const SyntheticFolder& folder,
                       FloorListing listing);
