// Files on the host. Windows refuses to overwrite, replace or delete a
// read-only file; here a file without its owner's write bit counts as
// read-only, also for root. Share modes have no POSIX counterpart: the host
// does not keep other processes out of an open file. The listing reports
// devices and pipes with size 0, so that they are never opened; should one
// take a listed name later, the open does not wait for a writer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/host/host_paths.h"
#include "platform/host/host_platform.h"

namespace {

int Descriptor(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }

FileHandle HandleOf(int descriptor) {
  return reinterpret_cast<FileHandle>(intptr_t{descriptor} + 1);
}

// 0 when the path is missing or may be written over; otherwise why not.
uint32_t WhyNotWritable(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return 0;
  if (S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0) return kErrorAccessDenied;
  return 0;
}

uint32_t Opened(int descriptor, const std::string& path, FileHandle* file) {
  if (descriptor < 0) return ReportedOpenError(WindowsErrorFromErrno(errno, path));
  *file = HandleOf(descriptor);
  return 0;
}

}  // namespace

uint32_t HostOpenExisting(const char* enginePath, FileHandle* file) {
  std::string path = HostPath(enginePath);
  return Opened(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY), path, file);
}

uint32_t HostCreateEmpty(const char* enginePath, FileHandle* file) {
  std::string path = HostPath(enginePath);
  uint32_t refusal = WhyNotWritable(path);
  if (refusal != 0) return ReportedOpenError(refusal);
  return Opened(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), path, file);
}

// A read of a regular file comes back short only at the end of the file; the
// process installs no signal handler that could cut one short.
uint32_t HostReadBlock(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd) {
  ssize_t count;
  do {
    count = read(Descriptor(file), buffer, size);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    *got = 0;
    return WindowsErrorFromErrno(errno, "");
  }
  *got = static_cast<uint32_t>(count);
  *atEnd = *got < size;
  return 0;
}

// O_EXCL also refuses a link standing at the name, dangling or not.
uint32_t HostCreateNew(const char* enginePath, FileHandle* file) {
  std::string path = HostPath(enginePath);
  int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (descriptor < 0 && errno == EEXIST) return kErrorFileExists;
  return Opened(descriptor, path, file);
}

bool HostWriteBlock(FileHandle file, const char* data, uint32_t size) {
  while (size != 0) {
    ssize_t count = write(Descriptor(file), data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    data += count;
    size -= static_cast<uint32_t>(count);
  }
  return true;
}

bool HostCloseFile(FileHandle file) { return close(Descriptor(file)) == 0; }

bool HostRemoveFile(const char* enginePath) {
  std::string path = HostPath(enginePath);
  return WhyNotWritable(path) == 0 && unlink(path.c_str()) == 0;
}

bool HostRenameFile(const char* from, const char* to) {
  std::string source = HostPath(from);
  std::string target = HostPath(to);
  struct stat info;
  return lstat(target.c_str(), &info) != 0 && rename(source.c_str(), target.c_str()) == 0;
}

uint32_t HostMoveOver(const char* from, const char* to) {
  std::string source = HostPath(from);
  std::string target = HostPath(to);
  uint32_t refusal = WhyNotWritable(target);
  if (refusal != 0) return refusal;
  if (rename(source.c_str(), target.c_str()) != 0) return WindowsErrorFromErrno(errno, source);
  return 0;
}
