#include "cleaning/scan_cookie_folder.h"

#include <cstring>
#include <string>
#include <string_view>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "log/run_log.h"
#include "platform/platform.h"

namespace {

// The files to clean, one after another: each listed stamp, then the name
// closed by a zero byte. A folder of many thousand files costs little more
// than the bytes of their names and stamps.
struct CleaningList {
  std::string Bytes;

  void Add(const FoundEntry& entry) {
    Bytes.append(reinterpret_cast<const char*>(&entry.Stamp), sizeof entry.Stamp);
    Bytes.append(entry.Name).push_back('\0');
  }
};

// A name is put behind the folder as it stands: one holding a folder
// separator, such as ..\..\gone.txt, would lead out of the folder. No file
// bears such a name on Windows, but the listing is not trusted to leave them
// out: Wine, for one, lists a Linux name that holds backslashes as it stands.
// Neither of an entry's names may hold one. In a double-byte code page the
// second byte of a character may be that of a backslash: it belongs to that
// character and parts no folders.
bool HoldsFolderSeparator(const char* name) {
  for (const char* at = name; *at != '\0'; ++at) {
    if (*at == '\\' || *at == '/') return true;
    if (Platform.IsLeadByte(*at) && at[1] != '\0') ++at;
  }
  return false;
}

// The pattern also matches short 8.3 names, so "notes.txt~" or "q.txtx"
// would come along: only a long name that ends in ".txt" is a cookie file.
bool EndsInTxt(const char* name) {
  size_t length = std::strlen(name);
  if (length < 4) return false;
  const char* ending = name + length - 4;
  return ending[0] == '.' && (ending[1] | 0x20) == 't' && (ending[2] | 0x20) == 'x' &&
         (ending[3] | 0x20) == 't';
}

bool IsCookieFile(const FoundEntry& entry) {
  return !HoldsFolderSeparator(entry.Name) && !HoldsFolderSeparator(entry.LongName) &&
         EndsInTxt(entry.LongName);
}

// The search answers these for a folder without cookie files, for one that
// does not exist and for a file in its place; anything else keeps a folder
// that is there from being listed.
bool IsQuietEnd(uint32_t error) {
  return error == kErrorFileNotFound || error == kErrorPathNotFound || error == kErrorNoMoreFiles ||
         error == kErrorNotAFolder;
}

void ReportUnlistableFolder(uint32_t error) {
  ++Counters.IoErrors;
  LogLine("Error [" + std::to_string(error) + "] reading folder: " + CookieFolder);
}

// Every matching entry is counted; a folder matching the pattern has size 0
// and so is never cleaned.
void TakeEntry(const FoundEntry& entry, int32_t& filesFound, CleaningList& toClean) {
  if (!IsCookieFile(entry)) return;
  ++filesFound;
  auto sizeLow = static_cast<uint32_t>(entry.Stamp.Size);
  if (static_cast<int32_t>(sizeLow) <= SmallFileLimit) return;
  // A file that no name in the code page leads to is not opened: a
  // look-alike name would lead to another file.
  if (entry.Name[0] == '\0') {
    ReportUnreadFile(kErrorNoUnicodeTranslation, entry.LongName);
  } else {
    toClean.Add(entry);
  }
}

uint32_t ListFolder(int32_t& filesFound, CleaningList& toClean) {
  std::string pattern = CookieFolder + "*.txt";
  SearchHandle search = nullptr;
  FoundEntry entry;
  uint32_t error = Platform.FindFirst(pattern.c_str(), &search, &entry);
  if (error != 0) return error;
  do {
    TakeEntry(entry, filesFound, toClean);
  } while ((error = Platform.FindNext(search, &entry)) == 0);
  Platform.FindEnd(search);
  return error;
}

}  // namespace

// The folder is listed in full before any file is cleaned: a replaced file
// takes its name from a new working copy, which a search still open could
// report a second time. A stop request is met between two files.
void ScanCookieFolder(int32_t& filesFound, uint32_t folderError) {
  CleaningList toClean;
  uint32_t error = folderError != 0 ? folderError : ListFolder(filesFound, toClean);
  if (!IsQuietEnd(error)) ReportUnlistableFolder(error);
  std::string_view rest = toClean.Bytes;
  while (!rest.empty() && !StopRequested) {
    FileStamp listed;
    std::memcpy(&listed, rest.data(), sizeof listed);
    rest.remove_prefix(sizeof listed);
    size_t end = rest.find('\0');
    CleanCookieFile(rest.substr(0, end), listed);
    rest.remove_prefix(end + 1);
  }
}
