// Starting a helper program (the desktop dialogs), for the platform layer
// alone: the program gets an argument list, never a command line for a shell,
// so that no title or path can be taken as a command. Implemented for POSIX
// systems; Windows shows its own dialogs.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lotrano {

// How a dialog program ended and what it wrote.
struct ProgramRun {
  bool exited = false;  // ended through exit(); false when a signal ended it
  int exitStatus = -1;  // meaningful only when `exited`
  std::string output;   // its standard output
  std::string errors;   // its standard error, kept from the user's console
};

// Runs a program, the first argument being its path, and waits for its end;
// nullopt when it could not be started at all.
using ProgramRunner = std::function<std::optional<ProgramRun>(const std::vector<std::string>&)>;

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
