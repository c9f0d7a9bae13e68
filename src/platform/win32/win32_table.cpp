#include "platform/win32/win32_platform.h"

const PlatformServices NativePlatform = {
    Win32OpenExisting, Win32CreateEmpty,       Win32CreateNew,         Win32ReadBlock,
    Win32WriteBlock,   Win32CloseFile,         Win32RemoveFile,        Win32RenameFile,
    Win32MoveOver,     Win32FindFirst,         Win32FindNext,          Win32FindEnd,
    Win32QueryStamp,   Win32IsLeadByte,        Win32TickCount,         Win32NowAsFileTime,
    Win32QueryVersion, Win32QueryCookieFolder, Win32ExpandEnvironment,
};

PlatformServices Platform = NativePlatform;
