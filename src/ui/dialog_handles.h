// The main dialog and the controls its commands act on, looked up once after
// the dialog is created and kept for its life.
#pragma once

#include <windows.h>

extern HWND MainDialog;

struct DialogControls {
  HWND Process;
  HWND WebLink;
  HWND MailLink;
  HWND Log;
};
extern DialogControls Controls;
