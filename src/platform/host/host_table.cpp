#include "platform/host/host_platform.h"

const PlatformServices NativePlatform = {
    HostOpenExisting, HostCreateEmpty,       HostCreateNew,         HostReadBlock,
    HostWriteBlock,   HostCloseFile,         HostRemoveFile,        HostRenameFile,
    HostMoveOver,     HostFindFirst,         HostFindNext,          HostFindEnd,
    HostQueryStamp,   HostIsLeadByte,        HostTickCount,         HostNowAsFileTime,
    HostQueryVersion, HostQueryCookieFolder, HostExpandEnvironment,
};

PlatformServices Platform = NativePlatform;
