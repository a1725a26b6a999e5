#include "app/batches.h"

#include <gtest/gtest.h>

#include <limits>

namespace lotrano {
namespace {

TEST(Batches, SplitsTheGroupIntoUpToThreeBatches) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    std::int32_t students, problems;
    BatchSizes sizes;
    bool drawable;
  } cases[] = {
      {30, 30, {30, 0, 0}, true},
      {4, 6, {4, 0, 0}, true},
      {25, 20, {20, 5, 0}, true},
      {45, 20, {20, 20, 5}, true},
      {40, 20, {20, 20, 0}, true},
      {60, 20, {20, 20, 20}, true},
      {15, 6, {6, 6, 3}, true},
      {8, 6, {6, 2, 0}, true},
      // S3 is not capped: more than three times the range cannot be drawn.
      {61, 20, {20, 20, 21}, false},
      {100, 6, {6, 6, 88}, false},
      // A single problem yields two numbers (start and start + 1).
      {2, 1, {1, 1, 0}, true},
      {3, 1, {1, 1, 1}, true},
      {4, 1, {1, 1, 2}, true},
      {7, 1, {1, 1, 5}, false},
      // Empty or negative groups draw nothing.
      {0, 6, {0, 0, 0}, true},
      {-3, 6, {-3, 0, 0}, true},
      // Reversed ranges: every student gets the same number.
      {1, 0, {0, 0, 1}, true},
      {2, -4, {-4, -4, 10}, false},
      {kMax, -1000, {-1000, -1000, kMax}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.students << " over " << c.problems);
    const BatchSizes sizes = batchSizes(c.students, c.problems);
    EXPECT_EQ(sizes, c.sizes) << sizes.s1 << " " << sizes.s2 << " " << sizes.s3;
    EXPECT_EQ(batchesCanBeDrawn(sizes, c.problems), c.drawable);
  }
}

}  // namespace
}  // namespace lotrano
