// A plain model of how a cookie file reads, over the whole bytes at once, to
// hold the block-wise CookieReader against.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/cookie_reader.h"

struct ReferenceRecord {
  std::array<std::string, LinesPerRecord> Lines;
  int64_t Expiry = 0;
};

struct ReferenceRead {
  std::vector<ReferenceRecord> Records;
  // Record when the file ended after its last record.
  ReadOutcome Last = ReadOutcome::Record;
};

// Reads `bytes` as a cookie file whose read fails on reaching `failAt`
// (pass a value beyond the data for a file that reads without failure).
ReferenceRead ReadReference(std::string_view bytes, size_t failAt);
