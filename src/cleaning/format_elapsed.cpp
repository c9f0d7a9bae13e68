#include "cleaning/run_cleaning.h"

std::string FormatElapsed(uint32_t milliseconds) {
  std::string text = std::to_string(milliseconds / 1000);
  text.push_back('.');
  uint32_t rest = milliseconds % 1000;
  for (uint32_t place = 100;; place /= 10) {
    text.push_back(static_cast<char>('0' + rest / place));
    rest %= place;
    if (rest == 0) break;
  }
  return text;
}
