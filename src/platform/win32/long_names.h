// The long names of the files that the listing could name only by their short
// names. Replacing such a file through its short name would give it the short
// name for good, and the browser would no longer find its cookies.
#pragma once

#include <string>

// Called as each listing starts: its files are cleaned before the next one.
void ForgetLongNames();
void RememberLongName(std::string shortPath, std::wstring longPath);
// The long path of the file the listing named `shortPath`, or null where the
// listing gave the file's long name.
const std::wstring* LongNameOf(const char* shortPath);
