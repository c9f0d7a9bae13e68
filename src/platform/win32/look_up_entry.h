// Also used by the Windows-only layers above the platform (shell and ui).
//
// Entry points that only some Windows releases have are looked up by name at
// run time, so that the program still starts where they are missing.
#pragma once

#include <windows.h>

// The entry `name` of `module` as the type of its call; null where the module
// lacks it.
template <typename Call>
Call LookUpEntry(HMODULE module, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
