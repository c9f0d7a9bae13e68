// One whole cleaning run, from the start line to the working time.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

void RunCleaning();

// Milliseconds as seconds with one to three decimal places: 1050 gives "1.05".
std::string FormatElapsed(uint32_t milliseconds);

// The short name of the Windows release, empty when the table has none.
const char* WindowsName(const VersionInfo& version);

// Expands `text` into `buffer`; false when the platform fails or the result
// does not fit. A folder the code page cannot name is expanded as shown, and
// CookieFolderError says so.
bool ExpandIntoCookieFolder(const char* text, char (&buffer)[kMaxPath]);
