// What the log box shows of the log: each line cut to a length no one reads
// past, never inside a double-byte character, and a zero byte, which would
// end the text the box is handed, as the two characters \0.
#pragma once

#include <string>
#include <string_view>

#include "log/run_log.h"

// A line of the box shows at most this many bytes of its log line, followed
// by kCutMark when there were more: some fifteen rows of the box. No one reads
// further, and the edit control lays out a long unbroken line at a cost that
// grows with the square of its length: under Wine 1 KiB takes it some 4 ms,
// 4 KiB some 60, and a name of megabytes held the window for minutes, or
// crashed it. The log file keeps every byte.
constexpr size_t kLongestBoxLine = 1024;
constexpr std::string_view kCutMark = "...";

// Most lines are short and hold neither a line break nor a zero byte: the
// box shows them as they are.
bool ShownAsItIs(LogParts line);

// Appends what the box shows for the log line and its CR LF to `shown`.
void AppendBoxLine(std::string& shown, LogParts line);

// What the box shows for a piece of the log.
std::string BoxText(std::string_view text);
