#include "platform/win32/win32_seams.h"

const Win32Seams SystemSeams = {0, GetShortPathNameW, MoveFileExW};

Win32Seams Seams = SystemSeams;
