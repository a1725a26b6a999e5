#include "host/os_common.h"

#include <cstdio>
#include <streambuf>

#include "host/platform.h"

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
    const int c = std::fgetc(stdin);
    if (c == EOF) {
      if (std::ferror(stdin) != 0) throw std::ios_base::failure("console read failed");
      return traits_type::eof();
    }
    held_ = static_cast<char>(c);
    setg(&held_, &held_, &held_ + 1);
    return traits_type::to_int_type(held_);
  }

 private:
  char held_ = 0;
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

LocalDateTime localDateTimeAt(Clock::time_point when) {
  const std::time_t seconds = Clock::to_time_t(when);
  const std::tm parts = localCalendar(seconds);
  const auto sinceSecond =
      std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::from_time_t(seconds))
          .count();
  LocalDateTime result;
  result.date = {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
  result.time = {parts.tm_hour, parts.tm_min, parts.tm_sec,
                 static_cast<std::int32_t>(sinceSecond >= 0 ? sinceSecond / 10 : 0)};
  return result;
}

LocalDate localDate() { return localDateTimeAt(Clock::now()).date; }
LocalTime localTime() { return localDateTimeAt(Clock::now()).time; }

}  // namespace lotrano
