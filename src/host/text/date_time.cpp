#include "host/text/date_time.h"

#include <ctime>
#include <mutex>

namespace lotrano {
namespace {

using Clock = std::chrono::system_clock;

// std::localtime hands back a buffer shared by the whole process; the copy
// is taken under a lock so that no other caller overwrites it meanwhile.
std::tm localCalendar(std::time_t seconds) {
  static std::mutex lock;
  const std::lock_guard<std::mutex> held(lock);
  const std::tm* parts = std::localtime(&seconds);
  return parts != nullptr ? *parts : std::tm{};
}

}  // namespace

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
