// The host's stand-ins for the platform services, gathered in NativePlatform.
#pragma once

#include "platform/platform.h"

uint32_t HostOpenExisting(const char* path, FileHandle* file);
uint32_t HostCreateEmpty(const char* path, FileHandle* file);
uint32_t HostCreateNew(const char* path, FileHandle* file);
uint32_t HostReadBlock(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd);
bool HostWriteBlock(FileHandle file, const char* data, uint32_t size);
bool HostCloseFile(FileHandle file);
bool HostRemoveFile(const char* path);
bool HostRenameFile(const char* from, const char* to);
uint32_t HostMoveOver(const char* from, const char* to);

uint32_t HostFindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry);
uint32_t HostFindNext(SearchHandle search, FoundEntry* entry);
void HostFindEnd(SearchHandle search);
uint32_t HostQueryStamp(const char* path, FileStamp* stamp);
bool HostIsLeadByte(char byte);

uint32_t HostTickCount();
FileTime HostNowAsFileTime();
VersionInfo HostQueryVersion();
FolderAnswer HostQueryCookieFolder(char buffer[kMaxPath]);
FolderAnswer HostExpandEnvironment(const char* text, char buffer[kMaxPath]);
