#include "shell/dll_search_guard.h"

#include <windows.h>

#include "platform/win32/look_up_entry.h"

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled out because older headers lack it.
constexpr DWORD kSearchSystemFolderOnly = 0x00000800;

using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryCall = BOOL(WINAPI*)(LPCSTR);

}  // namespace

// Both calls are looked up by name: Windows 7 and Vista have the first only
// with an update, XP SP1 and later the second, 9x and NT 4 neither.
void GuardDllSearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return;
  auto setDefault = LookUpEntry<SetDefaultDllDirectoriesCall>(kernel, "SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(kSearchSystemFolderOnly)) return;
  // An empty text takes the current folder out of the search order.
  auto setDirectory = LookUpEntry<SetDllDirectoryCall>(kernel, "SetDllDirectoryA");
  if (setDirectory != nullptr) setDirectory("");
}
