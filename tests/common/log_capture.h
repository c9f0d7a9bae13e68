// The log as the engine tests read it: a box hook of their own keeps every
// line the window sink hands it, each with its CR LF, in LogText.
#pragma once

#include <string>

#include "log/run_log.h"

extern std::string LogText;

// The hook: appends the line and CR LF to LogText.
void KeepLogLine(LogParts line);

// Empties LogText and makes KeepLogLine the window sink's box, which has no
// scroll.
void CaptureLogText();
