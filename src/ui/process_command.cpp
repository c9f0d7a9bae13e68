#include "ui/process_command.h"

#include "cleaning/cleaning_state.h"
#include "cleaning/run_cleaning.h"
#include "ui/dialog_handles.h"
#include "ui/log_box.h"
#include "ui/shutdown_reason.h"

namespace {

// Lines reach the box at least this often, and the window hands lines to the
// box for about this long at a time before it turns to its other messages.
// A timer's message comes only when no other waits, so neither input nor
// painting is held up by it.
constexpr UINT kShowInterval = 50;
constexpr UINT_PTR kShowTimer = 1;

HANDLE Worker = nullptr;
bool Running = false;
bool CloseAsked = false;

// The run's thread never waits for the window: it only takes the log's
// hand-over lock, which the window holds for a swap at most, so the window
// may always wait for it. Plain CreateThread will do: the C runtime is
// msvcrt.dll, which makes and frees each thread's own data as the thread
// starts and ends, and the statically linked C++ runtime keeps its
// per-thread data in Win32 TLS.
DWORD WINAPI RunCleaningThread(LPVOID) {
  RunCleaning();
  return 0;
}

bool CleaningThreadEnded(DWORD wait) {
  if (Worker == nullptr) return true;
  if (WaitForSingleObject(Worker, wait) == WAIT_TIMEOUT) return false;
  CloseHandle(Worker);
  Worker = nullptr;
  return true;
}

void EndProcessCommand() {
  KillTimer(MainDialog, kShowTimer);
  WithdrawShutdownReason(MainDialog);
  Running = false;
  SetWindowTextA(Controls.Process, "Done");
  SetFocus(GetDlgItem(MainDialog, IDCANCEL));
  if (CloseAsked) DestroyWindow(MainDialog);
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
  CloseAsked = false;
  if (SetTimer(MainDialog, kShowTimer, kShowInterval, nullptr) != 0) {
    DWORD id;  // Windows 95 starts no thread without a place for its id
    Worker = CreateThread(nullptr, 0, RunCleaningThread, nullptr, 0, &id);
    if (Worker != nullptr) {
      GiveShutdownReason(MainDialog, L"Removing expired cookies");
      return;
    }
  }
  // Without a timer or a thread, the run holds the window until its log is
  // shown.
  RunCleaning();
  while (!HandLogToBox(INFINITE)) {
  }
  EndProcessCommand();
}

// The end of the thread is seen before the lines are handed over, so that
// every line it logged is among them. Its handle is signalled only once the
// thread is gone, and with it the last of its writes.
void ContinueProcessCommand() {
  if (!Running) return;
  bool ended = CleaningThreadEnded(0);
  if (HandLogToBox(kShowInterval) && ended) EndProcessCommand();
}

void CloseMainDialog() {
  if (Running) {
    CloseAsked = true;
  } else {
    DestroyWindow(MainDialog);
  }
}

void AwaitCleaningRun() {
  CleaningThreadEnded(INFINITE);
  Running = false;
}

bool CleaningRunGoingOn() { return !CleaningThreadEnded(0); }

// The file being cleaned is finished: a few milliseconds, or as long as one
// very large file takes.
void StopCleaningRun() {
  StopRequested = true;
  CleaningThreadEnded(INFINITE);
}
