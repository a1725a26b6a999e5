// Starting a helper program on a POSIX system, for the platform layer alone:
// the program gets an argument list, never a command line for a shell, so
// that no title or path can be taken as a command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/desktop_dialogs.h"

namespace lotrano {

// The absolute path of an executable file `name` in one of the absolute
// folders of `searchPath` (a PATH value, folders separated by ':'), or an
// empty text. Relative and empty entries are skipped: a program lying in the
// teacher's current folder is never the one started.
std::string findProgramOnPath(std::string_view name, const char* searchPath);

// Runs `arguments[0]` (an absolute path) with the arguments, standard input
// from /dev/null, and waits for its end, collecting what it writes on its
// standard output and standard error (the first 64 KiB of each; the rest is
// read and dropped so that the program never blocks on a full pipe). Nullopt
// when the program could not be started.
std::optional<ProgramRun> runProgram(const std::vector<std::string>& arguments);

}  // namespace lotrano
