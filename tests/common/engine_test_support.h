// What the engine tests on every platform share: cookie records to write into
// test files, the time they are judged against, and the engine set back to a
// clean start with the window sink capturing the log in LogText.
#pragma once

#include <cstdint>
#include <string>

#include "log_capture.h"
#include "platform/platform.h"

// One record with expiry high/low halves and LF line ends, or `lineEnd`.
std::string Cookie(const std::string& name, int64_t high, int64_t low = 0,
                   const std::string& lineEnd = "\n");

// The time the tests judge against: high half 7, low half 100.
constexpr FileTime kTestNow = {100, 7};
// Halves that are safely before and after kTestNow.
constexpr int64_t kPast = 6;
constexpr int64_t kFuture = 8;

void ExpectCounters(int total, int expired, int withExpired, int removed, int ioErrors,
                    int incorrect);

// The real platform, empty counters and log, the window sink on, and
// CookieFolder set to `folder`.
void ResetEngine(const std::string& folder);
// Gives the real platform back and switches the window sink off.
void ReleaseEngine();

// Passes each entry that the listing in use gives through `alter`: a listing
// of names that no test folder can hold. ResetEngine ends it.
void AlterListedEntries(void (*alter)(FoundEntry* entry));

// Cleans `name` of CookieFolder as the scan would, with the stamp it has now.
void CleanListedFile(const std::string& name);
