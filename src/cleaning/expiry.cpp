#include "cleaning/expiry.h"

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

unsigned RadixOf(char mark) {
  switch (mark) {
    case '$': return 16;
    case '%': return 2;
    case '&': return 8;
    default: return 0;
  }
}

}  // namespace

bool ParseTimeHalf(std::string_view line, uint32_t* half) {
  size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  bool negative = false;
  if (at < line.size() && (line[at] == '+' || line[at] == '-')) negative = line[at++] == '-';
  unsigned radix = 10;
  if (at < line.size() && RadixOf(line[at]) != 0) radix = RadixOf(line[at++]);
  if (at == line.size()) return false;

  // Decimal text is bounded by the signed range; the other radices give a bit
  // pattern of at most 64 bits.
  const uint64_t limit = radix != 10 ? UINT64_MAX
                         : negative  ? uint64_t{1} << 63
                                     : (uint64_t{1} << 63) - 1;
  // Divided once here rather than once per digit.
  const uint64_t mostBeforeLastDigit = limit / radix;
  const unsigned largestLastDigit = static_cast<unsigned>(limit % radix);
  uint64_t magnitude = 0;
  for (; at < line.size(); ++at) {
    unsigned digit = static_cast<unsigned>(DigitValue(line[at]));
    if (digit >= radix) return false;
    if (magnitude > mostBeforeLastDigit ||
        (magnitude == mostBeforeLastDigit && digit > largestLastDigit)) {
      return false;
    }
    magnitude = magnitude * radix + digit;
  }
  uint64_t value = negative ? 0 - magnitude : magnitude;
  *half = static_cast<uint32_t>(value);
  return true;
}

bool IsCookieExpired(const CookieRecord& record, FileTime now) {
  return record.Expiry <= FileTimeValue(now.High, now.Low);
}
