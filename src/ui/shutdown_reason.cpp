#include "ui/shutdown_reason.h"

#include "platform/win32/look_up_entry.h"

namespace {

ShutdownReasonCalls LookUpShutdownReasonCalls() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return {
      LookUpEntry<decltype(ShutdownReasonCalls::Create)>(user32, "ShutdownBlockReasonCreate"),
      LookUpEntry<decltype(ShutdownReasonCalls::Destroy)>(user32, "ShutdownBlockReasonDestroy")};
}

}  // namespace

ShutdownReasonCalls ShutdownReason = LookUpShutdownReasonCalls();

void GiveShutdownReason(HWND window, const wchar_t* reason) {
  if (ShutdownReason.Create != nullptr) ShutdownReason.Create(window, reason);
}

void WithdrawShutdownReason(HWND window) {
  if (ShutdownReason.Destroy != nullptr) ShutdownReason.Destroy(window);
}
