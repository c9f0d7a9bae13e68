#include "floor_cleaner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "folder_files.h"

namespace {

constexpr size_t kBlock = 64 * 1024;

void ReadWhole(const std::string& path, char* block) {
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) Fail("cannot open " + path);
  ssize_t count;
  do {
    count = read(descriptor, block, kBlock);
  } while (count == static_cast<ssize_t>(kBlock));
  if (count < 0) Fail("cannot read " + path);
  close(descriptor);
}

void Replace(const std::string& path, const std::string& kept) {
  const std::string copy = path + ".bak";
  WriteWholeFile(copy, kept);
  if (std::rename(copy.c_str(), path.c_str()) != 0) Fail("cannot rename " + copy);
}

// Sums the sizes so that the listing cannot be left out as unused work.
long long ListWithSizes(const std::string& path) {
  DIR* folder = opendir(path.c_str());
  if (folder == nullptr) Fail("cannot list " + path);
  long long total = 0;
  while (dirent* entry = readdir(folder)) {
    struct stat info;
    if (entry->d_name[0] != '.' && fstatat(dirfd(folder), entry->d_name, &info, 0) == 0) {
      total += info.st_size;
    }
  }
  closedir(folder);
  return total;
}

}  // namespace

void CleanLikeTheFloor(const std::string& path, const SyntheticFolder& folder,
                       FloorListing listing) {
  if (listing == FloorListing::WithSizes && ListWithSizes(path) == 0) Fail("empty " + path);
  std::unique_ptr<char[]> block(new char[kBlock]);
  for (const PlannedFile& file : folder.Files) {
    if (file.Kind == FileKind::Small) continue;
    const std::string filePath = path + "/" + file.Name;
    ReadWhole(filePath, block.get());
    if (file.Kind == FileKind::AllExpired && unlink(filePath.c_str()) != 0) {
      Fail("cannot delete " + filePath);
    }
    if (file.Kind == FileKind::PartlyExpired) Replace(filePath, file.Kept);
  }
}
