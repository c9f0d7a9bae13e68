// The dialog procedure of the main window: the "Process" command, the two
// links, closing, and the colour of the link texts.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM first, LPARAM second);
