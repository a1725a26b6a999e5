#include "host/text/fatal_error.h"

#include <gtest/gtest.h>

#include <system_error>

#include "support/fatal_matchers.h"

namespace lotrano {
namespace {

TEST(Diagnostics, NameTheErrorItsNumberAndTheFileWhole) {
  EXPECT_EQ(diagnosticLine(ErrorCode::kEndOfFile, "console"),
            "end-of-file during read (error 24), file: console");
  EXPECT_EQ(diagnosticLine(ErrorCode::kFileNotFound, "/x/Seed_1.dat", "No such file or directory"),
            "file not found (error 29), file: /x/Seed_1.dat (No such file or directory)");
  EXPECT_EQ(diagnosticLine(ErrorCode::kOpenFailure, std::string("Grupa 1\0x\r.rez", 14)),
            "open failure (error 30), file: Grupa 1\\x00x\\x0D.rez");
}

TEST(Diagnostics, OpenFailuresTakeTheNumberOfTheirReason) {
  const struct {
    std::errc reason;
    ErrorCode code;
  } cases[] = {
      {std::errc::no_such_file_or_directory, ErrorCode::kFileNotFound},
      {std::errc::permission_denied, ErrorCode::kPermissionDenied},
      {std::errc::operation_not_permitted, ErrorCode::kPermissionDenied},
      {std::errc::read_only_file_system, ErrorCode::kPermissionDenied},
      {std::errc::is_a_directory, ErrorCode::kOpenFailure},
      {std::errc::file_exists, ErrorCode::kOpenFailure},
  };
  for (const auto& c : cases) {
    const std::error_code reason = std::make_error_code(c.reason);
    SCOPED_TRACE(reason.message());
    EXPECT_FATAL(throwOpenError(reason, "x.dat"), c.code, "x.dat");
    try {
      throwOpenError(reason, "x.dat");
    } catch (const FatalError& error) {
      EXPECT_EQ(error.detail(), reason.message());
    }
  }
}

}  // namespace
}  // namespace lotrano
