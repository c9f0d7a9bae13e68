#include "cookie_text.h"

namespace {

const char* LineEnd(LineEnds ends, int lineIndex) {
  switch (ends) {
    case LineEnds::Lf: return "\n";
    case LineEnds::CrLf: return "\r\n";
    case LineEnds::Cr: return "\r";
    default: {
      static const char* const kCycle[] = {"\r\n", "\n", "\r\n", "\r"};
      return kCycle[lineIndex % 4];
    }
  }
}

}  // namespace

uint64_t Random::Next() {
  State ^= State << 13;
  State ^= State >> 7;
  State ^= State << 17;
  return State;
}

int Random::Between(int low, int high) {
  return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
}

void AppendRecord(std::string& text, const std::string& name, const std::string& value,
                  int64_t expiry, LineEnds ends, int& lineIndex) {
  const std::string lines[] = {
      name,
      value,
      "example" + std::to_string(name.size()) + ".test/",
      "9728",
      std::to_string(static_cast<uint32_t>(expiry)),
      std::to_string(static_cast<uint32_t>(static_cast<uint64_t>(expiry) >> 32)),
      "2715813632",
      "30000000",
      "*",
  };
  for (const std::string& line : lines) text.append(line).append(LineEnd(ends, lineIndex++));
}

std::string RandomValue(Random& random, int length) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string value(static_cast<size_t>(length), ' ');
  for (char& c : value) c = kAlphabet[random.Next() % (sizeof kAlphabet - 1)];
  return value;
}
