#include "ui/shutdown_reason.h"

namespace {

// Looked up by name, so that the program still starts where user32 lacks it.
template <typename Call>
Call User32Entry(const char* name) {
  FARPROC entry = GetProcAddress(GetModuleHandleA("user32.dll"), name);
  return reinterpret_cast<Call>(reinterpret_cast<void*>(entry));
}

}  // namespace

void GiveShutdownReason(HWND window, const wchar_t* reason) {
  using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
  if (Create create = User32Entry<Create>("ShutdownBlockReasonCreate")) create(window, reason);
}

void WithdrawShutdownReason(HWND window) {
  using Destroy = BOOL(WINAPI*)(HWND);
  if (Destroy destroy = User32Entry<Destroy>("ShutdownBlockReasonDestroy")) destroy(window);
}
