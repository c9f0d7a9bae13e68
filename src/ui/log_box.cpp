#include "ui/log_box.h"

#include "log/run_log.h"

namespace {

HWND Box = nullptr;

// Characters appended so far. In a double-byte code page this counts bytes
// and so may exceed the box's own count, which the box then clamps to its
// end; asking the box for its length would cost a pass over the whole text
// for every line.
size_t BoxLength = 0;

// Lines not yet handed to the box. The edit control finds the place of an
// insertion by walking its lines from the top, so handing it every line on its
// own makes a long run quadratic; lines are handed over in pieces instead. The
// window handles no message while a run goes on, so nothing can show the box
// before the run ends and the rest is flushed.
std::string Pending;
constexpr size_t kPieceSize = 64 * 1024;

void AppendToBox(std::string_view line) {
  AppendBoxText(Pending, line);
  if (Pending.size() >= kPieceSize) FlushLogBox();
}

void ScrollBoxToEnd() {
  FlushLogBox();
  LRESULT lines = SendMessageA(Box, EM_GETLINECOUNT, 0, 0);
  SendMessageA(Box, EM_LINESCROLL, 0, lines);
}

}  // namespace

void AttachLogBox(HWND box) {
  Box = box;
  BoxLength = 0;
  Pending.clear();
  SendMessageA(Box, EM_SETLIMITTEXT, 0, 0);
  LogBox = LogBoxHooks{AppendToBox, ScrollBoxToEnd};
}

void FlushLogBox() {
  if (Pending.empty()) return;
  SendMessageA(Box, EM_SETSEL, BoxLength, BoxLength);
  SendMessageA(Box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Pending.c_str()));
  BoxLength += Pending.size();
  Pending.clear();
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
