#include "platform/host/host_paths.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstdint>

#include "platform/platform.h"

std::string HostPath(const char* enginePath) {
  std::string path(enginePath);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

namespace {

bool ParentExists(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat info;
  return stat(slash == 0 ? "/" : path.substr(0, slash).c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode);
}

}  // namespace

uint32_t WindowsErrorFromErrno(int error, const std::string& path) {
  switch (error) {
    case ENOENT: return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EEXIST: return kErrorAccessDenied;
    case EMFILE:
    case ENFILE: return 4;    // too many open files
    case EROFS: return 19;    // write-protected
    case ENOSPC: return 112;  // disk full
    case ENAMETOOLONG: return 206;
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    default: return 31;  // a device that does not work
  }
}
