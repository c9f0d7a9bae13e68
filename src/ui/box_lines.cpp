#include "ui/box_lines.h"

#include "platform/platform.h"

namespace {

// Cuts the lines of a text that arrives in parts as the box shows them. Of a
// line only its first kLongestBoxLine + 1 bytes are kept, enough to tell
// whether it is longer; the rest is only looked through for the line's end.
struct BoxLineCutter {
  std::string& Shown;
  std::string Head;
  size_t Length = 0;  // the line's bytes so far
  bool EndsWithCr = false;

  void Feed(std::string_view text);
  // Ends a last line that has no line break.
  void Finish();
  void EndLine(std::string_view lineBreak);
};

void AppendVisible(std::string& shown, std::string_view text) {
  for (size_t zero; (zero = text.find('\0')) != std::string_view::npos;
       text.remove_prefix(zero + 1)) {
    shown.append(text.substr(0, zero)).append("\\0");
  }
  shown.append(text);
}

// How many of the first kLongestBoxLine bytes of a line make whole
// characters. The walk starts at the line's start, which no double-byte
// character spans: a line break holds no second byte of one.
size_t CutPoint(std::string_view text) {
  size_t cut = 0;
  for (;;) {
    size_t next = cut + (Platform.IsLeadByte(text[cut]) ? 2 : 1);
    if (next > kLongestBoxLine) return cut;
    cut = next;
  }
}

void BoxLineCutter::Feed(std::string_view text) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view part = text.substr(0, end);
    if (Head.size() <= kLongestBoxLine)
      Head.append(part.substr(0, kLongestBoxLine + 1 - Head.size()));
    if (!part.empty()) EndsWithCr = part.back() == '\r';
    Length += part.size();
    if (end == std::string_view::npos) return;
    EndLine(EndsWithCr ? "\r\n" : "\n");
    text.remove_prefix(end + 1);
  }
}

void BoxLineCutter::Finish() {
  if (Length != 0) EndLine(EndsWithCr ? "\r" : "");
}

// A CR before the line's LF belongs to its line break, not to its text.
void BoxLineCutter::EndLine(std::string_view lineBreak) {
  size_t length = Length - (lineBreak.empty() ? 0 : lineBreak.size() - 1);
  if (length <= kLongestBoxLine) {
    AppendVisible(Shown, std::string_view(Head).substr(0, length));
  } else {
    AppendVisible(Shown, std::string_view(Head).substr(0, CutPoint(Head)));
    Shown.append(kCutMark);
  }
  Shown.append(lineBreak);
  Head.clear();
  Length = 0;
  EndsWithCr = false;
}

}  // namespace

// A line of megabytes is not read through here.
bool ShownAsItIs(LogParts line) {
  size_t length = 0;
  for (std::string_view part : line) length += part.size();
  if (length > kLongestBoxLine) return false;
  for (std::string_view part : line) {
    if (part.find('\n') != std::string_view::npos) return false;
    if (part.find('\0') != std::string_view::npos) return false;
  }
  return true;
}

// A long line costs a pass over its bytes, but only its first bytes are kept.
void AppendBoxLine(std::string& shown, LogParts line) {
  BoxLineCutter cutter = {shown, {}, 0, false};
  for (std::string_view part : line) cutter.Feed(part);
  cutter.Feed("\r\n");
}

std::string BoxText(std::string_view text) {
  std::string shown;
  BoxLineCutter cutter = {shown, {}, 0, false};
  cutter.Feed(text);
  cutter.Finish();
  return shown;
}
