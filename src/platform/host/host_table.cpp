#include "platform/host/host_platform.h"

const PlatformServices NativePlatform = {
    HostOpenExisting,  HostCreateEmpty,  HostReadBlock,         HostWriteBlock,
    HostCloseFile,     HostRemoveFile,   HostRenameFile,        HostMoveOver,
    HostFindFirst,     HostFindNext,     HostFindEnd,           HostTickCount,
    HostNowAsFileTime, HostQueryVersion, HostQueryCookieFolder, HostExpandEnvironment,
};

PlatformServices Platform = NativePlatform;
