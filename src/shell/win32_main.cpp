#include <windows.h>

#include "shell/dll_search_guard.h"
#include "shell/startup.h"
#include "shell/win32_arguments.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GuardDllSearch();
  return StartUp(CommandLineArguments(), RunMainWindow);
}
