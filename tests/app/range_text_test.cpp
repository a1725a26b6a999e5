#include "app/range_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace lotrano {
namespace {

TEST(RangeText, EndsGiveTheCountAndTheTextThatFitsFiveCharacters) {
  const struct {
    std::int32_t start;
    std::int32_t end;
    const char* text;
    std::int32_t count;
  } cases[] = {
      {1, 30, "1-30", 30},    {0, 999, "0-999", 1000}, {-5, -3, "-5--3", 3}, {10, 99, "10-99", 90},
      {-99, 9, "-99-9", 109}, {5, 4, "5-4", 0},        {7, 7, "7-7", 1},     {9, -9, "9--9", -17},
  };
  for (const auto& c : cases) {
    const auto built = rangeFromEnds(c.start, c.end);
    ASSERT_TRUE(built.has_value()) << c.text;
    EXPECT_EQ(built->RangeText, c.text);
    EXPECT_EQ(built->range, (ProblemRange{c.start, c.end, c.count})) << c.text;
  }
}

TEST(RangeText, TextLongerThanFiveCharactersIsNoRange) {
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {10, 100}, {1, 1000}, {-10, -10}, {-100, 0}, {kMin, kMax}, {kMax, kMin}, {0, kMax},
  };
  for (const auto& [start, end] : cases) {
    EXPECT_EQ(rangeFromEnds(start, end), std::nullopt) << start << "-" << end;
  }
}

}  // namespace
}  // namespace lotrano
