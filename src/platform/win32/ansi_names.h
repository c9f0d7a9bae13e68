// Also used by the Windows-only layers above the platform (shell and ui).
//
// Names in the system's ANSI code page, made from the system's own Unicode
// names. The system's conversion writes a character the code page lacks as a
// look-alike or as "?", and an ANSI call given such a name reaches another
// file or none; these conversions are exact, or they say that they are not.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Writes `wide` into `ansi` (`size` bytes, its zero included) when the code
// page holds every character and the result fits; false otherwise.
bool ToAnsiExactly(const wchar_t* wide, char* ansi, int size);
bool ToAnsiExactly(std::wstring_view wide, std::string& ansi);

// `wide` as the log shows it: each character the code page lacks as "?",
// never as a look-alike; cut where `size` ends.
void ToAnsiShown(const wchar_t* wide, char* ansi, int size);

// An ANSI path made by the functions above, as the system's wide calls take
// it; false when a byte of it is no character of the code page.
bool ToWide(const char* ansi, std::wstring& wide);
