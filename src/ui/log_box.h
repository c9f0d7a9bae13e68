// The window sink of the run log: the log is appended to the end of the log
// box, so a long run costs time in proportion to its length.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Makes `box` the log box of the run log and lifts its text limit.
void AttachLogBox(HWND box);

// Hands the lines the box has not been given yet to it.
void FlushLogBox();

// What the box shows for a piece of the log: a zero byte would end the text
// the box is handed, so it is shown as the two characters \0.
std::string BoxText(std::string_view text);
void AppendBoxText(std::string& shown, std::string_view text);
