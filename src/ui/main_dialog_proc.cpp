#include "ui/main_dialog_proc.h"

#include "ui/dialog_handles.h"
#include "ui/links.h"
#include "ui/log_box.h"
#include "ui/process_command.h"
#include "ui/resource_ids.h"

namespace {

// A link acts on the first click only, not on the double-click notification.
INT_PTR OpenOnClick(WORD code, const char* target) {
  if (code != STN_CLICKED) return FALSE;
  OpenLink(target);
  return TRUE;
}

INT_PTR OnCommand(WPARAM first) {
  WORD code = HIWORD(first);
  switch (LOWORD(first)) {
    case IDCANCEL: CloseMainDialog(); return TRUE;
    case IDC_PROCESS:
      if (code != BN_CLICKED) return FALSE;
      StartProcessCommand();
      return TRUE;
    case IDC_WEBLINK: return OpenOnClick(code, kWebLinkTarget);
    case IDC_MAILLINK: return OpenOnClick(code, kMailLinkTarget);
    default: return FALSE;
  }
}

// Blue on whatever lies behind the link, like a link on a web page.
INT_PTR OnColorStatic(WPARAM first, LPARAM second) {
  HWND control = reinterpret_cast<HWND>(second);
  if (control != Controls.WebLink && control != Controls.MailLink) return FALSE;
  HDC dc = reinterpret_cast<HDC>(first);
  SetTextColor(dc, RGB(0, 0, 255));
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// During a run a log-off or shut-down is asked to wait for it; before and
// after, the dialog's default answer lets it go on.
INT_PTR OnQueryEndSession() {
  if (!CleaningRunGoingOn()) return FALSE;
  SetWindowLongPtrA(MainDialog, DWLP_MSGRESULT, FALSE);
  return TRUE;
}

// The session ends all the same, and the process with it as soon as this
// returns: a run still going on is first brought to a stop between two files.
INT_PTR OnEndSession(WPARAM ending) {
  if (ending == FALSE || !CleaningRunGoingOn()) return FALSE;
  StopCleaningRun();
  SetWindowLongPtrA(MainDialog, DWLP_MSGRESULT, 0);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return TRUE;
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: return OnCommand(first);
    case WM_CTLCOLORSTATIC: return OnColorStatic(first, second);
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_ENDSESSION: return OnEndSession(first);
    case WM_TIMER:
    case kLogWaiting: ContinueProcessCommand(); return TRUE;
    case kRunReturned: ContinueAfterTheRun(); return TRUE;
    default: return FALSE;
  }
}
