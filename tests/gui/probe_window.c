/* Watches the tool's window from a process of its own, as Windows would:
   every quarter second it asks the window for an answer within 250 ms, and
   the "Process" button for its caption and the log box for its line count
   (so that the count read after "Done" is the final one). It prints the
   answer, the milliseconds it took, the count and the caption on one line,
   until the window is gone. The first time the button reads "Done" it writes the box's
   text to a file.
   Usage: probe_window LINES-FILE BOX-FILE */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static BOOL Ask(HWND window, UINT message, WPARAM first, LPARAM second, UINT wait,
                DWORD_PTR* result) {
  return SendMessageTimeoutA(window, message, first, second, SMTO_NORMAL, wait, result) != 0;
}

static void WriteBoxText(HWND box, const char* path) {
  DWORD_PTR length = 0, got = 0;
  Ask(box, WM_GETTEXTLENGTH, 0, 0, 5000, &length);
  char* text = malloc(length + 1);
  FILE* file = fopen(path, "wb");
  if (text != NULL && file != NULL && Ask(box, WM_GETTEXT, length + 1, (LPARAM)text, 5000, &got))
    fwrite(text, 1, got, file);
  if (file != NULL) fclose(file);
  free(text);
}

int main(int argc, char** argv) {
  FILE* lines = argc == 3 ? fopen(argv[1], "w") : NULL;
  if (lines == NULL) return 2;
  HWND window = NULL;
  for (int i = 0; i < 600 && window == NULL; ++i, Sleep(100))
    window = FindWindowA(NULL, "Quillfen v.1.03");
  HWND box = GetDlgItem(window, 1000), button = GetDlgItem(window, 1002);
  BOOL written = FALSE;
  while (IsWindow(window)) {
    char caption[32] = "";
    DWORD_PTR ignored, count = 0;
    DWORD start = GetTickCount();
    BOOL answered = Ask(window, WM_NULL, 0, 0, 250, &ignored);
    DWORD took = GetTickCount() - start;
    Ask(button, WM_GETTEXT, sizeof caption, (LPARAM)caption, 250, &ignored);
    Ask(box, EM_GETLINECOUNT, 0, 0, 250, &count);
    if (!written && lstrcmpA(caption, "Done") == 0) {
      WriteBoxText(box, argv[2]);
      written = TRUE;
    }
    fprintf(lines, "%d %lu %lu %s\n", answered, took, (unsigned long)count, caption);
    fflush(lines);
    Sleep(250);
  }
  fprintf(lines, "gone\n");
  fclose(lines);
  return 0;
}
