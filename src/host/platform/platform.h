// The platform layer: the only place that knows the operating system. The
// main program reaches the console, the clocks, the wait, the key poll, the
// file chooser, the message box and the read-only attribute through one
// Platform value, so that tests can hand it stand-ins for all of them.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "host/text/date_time.h"

namespace lotrano {

struct Platform {
  std::istream* in = nullptr;    // console answers
  std::ostream* out = nullptr;   // the program's own dialogue, nothing else
  std::ostream* err = nullptr;   // diagnostics, the chooser and the message box
  bool inputIsTerminal = false;  // a terminal echoes the Enter that ends an answer

  // Lets the user pick a file; the chosen file's absolute path, or nullopt
  // for Cancel. The file itself is neither opened nor checked.
  std::function<std::optional<std::string>(std::string_view title)> FileChooser;
  // Shows a warning with an OK button and returns when it is closed.
  std::function<void(std::string_view caption, std::string_view text)> showMessage;
  // Makes a file read-only; failures are ignored.
  std::function<void(const std::string& path)> makeReadOnly;
  // Returns once a key has been pressed (or the input has ended).
  std::function<void()> waitForKey;
  std::function<std::int64_t()> secondsSince1970;
  // Wall-clock milliseconds since the program started.
  std::function<std::int64_t()> millisecondsSinceStart;
  std::function<void(std::int32_t milliseconds)> sleep;
  std::function<LocalDateTime()> localDateTime;
  // The current directory, or an empty text when it cannot be obtained.
  std::function<std::string()> currentDirectory;
};

// The real platform of this machine, on the process's standard streams.
Platform systemPlatform();

// Switches the process's standard output to binary mode, where bytes go out
// as they are, or back to text mode, where a "\n" becomes the system's line
// end (CR LF on Windows). The two are one on POSIX systems.
void setStandardOutputBinary(bool binary);

// True when the console window was opened for this process alone, as for a
// program started from the desktop (a double click, a file dropped on it):
// the window closes with the process, so what it shows last should wait for
// a key. False on a console opened before the process, and where consoles
// outlive their programs (Linux terminals).
bool consoleOpenedForThisRun();

}  // namespace lotrano
