#include "ui/log_box.h"

#include "log/run_log.h"

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

void AppendToBox(std::string_view line) {
  HandOverLock lock;
  AppendBoxText(Waiting, line);
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
// is cut in two; a line longer than a piece goes whole.
void HandPiece() {
  size_t end = Handing.rfind('\n', HandedUpTo + kPieceSize - 1);
  if (end == std::string::npos || end < HandedUpTo) end = Handing.find('\n', HandedUpTo);
  end = end == std::string::npos ? Handing.size() : end + 1;
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

void AppendBoxText(std::string& shown, std::string_view text) {
  for (char c : text) {
    if (c == '\0') {
      shown.append("\\0");
    } else {
      shown.push_back(c);
    }
  }
}

std::string BoxText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  AppendBoxText(shown, text);
  return shown;
}
