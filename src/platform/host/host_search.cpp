// Directory search on the host. It serves the one kind of pattern the engine
// uses, "folder\*.ext", and matches the ending without regard to case, as
// the Windows search does.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

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

bool NextMatch(HostSearch& search, FoundEntry* entry) {
  while (dirent* item = readdir(search.Folder)) {
    if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) continue;
    if (!Matches(item->d_name, search.Ending) || std::strlen(item->d_name) >= kMaxPath) continue;
    struct stat info;
    if (fstatat(dirfd(search.Folder), item->d_name, &info, 0) != 0) continue;
    std::strcpy(entry->Name, item->d_name);
    entry->SizeLow = S_ISDIR(info.st_mode) ? 0 : static_cast<uint32_t>(info.st_size);
    return true;
  }
  return false;
}

}  // namespace

bool HostFindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  std::string path = HostPath(pattern);
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string mask = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (mask.empty() || mask[0] != '*') return false;
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return false;
  auto* state = new HostSearch{listing, mask.substr(1)};
  if (!NextMatch(*state, entry)) {
    HostFindEnd(state);
    return false;
  }
  *search = state;
  return true;
}

bool HostFindNext(SearchHandle search, FoundEntry* entry) {
  return NextMatch(*static_cast<HostSearch*>(search), entry);
}

void HostFindEnd(SearchHandle search) {
  auto* state = static_cast<HostSearch*>(search);
  closedir(state->Folder);
  delete state;
}
