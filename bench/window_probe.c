/* Drives the window of window mode from another process and watches it as
 * the system would, run under Wine beside Quillfen.exe by
 * bench/window_bench.sh:
 *   window_probe.exe [whole]
 * Waits for the window, clicks "Process" (a posted BM_CLICK), and from then
 * on asks the window every 300 ms whether it answers (WM_NULL with a
 * timeout of 10 s, as Windows asks whether a window hangs), while the main
 * thread watches the button for "Working" and "Done". With "whole" it then
 * waits until the log box has stopped growing for a second (whole_log_s:
 * when it last grew, to a quarter second) and prints the lines of the run's
 * summary and its working time from it. Last, it presses Escape on the
 * window's focus and times the close. Prints name: value lines; the times
 * are from the click.
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define CAPTION "Quillfen v.1.03"
#define IDC_LOG 1000
#define IDC_PROCESS 1002

static HWND Dialog, Button, Box;
static LARGE_INTEGER Frequency, Clicked;
static volatile LONG Watching = 1;
static int Answers, AnswersOver250;
static double SlowestAnswer;

static double SecondsSinceClick(void) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (double)(now.QuadPart - Clicked.QuadPart) / Frequency.QuadPart;
}

/* Another process's control has no caption GetWindowText would read. */
static int ButtonSays(const wchar_t* text) {
  wchar_t caption[32] = L"";
  InternalGetWindowText(Button, caption, 32);
  return wcscmp(caption, text) == 0;
}

static DWORD WINAPI AskUntilClosed(LPVOID unused) {
  (void)unused;
  while (Watching) {
    double start = SecondsSinceClick(), took;
    DWORD_PTR result;
    if (!SendMessageTimeoutA(Dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) {
      if (!IsWindow(Dialog)) break;
    }
    took = (SecondsSinceClick() - start) * 1000;
    ++Answers;
    if (took > 250) ++AnswersOver250;
    if (took > SlowestAnswer) SlowestAnswer = took;
    while (Watching && SecondsSinceClick() - start < 0.3) Sleep(5);
  }
  return 0;
}

static LRESULT BoxLength(void) {
  DWORD_PTR length = 0;
  SendMessageTimeoutA(Box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length);
  return (LRESULT)length;
}

/* The box grows while it takes the rest of a long log after "Done"; it holds
 * the whole log once it has not grown for a second. */
static void AwaitTheWholeLog(void) {
  LRESULT length = BoxLength();
  double grown = SecondsSinceClick();
  char* text;
  const char* line;
  for (;;) {
    LRESULT now;
    Sleep(250);
    now = BoxLength();
    if (now != length)
      grown = SecondsSinceClick();
    else if (SecondsSinceClick() - grown > 1.0)
      break;
    length = now;
  }
  printf("whole_log_s: %.2f\n", grown);
  text = (char*)malloc((size_t)length + 1);
  if (text == NULL) return;
  text[0] = 0;
  SendMessageTimeoutA(Box, WM_GETTEXT, (WPARAM)length + 1, (LPARAM)text, SMTO_NORMAL, 60000, NULL);
  for (line = text; *line != 0;) {
    const char* end = strstr(line, "\r\n");
    size_t size = end ? (size_t)(end - line) : strlen(line);
    size_t digits = strspn(line, "0123456789");
    if (size < 200 && ((digits > 0 && strncmp(line + digits, " files ", 7) == 0) ||
                       strncmp(line, "No expired", 10) == 0 || strncmp(line, "I/O", 3) == 0 ||
                       strncmp(line, "Incorrect files", 15) == 0 ||
                       strncmp(line, "Error: Not enough memory", 24) == 0)) {
      printf("summary: %.*s\n", (int)size, line);
    }
    if (strncmp(line, "Working time: ", 14) == 0)
      printf("window_working_s: %.3f\n", atof(line + 14));
    line += size + (end ? 2 : 0);
  }
  free(text);
}

int main(int argc, char** argv) {
  int whole = argc > 1 && strcmp(argv[1], "whole") == 0;
  GUITHREADINFO focus;
  DWORD thread, id;
  HANDLE asker;
  double done, pressed;
  int i;

  QueryPerformanceFrequency(&Frequency);
  for (i = 0; i < 600 && (Dialog = FindWindowA(NULL, CAPTION)) == NULL; ++i) Sleep(100);
  if (Dialog == NULL) {
    fprintf(stderr, "no window named %s\n", CAPTION);
    return 1;
  }
  Button = GetDlgItem(Dialog, IDC_PROCESS);
  Box = GetDlgItem(Dialog, IDC_LOG);
  for (i = 0; i < 600 && !IsWindowVisible(Dialog); ++i) Sleep(100);
  Sleep(500);

  QueryPerformanceCounter(&Clicked);
  PostMessageA(Button, BM_CLICK, 0, 0);
  asker = CreateThread(NULL, 0, AskUntilClosed, NULL, 0, &id);
  while (!ButtonSays(L"Working") && !ButtonSays(L"Done") && IsWindow(Dialog)) Sleep(1);
  printf("working_s: %.3f\n", SecondsSinceClick());
  while (!ButtonSays(L"Done") && IsWindow(Dialog)) Sleep(1);
  done = SecondsSinceClick();
  printf("done_s: %.3f\n", done);
  if (whole) AwaitTheWholeLog();

  thread = GetWindowThreadProcessId(Dialog, NULL);
  focus.cbSize = sizeof focus;
  if (!GetGUIThreadInfo(thread, &focus) || focus.hwndFocus == NULL) focus.hwndFocus = Dialog;
  pressed = SecondsSinceClick();
  PostMessageA(focus.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(focus.hwndFocus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  while (IsWindow(Dialog)) Sleep(2);
  printf("close_ms: %.0f\n", (SecondsSinceClick() - pressed) * 1000);
  Watching = 0;
  WaitForSingleObject(asker, 20000);
  printf("answers: %d\nanswers_over_250_ms: %d\nslowest_answer_ms: %.0f\n", Answers, AnswersOver250,
         SlowestAnswer);
  return 0;
}
