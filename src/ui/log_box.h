// The window sink of the run log. The run logs from a thread of its own: its
// lines, cut as the box shows them, wait in a hand-over buffer until the
// window's thread hands them to the log box, appended to its end. The window
// keeps no more of the log than that.
#pragma once

#include <windows.h>

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
