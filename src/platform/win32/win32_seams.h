// Where the tests of the Win32 layer stand in for the system: to take the 9x
// path under Wine, to make a call fail that Wine never fails, and to see what
// the layer hands the system. The program itself never changes them.
#pragma once

#include <windows.h>

#include <cstdint>

struct Win32Seams {
  // 0, or the platform id the family of calls is chosen from instead of the
  // system's own (1 takes the 9x path).
  uint32_t PlatformId;
  DWORD(WINAPI* GetShortPathNameW)(LPCWSTR path, LPWSTR shortPath, DWORD size);
  BOOL(WINAPI* MoveFileExW)(LPCWSTR from, LPCWSTR to, DWORD flags);
};

extern Win32Seams Seams;

// The seams as the program has them, for a test to restore.
extern const Win32Seams SystemSeams;
