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
