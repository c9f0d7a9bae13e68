// The "Process" command: one cleaning run on a thread of its own, so that the
// window goes on answering, repainting and showing the log as it grows.
#pragma once

#include <windows.h>

// Posted to the window by the run's thread as its last act.
constexpr UINT kRunReturned = WM_APP + 2;

// Starts the run, unless this window has started one already.
void StartProcessCommand();

// On the window's timer and kLogWaiting: ends the command ("Done") once the
// run has returned, shows the lines logged so far, and stops once every line
// is shown. The box may still be taking the lines of a long log after "Done":
// the cleaning is over then, and the window closes at once.
void ContinueProcessCommand();

// On kRunReturned: as ContinueProcessCommand, once the run's thread has
// ended, a moment later; "Done" does not wait for the timer.
void ContinueAfterTheRun();

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

// Tests only: called on the window's thread each time it has handed the box
// the lines waiting, before it acts on what it saw of the run.
extern void (*AfterHandingLines)();
