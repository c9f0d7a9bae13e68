// Writes kept cookie records: each line followed by a single LF, and a ninth
// line the data lacked written as the "*" that closes a record.
#pragma once

#include <cstdint>

#include "cleaning/cookie_record.h"
#include "platform/file_writer.h"

struct CookieWriter {
  // Creates a new file without sharing: 0, kErrorFileExists when the name is
  // taken, or the open code.
  uint32_t Create(const char* path) { return Out.CreateNew(path); }
  void WriteRecord(const CookieRecord& record);
  // False when any write or the close failed.
  bool Close() { return Out.Close(); }

 private:
  FileWriter Out;
};
