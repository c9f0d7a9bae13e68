// Counts the "*.txt" entries of CookieFolder and cleans those above 18 bytes.
#pragma once

#include <cstdint>

constexpr int32_t SmallFileLimit = 18;

void ScanCookieFolder(int32_t& filesFound);
