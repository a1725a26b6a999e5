#include "alloc/problem_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "alloc/uniform_generator.h"

namespace lotrano {
namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TEST(MapUniform, Cases) {
  struct Case {
    const char* what;
    float u;
    ProblemRange range;
    std::int32_t expected;
  };
  const Case kCases[] = {
      {"count 1, u < 0.5", 0.25f, {7, 7, 1}, 7},
      {"count 1, p = 0.49999997 rounds to 0 (p + 0.5f would round up)", 0.49999997f, {7, 7, 1}, 7},
      {"count 1, u = 0.5 rounds up to start + 1", 0.5f, {7, 7, 1}, 8},
      {"count 1, u > 0.5", 0.75f, {7, 7, 1}, 8},
      {"p = count - 0.5 exactly: k = count wraps to start + 1", 0.875f, {1, 4, 4}, 2},
      {"p = 0.5 exactly rounds away from zero", 0.125f, {1, 4, 4}, 2},
      {"p = 2.5 exactly rounds away from zero, not to even", 0.625f, {1, 4, 4}, 4},
      {"float product 0.95f * 10 = 9.5 (9.4999999 in double)", 0.95f, {1, 10, 10}, 2},
      {"float product 560.5 (560.49998 in double)",
       std::bit_cast<float>(0x3F368E01u),
       {1, 786, 786},
       562},
      {"smallest uniform gives start", 0x1p-31f, {-5, 4, 10}, -5},
      {"largest uniform gives start + 1", 0x1.fffffep-1f, {-5, 4, 10}, -4},
      {"inside the range", 0.5f, {-99, 900, 1000}, 401},
      {"count converted to float (2147483647 -> 2^31)",
       0x1.fffffep-1f,
       {0, kInt32Max - 1, kInt32Max},
       2147483520},
      {"end + 1 past INT32_MAX still becomes start + 1",
       0.99f,
       {kInt32Max - 9, kInt32Max, 10},
       kInt32Max - 8},
      {"start = end = INT32_MAX: start + 1 wraps", 0.75f, {kInt32Max, kInt32Max, 1}, kInt32Min},
      {"range at INT32_MIN", 0.5f, {kInt32Min, kInt32Min + 9, 10}, kInt32Min + 5},
      // An empty range yields one number: start (or the clamp to it) lies past end, so
      // it is shifted by start - end.
      {"count 0", 0.9f, {3, 2, 0}, 4},
      {"negative count", 0.9f, {3, -3, -5}, 9},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(mapUniform(c.u, c.range), c.expected);
  }
}

// The mapping as written first, with the C library's rounding: the draw's
// rounding must agree with it on every product.
std::int32_t mapWithLlround(float u, const ProblemRange& range) {
  const float p = u * static_cast<float>(range.ProblemCount);
  std::int64_t v = std::int64_t{range.Numar_Start_Problema} + std::llround(p);
  if (v < range.Numar_Start_Problema) v = range.Numar_Start_Problema;
  if (v > range.Numar_End_Problema) v = v + range.Numar_Start_Problema - range.Numar_End_Problema;
  return static_cast<std::int32_t>(v);
}

TEST(MapUniform, RoundsEveryProductAsLlroundDoes) {
  const ProblemRange kRanges[] = {{1, 786, 786},  {0, (1 << 24) - 1, 1 << 24},   {-5, 4, 10},
                                  {0, 999, 1000}, {0, kInt32Max - 1, kInt32Max}, {3, -3, -5}};
  // With the count 2^24 the product is u scaled exactly, so these u give
  // halves and their neighbours all over [0, 1).
  std::vector<float> uniforms;
  for (std::int64_t twice = 1; twice < (std::int64_t{1} << 25); twice += 2047) {
    const float half = static_cast<float>(twice) / 2.0f / 16777216.0f;
    uniforms.push_back(half);
    uniforms.push_back(std::nextafter(half, 0.0f));
    uniforms.push_back(std::nextafter(half, 1.0f));
  }
  // And the bit patterns of every float in [2^-31, 1), sampled evenly.
  for (std::uint32_t bits = std::bit_cast<std::uint32_t>(0x1p-31f);
       bits < std::bit_cast<std::uint32_t>(1.0f); bits += 3989) {
    uniforms.push_back(std::bit_cast<float>(bits));
  }
  for (const ProblemRange& range : kRanges) {
    for (const float u : uniforms) {
      ASSERT_EQ(mapUniform(u, range), mapWithLlround(u, range))
          << "u = " << u << ", range " << range.Numar_Start_Problema << ".."
          << range.Numar_End_Problema;
    }
  }
}

TEST(DistinctValueCount, Cases) {
  struct Case {
    std::int32_t count, distinct;
  };
  const Case kCases[] = {{kInt32Min, 1}, {-3, 1}, {0, 1},       {1, 2},
                         {2, 2},         {3, 3},  {1000, 1000}, {kInt32Max, kInt32Max}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(distinctValueCount(c.count), c.distinct);
  }
}

// Over many uniforms the mapping reaches exactly distinctValueCount(count) numbers:
// start..end, or start and start + 1 when count is 1.
TEST(MapUniform, ReachesExactlyTheDistinctValues) {
  const ProblemRange kRanges[] = {{7, 7, 1},
                                  {0, 1, 2},
                                  {-99, -97, 3},
                                  {1, 10, 10},
                                  {-5, 51, 57},
                                  {kInt32Max - 4, kInt32Max, 5},
                                  {kInt32Max, kInt32Max, 1}};
  for (const ProblemRange& range : kRanges) {
    SCOPED_TRACE(testing::Message()
                 << range.Numar_Start_Problema << ".." << range.Numar_End_Problema);
    GeneratorState state = stateFromWords({2024, 611});
    std::set<std::int32_t> seen;
    for (int i = 0; i < 20000; ++i) seen.insert(mapUniform(nextUniform(state), range));
    EXPECT_EQ(static_cast<std::int32_t>(seen.size()), distinctValueCount(range.ProblemCount));
    if (range.ProblemCount >= 2) {
      EXPECT_EQ(*seen.begin(), range.Numar_Start_Problema);
      EXPECT_EQ(*seen.rbegin(), range.Numar_End_Problema);
    } else {
      const std::set<std::int32_t> expected{
          range.Numar_Start_Problema,
          static_cast<std::int32_t>(std::int64_t{range.Numar_Start_Problema} + 1)};
      EXPECT_EQ(seen, expected);
    }
  }
}

}  // namespace
}  // namespace lotrano
