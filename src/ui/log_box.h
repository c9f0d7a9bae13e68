// The window sink of the run log. The run may log from a thread of its own:
// its lines wait in a hand-over buffer until the window's thread hands them
// to the log box, appended to its end, so a long run costs time in proportion
// to its length.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Posted to the window that holds the box once a piece's worth of lines
// waits for it, so that a fast run does not wait for the window's next look.
constexpr UINT kLogWaiting = WM_APP + 1;

// Makes `box` the log box of the run log and lifts its text limit. From then
// on the run log may be written from any thread; the box itself is only
// touched by HandLogToBox.
void AttachLogBox(HWND box);

// On the window's thread: hands the lines logged so far to the box, a piece
// at a time, and scrolls it to its end where the run asked for that. Answers
// true once every line is in the box, false when `budget` milliseconds have
// passed first.
bool HandLogToBox(DWORD budget);

// A line of the box shows at most this many bytes of its log line, followed
// by kCutMark when there were more. No one reads further, and the edit control
// lays out a long unbroken line at a cost that grows steeply with its length:
// a cookie name of megabytes held the window for minutes, or crashed it. The
// log file keeps every byte.
constexpr size_t kLongestBoxLine = 4096;
constexpr std::string_view kCutMark = "...";

// What the box shows for a piece of the log: each line cut as above, never
// inside a double-byte character, and a zero byte, which would end the text
// the box is handed, as the two characters \0.
std::string BoxText(std::string_view text);
