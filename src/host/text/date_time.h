// The local date and time of day, as the report's stamp shows them.
#pragma once

#include <chrono>
#include <cstdint>

namespace lotrano {

struct LocalDate {
  std::int32_t year = 0;
  std::int32_t month = 0;  // 1 to 12
  std::int32_t day = 0;    // 1 to 31
};

struct LocalTime {
  std::int32_t hour = 0;  // 0 to 23
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t hundredths = 0;  // milliseconds / 10, rounded down
};

// Date and time of day from one reading of the clock, so that a run across
// midnight cannot mix two days.
struct LocalDateTime {
  LocalDate date;
  LocalTime time;
};

// A moment of the system clock in the local calendar and time of day (time
// zone and daylight saving applied); hundredths are milliseconds / 10.
LocalDateTime localDateTimeAt(std::chrono::system_clock::time_point when);

// The local date and the local time of day, each from its own reading of the
// system clock. The report takes both from one reading instead
// (localDateTimeAt), so that a run across midnight cannot mix two days.
LocalDate localDate();
LocalTime localTime();

}  // namespace lotrano
