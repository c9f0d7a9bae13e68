// The expiry lines of a cookie and the test against the current time.
#pragma once

#include <cstdint>
#include <string_view>

#include "cleaning/cookie_record.h"
#include "platform/platform.h"

// Converts one expiry line: blanks, an optional sign, an optional radix mark
// ($ hex, % binary, & octal), digits and nothing else. The number is taken as
// a signed 64-bit integer and its low 32 bits are the result. Decimal text
// must lie within the signed 64-bit range; the other radices may use all 64
// bits. False when the line has any other form.
bool ParseTimeHalf(std::string_view line, uint32_t* half);

// Expired when the expiry is not later than `now`.
bool IsCookieExpired(const CookieRecord& record, FileTime now);

inline int64_t FileTimeValue(uint32_t high, uint32_t low) {
  return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}
