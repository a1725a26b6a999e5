#include "alloc/batch_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "alloc/literal_draw.h"
#include "alloc/problem_mapping.h"
#include "alloc/uniform_generator.h"

namespace lotrano {
namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

ProblemRange rangeOf(std::int32_t start, std::int32_t end) {
  return {start, end, static_cast<std::int32_t>(std::int64_t{end} - start + 1)};
}

GeneratorState advanced(GeneratorState state, std::int64_t draws) {
  for (std::int64_t i = 0; i < draws; ++i) nextUniform(state);
  return state;
}

using DrawFn = BatchDraw (*)(std::int32_t, const ProblemRange&, GeneratorState&);

struct Drawer {
  const char* name;
  DrawFn draw;
};
const Drawer kDrawers[] = {{"fast", &drawBatch}, {"literal", &literal::drawBatch}};

// Uniforms 1-6 map to 2,4,2,6,5,2. The scan stops at entries 1 and 3: the 7th uniform
// makes entry 3 a 3. It then stops at 1 and 6: the 8th makes entry 6 a 7.
TEST(BatchDraw, WorkedExample) {
  const GeneratorState kSeed = stateFromWords({12007, 4242});
  for (const Drawer& drawer : kDrawers) {
    SCOPED_TRACE(drawer.name);
    GeneratorState state = kSeed;
    const BatchDraw result = drawer.draw(6, {1, 10, 10}, state);
    EXPECT_EQ(result.numbers, (std::vector<std::int32_t>{2, 4, 3, 6, 5, 7}));
    EXPECT_EQ(result.uniformsUsed, 8);
    EXPECT_EQ(state, advanced(kSeed, 8));
  }
}

TEST(BatchDraw, NoStudentsDrawNothing) {
  const GeneratorState kSeed = stateFromWords({99, 98});
  for (const std::int32_t n : {0, -1, kInt32Min}) {
    SCOPED_TRACE(n);
    GeneratorState state = kSeed;
    const BatchDraw result = drawBatch(n, {1, 10, 10}, state);
    EXPECT_TRUE(result.numbers.empty());
    EXPECT_EQ(result.uniformsUsed, 0);
    EXPECT_EQ(state, kSeed);
  }
}

TEST(BatchDraw, RefusesBatchesThatCannotEndWithoutDrawing) {
  struct Case {
    const char* what;
    std::int32_t n;
    ProblemRange range;
  };
  const Case kCases[] = {
      {"three from a count of 1", 3, {5, 5, 1}},
      {"one more than the range", 11, {1, 10, 10}},
      {"two from an empty range", 2, {5, 4, 0}},
      {"two from a negative count", 2, {5, 0, -4}},
      {"count that is not end - start + 1", 2, {1, 5, 10}},
  };
  const SeedPair kPair{31, 41};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    GeneratorState state = stateFromWords(kPair);
    EXPECT_THROW(drawBatch(c.n, c.range, state), std::invalid_argument);
    EXPECT_EQ(state, stateFromWords(kPair));
    putState(kPair);
    EXPECT_THROW(drawBatchNumbers(c.n, c.range), std::invalid_argument);
    EXPECT_EQ(getState(), reduceSeedPair(kPair));
  }
}

// One student: one uniform mapped, no scan, whatever the range.
TEST(BatchDraw, OneStudentTakesOneUniform) {
  const ProblemRange kRanges[] = {{1, 10, 10}, {7, 7, 1}, {5, 4, 0}, {1, 5, 10}};
  const GeneratorState kSeed = stateFromWords({555, 666});
  for (const ProblemRange& range : kRanges) {
    SCOPED_TRACE(testing::Message() << range.Numar_Start_Problema << ".."
                                    << range.Numar_End_Problema << " #" << range.ProblemCount);
    GeneratorState expectedState = kSeed;
    const std::int32_t expected = mapUniform(nextUniform(expectedState), range);
    GeneratorState state = kSeed;
    const BatchDraw result = drawBatch(1, range, state);
    EXPECT_EQ(result.numbers, (std::vector<std::int32_t>{expected}));
    EXPECT_EQ(result.uniformsUsed, 1);
    EXPECT_EQ(state, expectedState);
  }
}

// As many students as distinct numbers: every one of them is handed out once.
TEST(BatchDraw, FullBatchHandsOutEveryNumber) {
  struct Case {
    SeedPair seed;
    ProblemRange range;
  };
  const Case kCases[] = {
      {{1, 2}, rangeOf(1, 10)},
      {{-1, kInt32Max}, rangeOf(-99, 900)},
      {{12007, 4242}, rangeOf(0, 1)},
      {{7, 7}, rangeOf(kInt32Max - 4, kInt32Max)},
      {{8, 9}, rangeOf(kInt32Min, kInt32Min + 30)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << c.range.Numar_Start_Problema << ".." << c.range.Numar_End_Problema);
    GeneratorState state = stateFromWords(c.seed);
    std::vector<std::int32_t> numbers = drawBatch(c.range.ProblemCount, c.range, state).numbers;
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::int32_t> expected(static_cast<std::size_t>(c.range.ProblemCount));
    // Counted in 64 bits: std::iota would step past a range that ends at INT32_MAX.
    for (std::size_t i = 0; i < expected.size(); ++i) {
      expected[i] = static_cast<std::int32_t>(c.range.Numar_Start_Problema + std::int64_t(i));
    }
    EXPECT_EQ(numbers, expected);
  }
}

// A count of 1 yields two numbers, start and start + 1, so two students can be served;
// at INT32_MAX the second one is INT32_MIN.
TEST(BatchDraw, TwoStudentsFromASingleProblem) {
  struct Case {
    std::int32_t problem;
    std::vector<std::int32_t> numbers;  // sorted
  };
  const Case kCases[] = {{7, {7, 8}}, {-1, {-1, 0}}, {kInt32Max, {kInt32Min, kInt32Max}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.problem);
    GeneratorState state = stateFromWords({3, 4});
    std::vector<std::int32_t> numbers = drawBatch(2, {c.problem, c.problem, 1}, state).numbers;
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, c.numbers);
  }
}

TEST(BatchDraw, SharedGeneratorMatchesLocalDraw) {
  const SeedPair kPair{-123456789, 987654321};
  const ProblemRange range = rangeOf(-20, 79);
  GeneratorState local = stateFromWords(kPair);
  const BatchDraw expected = drawBatch(60, range, local);

  putState(kPair);
  EXPECT_EQ(drawBatchNumbers(60, range), expected.numbers);
  EXPECT_EQ(getState(), wordsOf(local));
}

void expectSameAsLiteral(const SeedPair& seed, const ProblemRange& range, std::int32_t n) {
  GeneratorState fastState = stateFromWords(seed);
  GeneratorState literalState = fastState;
  const BatchDraw fast = drawBatch(n, range, fastState);
  const BatchDraw literal = literal::drawBatch(n, range, literalState);
  ASSERT_EQ(fast.numbers, literal.numbers);
  ASSERT_EQ(fast.uniformsUsed, literal.uniformsUsed);
  ASSERT_EQ(fastState, literalState);
}

// Ranges too wide for a flat table of positions, with enough students to collide.
TEST(BatchDraw, AgreesWithLiteralScanOnWideRanges) {
  struct Case {
    SeedPair seed;
    ProblemRange range;
    std::int32_t n;
  };
  const Case kCases[] = {
      {{1, 1}, rangeOf(1, 100000), 1500},
      {{kInt32Min, -1}, rangeOf(-150000, 149999), 2500},
      {{77, 88}, rangeOf(-1073741824, 1073741822), 3000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.range.Numar_Start_Problema << ".."
                                    << c.range.Numar_End_Problema << " n " << c.n);
    expectSameAsLiteral(c.seed, c.range, c.n);
  }
}

// Random cases: seed words over all of int32, starts -99..999, counts 1..1000 and
// n from 1 to distinctValueCount(count). The literal scan costs about n^2 per
// replacement, so n leans small (log-uniform up to 400), with full batches
// (n = distinctValueCount(count)) for counts up to 300.
TEST(BatchDraw, AgreesWithLiteralScanOnRandomCases) {
  constexpr int kCases = 3000;
  constexpr int kFullBatchEvery = 25;
  constexpr std::int32_t kFullBatchMaxCount = 300;
  constexpr std::int32_t kMaxN = 400;
  const std::int32_t kEdgeWords[] = {0,
                                     -1,
                                     kInt32Min,
                                     kInt32Max,
                                     kFirstWordMax,
                                     kFirstWordMax + 1,
                                     kSecondWordMax,
                                     kSecondWordMax + 1};

  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::int32_t> anyWord(kInt32Min, kInt32Max);
  std::uniform_int_distribution<std::size_t> edgeIndex(0, std::size(kEdgeWords) - 1);
  std::uniform_int_distribution<std::int32_t> startOf(-99, 999);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto word = [&] { return rng() % 8 == 0 ? kEdgeWords[edgeIndex(rng)] : anyWord(rng); };

  for (int i = 0; i < kCases; ++i) {
    const SeedPair seed{word(), word()};
    const std::int32_t start = startOf(rng);
    const bool full = i % kFullBatchEvery == 0;
    const std::int32_t count =
        std::uniform_int_distribution<std::int32_t>(1, full ? kFullBatchMaxCount : 1000)(rng);
    const std::int32_t distinct = distinctValueCount(count);
    std::int32_t n = distinct;
    if (!full) {
      const double top = std::min(distinct, kMaxN);
      n = std::clamp(static_cast<std::int32_t>(std::pow(top, unit(rng))), 1, distinct);
    }
    SCOPED_TRACE(testing::Message()
                 << "case " << i << ": seed " << seed.first << ", " << seed.second << ", start "
                 << start << ", count " << count << ", n " << n);
    expectSameAsLiteral(seed, rangeOf(start, start + count - 1), n);
    if (HasFatalFailure()) return;
  }
}

// The largest batches a range of up to 1000 problems can have, where the rescans
// are longest: full batches and batches one short of full, from random seeds.
TEST(BatchDraw, AgreesWithLiteralScanOnLargeFullBatches) {
  std::mt19937 rng(1000);
  std::uniform_int_distribution<std::int32_t> anyWord(kInt32Min, kInt32Max);
  const struct {
    std::int32_t start, count, n;
  } kCases[] = {{1, 1000, 1000}, {-99, 1000, 999}, {0, 700, 700}, {501, 850, 849}};
  for (const auto& c : kCases) {
    const SeedPair seed{anyWord(rng), anyWord(rng)};
    SCOPED_TRACE(testing::Message() << "seed " << seed.first << ", " << seed.second << ", start "
                                    << c.start << ", count " << c.count << ", n " << c.n);
    expectSameAsLiteral(seed, rangeOf(c.start, c.start + c.count - 1), c.n);
  }
}

}  // namespace
}  // namespace lotrano
