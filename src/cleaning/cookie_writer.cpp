#include "cleaning/cookie_writer.h"

void CookieWriter::WriteRecord(const CookieRecord& record) {
  for (const std::string& line : record.Lines) {
    Out.Write(line);
    Out.Write("\n");
  }
}
