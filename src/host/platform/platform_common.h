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
#include <string>
#include <system_error>

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

// The operating system's file calls that text files are opened, created and
// replaced with (text_file.h); names as there, in UTF-8.

// Opens an existing file for reading in binary mode; nullptr with `error` set
// when it does not open (std::errc::is_a_directory for a folder).
std::FILE* openExistingFile(const std::string& path, std::error_code& error);

// True when a file may take the name `path` by a rename: nothing has that
// name, or a link (which is replaced, never followed), or a file that could
// be rewritten in place (it is opened for writing without being emptied, and
// closed). False with `error` set for a folder (std::errc::is_a_directory) or
// a file that may not be written; a read-only file (one that nobody may
// write, on Linux) is refused whoever runs the program, as Windows does.
bool mayReplace(const std::string& path, std::error_code& error);

// Creates a file that does not exist yet and opens it for writing in binary
// mode; an existing file of that name is never opened, let alone emptied.
// nullptr with `error` set (std::errc::file_exists when the name is taken)
// when it is not created.
std::FILE* createFileExclusively(const std::string& path, std::error_code& error);

// Gives `from` the name `to`, replacing a file of that name in one step.
bool renameReplacing(const std::string& from, const std::string& to, std::error_code& error);

// Asks the operating system to put the folder holding `path` (its entries:
// a file just renamed into it) on the disk. Failures are ignored: the file's
// own content is already there.
void syncFolderOf(const std::string& path);

// Asks the operating system to put the content of an open stream, already
// flushed, on the disk; false when it reports a failure.
bool syncStreamToDisk(std::FILE* stream);

}  // namespace lotrano
