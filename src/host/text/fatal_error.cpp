#include "host/text/fatal_error.h"

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

namespace {

// A name as it stands, but with control characters (a NUL, a CR from a file
// with odd line ends) shown as \xNN, so that the diagnostic stays one whole,
// readable line.
std::string visible(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
      shown += "\\x";
      shown += kHex[code >> 4];
      shown += kHex[code & 0x0F];
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string diagnosticLine(ErrorCode code, std::string_view file, std::string_view detail) {
  std::string line(errorText(code));
  line += " (error " + std::to_string(static_cast<int>(code)) + "), file: ";
  line += visible(file);
  if (!detail.empty()) {
    line += " (";
    line += visible(detail);
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

}  // namespace lotrano
