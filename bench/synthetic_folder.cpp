#include "synthetic_folder.h"

#include "cleaning/expiry.h"
#include "cookie_text.h"
#include "folder_files.h"

namespace {

constexpr int64_t kYear = 365LL * 24 * 3600 * 10000000;
constexpr uint64_t kSeed = 0x9E3779B97F4A7C15ULL;

int64_t Expiry(Random& random, FileTime now, bool expired) {
  int64_t offset = kYear + static_cast<int64_t>(random.Next() % (4 * kYear));
  int64_t base = FileTimeValue(now.High, now.Low);
  return expired ? base - offset : base + offset;
}

LineEnds PickLineEnds(Random& random) {
  int roll = random.Between(0, 9);
  if (roll < 4) return LineEnds::CrLf;
  if (roll < 8) return LineEnds::Lf;
  return roll < 9 ? LineEnds::Cr : LineEnds::Mixed;
}

// Every twentieth file is small; the others cycle through three untouched,
// one all expired and one partly expired.
FileKind KindOf(FolderMix mix, int index, int& regular) {
  if (mix == FolderMix::UntouchedOnly) return FileKind::Untouched;
  if (index % 20 == 19) return FileKind::Small;
  switch (regular++ % 5) {
    case 3: return FileKind::AllExpired;
    case 4: return FileKind::PartlyExpired;
    default: return FileKind::Untouched;
  }
}

// Which records expire, one bit each: none, all, or a mix of both.
uint32_t ExpiredMask(Random& random, FileKind kind, int records) {
  const uint32_t all = (1u << records) - 1;
  if (kind == FileKind::Untouched) return 0;
  if (kind == FileKind::AllExpired) return all;
  uint32_t mask;
  do {
    mask = static_cast<uint32_t>(random.Next()) & all;
  } while (mask == 0 || mask == all);
  return mask;
}

std::string CookieFileBytes(Random& random, FileTime now, PlannedFile& file,
                            ExpectedCounts& expected) {
  if (file.Kind == FileKind::Small) return RandomValue(random, random.Between(0, 18));
  const int records = random.Between(file.Kind == FileKind::PartlyExpired ? 2 : 1, 8);
  const uint32_t mask = ExpiredMask(random, file.Kind, records);
  const LineEnds ends = PickLineEnds(random);
  std::string bytes;
  int lines = 0;
  int keptLines = 0;
  for (int i = 0; i < records; ++i) {
    const bool expired = (mask >> i & 1) != 0;
    const std::string name = "c" + std::to_string(i);
    const std::string value = RandomValue(random, random.Between(8, 120));
    const int64_t expiry = Expiry(random, now, expired);
    AppendRecord(bytes, name, value, expiry, ends, lines);
    if (!expired && mask != 0)
      AppendRecord(file.Kept, name, value, expiry, LineEnds::Lf, keptLines);
    expected.ExpiredCookies += expired ? 1 : 0;
  }
  expected.TotalCookies += records;
  expected.FilesWithExpired += mask != 0 ? 1 : 0;
  expected.FilesRemoved += file.Kind == FileKind::AllExpired ? 1 : 0;
  return bytes;
}

}  // namespace

SyntheticFolder WriteSyntheticFolder(const std::string& path, int files, FolderMix mix,
                                     FileTime now) {
  SyntheticFolder folder;
  folder.Files.reserve(static_cast<size_t>(files));
  Random random{kSeed};
  int regular = 0;
  for (int i = 0; i < files; ++i) {
    PlannedFile file{
        "bench@site" + std::to_string(i) + ".test[1].txt", KindOf(mix, i, regular), {}};
    WriteWholeFile(path + "/" + file.Name, CookieFileBytes(random, now, file, folder.Expected));
    folder.Files.push_back(std::move(file));
  }
  return folder;
}

ExpectedCounts WriteBigCookieFile(const std::string& filePath, int records, int recordBytes,
                                  FileTime now) {
  Random random{kSeed};
  ExpectedCounts expected;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(records) * static_cast<size_t>(recordBytes));
  int lines = 0;
  for (int i = 0; i < records; ++i) {
    const bool expired = i % 2 == 1;
    const std::string name = "c" + std::to_string(i);
    const int64_t expiry = Expiry(random, now, expired);
    const size_t start = bytes.size();
    AppendRecord(bytes, name, "", expiry, LineEnds::CrLf, lines);
    const int pad = recordBytes - static_cast<int>(bytes.size() - start);
    bytes.resize(start);
    AppendRecord(bytes, name, RandomValue(random, pad > 1 ? pad : 1), expiry, LineEnds::CrLf,
                 lines);
    expected.ExpiredCookies += expired ? 1 : 0;
  }
  WriteWholeFile(filePath, bytes);
  expected.TotalCookies = records;
  expected.FilesWithExpired = 1;
  return expected;
}
