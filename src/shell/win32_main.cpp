#include <windows.h>

#include "shell/command_line.h"
#include "shell/dll_search_guard.h"
#include "shell/startup.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GuardDllSearch();
  return StartUp(SplitArguments(SkipProgramName(GetCommandLineA())), RunMainWindow);
}
