#include "platform/win32/system_family.h"

#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_seams.h"

namespace {

constexpr uint32_t kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT

bool IsNtFamily(uint32_t platformId) { return platformId == kPlatformNt; }

}  // namespace

VersionInfo Win32QueryVersion() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  return VersionInfo{version.dwMajorVersion, version.dwMinorVersion, version.dwPlatformId};
}

bool AsksInUnicode() {
  static const bool nt = IsNtFamily(Win32QueryVersion().PlatformId);
  return Seams.PlatformId != 0 ? IsNtFamily(Seams.PlatformId) : nt;
}
