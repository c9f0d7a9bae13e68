#include "reference_reader.h"

#include <algorithm>

#include "cleaning/expiry.h"

namespace {

struct Cursor {
  std::string_view Bytes;
  size_t FailAt;
  size_t At = 0;
  bool Failed = false;

  // The next byte, or -1 at the end of the data and for ever after a failure.
  int Peek() {
    if (Failed) return -1;
    if (At == FailAt) {
      Failed = true;
      return -1;
    }
    if (At >= Bytes.size()) return -1;
    return static_cast<unsigned char>(Bytes[At]);
  }

  // The text up to the next CR or LF (or the end), then the line end: LF,
  // CR, or CR LF. `inData` tells whether the line stood in the data at all.
  std::string Line(bool* inData = nullptr) {
    if (inData != nullptr) *inData = false;
    if (Failed) return std::string();
    size_t stop = std::min(Bytes.size(), FailAt);
    size_t end = std::min(Bytes.find_first_of("\r\n", At), stop);
    std::string text(Bytes.substr(At, end - At));
    if (inData != nullptr) *inData = !text.empty();
    At = end;
    int c = Peek();
    if (c < 0) return text;
    if (inData != nullptr) *inData = true;
    ++At;
    if (c == '\r' && Peek() == '\n') ++At;
    return text;
  }
};

ReadOutcome ReadOne(Cursor& cursor, ReferenceRecord& record) {
  for (int i = Name; i <= ExpiryHigh; ++i) record.Lines[i] = cursor.Line();
  uint32_t low = 0;
  uint32_t high = 0;
  bool converted = ParseTimeHalf(record.Lines[ExpiryLow], &low);
  converted = ParseTimeHalf(record.Lines[ExpiryHigh], &high) && converted;
  if (cursor.Failed) return ReadOutcome::ReadError;
  if (!converted) return ReadOutcome::FormatError;
  record.Expiry = static_cast<int64_t>((uint64_t{high} << 32) | low);
  for (int i = CreationLow; i < Terminator; ++i) record.Lines[i] = cursor.Line();
  bool terminatorInData = false;
  record.Lines[Terminator] = cursor.Line(&terminatorInData);
  if (cursor.Failed) return ReadOutcome::ReadError;
  bool asterisk = !record.Lines[Terminator].empty() && record.Lines[Terminator][0] == '*';
  return terminatorInData && !asterisk ? ReadOutcome::FormatError : ReadOutcome::Record;
}

}  // namespace

ReferenceRead ReadReference(std::string_view bytes, size_t failAt) {
  Cursor cursor{bytes, failAt};
  ReferenceRead read;
  for (;;) {
    ReferenceRecord record;
    read.Last = ReadOne(cursor, record);
    if (read.Last != ReadOutcome::Record) return read;
    read.Records.push_back(std::move(record));
    int next = cursor.Peek();
    if (next < 0 && !cursor.Failed) return read;
    if (next == 0x1A) return read;
  }
}
