// The "Process" command: one cleaning run on a thread of its own, so that the
// window goes on answering, repainting and showing the log as it grows.
#pragma once

#include <windows.h>

// Starts the run, unless this window has started one already.
void StartProcessCommand();

// On the window's timer and kLogWaiting during a run: shows the lines logged
// so far and, once the run has returned and every line is shown, ends the
// command.
void ContinueProcessCommand();

// "Exit", Escape and the close box: the window closes at once, or, during a
// run, as soon as the run has ended.
void CloseMainDialog();

// Waits for a run still going on and ends its command: the process must not
// end in the middle of a cookie file's replacement.
void AwaitCleaningRun();

// Whether the run's thread is still at work.
bool CleaningRunGoingOn();

// When the session ends during a run: the run stops at the next boundary
// between two files, and this returns once it has.
void StopCleaningRun();
