#include "alloc/uniform_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

namespace lotrano {
namespace {

// One draw from the process-wide generator, under its lock, as a batch's
// draws take theirs.
float nextSharedUniform() {
  float u = 0;
  withGenerator([&u](GeneratorState& state) { u = nextUniform(state); });
  return u;
}

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::uint32_t bitsOf(float u) { return std::bit_cast<std::uint32_t>(u); }

TEST(UniformGenerator, FirstDrawFromInitialState) {
  GeneratorState state;
  GeneratorState forZ = state;
  EXPECT_EQ(nextCombined(forZ), 842);
  EXPECT_EQ(nextUniform(state), 3.92086804e-07f);
  EXPECT_EQ(state, (GeneratorState{2147443549, 2147442707}));
  EXPECT_EQ(forZ, state);
}

TEST(UniformGenerator, SequenceFromSeed12345And67890) {
  struct Draw {
    std::int32_t w1, w2, z;
    float u;
    std::uint32_t bits;
  };
  const Draw kDraws[] = {
      {493972830, 615096481, 2026359911, 0.943597376f, 0x3F718F99},
      {390105768, 586989507, 1950599823, 0.908318818f, 0x3F688795},
      {1781664868, 1466655166, 315009702, 0.146687821f, 0x3E163555},
      {1526187241, 420873263, 1105313978, 0.514701903f, 0x3F03C381},
      {866180343, 2142194370, 871469535, 0.405809611f, 0x3ECFC647},
      {1103021545, 1674655231, 1575849876, 0.733812273f, 0x3F3BDB1F},
  };
  GeneratorState state = stateFromWords({12345, 67890});
  int step = 0;
  for (const Draw& d : kDraws) {
    SCOPED_TRACE(++step);
    GeneratorState forZ = state;
    EXPECT_EQ(nextCombined(forZ), d.z);
    const float u = nextUniform(state);
    EXPECT_EQ(bitsOf(u), d.bits);
    EXPECT_EQ(u, d.u);
    EXPECT_EQ(state, (GeneratorState{d.w1, d.w2}));
  }
}

// From this state both components step to 12345, so w1 - w2 = 0 and z is lifted to
// its largest value.
TEST(UniformGenerator, EqualComponentsGiveLargestCombinedValue) {
  GeneratorState state{1970861171, 1025136760};
  GeneratorState forZ = state;
  EXPECT_EQ(nextCombined(forZ), kFirstWordMax);
  EXPECT_EQ(forZ, (GeneratorState{12345, 12345}));
  EXPECT_EQ(nextUniform(state), 0x1.fffffep-1f);
}

// z * 2^-31 has to be rounded once, to nearest with ties to even. Above 2^30 the float
// grid is 128 apart in z, so 2^30 + 64 and 2^30 + 192 are ties.
TEST(UniformGenerator, CombinedValueRoundsOnceToNearestEven) {
  struct Case {
    std::int32_t z;
    float u;
  };
  const Case kCases[] = {
      {1, 0x1p-31f},
      {(1 << 24) - 1, 0x1.fffffep-8f},    // 24 bits: exact
      {(1 << 30) + 64, 0x1p-1f},          // tie, down to the even neighbour
      {(1 << 30) + 192, 0x1.000004p-1f},  // tie, up to the even neighbour
      {(1 << 30) + 63, 0x1p-1f},          // just below a tie: down
      {(1 << 30) + 65, 0x1.000002p-1f},   // just above a tie: up
      {(1 << 30) + 127, 0x1.000002p-1f},  // up
      {kFirstWordMax, 0x1.fffffep-1f},    // the largest z stays below 1
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.z);
    EXPECT_EQ(bitsOf(uniformFromCombined(c.z)), bitsOf(c.u));
  }
}

// Steps from the corners of the state space must stay inside it, with z in range.
TEST(UniformGenerator, DrawsKeepStateAndCombinedValueInRange) {
  const GeneratorState kStarts[] = {{1, 1},
                                    {kFirstWordMax, kSecondWordMax},
                                    {1, kSecondWordMax},
                                    {kFirstWordMax, 1},
                                    {53668, 52774},
                                    {53667, 52773}};
  for (const GeneratorState& start : kStarts) {
    SCOPED_TRACE(testing::Message() << start.w1 << ", " << start.w2);
    GeneratorState state = start;
    for (int i = 0; i < 10000; ++i) {
      const std::int32_t z = nextCombined(state);
      ASSERT_GE(z, 1);
      ASSERT_LE(z, kFirstWordMax);
      ASSERT_GE(state.w1, 1);
      ASSERT_LE(state.w1, kFirstWordMax);
      ASSERT_GE(state.w2, 1);
      ASSERT_LE(state.w2, kSecondWordMax);
    }
  }
}

TEST(SharedGenerator, PutStateReducesEachWordIntoItsRange) {
  struct Case {
    SeedPair put, state;
  };
  const Case kCases[] = {
      {{0, 0}, {2147483562, 2147483398}},
      {{-1, -1}, {171, 499}},
      {{2147483563, 2147483399}, {1, 1}},
      {{kInt32Max, kInt32Max}, {85, 249}},
      {{kInt32Min, kInt32Min}, {86, 250}},
      {{12345, 67890}, {12345, 67890}},
      {{1, 1}, {1, 1}},
      {{kFirstWordMax, kSecondWordMax}, {kFirstWordMax, kSecondWordMax}},
      {{-172, -500}, {kFirstWordMax, kSecondWordMax}},  // 2L as unsigned: v - L = L
      {{-171, -499}, {1, 1}},                           // 2L + 1: v - 2L
      {{kSecondWordMax, kFirstWordMax}, {kSecondWordMax, 164}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.put.first << ", " << c.put.second);
    EXPECT_EQ(reduceSeedPair(c.put), c.state);
    putState(c.put);
    EXPECT_EQ(getState(), c.state);
  }
}

TEST(SharedGenerator, SamePairGivesSameSequence) {
  const SeedPair kPairs[] = {{0, 0}, {12345, 67890}, {-7, kInt32Max}};
  for (const SeedPair& pair : kPairs) {
    SCOPED_TRACE(testing::Message() << pair.first << ", " << pair.second);
    GeneratorState local = stateFromWords(pair);
    std::vector<float> expected;
    for (int i = 0; i < 50; ++i) expected.push_back(nextUniform(local));
    for (int round = 0; round < 2; ++round) {
      putState(pair);
      std::vector<float> drawn;
      for (int i = 0; i < 50; ++i) drawn.push_back(nextSharedUniform());
      EXPECT_EQ(drawn, expected);
      EXPECT_EQ(getState(), wordsOf(local));
    }
  }
  // Putting (0, 0) restarts from the initial state.
  putState({0, 0});
  EXPECT_EQ(nextSharedUniform(), 3.92086804e-07f);
}

TEST(SharedGenerator, SeedFromClock) {
  struct Case {
    std::int64_t seconds, milliseconds;
    SeedPair words, state;
  };
  const Case kCases[] = {
      // x = 0x65546E96
      {1700031250, 900, {1855350100, -379169466}, {1855350100, 1768314432}},
      // x = 0x6553F452; w1 is negative, so w1 >> 28 fills w2 with ones
      {1700000000, 850, {-195926701, -1}, {1951557033, 499}},
      // t + e wraps past 2^32 to x = 8
      {(std::int64_t{1} << 32) + 5, 3, {0x00080000, 0x00800000}, {0x00080000, 0x00800000}},
      // x = 0x80000000: x >> 16 fills the top half with ones (w1 = 0xFFFF8000)
      {kInt32Max, 1, {-32768, -1}, {2147450966, 499}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.seconds << " + " << c.milliseconds);
    EXPECT_EQ(clockSeedWords(c.seconds, c.milliseconds), c.words);
    seedFromClock(c.seconds, c.milliseconds);
    EXPECT_EQ(getState(), c.state);
  }
}

// Every draw from any thread takes the next value of one sequence: none is lost or
// taken twice, and the state ends where sequential draws would leave it.
TEST(SharedGenerator, ConcurrentDrawsShareOneSequence) {
  constexpr int kThreads = 4;
  constexpr int kDrawsPerThread = 50000;
  const SeedPair kPair{424242, 171717};

  GeneratorState local = stateFromWords(kPair);
  std::vector<float> expected;
  for (int i = 0; i < kThreads * kDrawsPerThread; ++i) expected.push_back(nextUniform(local));

  putState(kPair);
  std::vector<std::vector<float>> perThread(kThreads);
  std::vector<std::thread> threads;
  for (auto& drawn : perThread) {
    threads.emplace_back([&drawn] {
      for (int i = 0; i < kDrawsPerThread; ++i) drawn.push_back(nextSharedUniform());
    });
  }
  for (auto& t : threads) t.join();

  std::vector<float> all;
  for (const auto& drawn : perThread) all.insert(all.end(), drawn.begin(), drawn.end());
  std::sort(all.begin(), all.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(all, expected);
  EXPECT_EQ(getState(), wordsOf(local));
}

}  // namespace
}  // namespace lotrano
