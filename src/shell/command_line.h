// Splitting the command line into the tool's arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words after the program's own name. Words are separated by characters
// 1 to 32; double and single quotes group (inside one kind the other is
// ordinary) and are dropped, so "" alone is an empty word.
std::vector<std::string> SplitArguments(std::string_view commandLine);
std::vector<std::wstring> SplitArguments(std::wstring_view commandLine);

// The part of a raw Windows command line after the program's name, which
// follows the system's own rule: quoted up to the next double quote, or else
// up to the first blank or tab.
std::string_view SkipProgramName(std::string_view commandLine);
std::wstring_view SkipProgramName(std::wstring_view commandLine);
