#include "ui/main_window.h"

#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include "ui/dialog_handles.h"
#include "ui/log_box.h"
#include "ui/main_dialog_proc.h"
#include "ui/process_command.h"
#include "ui/resource_ids.h"

namespace {

HFONT LinkFont = nullptr;
HFONT TitleFont = nullptr;

void SetControlFont(HWND control, HFONT font) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TakeControlHandles() {
  Controls.Process = GetDlgItem(MainDialog, IDC_PROCESS);
  Controls.WebLink = GetDlgItem(MainDialog, IDC_WEBLINK);
  Controls.MailLink = GetDlgItem(MainDialog, IDC_MAILLINK);
  Controls.Log = GetDlgItem(MainDialog, IDC_LOG);
}

// When the default GUI font cannot be described, the links keep the
// dialog's font; their colour still marks them as links.
void MakeLinkFont() {
  LOGFONTA description;
  if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description) == 0) return;
  description.lfUnderline = 1;
  LinkFont = CreateFontIndirectA(&description);
  SetControlFont(Controls.WebLink, LinkFont);
  SetControlFont(Controls.MailLink, LinkFont);
}

// A positive height is the height of the character cell in pixels.
void MakeTitleFont() {
  TitleFont =
      CreateFontA(22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  SetControlFont(GetDlgItem(MainDialog, IDC_TITLE), TitleFont);
}

// The cursor belongs to the static-text class, so the mail link gets the hand
// too; the other static texts do not take mouse input and show the dialog's
// arrow.
void ShowHandOverLinks() {
  HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
  SetClassLongPtrA(Controls.WebLink, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

}  // namespace

bool BuildMainWindow() {
  InitCommonControls();
  HINSTANCE self = GetModuleHandleA(nullptr);
  MainDialog = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
  if (MainDialog == nullptr) return false;
  HICON icon = LoadIconA(self, MAKEINTRESOURCEA(IDI_MAIN));
  SendMessageA(MainDialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SetWindowTextA(MainDialog, "Quillfen v.1.03");
  TakeControlHandles();
  AttachLogBox(Controls.Log);
  MakeLinkFont();
  MakeTitleFont();
  ShowHandOverLinks();
  ShowWindow(MainDialog, SW_SHOWNORMAL);
  return true;
}

// A failing GetMessageA (-1) ends the loop as the quit message does, rather
// than spinning on an error.
void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(MainDialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void DeleteWindowFonts() {
  DeleteObject(TitleFont);
  TitleFont = nullptr;
  if (LinkFont != nullptr) DeleteObject(LinkFont);
  LinkFont = nullptr;
}

int RunMainWindow() {
  if (!BuildMainWindow()) return 1;
  RunMessageLoop();
  AwaitCleaningRun();
  DeleteWindowFonts();
  return 0;
}
