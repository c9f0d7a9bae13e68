#include "engine_test_support.h"

#include <gtest/gtest.h>

#include "cleaning/clean_cookie_file.h"
#include "cleaning/cleaning_state.h"
#include "log/run_log.h"
#include "log_capture.h"

namespace {

PlatformServices Unaltered;
void (*Alter)(FoundEntry* entry) = nullptr;

uint32_t Altered(uint32_t error, FoundEntry* entry) {
  if (error == 0) Alter(entry);
  return error;
}

uint32_t AlteredFindFirst(const char* pattern, SearchHandle* search, FoundEntry* entry) {
  return Altered(Unaltered.FindFirst(pattern, search, entry), entry);
}

uint32_t AlteredFindNext(SearchHandle search, FoundEntry* entry) {
  return Altered(Unaltered.FindNext(search, entry), entry);
}

}  // namespace

std::string Cookie(const std::string& name, int64_t high, int64_t low, const std::string& lineEnd) {
  const std::string lines[] = {name,         "value-of-" + name,  "example.test/",
                               "1536",       std::to_string(low), std::to_string(high),
                               "2715813632", "30000000",          "*"};
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

void ExpectCounters(int total, int expired, int withExpired, int removed, int ioErrors,
                    int incorrect) {
  EXPECT_EQ(Counters.TotalCookies, total);
  EXPECT_EQ(Counters.ExpiredCookies, expired);
  EXPECT_EQ(Counters.FilesWithExpired, withExpired);
  EXPECT_EQ(Counters.FilesRemoved, removed);
  EXPECT_EQ(Counters.IoErrors, ioErrors);
  EXPECT_EQ(Counters.IncorrectFiles, incorrect);
}

void ResetEngine(const std::string& folder) {
  Platform = NativePlatform;
  LogToFile = false;
  LogToWindow = true;
  CaptureLogText();
  Counters = CleaningCounters{};
  NowFileTime = kTestNow;
  CookieFolder = folder;
}

void ReleaseEngine() {
  Platform = NativePlatform;
  LogToWindow = false;
}

void AlterListedEntries(void (*alter)(FoundEntry* entry)) {
  Unaltered = Platform;
  Alter = alter;
  Platform.FindFirst = AlteredFindFirst;
  Platform.FindNext = AlteredFindNext;
}

void CleanListedFile(const std::string& name) {
  FileStamp listed = {};
  NativePlatform.QueryStamp((CookieFolder + name).c_str(), &listed);
  CleanCookieFile(name, listed);
}
