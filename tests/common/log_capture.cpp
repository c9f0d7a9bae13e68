#include "log_capture.h"

std::string LogText;

void KeepLogLine(LogParts line) {
  for (std::string_view part : line) LogText.append(part);
  LogText.append("\r\n");
}

void CaptureLogText() {
  LogText.clear();
  LogBox = LogBoxHooks{KeepLogLine, nullptr};
}
