#include "ui/log_box.h"

#include "log/run_log.h"
#include "ui/box_lines.h"

namespace {

HWND Box = nullptr;
HWND BoxOwner = nullptr;
// Whether the box hands its word-break procedure UTF-16 text: the common
// controls of version 6 keep theirs in Unicode.
bool BoxIsUnicode = false;

// Characters appended so far. In a double-byte code page this counts bytes
// and so may exceed the box's own count, which the box then clamps to its
// end; asking the box for its length would cost a pass over the whole text
// for every piece.
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

// Only the thread that logs uses it, one line at a time.
std::string LineShown;

// The box lays out a piece in a time that grows with its lines' number and
// length, and each insertion also costs walks over all the lines it holds,
// some 15 ms once they are 100,000. So a piece is as large as the box lays
// out in between a third of the time it is given and that time, or at most
// kLongestPiece: some hundreds of ordinary lines, or a few cut ones.
constexpr DWORD kLongestPiece = 100;
constexpr size_t kSmallestPiece = 1024;
constexpr size_t kFirstPiece = 8 * 1024;
constexpr size_t kLargestPiece = 64 * 1024;
size_t PieceSize = kFirstPiece;

// While the box is behind, it is redrawn at most this often: a repaint of a
// box of 100,000 lines costs tens of milliseconds, and no one reads lines
// arriving at thousands a second.
constexpr DWORD kRedrawInterval = 250;
bool RedrawHeld = false;
DWORD LastRedraw = 0;
// The last call ran out of its time with lines still waiting.
bool Behind = false;

// Released however its holder leaves, a failed allocation included.
struct HandOverLock {
  HandOverLock() { EnterCriticalSection(&HandOver); }
  ~HandOverLock() { LeaveCriticalSection(&HandOver); }
};

// Under the lock.
void AppendWaiting(LogParts line) {
  for (std::string_view part : line) Waiting.append(part);
  if (Waiting.size() >= kWakeAt && !OwnerWoken)
    OwnerWoken = PostMessageA(BoxOwner, kLogWaiting, 0, 0) != FALSE;
}

// A line the box shows as it is goes to the hand-over at once. Any other is
// made ready for the box before the lock is taken: a long one costs a pass
// over its bytes, which the window's thread need not wait for.
void AppendToBox(LogParts line) {
  if (ShownAsItIs(line)) {
    HandOverLock lock;
    AppendWaiting(line);
    AppendWaiting({"\r\n"});
    return;
  }
  LineShown.clear();
  AppendBoxLine(LineShown, line);
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

bool BlankAt(LPSTR text, int index) {
  if (BoxIsUnicode) return reinterpret_cast<const wchar_t*>(text)[index] == L' ';
  return text[index] == ' ';
}

// The box's own search for where a line may wrap reads its whole text anew
// after every change, so that each piece cost time in proportion to the log
// so far. This one reads the line only: a line wraps after a blank, or,
// where its row holds none, after the last character that fits.
int CALLBACK FindWrap(LPSTR text, int current, int length, int action) {
  switch (action) {
    case WB_LEFT: {
      int start = current;
      while (start > 0 && !BlankAt(text, start - 1)) --start;
      return start > 0 ? start : current;
    }
    case WB_RIGHT: {
      int end = current;
      while (end < length && !BlankAt(text, end)) ++end;
      return end;
    }
    case WB_ISDELIMITER: return current < length && BlankAt(text, current);
    default: return 0;
  }
}

void HoldRedraw() {
  if (RedrawHeld) return;
  SendMessageA(Box, WM_SETREDRAW, FALSE, 0);
  RedrawHeld = true;
}

// The box paints itself once the window has no other message to serve.
void RedrawBox() {
  LastRedraw = GetTickCount();
  if (!RedrawHeld) return;
  SendMessageA(Box, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(Box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  RedrawHeld = false;
}

void FitPieceSize(DWORD took, DWORD budget) {
  DWORD longest = budget < kLongestPiece ? budget : kLongestPiece;
  if (took < longest / 3 && PieceSize < kLargestPiece) PieceSize *= 2;
  if (took > longest && PieceSize > kSmallestPiece) PieceSize /= 2;
}

// A piece ends after a line, so that no character of a double-byte code page
// is cut in two, and holds at least one line.
void HandPiece(DWORD budget) {
  size_t end = Handing.rfind('\n', HandedUpTo + PieceSize - 1);
  if (end == std::string::npos || end < HandedUpTo) end = Handing.find('\n', HandedUpTo);
  end = end == std::string::npos ? Handing.size() : end + 1;
  std::string piece(Handing, HandedUpTo, end - HandedUpTo);
  const DWORD start = GetTickCount();
  SendMessageA(Box, EM_SETSEL, BoxLength, BoxLength);
  SendMessageA(Box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  FitPieceSize(GetTickCount() - start, budget);
  BoxLength += piece.size();
  HandedUpTo = end;
}

// Input, a question from another thread or process, or a posted message, the
// run's end among them, is served before the next piece.
bool OtherMessagesWait() {
  return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0;
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
  BoxIsUnicode = IsWindowUnicode(box) != FALSE;
  BoxLength = 0;
  PieceSize = kFirstPiece;
  TakeWaitingLines();
  Handing.clear();
  ScrollAfterHanding = false;
  RedrawHeld = false;
  Behind = false;
  SendMessageA(Box, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(Box, EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(FindWrap));
  LogBox = LogBoxHooks{AppendToBox, ScrollBoxToEnd};
}

bool HandLogToBox(DWORD budget) {
  const DWORD start = GetTickCount();
  if (Behind) HoldRedraw();
  for (;;) {
    if (HandedUpTo < Handing.size()) {
      HandPiece(budget);
    } else {
      if (ScrollAfterHanding) ScrollToEnd();
      TakeWaitingLines();
      if (Handing.empty() && !ScrollAfterHanding) break;
    }
    if (GetTickCount() - start >= budget || OtherMessagesWait()) {
      Behind = true;
      if (GetTickCount() - LastRedraw >= kRedrawInterval) RedrawBox();
      return false;
    }
  }
  Behind = false;
  RedrawBox();
  return true;
}
