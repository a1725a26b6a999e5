#include "host/text/date_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace lotrano {
namespace {

// Runs with the time zone set, and puts the old one back.
class InTimeZone {
 public:
  explicit InTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~InTimeZone() {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }

 private:
  std::string saved_;
};

TEST(DateTime, LocalDateAndTimeOfAMoment) {
  using namespace std::chrono;
  // 15 June 2013, 09:05:07.456 UTC.
  const system_clock::time_point moment = system_clock::from_time_t(1371287107) + 456ms;
  const struct {
    const char* zone;
    LocalDate date;
    LocalTime time;
  } cases[] = {
      {"UTC0", {2013, 6, 15}, {9, 5, 7, 45}},
      {"EET-2EEST,M3.5.0/3,M10.5.0/4", {2013, 6, 15}, {12, 5, 7, 45}},  // summer time applied
      {"XYZ+10", {2013, 6, 14}, {23, 5, 7, 45}},                        // the day before
  };
  for (const auto& c : cases) {
    InTimeZone zone(c.zone);
    const LocalDateTime local = localDateTimeAt(moment);
    EXPECT_EQ(local.date.year, c.date.year) << c.zone;
    EXPECT_EQ(local.date.month, c.date.month) << c.zone;
    EXPECT_EQ(local.date.day, c.date.day) << c.zone;
    EXPECT_EQ(local.time.hour, c.time.hour) << c.zone;
    EXPECT_EQ(local.time.minute, c.time.minute) << c.zone;
    EXPECT_EQ(local.time.second, c.time.second) << c.zone;
    EXPECT_EQ(local.time.hundredths, c.time.hundredths) << c.zone;
  }
}

}  // namespace
}  // namespace lotrano
