#include "shell/command_line.h"

namespace {

template <typename Char>
bool IsSeparator(Char c) {
  return c >= 1 && c <= 32;
}

template <typename Char>
bool IsQuote(Char c) {
  return c == '"' || c == '\'';
}

template <typename Char>
std::vector<std::basic_string<Char>> SplitWords(std::basic_string_view<Char> commandLine) {
  commandLine = commandLine.substr(0, commandLine.find(Char{}));
  std::vector<std::basic_string<Char>> words;
  size_t at = 0;
  for (;;) {
    while (at < commandLine.size() && IsSeparator(commandLine[at])) ++at;
    if (at == commandLine.size()) return words;
    std::basic_string<Char> word;
    Char openQuote = 0;
    for (; at < commandLine.size(); ++at) {
      Char c = commandLine[at];
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

template <typename Char>
std::basic_string_view<Char> SkipName(std::basic_string_view<Char> commandLine) {
  size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    at = commandLine.find('"', 1);
    at = at == std::basic_string_view<Char>::npos ? commandLine.size() : at + 1;
  } else {
    while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t') ++at;
  }
  return commandLine.substr(at);
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view commandLine) {
  return SplitWords(commandLine);
}

std::vector<std::wstring> SplitArguments(std::wstring_view commandLine) {
  return SplitWords(commandLine);
}

std::string_view SkipProgramName(std::string_view commandLine) { return SkipName(commandLine); }

std::wstring_view SkipProgramName(std::wstring_view commandLine) { return SkipName(commandLine); }
