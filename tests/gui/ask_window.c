/* Asks the tool's window questions from another process, as Windows does, and
   writes down each answer. It must run on the tool's desktop; built as a GUI
   program, it opens no console window there to take the keyboard focus.

     ask_window.exe ask OUT
       Every quarter second until the window has gone: WM_NULL with a 300 ms
       timeout, as Windows asks whether a window hangs. One line each: the
       milliseconds since the window was found, 1 if it answered in time, how
       long it took, and the caption of the Process button.

     ask_window.exe endsession OUT DELAY
       DELAY milliseconds after the Process button first reads "Working", a
       log-off as Windows makes it: WM_QUERYENDSESSION, then WM_ENDSESSION with
       TRUE, then the tool's process ended at once, as Windows ends it. Writes
       the caption seen then, each answer and how long each message took. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define PROCESS_BUTTON 1002

static HWND FindTool(void) {
  for (int tries = 0; tries < 1200; ++tries, Sleep(50)) {
    HWND window = FindWindowA(NULL, "Quillfen v.1.03");
    if (window != NULL) return window;
  }
  return NULL;
}

static void Caption(HWND window, char* text, int size) {
  text[0] = '\0';
  GetWindowTextA(GetDlgItem(window, PROCESS_BUTTON), text, size);
}

static int Ask(HWND window, FILE* out) {
  DWORD found = GetTickCount();
  while (IsWindow(window)) {
    char caption[64];
    DWORD_PTR ignored;
    DWORD start = GetTickCount();
    LRESULT answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 300, &ignored);
    DWORD took = GetTickCount() - start;
    Caption(window, caption, sizeof caption);
    if (!IsWindow(window)) break;
    fprintf(out, "%lu %d %lu %s\n", start - found, answered != 0, took, caption);
    fflush(out);
    Sleep(250);
  }
  return 0;
}

static LRESULT Timed(HWND window, UINT message, WPARAM first, DWORD* took) {
  DWORD_PTR answer = 0;
  DWORD start = GetTickCount();
  SendMessageTimeoutA(window, message, first, ENDSESSION_LOGOFF, SMTO_NORMAL, 60000, &answer);
  *took = GetTickCount() - start;
  return (LRESULT)answer;
}

static int EndSession(HWND window, FILE* out, DWORD delay) {
  char caption[64];
  do {
    Sleep(1);
    Caption(window, caption, sizeof caption);
  } while (strcmp(caption, "Working") != 0 && IsWindow(window));
  Sleep(delay);
  Caption(window, caption, sizeof caption);
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE tool = OpenProcess(PROCESS_TERMINATE, FALSE, id);
  DWORD queryTook, endTook;
  LRESULT query = Timed(window, WM_QUERYENDSESSION, 0, &queryTook);
  Timed(window, WM_ENDSESSION, TRUE, &endTook);
  BOOL ended = TerminateProcess(tool, 99);
  fprintf(out, "caption %s\nquery answer %ld ms %lu\nendsession ms %lu\nended %d\n", caption,
          (long)query, queryTook, endTook, ended != 0);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  FILE* out = fopen(argv[2], "w");
  HWND window = FindTool();
  if (out == NULL || window == NULL) return 1;
  int status = 2;
  if (strcmp(argv[1], "ask") == 0) status = Ask(window, out);
  if (strcmp(argv[1], "endsession") == 0 && argc > 3)
    status = EndSession(window, out, (DWORD)atoi(argv[3]));
  fclose(out);
  return status;
}
