#include "ui/log_box.h"

#include "log/run_log.h"
#include "platform/platform.h"

namespace {

// Cuts the lines of a text that arrives in parts as the box shows them. Of a
// line only its first kLongestBoxLine + 1 bytes are kept, enough to tell
// whether it is longer; the rest is only looked through for the line's end.
struct BoxLineCutter {
  std::string* Shown;
  std::string Head;
  size_t Length = 0;  // the line's bytes so far
  bool EndsWithCr = false;

  void Feed(std::string_view text);
  // Ends a last line that has no line break.
  void Finish();
  void EndLine(std::string_view lineBreak);
  // Forgets a line left unfinished, by a failed allocation.
  void Restart();
};

HWND Box = nullptr;
HWND BoxOwner = nullptr;

// Characters appended so far. In a double-byte code page this counts bytes
// and so may exceed the box's own count, which the box then clamps to its
// end; asking the box for its length would cost a pass over the whole text
// for every line.
size_t BoxLength = 0;

// The run adds its lines to Waiting, under the lock, and never touches the
// box; the window's thread takes everything waiting at once and hands it to
// the box from Handing. The lock is held for an append or a swap only, so
// neither thread waits on the other's work.
CRITICAL_SECTION HandOver;
bool HandOverMade = false;
std::string Waiting;
bool ScrollWanted = false;
bool OwnerWoken = false;

std::string Handing;
size_t HandedUpTo = 0;
bool ScrollAfterHanding = false;

// Only the thread that logs uses these, one line at a time.
std::string LineShown;
BoxLineCutter Cutter = {&LineShown, {}, 0, false};

// The edit control finds the place of an insertion by walking its lines from
// the top, so handing it every line on its own makes a long run quadratic;
// lines are handed over in pieces instead.
constexpr size_t kPieceSize = 64 * 1024;

// Released however its holder leaves, a failed allocation included.
struct HandOverLock {
  HandOverLock() { EnterCriticalSection(&HandOver); }
  ~HandOverLock() { LeaveCriticalSection(&HandOver); }
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

void BoxLineCutter::Restart() {
  Head.clear();
  Length = 0;
  EndsWithCr = false;
}

void BoxLineCutter::Finish() {
  if (Length != 0) EndLine(EndsWithCr ? "\r" : "");
}

// A CR before the line's LF belongs to its line break, not to its text.
void BoxLineCutter::EndLine(std::string_view lineBreak) {
  size_t length = Length - (lineBreak.empty() ? 0 : lineBreak.size() - 1);
  if (length <= kLongestBoxLine) {
    AppendVisible(*Shown, std::string_view(Head).substr(0, length));
  } else {
    AppendVisible(*Shown, std::string_view(Head).substr(0, CutPoint(Head)));
    Shown->append(kCutMark);
  }
  Shown->append(lineBreak);
  Restart();
}

// Most lines are short and hold neither a line break nor a zero byte: the
// box shows them as they are.
bool ShownAsTheyAre(LogParts line) {
  size_t length = 0;
  for (std::string_view part : line) {
    if (part.find_first_of(std::string_view("\n\0", 2)) != std::string_view::npos) return false;
    length += part.size();
  }
  return length <= kLongestBoxLine;
}

// Under the lock.
void AppendWaiting(LogParts line) {
  for (std::string_view part : line) Waiting.append(part);
  if (Waiting.size() >= kPieceSize && !OwnerWoken)
    OwnerWoken = PostMessageA(BoxOwner, kLogWaiting, 0, 0) != FALSE;
}

// Any other line is made ready for the box before the lock is taken: a long
// one costs a pass over its bytes, which the window's thread need not wait
// for.
void AppendToBox(LogParts line) {
  if (ShownAsTheyAre(line)) {
    HandOverLock lock;
    AppendWaiting(line);
    AppendWaiting({"\r\n"});
    return;
  }
  LineShown.clear();
  Cutter.Restart();
  for (std::string_view part : line) Cutter.Feed(part);
  Cutter.Feed("\r\n");
  HandOverLock lock;
  AppendWaiting({LineShown});
}

// The scroll waits for the lines logged before it.
void ScrollBoxToEnd() {
  HandOverLock lock;
  ScrollWanted = true;
}

void TakeWaitingLines() {
  Handing.clear();
  HandedUpTo = 0;
  HandOverLock lock;
  Handing.swap(Waiting);
  ScrollAfterHanding = ScrollWanted;
  ScrollWanted = false;
  OwnerWoken = false;
}

// A piece ends after a line, so that no character of a double-byte code page
// is cut in two; no line of the box is longer than a piece.
void HandPiece() {
  size_t end = Handing.rfind('\n', HandedUpTo + kPieceSize - 1);
  end = end == std::string::npos || end < HandedUpTo ? Handing.size() : end + 1;
  std::string piece(Handing, HandedUpTo, end - HandedUpTo);
  SendMessageA(Box, EM_SETSEL, BoxLength, BoxLength);
  SendMessageA(Box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  BoxLength += piece.size();
  HandedUpTo = end;
}

void ScrollToEnd() {
  LRESULT lines = SendMessageA(Box, EM_GETLINECOUNT, 0, 0);
  SendMessageA(Box, EM_LINESCROLL, 0, lines);
}

}  // namespace

void AttachLogBox(HWND box) {
  if (!HandOverMade) InitializeCriticalSection(&HandOver);
  HandOverMade = true;
  Box = box;
  BoxOwner = GetParent(box);
  BoxLength = 0;
  TakeWaitingLines();
  Handing.clear();
  ScrollAfterHanding = false;
  SendMessageA(Box, EM_SETLIMITTEXT, 0, 0);
  LogBox = LogBoxHooks{AppendToBox, ScrollBoxToEnd};
}

bool HandLogToBox(DWORD budget) {
  const DWORD start = GetTickCount();
  do {
    if (HandedUpTo < Handing.size()) {
      HandPiece();
    } else {
      if (ScrollAfterHanding) ScrollToEnd();
      TakeWaitingLines();
      if (Handing.empty() && !ScrollAfterHanding) return true;
    }
  } while (GetTickCount() - start < budget);
  return false;
}

std::string BoxText(std::string_view text) {
  std::string shown;
  BoxLineCutter cutter = {&shown, {}, 0, false};
  cutter.Feed(text);
  cutter.Finish();
  return shown;
}
