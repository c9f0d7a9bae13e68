// The main dialog window of window mode.
#pragma once

// Builds the window from its resources, shows it and runs its message loop
// until it is destroyed. Answers the exit status: 0, or 1 when the dialog
// could not be created.
int RunMainWindow();

// The steps of RunMainWindow, for a caller that drives the window itself.
// BuildMainWindow answers false when the dialog could not be created.
bool BuildMainWindow();
void RunMessageLoop();
void DeleteWindowFonts();
