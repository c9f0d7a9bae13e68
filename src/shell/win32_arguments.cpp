#include "shell/win32_arguments.h"

#include <windows.h>

#include "platform/win32/ansi_names.h"
#include "platform/win32/system_family.h"
#include "shell/command_line.h"

// On the NT family the command line is Unicode, and its ANSI form writes a
// character the code page lacks as a look-alike or "?": a log file named
// that way would be another file, and a fullwidth quotation mark would even
// part the words differently. So the words are taken from the Unicode line.
// The 9x family has only the ANSI line.
std::vector<std::string> CommandLineArguments() {
  if (!AsksInUnicode()) return SplitArguments(SkipProgramName(GetCommandLineA()));
  std::vector<std::string> arguments;
  for (const std::wstring& word : SplitArguments(SkipProgramName(GetCommandLineW()))) {
    std::string argument;
    if (!ToAnsiExactly(word, argument)) argument.clear();
    arguments.push_back(std::move(argument));
  }
  return arguments;
}
