// Reads the nine-line records of a cookie file.
//
// Lines end at CR, LF or CR LF; past the end of the data every line reads as
// empty. A ninth line that stands in the data begins with "*". After a record
// the file ends when no byte is left or the next byte is Ctrl-Z.
#pragma once

#include <cstdint>
#include <memory>

#include "cleaning/cookie_record.h"
#include "platform/platform.h"

enum class ReadOutcome {
  Record,       // the record is complete and its Expiry set
  FormatError,  // line 5 or line 6 does not convert, or line 9 is no "*"
  ReadError,    // the platform failed to read; see ReadErrorNumber
};

struct CookieReader {
  // Opens an existing file for reading, without sharing. 0 or the open code.
  uint32_t Open(const char* path);
  ReadOutcome ReadRecord(CookieRecord& record);
  // Called only between records. False after a read error, so that the next
  // ReadRecord reports it instead of the file passing for complete.
  bool AtEnd();
  // Called once AtEnd held: reads what follows the records. Record when that
  // is nothing or Ctrl-Z bytes only, FormatError when other bytes follow.
  ReadOutcome ReadTail();
  void Close();
  uint32_t ReadErrorNumber() const { return Error; }

 private:
  bool Fill();
  // False when the data had ended before the line: it reads as empty.
  bool ReadLine(std::string& line);

  FileHandle File = nullptr;
  std::unique_ptr<char[]> Buffer;
  uint32_t Pos = 0;
  uint32_t Size = 0;
  bool DataEnded = false;
  uint32_t Error = 0;
};
