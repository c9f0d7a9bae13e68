#include "platform/win32/long_names.h"

#include <unordered_map>

namespace {

std::unordered_map<std::string, std::wstring> LongNames;

}  // namespace

void ForgetLongNames() { LongNames.clear(); }

void RememberLongName(std::string shortPath, std::wstring longPath) {
  LongNames[std::move(shortPath)] = std::move(longPath);
}

const std::wstring* LongNameOf(const char* shortPath) {
  if (LongNames.empty()) return nullptr;
  auto found = LongNames.find(shortPath);
  return found == LongNames.end() ? nullptr : &found->second;
}
