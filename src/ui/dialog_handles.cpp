#include "ui/dialog_handles.h"

HWND MainDialog = nullptr;
DialogControls Controls = {nullptr, nullptr, nullptr, nullptr};
