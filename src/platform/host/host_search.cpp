// Directory search on the host. It serves the one kind of pattern the engine
// uses, "folder\*.ext", and matches the ending without regard to case, as
// the Windows search does.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/host/host_paths.h"
#include "platform/host/host_platform.h"

namespace {

struct HostSearch {
  DIR* Folder;
  std::string Ending;  // the pattern without its leading '*'
};

bool Matches(const char* name, const std::string& ending) {
  size_t length = std::strlen(name);
  return length >= ending.size() && strcasecmp(name + length - ending.size(), ending.c_str()) == 0;
}

// As the Windows listing reports it: only a regular file has a size.
FileStamp StampOf(const struct stat& info) {
  constexpr uint64_t kTicksFrom1601To1970 = 116444736000000000;
  uint64_t ticks = kTicksFrom1601To1970 + static_cast<uint64_t>(info.st_mtim.tv_sec) * 10000000 +
                   static_cast<uint64_t>(info.st_mtim.tv_nsec) / 100;
  uint64_t size = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
  return FileStamp{size,
                   FileTime{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)}};
}

// 0 with the next match, kErrorNoMoreFiles at the end, or why the listing
// broke off.
uint32_t NextMatch(HostSearch& search, FoundEntry* entry) {
  for (;;) {
    errno = 0;
    dirent* item = readdir(search.Folder);
    if (item == nullptr) return errno == 0 ? kErrorNoMoreFiles : WindowsErrorFromErrno(errno, "");
    if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) continue;
    if (!Matches(item->d_name, search.Ending) || std::strlen(item->d_name) >= kMaxPath) continue;
    struct stat info;
    if (fstatat(dirfd(search.Folder), item->d_name, &info, 0) != 0) continue;
    std::strcpy(entry->Name, item->d_name);
    std::strcpy(entry->LongName, item->d_name);
    entry->Stamp = StampOf(info);
    return 0;
  }
}

}  // namespace

uint32_t HostFindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  std::string path = HostPath(pattern);
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string mask = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (mask.empty() || mask[0] != '*') return kErrorFileNotFound;
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) {
    if (errno == ENOENT) return kErrorPathNotFound;
    return errno == ENOTDIR ? kErrorNotAFolder : WindowsErrorFromErrno(errno, folder);
  }
  auto* state = new HostSearch{listing, mask.substr(1)};
  uint32_t error = NextMatch(*state, entry);
  if (error != 0) {
    HostFindEnd(state);
    return error == kErrorNoMoreFiles ? kErrorFileNotFound : error;
  }
  *search = state;
  return 0;
}

uint32_t HostFindNext(SearchHandle search, FoundEntry* entry) {
  return NextMatch(*static_cast<HostSearch*>(search), entry);
}

void HostFindEnd(SearchHandle search) {
  auto* state = static_cast<HostSearch*>(search);
  closedir(state->Folder);
  delete state;
}

// Names here are bytes, or UTF-8, whose characters never hold the byte of a
// slash or a backslash but as that character.
bool HostIsLeadByte(char) { return false; }

uint32_t HostQueryStamp(const char* enginePath, FileStamp* stamp) {
  std::string path = HostPath(enginePath);
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return WindowsErrorFromErrno(errno, path);
  *stamp = StampOf(info);
  return 0;
}
