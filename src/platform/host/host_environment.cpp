// The host's answers to the run's questions about its environment.
//
// The shell's cookie folder is the value of QUILLFEN_COOKIES when it is set
// (the host has no shell to ask); otherwise the query names no folder and the
// run falls back to the environment, where %USERPROFILE% and %WINDIR% are
// looked up like any other variable. The host poses as Windows 7 (NT 6.1),
// so that both folders are scanned.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/host/host_platform.h"

uint32_t HostTickCount() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}

FileTime HostNowAsFileTime() {
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600;
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  uint64_t ticks = (static_cast<uint64_t>(now.tv_sec) + kSecondsFrom1601To1970) * 10000000 +
                   static_cast<uint64_t>(now.tv_nsec) / 100;
  return FileTime{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

VersionInfo HostQueryVersion() { return VersionInfo{6, 1, 2}; }

FolderAnswer HostQueryCookieFolder(char buffer[kMaxPath]) {
  const char* folder = std::getenv("QUILLFEN_COOKIES");
  if (folder == nullptr) return FolderAnswer::Failed;
  if (std::strlen(folder) >= kMaxPath) return FolderAnswer::TooLong;
  std::strcpy(buffer, folder);
  return FolderAnswer::Found;
}

// Like the Windows call: a reference to a variable that is not set stays as
// it is. Host names are bytes, and every path leads where it says.
FolderAnswer HostExpandEnvironment(const char* text, char buffer[kMaxPath]) {
  std::string result;
  for (const char* at = text; *at != '\0';) {
    const char* close = *at == '%' ? std::strchr(at + 1, '%') : nullptr;
    const char* value = close ? std::getenv(std::string(at + 1, close).c_str()) : nullptr;
    if (value != nullptr) {
      result.append(value);
      at = close + 1;
    } else {
      result.push_back(*at++);
    }
  }
  if (result.size() >= kMaxPath) return FolderAnswer::TooLong;
  std::memcpy(buffer, result.c_str(), result.size() + 1);
  return FolderAnswer::Found;
}
