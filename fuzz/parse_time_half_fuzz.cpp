// The expiry number conversion against a plain reference built on
// std::from_chars: every text one accepts the other accepts with the same
// 32-bit half, and every text one refuses the other refuses.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "cleaning/expiry.h"

namespace {

int RadixOfMark(char c) {
  if (c == '$') return 16;
  if (c == '%') return 2;
  if (c == '&') return 8;
  return 10;
}

// Blanks (space, tab), an optional sign, an optional radix mark, digits of
// that radix and nothing else. Decimal text must fit a signed 64-bit number;
// the other radices may fill all 64 bits.
bool ReferenceParse(std::string_view text, uint32_t* half) {
  size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos) return false;
  bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  int radix = at < text.size() ? RadixOfMark(text[at]) : 10;
  if (radix != 10) ++at;
  const char* first = text.data() + at;
  const char* last = text.data() + text.size();
  if (first == last) return false;
  uint64_t magnitude = 0;
  auto [stop, error] = std::from_chars(first, last, magnitude, radix);
  if (stop != last || error != std::errc()) return false;
  if (radix == 10 && magnitude > (negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX})) return false;
  *half = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  uint32_t half = 0;
  uint32_t expected = 0;
  bool accepted = ParseTimeHalf(text, &half);
  bool expectedAccepted = ReferenceParse(text, &expected);
  if (accepted != expectedAccepted || (accepted && half != expected)) {
    fprintf(stderr, "ParseTimeHalf %s (%u), reference %s (%u)\n", accepted ? "accepts" : "refuses",
            half, expectedAccepted ? "accepts" : "refuses", expected);
    std::abort();
  }
  return 0;
}
