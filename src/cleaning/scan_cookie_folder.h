// Counts the "*.txt" entries of CookieFolder and cleans those above 18 bytes.
#pragma once

#include <cstdint>

constexpr int32_t SmallFileLimit = 18;

// `folderError` is 0, or why no path leads to CookieFolder: then it stands
// for the listing's answer, reported as a folder that cannot be listed is,
// or quiet as a missing folder is.
void ScanCookieFolder(int32_t& filesFound, uint32_t folderError);
