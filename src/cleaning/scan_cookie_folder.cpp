#include "cleaning/scan_cookie_folder.h"

#include <string>
#include <string_view>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "platform/platform.h"

namespace {

// The names to clean, one after another, each closed by a zero byte: a folder
// of many thousand files costs little more than the bytes of their names.
struct NameList {
  std::string Bytes;

  void Add(const char* name) { Bytes.append(name).push_back('\0'); }
};

// Every matching entry is counted; a folder matching the pattern has size 0
// and so is never cleaned.
void ListFolder(int32_t& filesFound, NameList& toClean) {
  std::string pattern = CookieFolder + "*.txt";
  SearchHandle search = nullptr;
  FoundEntry entry;
  if (!Platform.FindFirst(pattern.c_str(), &search, &entry)) return;
  do {
    ++filesFound;
    if (static_cast<int32_t>(entry.SizeLow) > SmallFileLimit) toClean.Add(entry.Name);
  } while (Platform.FindNext(search, &entry));
  Platform.FindEnd(search);
}

}  // namespace

// The folder is listed in full before any file is cleaned: a replaced file
// takes its name from a new working copy, which a search still open could
// report a second time.
void ScanCookieFolder(int32_t& filesFound) {
  NameList toClean;
  ListFolder(filesFound, toClean);
  std::string_view names = toClean.Bytes;
  while (!names.empty()) {
    size_t end = names.find('\0');
    CleanCookieFile(names.substr(0, end));
    names.remove_prefix(end + 1);
  }
}
