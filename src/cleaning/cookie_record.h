// One cookie of a cookie file: nine lines of text, kept byte for byte.
#pragma once

#include <cstdint>
#include <string>

enum CookieLine {
  Name,
  Value,
  HostPath,
  Flags,
  ExpiryLow,
  ExpiryHigh,
  CreationLow,
  CreationHigh,
  Terminator,
  LinesPerRecord
};

struct CookieRecord {
  std::string Lines[LinesPerRecord];
  int64_t Expiry = 0;  // FILETIME scale: high half signed, low half unsigned
  bool Expired = false;
};
