#include "host/platform/platform_common.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <streambuf>

#include "host/text/interruption.h"

namespace lotrano {
namespace {

using Clock = std::chrono::system_clock;

const Clock::time_point& programStart() {
  static const Clock::time_point start = Clock::now();
  return start;
}

class StandardInputBuffer : public std::streambuf {
 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::ptrdiff_t count = readStandardInput(held_.data(), held_.size());
    // A failed read (or one an interrupt cut short, which the reader's check
    // then reports) sets the stream's badbit.
    if (count < 0) throw std::ios_base::failure("console read failed");
    if (count == 0) return traits_type::eof();
    setg(held_.data(), held_.data(), held_.data() + count);
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::array<char, 4096> held_{};
};

}  // namespace

void markProgramStart() { programStart(); }

std::int64_t secondsSince1970Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch()).count();
}

std::int64_t millisecondsSinceProgramStart() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - programStart())
      .count();
}

std::istream& standardInput() {
  static StandardInputBuffer buffer;
  static std::istream input(&buffer);
  return input;
}

Platform commonPlatform(bool inputIsTerminal) {
  markProgramStart();  // the seeding clock counts from here
  Platform platform;
  platform.in = &standardInput();
  // Standard output stays in text mode: on Windows a line ended with "\n"
  // reaches the console (or a pipe) as one CR LF.
  platform.out = &std::cout;
  platform.err = &std::cerr;
  platform.inputIsTerminal = inputIsTerminal;
  // Piped input: one character, or at once at the end of the input.
  platform.waitForKey = [] {
    standardInput().get();
    throwIfInterrupted();
  };
  platform.secondsSince1970 = secondsSince1970Now;
  platform.millisecondsSinceStart = millisecondsSinceProgramStart;
  platform.localDateTime = [] { return localDateTimeAt(Clock::now()); };
  return platform;
}

}  // namespace lotrano
