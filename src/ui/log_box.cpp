#include "ui/log_box.h"

#include "shell/run_log.h"

namespace {

HWND Box = nullptr;

// Characters appended so far. In a double-byte code page this counts bytes
// and so may exceed the box's own count, which the box then clamps to its
// end; asking the box for its length would cost a pass over the whole text
// for every line.
size_t BoxLength = 0;

void AppendToBox(std::string_view line) {
  std::string text = BoxText(line);
  SendMessageA(Box, EM_SETSEL, BoxLength, BoxLength);
  SendMessageA(Box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  BoxLength += text.size();
}

void ScrollBoxToEnd() {
  LRESULT lines = SendMessageA(Box, EM_GETLINECOUNT, 0, 0);
  SendMessageA(Box, EM_LINESCROLL, 0, lines);
}

}  // namespace

void AttachLogBox(HWND box) {
  Box = box;
  BoxLength = 0;
  SendMessageA(Box, EM_SETLIMITTEXT, 0, 0);
  LogBox = LogBoxHooks{AppendToBox, ScrollBoxToEnd};
}

std::string BoxText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (char c : text) {
    if (c == '\0') {
      shown.append("\\0");
    } else {
      shown.push_back(c);
    }
  }
  return shown;
}
