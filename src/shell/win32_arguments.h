// The tool's arguments, from the command line the system holds.
#pragma once

#include <string>
#include <vector>

// The words after the program's name, in the ANSI code page. A word the code
// page cannot hold reads as empty: it names no file.
std::vector<std::string> CommandLineArguments();
