// What the platform files of every operating system share: the readings of
// the system clock and the console input. Only the platform files use this
// header; the rest of the program reaches both through Platform.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <istream>

namespace lotrano {

// The local calendar of a moment (time zone and daylight saving applied):
// the one clock call whose name differs between operating systems, so each
// platform file defines it.
std::tm localCalendar(std::time_t seconds);

// Starts the clock of millisecondsSinceStart; later calls change nothing.
void markProgramStart();
std::int64_t secondsSince1970Now();
// Wall-clock milliseconds since markProgramStart (or since the first call).
std::int64_t millisecondsSinceProgramStart();

// The process's standard input as the console dialogue reads it: through C
// stdio, one character at a time, with a failed read (not the end of the
// input) reported as one, through the stream's badbit.
std::istream& standardInput();

}  // namespace lotrano
