#include "cleaning/cookie_writer.h"

// The reader leaves a ninth line empty only where the data ended before it.
// Written back empty, it would stand in the data without the "*" that closes
// a record, and the next run would refuse the file: it is written as "*".
void CookieWriter::WriteRecord(const CookieRecord& record) {
  for (int line = Name; line < Terminator; ++line) {
    Out.Write(record.Lines[line]);
    Out.Write("\n");
  }
  const std::string& terminator = record.Lines[Terminator];
  Out.Write(terminator.empty() ? "*" : terminator);
  Out.Write("\n");
}
