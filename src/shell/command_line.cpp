#include "shell/command_line.h"

namespace {

bool IsSeparator(char c) {
  auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

std::vector<std::string> SplitArguments(std::string_view commandLine) {
  commandLine = commandLine.substr(0, commandLine.find('\0'));
  std::vector<std::string> words;
  size_t at = 0;
  for (;;) {
    while (at < commandLine.size() && IsSeparator(commandLine[at])) ++at;
    if (at == commandLine.size()) return words;
    std::string word;
    char openQuote = 0;
    for (; at < commandLine.size(); ++at) {
      char c = commandLine[at];
      if (openQuote == 0 && IsSeparator(c)) break;
      if (openQuote == 0 && IsQuote(c)) {
        openQuote = c;
      } else if (c == openQuote) {
        openQuote = 0;
      } else {
        word.push_back(c);
      }
    }
    words.push_back(std::move(word));
  }
}

std::string_view SkipProgramName(std::string_view commandLine) {
  size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    at = commandLine.find('"', 1);
    at = at == std::string_view::npos ? commandLine.size() : at + 1;
  } else {
    while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t') ++at;
  }
  return commandLine.substr(at);
}
