#include "cleaning/cookie_reader.h"

#include "cleaning/expiry.h"
#include "platform/file_writer.h"

namespace {

constexpr char kCtrlZ = 0x1A;

}  // namespace

uint32_t CookieReader::Open(const char* path) {
  uint32_t code = Platform.OpenExisting(path, &File);
  if (code != 0) {
    File = nullptr;
    return code;
  }
  if (!Buffer) Buffer.reset(new char[kFileBufferSize]);
  Pos = Size = 0;
  DataEnded = false;
  Error = 0;
  return 0;
}

void CookieReader::Close() {
  if (File != nullptr) Platform.CloseFile(File);
  File = nullptr;
}

// The data ends where the platform says so, never merely at a short block: a
// block may come back shorter than asked for while more data follows, and
// taking it for the last one would cut the file, and a rewrite would then drop
// every cookie behind the cut.
bool CookieReader::Fill() {
  Pos = Size = 0;
  if (DataEnded || Error != 0) return false;
  uint32_t got = 0;
  bool atEnd = false;
  uint32_t error = Platform.ReadBlock(File, Buffer.get(), kFileBufferSize, &got, &atEnd);
  if (error != 0) {
    Error = error;
    return false;
  }
  Size = got;
  DataEnded = atEnd || got == 0;
  return got != 0;
}

bool CookieReader::ReadLine(std::string& line) {
  line.clear();
  for (;;) {
    if (Pos == Size && !Fill()) return !line.empty();
    const char* data = Buffer.get();
    uint32_t end = Pos;
    while (end < Size && data[end] != '\r' && data[end] != '\n') ++end;
    line.append(data + Pos, end - Pos);
    Pos = end;
    if (end == Size) continue;
    char lineEnd = data[Pos++];
    if (lineEnd == '\r' && (Pos < Size || Fill()) && Buffer[Pos] == '\n') ++Pos;
    return true;
  }
}

ReadOutcome CookieReader::ReadRecord(CookieRecord& record) {
  record.Expired = false;
  for (int line = Name; line <= ExpiryLow; ++line) ReadLine(record.Lines[line]);
  uint32_t low = 0;
  uint32_t high = 0;
  bool lowConverted = ParseTimeHalf(record.Lines[ExpiryLow], &low);
  ReadLine(record.Lines[ExpiryHigh]);
  bool highConverted = ParseTimeHalf(record.Lines[ExpiryHigh], &high);
  if (Error != 0) return ReadOutcome::ReadError;
  if (!lowConverted || !highConverted) return ReadOutcome::FormatError;
  record.Expiry = FileTimeValue(high, low);
  for (int line = CreationLow; line < Terminator; ++line) ReadLine(record.Lines[line]);
  bool terminatorInData = ReadLine(record.Lines[Terminator]);
  if (Error != 0) return ReadOutcome::ReadError;
  // A record whose ninth line is no "*" has lost or gained a line: the
  // records after it would be read out of step, flags taken for expiry times.
  if (terminatorInData && record.Lines[Terminator].compare(0, 1, "*") != 0) {
    return ReadOutcome::FormatError;
  }
  return ReadOutcome::Record;
}

bool CookieReader::AtEnd() {
  if (Pos == Size && !Fill()) return Error == 0;
  return Buffer[Pos] == kCtrlZ;
}

ReadOutcome CookieReader::ReadTail() {
  for (;;) {
    for (; Pos < Size; ++Pos) {
      if (Buffer[Pos] != kCtrlZ) return ReadOutcome::FormatError;
    }
    if (!Fill()) return Error == 0 ? ReadOutcome::Record : ReadOutcome::ReadError;
  }
}
