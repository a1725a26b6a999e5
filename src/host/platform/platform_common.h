// What the platform files of every operating system share, written once: the
// readings of the system clock, the console input, and the parts of the
// Platform value that do not depend on the operating system. Only the
// platform half uses this header; the rest of the program reaches all of it
// through Platform.
#pragma once

#include <cstddef>
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

// The process's standard input as the console dialogue reads it, with a
// failed read (not the end of the input) reported as one, through the
// stream's badbit. Only this stream reads the standard input.
std::istream& standardInput();

// Reads the next bytes of the standard input into `buffer`, waiting until
// there are some: their count, 0 at the end of the input, -1 when the read
// failed or an interrupt ended the wait (noted by then, so that the reader's
// check reports it). Each operating system's file has its own.
std::ptrdiff_t readStandardInput(char* buffer, std::size_t size);

// A Platform on the process's standard streams with the clocks, the local
// date and time and the key wait of piped input filled in; each operating
// system's file adds its dialogs, its read-only attribute, its wait, and its
// key wait at a terminal.
Platform commonPlatform(bool inputIsTerminal);

// Asks the operating system to put the content of an open stream, already
// flushed, on the disk; false when it reports a failure.
bool syncStreamToDisk(std::FILE* stream);

}  // namespace lotrano
