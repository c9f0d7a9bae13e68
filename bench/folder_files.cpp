#include "folder_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kCopyBlock = 1 << 20;

void WriteAll(int descriptor, const char* data, size_t size, const std::string& path) {
  while (size != 0) {
    ssize_t count = write(descriptor, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) Fail("cannot write " + path);
    data += count;
    size -= static_cast<size_t>(count);
  }
}

int CreateFile(const std::string& path) {
  int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) Fail("cannot create " + path);
  return descriptor;
}

void CopyFile(const std::string& from, const std::string& to, char* block) {
  int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) Fail("cannot open " + from);
  int target = CreateFile(to);
  ssize_t count;
  while ((count = read(source, block, kCopyBlock)) > 0) {
    WriteAll(target, block, static_cast<size_t>(count), to);
  }
  if (count < 0) Fail("cannot read " + from);
  close(source);
  if (close(target) != 0) Fail("cannot close " + to);
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

}  // namespace

void Fail(const std::string& what) {
  std::fprintf(stderr, "bench: %s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  int descriptor = CreateFile(path);
  WriteAll(descriptor, bytes.data(), bytes.size(), path);
  if (close(descriptor) != 0) Fail("cannot close " + path);
}

void MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) Fail("cannot make " + path);
}

void CopyFolder(const std::string& from, const std::string& to) {
  MakeFolder(to);
  DIR* folder = opendir(from.c_str());
  if (folder == nullptr) Fail("cannot list " + from);
  std::unique_ptr<char[]> block(new char[kCopyBlock]);
  while (dirent* entry = readdir(folder)) {
    if (entry->d_type == DT_DIR || std::strcmp(entry->d_name, "..") == 0 ||
        std::strcmp(entry->d_name, ".") == 0) {
      continue;
    }
    CopyFile(from + "/" + entry->d_name, to + "/" + entry->d_name, block.get());
  }
  closedir(folder);
}

void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) != 0) Fail("cannot remove " + path);
}
