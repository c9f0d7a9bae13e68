// Files through the Win32 ANSI calls: exclusive opens, whole blocks, and the
// replacement of a cookie file by its working copy in one step.
#include <windows.h>

#include <cstring>

#include <string>

#include "platform/win32/ansi_names.h"
#include "platform/win32/long_name_of.h"
#include "platform/win32/system_family.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_seams.h"

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

namespace {

// A short name has at most eight characters, a dot and three more, and none
// of the signs an 8.3 name may not hold: a name of any other form is a long
// name, and leads to no other file.
bool HasShortNameForm(const std::wstring& name) {
  size_t dot = name.find(L'.');
  size_t base = dot == std::wstring::npos ? name.size() : dot;
  size_t extension = dot == std::wstring::npos ? 0 : name.size() - dot - 1;
  return base != 0 && base <= 8 && extension <= 3 &&
         name.find(L'.', base + 1) == std::wstring::npos &&
         name.find_first_of(L" +,;=[]") == std::wstring::npos;
}

// The file `to` leads to now, by its long name: where the listing named it by
// its short name, a copy moved onto that would give it the short name for
// good, and the browser would no longer find its cookies. The folder stays as
// the engine names it.
uint32_t LongPathOf(const char* to, std::wstring& longPath) {
  if (!ToWide(to, longPath)) return ERROR_NO_UNICODE_TRANSLATION;
  size_t nameAt = longPath.find_last_of(L'\\') + 1;
  if (!HasShortNameForm(longPath.substr(nameAt))) return 0;
  std::wstring longName;
  uint32_t error = LongNameOf(longPath, longName);
  if (error == 0) longPath.replace(nameAt, std::wstring::npos, longName);
  return error;
}

uint32_t MoveOverInUnicode(const char* from, const char* to) {
  std::wstring source;
  std::wstring target;
  if (!ToWide(from, source)) return ERROR_NO_UNICODE_TRANSLATION;
  uint32_t error = LongPathOf(to, target);
  if (error != 0) return error;
  return Seams.MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)
             ? 0
             : GetLastError();
}

}  // namespace

// The 9x family has the ANSI entry point but answers that it is not
// implemented; the caller then deletes and renames instead. Windows refuses
// to replace a read-only file with access denied.
uint32_t Win32MoveOver(const char* from, const char* to) {
  if (AsksInUnicode()) return MoveOverInUnicode(from, to);
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) ? 0 : GetLastError();
}
