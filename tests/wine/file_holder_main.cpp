// Opens the file named by its argument without sharing, answers "held" on
// its output, and keeps the file open until its input is closed.
#include <windows.h>

#include <string>

namespace {

void Answer(const std::string& text) {
  DWORD written = 0;
  std::string line = text + "\n";
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
}

void WaitForInputToClose() {
  char block[64];
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), block, sizeof block, &got, nullptr) && got != 0) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    Answer("usage: file_holder PATH");
    return 2;
  }
  HANDLE file =
      CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Answer("cannot open, error " + std::to_string(GetLastError()));
    return 1;
  }
  Answer("held");
  WaitForInputToClose();
  CloseHandle(file);
  return 0;
}
