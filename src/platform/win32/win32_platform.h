// The Win32 implementation of the platform services, gathered in NativePlatform.
#pragma once

#include "platform/platform.h"

uint32_t Win32OpenExisting(const char* path, FileHandle* file);
uint32_t Win32CreateEmpty(const char* path, FileHandle* file);
uint32_t Win32CreateNew(const char* path, FileHandle* file);
uint32_t Win32ReadBlock(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd);
bool Win32WriteBlock(FileHandle file, const char* data, uint32_t size);
bool Win32CloseFile(FileHandle file);
bool Win32RemoveFile(const char* path);
bool Win32RenameFile(const char* from, const char* to);
uint32_t Win32MoveOver(const char* from, const char* to);

uint32_t Win32FindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry);
uint32_t Win32FindNext(SearchHandle search, FoundEntry* entry);
void Win32FindEnd(SearchHandle search);
uint32_t Win32QueryStamp(const char* path, FileStamp* stamp);
bool Win32IsLeadByte(char byte);

uint32_t Win32TickCount();
FileTime Win32NowAsFileTime();
VersionInfo Win32QueryVersion();
FolderAnswer Win32QueryCookieFolder(char buffer[kMaxPath]);
FolderAnswer Win32ExpandEnvironment(const char* text, char buffer[kMaxPath]);
