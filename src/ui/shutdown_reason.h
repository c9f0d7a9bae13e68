// The reason a window gives for holding up a log-off or shut-down, which the
// system shows beside its name. Windows before Vista has no such reason: there
// both calls do nothing.
#pragma once

#include <windows.h>

// The system's two calls, looked up by name in user32.dll once; empty where
// it lacks them. Tests put others in their place.
struct ShutdownReasonCalls {
  BOOL(WINAPI* Create)(HWND window, LPCWSTR reason);
  BOOL(WINAPI* Destroy)(HWND window);
};
extern ShutdownReasonCalls ShutdownReason;

void GiveShutdownReason(HWND window, const wchar_t* reason);
void WithdrawShutdownReason(HWND window);
