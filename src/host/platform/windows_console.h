// The console on Windows: its code pages switched to UTF-8 for the run,
// typed answers read as UTF-16, the key wait, and the standard output's
// text and binary modes.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <istream>

namespace lotrano {

// True when the standard input is a console.
bool inputIsConsole();

// Switches the console to UTF-8 for the run; its code pages are set back
// when the process ends through exit().
void useUtf8Console();

// The console's typed answers, read as UTF-16 and handed on as UTF-8 with
// LF line ends; Ctrl+Z ends them.
std::istream& consoleInput();

// Waits for a key press on the console `input` without spinning; Ctrl-C is
// a key like any other here, a closed console window ends the wait as an
// interrupt.
void waitForConsoleKey(HANDLE input);

}  // namespace lotrano
