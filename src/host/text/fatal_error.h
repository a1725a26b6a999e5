// The one error type of the program. Every failure of reading, writing or
// opening that the program does not handle itself becomes a FatalError; main()
// prints its diagnostic (what()), after the program's name, on standard error
// and exits with its number.
#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace lotrano {

// The error numbers are the program's exit statuses; teachers' scripts and
// help notes refer to them, so they never change.
enum class ErrorCode : int {
  kPermissionDenied = 9,
  kEndOfFile = 24,
  kFileNotFound = 29,
  kOpenFailure = 30,
  kWriteError = 38,
  kReadError = 39,
  kFileNameError = 43,
  kListSyntax = 59,
  kOutputConversion = 63,
  kInputConversion = 64,
  kRecordOverflow = 66,
  // An interrupt (interruption.h): the exit status is 128 + the signal's
  // number, 130 for Ctrl-C.
  kInterrupted = 128,
};

// The fixed text of an error, such as "end-of-file during read".
std::string_view errorText(ErrorCode code);

// Name under which the console appears in diagnostics.
inline constexpr std::string_view kConsoleName = "console";

// One diagnostic (without its line end): the error's text and number, the
// file concerned and, when known, the operating system's reason. Each
// program puts its own name in front where it prints it.
std::string diagnosticLine(ErrorCode code, std::string_view file, std::string_view detail = {});

class FatalError : public std::runtime_error {
 public:
  FatalError(ErrorCode code, std::string file, std::string detail = {});
  // An error that names no file, given as its whole diagnostic line and its
  // exit status: an interrupt, whose status depends on the signal.
  FatalError(ErrorCode code, int number, const std::string& line);

  ErrorCode code() const { return code_; }
  // The exit status: the code's number, or 128 + the signal for an interrupt.
  int number() const { return number_; }
  const std::string& file() const { return file_; }
  const std::string& detail() const { return detail_; }

 private:
  ErrorCode code_;
  int number_;
  std::string file_;
  std::string detail_;
};

// Turns the reason of a failed open into the matching FatalError: a missing
// file, a refused access, or any other failure of the open.
[[noreturn]] void throwOpenError(std::error_code reason, const std::string& file);

// How each program's process entry ends: runs `work` and returns its status.
// A FatalError that ends it is written to `err` as one line, the program's
// name, ": " and the error's message, and the error's number is returned;
// any other exception gives "PROGRAM: internal error: ..." and 1. With
// `interruptOnItsOwnLine` (a terminal has echoed "^C" after whatever stood
// on the line), an interrupt's line begins on a line of its own.
int exitStatusOf(std::string_view program, std::ostream& err, bool interruptOnItsOwnLine,
                 const std::function<int()>& work);

}  // namespace lotrano
