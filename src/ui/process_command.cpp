#include "ui/process_command.h"

#include "cleaning/cleaning_state.h"
#include "cleaning/run_cleaning.h"
#include "ui/dialog_handles.h"
#include "ui/log_box.h"
#include "ui/shutdown_reason.h"

void (*AfterHandingLines)() = nullptr;

namespace {

// Lines reach the box at least this often, and the window hands lines to the
// box for about this long at a time before it turns to its other messages.
// A timer's message comes only when no other waits, so neither input nor
// painting is held up by it.
constexpr UINT kShowInterval = 50;
constexpr UINT_PTR kShowTimer = 1;

// The box is left alone for a run's first kQuietStart milliseconds: a run of
// some ten thousand lines ends within them, and a piece the box were taking
// meanwhile would hold back its "Done" for as long as the box takes.
constexpr DWORD kQuietStart = 30;
DWORD RunStarted = 0;

HANDLE Worker = nullptr;
// From the click until the run has returned.
bool Running = false;
// From the click until every line is in the box.
bool Showing = false;
bool CloseAsked = false;

// The run's thread never waits for the window: it only takes the log's
// hand-over lock, which the window holds for a swap at most, so the window
// may always wait for it. Plain CreateThread will do: the C runtime is
// msvcrt.dll, which makes and frees each thread's own data as the thread
// starts and ends, and the statically linked C++ runtime keeps its
// per-thread data in Win32 TLS.
DWORD WINAPI RunCleaningThread(LPVOID) {
  RunCleaning();
  PostMessageA(MainDialog, kRunReturned, 0, 0);
  return 0;
}

// Its handle is signalled only once the thread is gone, and with it the last
// of its writes.
void WaitForCleaningThread() {
  if (Worker == nullptr) return;
  WaitForSingleObject(Worker, INFINITE);
  CloseHandle(Worker);
  Worker = nullptr;
}

void StopShowing() {
  KillTimer(MainDialog, kShowTimer);
  Showing = false;
}

// False when the window was asked to close during the run, and now has.
bool EndProcessCommand() {
  WaitForCleaningThread();
  WithdrawShutdownReason(MainDialog);
  Running = false;
  SetWindowTextA(Controls.Process, "Done");
  SetFocus(GetDlgItem(MainDialog, IDCANCEL));
  if (!CloseAsked) return true;
  StopShowing();
  DestroyWindow(MainDialog);
  return false;
}

}  // namespace

// The button only moves forward: one window runs at most one cleaning. The
// focus leaves the button before it is disabled, so that the dialog's keys go
// on working during the run.
void StartProcessCommand() {
  if (!IsWindowEnabled(Controls.Process)) return;
  HWND exit = GetDlgItem(MainDialog, IDCANCEL);
  SendMessageA(MainDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(exit), TRUE);
  EnableWindow(Controls.Process, FALSE);
  SetWindowTextA(Controls.Process, "Working");
  Running = true;
  RunStarted = GetTickCount();
  CloseAsked = false;
  if (SetTimer(MainDialog, kShowTimer, kShowInterval, nullptr) != 0) {
    DWORD id;  // Windows 95 starts no thread without a place for its id
    Worker = CreateThread(nullptr, 0, RunCleaningThread, nullptr, 0, &id);
    if (Worker != nullptr) {
      Showing = true;
      GiveShutdownReason(MainDialog, L"Removing expired cookies");
      return;
    }
    KillTimer(MainDialog, kShowTimer);
  }
  // Without a timer or a thread, the run holds the window until its log is
  // shown.
  RunCleaning();
  while (!HandLogToBox(INFINITE)) {
  }
  EndProcessCommand();
}

// The end of the run is seen before the lines are handed over, so that every
// line it logged is among them once it has ended. "Done" does not wait for
// the box, which may lay out a long log many times slower than the run
// writes it: the cleaning is over.
void ContinueProcessCommand() {
  if (!Showing) return;
  bool ended = !CleaningRunGoingOn();
  if (ended && Running && !EndProcessCommand()) return;
  if (Running && GetTickCount() - RunStarted < kQuietStart) return;
  bool shown = HandLogToBox(kShowInterval);
  if (AfterHandingLines != nullptr) AfterHandingLines();
  if (ended && shown) StopShowing();
}

// The thread has only to end once it has posted.
void ContinueAfterTheRun() {
  if (Worker != nullptr) WaitForSingleObject(Worker, INFINITE);
  ContinueProcessCommand();
}

void CloseMainDialog() {
  if (Running) {
    CloseAsked = true;
  } else {
    DestroyWindow(MainDialog);
  }
}

void AwaitCleaningRun() {
  WaitForCleaningThread();
  Running = false;
  Showing = false;
}

bool CleaningRunGoingOn() {
  return Worker != nullptr && WaitForSingleObject(Worker, 0) == WAIT_TIMEOUT;
}

// The file being cleaned is finished: a few milliseconds, or as long as one
// very large file takes.
void StopCleaningRun() {
  StopRequested = true;
  if (Worker != nullptr) WaitForSingleObject(Worker, INFINITE);
}
