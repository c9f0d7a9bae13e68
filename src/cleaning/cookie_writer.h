// Writes kept cookie records: each line followed by a single LF.
#pragma once

#include <cstdint>

#include "cleaning/cookie_record.h"
#include "platform/file_writer.h"

struct CookieWriter {
  // Creates the file, or empties it, without sharing. 0 or the open code.
  uint32_t Create(const char* path) { return Out.Create(path); }
  void WriteRecord(const CookieRecord& record);
  // False when any write or the close failed.
  bool Close() { return Out.Close(); }

 private:
  FileWriter Out;
};
