#include "cleaning/run_cleaning.h"

namespace {

constexpr uint32_t kPlatformNt = 2;

}  // namespace

const char* WindowsName(const VersionInfo& version) {
  if (version.PlatformId != kPlatformNt) return "9x";
  switch (version.Major) {
    case 4: return "NT";
    case 5:
      switch (version.Minor) {
        case 0: return "2000";
        case 1: return "XP";
        case 2: return "2003";
        default: return "";
      }
    case 6: return version.Minor == 0 ? "Vista" : "7";
    default: return "";
  }
}
