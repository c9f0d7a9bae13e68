/* Holds files open until its standard input closes, so that a test can show
   what the tool does with files another program is using. Each argument is a
   path, opened without sharing; a leading '+' opens it with every kind of
   sharing instead. Prints "held" once all are open. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* path = argv[i];
    DWORD share = 0;
    if (path[0] == '+') {
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      ++path;
    }
    HANDLE file =
        CreateFileA(path, GENERIC_READ, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
      printf("cannot open %s: %lu\n", path, GetLastError());
      return 1;
    }
  }
  printf("held\n");
  fflush(stdout);
  char buffer[64];
  DWORD got;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, NULL) && got != 0) {
  }
  return 0;
}
