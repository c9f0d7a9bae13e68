/* Holds a file open without sharing until its standard input closes, so that
   a test can show what the tool does with a file another program is using. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  printf("held\n");
  fflush(stdout);
  char buffer[64];
  DWORD got;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, NULL) && got != 0) {
  }
  CloseHandle(file);
  return 0;
}
