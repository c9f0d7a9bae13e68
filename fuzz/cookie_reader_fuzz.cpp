// The cookie reader over arbitrary bytes, served from memory. Properties:
//  - it reads the same records, and stops for the same reason, as a plain
//    model that sees the whole file at once (so no line or line end is lost
//    or doubled where a block ends, a short block is not taken for the end,
//    and a failing read is never taken for the end of the file);
//  - the records it read, written back by CookieWriter, read back into the
//    same records, nine lines each, with the same expiry; a ninth line the
//    data lacked comes back as "*".
// The first three input bytes choose the set-up. Byte 0, bit 0: the data
// stands just before the first 64 KiB boundary, behind a filler record, by
// the number of bytes in byte 1; bit 1: one read fails, the read numbered by
// bits 2 to 4; bit 5: reads give at most (byte 2 & 15) + 1 and
// (byte 2 >> 4) + 1 bytes in turn. The rest of the input is the file.
#include <algorithm>
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

constexpr size_t kNever = static_cast<size_t>(-1);

struct Setup {
  std::string File;
  size_t FailingRead = kNever;
  uint32_t BlockLimits[2] = {UINT32_MAX, UINT32_MAX};
};

// A record that reads without fault and fills the file up to `length` bytes.
std::string FillerRecord(size_t length) {
  const std::string head = "filler\n";
  const std::string tail = "\nexample.test/\n0\n0\n0\n0\n0\n*\n";
  return head + std::string(length - head.size() - tail.size(), 'v') + tail;
}

Setup MakeSetup(const uint8_t* data, size_t size) {
  uint8_t header[3] = {};
  size_t skip = std::min<size_t>(size, sizeof header);
  std::copy(data, data + skip, header);
  Setup setup;
  if (header[0] & 1) setup.File = FillerRecord(kFileBufferSize - header[1]);
  setup.File.append(reinterpret_cast<const char*>(data) + skip, size - skip);
  if (header[0] & 2) setup.FailingRead = (header[0] >> 2) & 7;
  if (header[0] & 32) {
    setup.BlockLimits[0] = (header[2] & 15) + 1;
    setup.BlockLimits[1] = (header[2] >> 4) + 1;
  }
  return setup;
}

// Where the failing read begins in the file, provided the reader gets that
// far: an empty read before it, or one the source called the last, ends the
// file.
size_t FailurePosition(const Setup& setup) {
  if (setup.FailingRead == kNever) return kNever;
  size_t position = 0;
  for (size_t read = 0; read < setup.FailingRead; ++read) {
    if (position == setup.File.size()) return kNever;
    size_t count = std::min<size_t>(
        {setup.File.size() - position, kFileBufferSize, setup.BlockLimits[read % 2]});
    position += count;
    if (position == setup.File.size() && count < kFileBufferSize) return kNever;
  }
  return position;
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
  ReferenceRead model = ReadReference(setup.File, FailurePosition(setup));
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

// A last record cut short by the end of the data comes back with "*" as its
// ninth line, which the data lacked; every other line reads back as it was.
std::vector<CookieRecord> AsWritten(std::vector<CookieRecord> records) {
  for (CookieRecord& record : records) {
    if (record.Lines[Terminator].empty()) record.Lines[Terminator] = "*";
  }
  return records;
}

void CheckRoundTrip(const ReaderRun& run) {
  if (run.Records.empty()) return;
  MemoryFiles files;
  UseMemoryFiles(files);
  std::string written = Written(run.Records, files);
  std::vector<CookieRecord> expected = AsWritten(run.Records);
  std::string bytes;
  for (const CookieRecord& record : expected) {
    for (const std::string& line : record.Lines) bytes.append(line).push_back('\n');
  }
  Check(written == bytes, "the writer writes each line with one line feed");
  files.Source = written;
  ReaderRun again = ReadAll();
  Check(again.Last == ReadOutcome::Record, "a written file reads back without error");
  Check(again.Records.size() == expected.size(), "a written file reads back as many records");
  for (size_t i = 0; i < expected.size(); ++i) {
    Check(SameRecord(again.Records[i], expected[i]), "a written record reads back the same");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup setup = MakeSetup(data, size);
  MemoryFiles files;
  files.Source = setup.File;
  files.FailingRead = setup.FailingRead;
  std::copy(setup.BlockLimits, setup.BlockLimits + 2, files.BlockLimits);
  UseMemoryFiles(files);
  ReaderRun run = ReadAll();
  CheckAgainstModel(run, setup);
  CheckRoundTrip(run);
  return 0;
}
