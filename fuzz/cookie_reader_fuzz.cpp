// The cookie reader over arbitrary bytes, served from memory in the reader's
// own block size. Properties:
//  - it reads the same records, and stops for the same reason, as a plain
//    model that sees the whole file at once (so no line or line end is lost
//    or doubled where a block ends, and a failing read is never taken for
//    the end of the file);
//  - the records it read, written back by CookieWriter, read back into the
//    same records, nine lines each, with the same expiry.
// The first input byte chooses the set-up: bit 0 puts the data just before
// the first block boundary, behind a filler record, by the number of bytes
// in the second input byte; bit 1 makes a read fail, the read numbered by
// bits 2 and 3. The rest of the input is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleaning/cookie_reader.h"
#include "cleaning/cookie_writer.h"
#include "memory_files.h"
#include "platform/file_writer.h"
#include "reference_reader.h"

namespace {

struct Setup {
  std::string File;
  size_t FailingRead = static_cast<size_t>(-1);
};

// A record that reads without fault and fills the file up to `length` bytes.
std::string FillerRecord(size_t length) {
  const std::string head = "filler\n";
  const std::string tail = "\nexample.test/\n0\n0\n0\n0\n0\n*\n";
  return head + std::string(length - head.size() - tail.size(), 'v') + tail;
}

Setup MakeSetup(const uint8_t* data, size_t size) {
  Setup setup;
  uint8_t options = size > 0 ? data[0] : 0;
  uint8_t shift = size > 1 ? data[1] : 0;
  size_t skip = size < 2 ? size : 2;
  if (options & 1) setup.File = FillerRecord(kFileBufferSize - shift);
  setup.File.append(reinterpret_cast<const char*>(data) + skip, size - skip);
  if (options & 2) setup.FailingRead = (options >> 2) & 3;
  return setup;
}

struct ReaderRun {
  std::vector<CookieRecord> Records;
  ReadOutcome Last = ReadOutcome::Record;
};

ReaderRun ReadAll() {
  ReaderRun run;
  CookieReader reader;
  if (reader.Open("memory") != 0) std::abort();
  for (;;) {
    CookieRecord record;
    run.Last = reader.ReadRecord(record);
    if (run.Last != ReadOutcome::Record) break;
    run.Records.push_back(record);
    if (reader.AtEnd()) break;
  }
  reader.Close();
  return run;
}

bool SameRecord(const CookieRecord& record, const ReferenceRecord& model) {
  for (int i = 0; i < LinesPerRecord; ++i) {
    if (record.Lines[i] != model.Lines[i]) return false;
  }
  return record.Expiry == model.Expiry && !record.Expired;
}

bool SameRecord(const CookieRecord& a, const CookieRecord& b) {
  for (int i = 0; i < LinesPerRecord; ++i) {
    if (a.Lines[i] != b.Lines[i]) return false;
  }
  return a.Expiry == b.Expiry;
}

void Check(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

void CheckAgainstModel(const ReaderRun& run, const Setup& setup) {
  const size_t never = static_cast<size_t>(-1);
  size_t failAt = setup.FailingRead == never ? never : setup.FailingRead * kFileBufferSize;
  ReferenceRead model = ReadReference(setup.File, failAt);
  Check(run.Last == model.Last, "the reader stops for the same reason as the model");
  Check(run.Records.size() == model.Records.size(), "the reader reads as many records");
  for (size_t i = 0; i < run.Records.size(); ++i) {
    Check(SameRecord(run.Records[i], model.Records[i]), "each record as the model reads it");
  }
}

std::string Written(const std::vector<CookieRecord>& records, MemoryFiles& files) {
  CookieWriter writer;
  if (writer.Create("memory.bak") != 0) std::abort();
  for (const CookieRecord& record : records) writer.WriteRecord(record);
  Check(writer.Close(), "the writer closes without failure");
  return files.Written;
}

void CheckRoundTrip(const ReaderRun& run) {
  if (run.Records.empty()) return;
  MemoryFiles files;
  UseMemoryFiles(files);
  std::string written = Written(run.Records, files);
  std::string expected;
  for (const CookieRecord& record : run.Records) {
    for (const std::string& line : record.Lines) expected.append(line).push_back('\n');
  }
  Check(written == expected, "the writer writes each line with one line feed");
  files.Source = written;
  ReaderRun again = ReadAll();
  Check(again.Last == ReadOutcome::Record, "a written file reads back without error");
  Check(again.Records.size() == run.Records.size(), "a written file reads back as many records");
  for (size_t i = 0; i < run.Records.size(); ++i) {
    Check(SameRecord(again.Records[i], run.Records[i]), "a written record reads back the same");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup setup = MakeSetup(data, size);
  MemoryFiles files;
  files.Source = setup.File;
  files.FailingRead = setup.FailingRead;
  UseMemoryFiles(files);
  ReaderRun run = ReadAll();
  CheckAgainstModel(run, setup);
  CheckRoundTrip(run);
  return 0;
}
