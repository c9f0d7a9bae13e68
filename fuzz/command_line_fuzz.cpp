// The command-line splitting. Properties:
//  - SplitArguments gives the words of a plain character-by-character
//    reference splitter;
//  - the words, each quoted back, split into the same words again;
//  - SkipProgramName leaves a tail of the line behind a program name formed
//    by the system's rule: a quoted stretch, or a run without blank or tab.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"

namespace {

void Check(bool holds, const char* what) {
  if (holds) return;
  fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

std::vector<std::string> ReferenceSplit(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (char c : line) {
    if (c == '\0') break;
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        word.push_back(c);
      }
    } else if (static_cast<unsigned char>(c) <= 32) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '"' || c == '\'') {
        quote = c;
      } else {
        word.push_back(c);
      }
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// Each character in quotes of the kind it is not, so that blanks, control
// characters and quotes all survive; an empty word as two double quotes.
std::string QuoteBack(const std::vector<std::string>& words) {
  std::string line;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i != 0) line.push_back(' ');
    if (words[i].empty()) line.append("\"\"");
    for (char c : words[i]) {
      char quote = c == '"' ? '\'' : '"';
      line.push_back(quote);
      line.push_back(c);
      line.push_back(quote);
    }
  }
  return line;
}

void CheckProgramName(std::string_view line) {
  std::string_view tail = SkipProgramName(line);
  Check(tail.data() >= line.data() && tail.data() + tail.size() == line.data() + line.size(),
        "SkipProgramName leaves a tail of the line");
  std::string_view name = line.substr(0, line.size() - tail.size());
  if (!line.empty() && line[0] == '"') {
    size_t close = line.find('"', 1);
    Check(name.size() == (close == std::string_view::npos ? line.size() : close + 1),
          "a quoted program name ends at its closing quote");
  } else {
    Check(name.find_first_of(" \t") == std::string_view::npos, "a plain name holds no blank");
    Check(tail.empty() || tail[0] == ' ' || tail[0] == '\t', "a plain name ends at a blank");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> words = SplitArguments(line);
  Check(words == ReferenceSplit(line), "SplitArguments agrees with the reference splitter");
  Check(SplitArguments(QuoteBack(words)) == words, "quoted back, the words split the same");
  CheckProgramName(line);
  return 0;
}
