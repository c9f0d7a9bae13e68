#include "ui/main_window.h"

int RunMainWindow() { return 1; }
