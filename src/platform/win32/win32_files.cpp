// Files through the Win32 ANSI calls: exclusive opens, whole blocks, and the
// replacement of a cookie file by its working copy in one step.
#include <windows.h>

#include <cstring>

#include "platform/win32/ansi_names.h"
#include "platform/win32/long_names.h"
#include "platform/win32/win32_platform.h"

namespace {

// Windows refuses an ANSI path of MAX_PATH characters or more with this code;
// Wine opens it. The rule is kept here so that the tool acts on the same files
// under both.
bool IsTooLong(const char* path) { return std::strlen(path) >= kMaxPath; }

uint32_t OpenWith(const char* path, DWORD access, DWORD disposition, HANDLE* file) {
  if (IsTooLong(path)) return ReportedOpenError(ERROR_FILENAME_EXCED_RANGE);
  HANDLE handle =
      CreateFileA(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ReportedOpenError(GetLastError());
  *file = handle;
  return 0;
}

}  // namespace

// A name such as com1.txt or nul.txt opens a device on Windows 10 and
// earlier, whatever the folder: a port that sends nothing would hold the read
// for ever. Only a disk file is read.
uint32_t Win32OpenExisting(const char* path, FileHandle* file) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  uint32_t code = OpenWith(path, GENERIC_READ, OPEN_EXISTING, &handle);
  if (code != 0) return code;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return kErrorNotSupported;
  }
  *file = handle;
  return 0;
}

uint32_t Win32CreateEmpty(const char* path, FileHandle* file) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  uint32_t code = OpenWith(path, GENERIC_WRITE, CREATE_ALWAYS, &handle);
  if (code == 0) *file = handle;
  return code;
}

uint32_t Win32CreateNew(const char* path, FileHandle* file) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  uint32_t code = OpenWith(path, GENERIC_WRITE, CREATE_NEW, &handle);
  if (code == 0) *file = handle;
  return code;
}

// A synchronous read of a disk file returns fewer bytes than asked for only
// when it reaches the end of the file; a failure part-way fails the call.
uint32_t Win32ReadBlock(FileHandle file, char* buffer, uint32_t size, uint32_t* got, bool* atEnd) {
  DWORD count = 0;
  if (!ReadFile(file, buffer, size, &count, nullptr)) {
    *got = 0;
    return GetLastError();
  }
  *got = count;
  *atEnd = count < size;
  return 0;
}

bool Win32WriteBlock(FileHandle file, const char* data, uint32_t size) {
  DWORD count = 0;
  return WriteFile(file, data, size, &count, nullptr) && count == size;
}

bool Win32CloseFile(FileHandle file) { return CloseHandle(file) != 0; }

bool Win32RemoveFile(const char* path) { return DeleteFileA(path) != 0; }

bool Win32RenameFile(const char* from, const char* to) { return MoveFileA(from, to) != 0; }

// The 9x family has the entry point but answers that it is not implemented;
// the caller then deletes and renames instead. Windows refuses to replace a
// read-only file with access denied. A file the listing named by its short
// name is replaced under its long name, which it would otherwise lose.
uint32_t Win32MoveOver(const char* from, const char* to) {
  const std::wstring* longPath = LongNameOf(to);
  BOOL moved = longPath != nullptr
                   ? MoveFileExW(ToWide(from).c_str(), longPath->c_str(), MOVEFILE_REPLACE_EXISTING)
                   : MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING);
  return moved ? 0 : GetLastError();
}
