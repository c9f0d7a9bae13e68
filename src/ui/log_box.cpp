#include "ui/log_box.h"

#include "log/run_log.h"
#include "platform/platform.h"

namespace {

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

// `line` holds one line and its line break, if any.
void AppendBoxLine(std::string& shown, std::string_view line) {
  size_t length = line.size();
  if (length > 0 && line[length - 1] == '\n') --length;
  if (length > 0 && line[length - 1] == '\r') --length;
  if (length <= kLongestBoxLine) {
    AppendVisible(shown, line);
    return;
  }
  AppendVisible(shown, line.substr(0, CutPoint(line)));
  shown.append(kCutMark).append(line.substr(length));
}

// The line is made ready for the box before the lock is taken: a long one
// costs a pass over its bytes, which the window's thread need not wait for.
void AppendToBox(std::string_view line) {
  std::string shown = BoxText(line);
  HandOverLock lock;
  Waiting.append(shown);
  if (Waiting.size() >= kPieceSize && !OwnerWoken)
    OwnerWoken = PostMessageA(BoxOwner, kLogWaiting, 0, 0) != FALSE;
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
  while (!text.empty()) {
    size_t end = text.find('\n');
    end = end == std::string_view::npos ? text.size() : end + 1;
    AppendBoxLine(shown, text.substr(0, end));
    text.remove_prefix(end);
  }
  return shown;
}
