#include "ui/shutdown_reason.h"

#include "platform/win32/look_up_entry.h"

namespace {

template <typename Call>
Call User32Entry(const char* name) {
  return LookUpEntry<Call>(GetModuleHandleA("user32.dll"), name);
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
