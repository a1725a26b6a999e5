#include "host/text/fatal_error.h"

#include <exception>
#include <ostream>

#include "host/text/characters.h"
#include "host/text/interruption.h"

namespace lotrano {

std::string_view errorText(ErrorCode code) {
  switch (code) {
    case ErrorCode::kPermissionDenied:
      return "permission to access file denied";
    case ErrorCode::kEndOfFile:
      return "end-of-file during read";
    case ErrorCode::kFileNotFound:
      return "file not found";
    case ErrorCode::kOpenFailure:
      return "open failure";
    case ErrorCode::kWriteError:
      return "error during write";
    case ErrorCode::kReadError:
      return "error during read";
    case ErrorCode::kFileNameError:
      return "invalid file name";
    case ErrorCode::kListSyntax:
      return "list-directed I/O syntax error";
    case ErrorCode::kOutputConversion:
      return "output conversion error";
    case ErrorCode::kInputConversion:
      return "input conversion error";
    case ErrorCode::kRecordOverflow:
      return "output statement overflows record";
    case ErrorCode::kInterrupted:
      return "interrupted";
  }
  return "unknown error";
}

std::string diagnosticLine(ErrorCode code, std::string_view file, std::string_view detail) {
  std::string line(errorText(code));
  line += " (error " + std::to_string(static_cast<int>(code)) + "), file: ";
  line += withVisibleControls(file);
  if (!detail.empty()) {
    line += " (";
    line += withVisibleControls(detail);
    line += ")";
  }
  return line;
}

FatalError::FatalError(ErrorCode code, std::string file, std::string detail)
    : std::runtime_error(diagnosticLine(code, file, detail)),
      code_(code),
      number_(static_cast<int>(code)),
      file_(std::move(file)),
      detail_(std::move(detail)) {}

FatalError::FatalError(ErrorCode code, int number, const std::string& line)
    : std::runtime_error(line), code_(code), number_(number) {}

void throwOpenError(std::error_code reason, const std::string& file) {
  // An open cut short by an interrupt (of a named pipe, say) fails for that.
  throwIfInterrupted();
  ErrorCode code = ErrorCode::kOpenFailure;
  if (reason == std::errc::no_such_file_or_directory) code = ErrorCode::kFileNotFound;
  if (reason == std::errc::permission_denied || reason == std::errc::operation_not_permitted ||
      reason == std::errc::read_only_file_system) {
    code = ErrorCode::kPermissionDenied;
  }
  throw FatalError(code, file, reason ? reason.message() : "");
}

int exitStatusOf(std::string_view program, std::ostream& err, bool interruptOnItsOwnLine,
                 const std::function<int()>& work) {
  try {
    return work();
  } catch (const FatalError& error) {
    if (error.code() == ErrorCode::kInterrupted && interruptOnItsOwnLine) err << '\n';
    err << program << ": " << error.what() << '\n';
    return error.number();
  } catch (const std::exception& error) {
    err << program << ": internal error: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace lotrano
