// Start-up: the choice of mode from the arguments and the batch run.
#pragma once

#include <string>
#include <vector>

// Builds the main window and runs it until it is closed; answers the exit
// status (non-zero only when the window could not be made).
using MainWindowRunner = int (*)();

// Runs the tool with the arguments after its name; answers the exit status.
int StartUp(const std::vector<std::string>& arguments, MainWindowRunner runMainWindow);
