#include "file_holder.h"

namespace {

// The holder is built beside the test executable.
std::string HolderProgram() {
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of('\\') + 1) + "file_holder.exe";
}

// A pipe whose `childEnd` (0 read, 1 write) alone is inherited.
void MakePipe(HANDLE ends[2], int childEnd) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  CreatePipe(&ends[0], &ends[1], &inherit, 0);
  SetHandleInformation(ends[1 - childEnd], HANDLE_FLAG_INHERIT, 0);
}

std::string ReadLine(HANDLE pipe) {
  std::string line;
  char c;
  DWORD got = 0;
  while (ReadFile(pipe, &c, 1, &got, nullptr) && got == 1 && c != '\n') line.push_back(c);
  return line;
}

}  // namespace

HeldFile::HeldFile(const std::string& path) {
  HANDLE input[2];
  HANDLE output[2];
  MakePipe(input, 0);
  MakePipe(output, 1);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input[0];
  startup.hStdOutput = output[1];
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string command = "\"" + HolderProgram() + "\" \"" + path + "\"";
  PROCESS_INFORMATION started = {};
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &started)) {
    CloseHandle(started.hThread);
    Process = started.hProcess;
  }
  CloseHandle(input[0]);
  CloseHandle(output[1]);
  Input = input[1];
  Reply = Process != nullptr ? ReadLine(output[0]) : "cannot start " + HolderProgram();
  CloseHandle(output[0]);
}

HeldFile::~HeldFile() {
  CloseHandle(Input);
  if (Process == nullptr) return;
  WaitForSingleObject(Process, INFINITE);
  CloseHandle(Process);
}
