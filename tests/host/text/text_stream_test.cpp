#include "host/text/text_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "host/text/fatal_error.h"
#include "support/fatal_matchers.h"

namespace lotrano {
namespace {

std::vector<std::string> readLines(std::istream& in, ReadStatus& last) {
  std::vector<std::string> lines;
  std::string line;
  while ((last = readStreamLine(in, line)) == ReadStatus::kLine) lines.push_back(line);
  return lines;
}

TEST(TextStream, ReadsLinesWithEitherLineEnd) {
  const struct {
    std::string input;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a\r\nb\nc", {"a", "b", "c"}},
      {"a\r\n\r\n", {"a", ""}},
      {"x\ry\n", {"x\ry"}},  // a lone CR is no line end
      {std::string("n\0l\n", 4), {std::string("n\0l", 3)}},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    ReadStatus last = ReadStatus::kLine;
    EXPECT_EQ(readLines(in, last), c.lines) << c.input.substr(0, 20);
    EXPECT_EQ(last, ReadStatus::kEnd);
  }
}

TEST(TextStream, OverlongLineIsAFailedReadNotACutOne) {
  for (const char* lineEnd : {"\n", "\r\n", ""}) {
    std::istringstream longest(std::string(kMaxLineBytes, 'x') + lineEnd);
    std::string line;
    EXPECT_EQ(readStreamLine(longest, line), ReadStatus::kLine);
    EXPECT_EQ(line.size(), kMaxLineBytes);
    std::istringstream overlong(std::string(kMaxLineBytes + 1, '7') + lineEnd + "1 6\n");
    EXPECT_EQ(readStreamLine(overlong, line), ReadStatus::kTooLong);
  }
  std::istringstream again(std::string(kMaxLineBytes + 1, ' ') + "1 6\n");
  LineSource overlong([&again](std::string& l) { return readStreamLine(again, l); }, "console");
  try {
    overlong.nextOrFail();
    ADD_FAILURE() << "no fatal error";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kReadError);
    EXPECT_EQ(error.file(), "console");
  }
}

// A stream whose device fails, as a console read from a folder does.
struct FailingBuffer : std::streambuf {
  int_type underflow() override { throw std::ios_base::failure("device failed"); }
};

TEST(TextStream, FailedDeviceIsAnErrorNotTheEnd) {
  FailingBuffer buffer;
  std::istream in(&buffer);
  std::string line;
  EXPECT_EQ(readStreamLine(in, line), ReadStatus::kError);
}

}  // namespace
}  // namespace lotrano
