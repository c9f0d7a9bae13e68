// The reason a window gives for holding up a log-off or shut-down, which the
// system shows beside its name. Windows before Vista has no such reason: there
// both calls do nothing.
#pragma once

#include <windows.h>

void GiveShutdownReason(HWND window, const wchar_t* reason);
void WithdrawShutdownReason(HWND window);
