// What the platform files of every operating system share, written once: the
// readings of the system clock, the console input, and the parts of the
// Platform value that do not depend on the operating system. Only the
// platform half uses this header; the rest of the program reaches all of it
// through Platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>

#include "host/platform/platform.h"

namespace lotrano {

// Starts the clock of millisecondsSinceStart; later calls change nothing.
void markProgramStart();
std::int64_t secondsSince1970Now();
// Wall-clock milliseconds since markProgramStart (or since the first call).
std::int64_t millisecondsSinceProgramStart();

// The process's standard input as the console dialogue reads it: through C
// stdio, one character at a time, with a failed read (not the end of the
// input) reported as one, through the stream's badbit.
std::istream& standardInput();

// A Platform on the process's standard streams with the clocks, the local
// date and time and the key wait of piped input filled in; each operating
// system's file adds its dialogs, its read-only attribute, its wait, and its
// key wait at a terminal.
Platform commonPlatform(bool inputIsTerminal);

// Asks the operating system to put the content of an open stream, already
// flushed, on the disk; false when it reports a failure.
bool syncStreamToDisk(std::FILE* stream);

}  // namespace lotrano
