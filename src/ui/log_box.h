// The window sink of the run log. The run logs from a thread of its own: its
// lines, cut as the box shows them, wait in a hand-over buffer until the
// window's thread hands them to the log box, appended to its end. The window
// keeps no more of the log than that.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Posted to the window that holds the box once kWakeAt bytes of lines wait
// for it, so that a fast run does not wait for the window's next look; one
// at a time, until the window has taken them.
constexpr UINT kLogWaiting = WM_APP + 1;
constexpr size_t kWakeAt = 64 * 1024;

// Makes `box` the log box of the run log, lifts its text limit and gives it
// a cheaper way to find where its lines wrap. From then on the run log may
// be written from any thread; the box itself is only touched by
// HandLogToBox.
void AttachLogBox(HWND box);

// On the window's thread: hands the lines logged so far to the box, a piece
// at a time, and scrolls it to its end where the run asked for that. Answers
// true once every line is in the box, false when `budget` milliseconds have
// passed first or another message waits for the window. While lines arrive
// faster than anyone can read them, the box is redrawn a few times a second
// rather than for every piece.
bool HandLogToBox(DWORD budget);

// A line of the box shows at most this many bytes of its log line, followed
// by kCutMark when there were more: some fifteen rows of the box. No one reads
// further, and the edit control lays out a long unbroken line at a cost that
// grows with the square of its length: under Wine 1 KiB takes it some 4 ms,
// 4 KiB some 60, and a name of megabytes held the window for minutes, or
// crashed it. The log file keeps every byte.
constexpr size_t kLongestBoxLine = 1024;
constexpr std::string_view kCutMark = "...";

// What the box shows for a piece of the log: each line cut as above, never
// inside a double-byte character, and a zero byte, which would end the text
// the box is handed, as the two characters \0.
std::string BoxText(std::string_view text);
