#include "alloc/problem_draw.h"

#include <gtest/gtest.h>

#include <sstream>
#include <type_traits>

#include "../app/fake_platform.h"
#include "support/fatal_matchers.h"

namespace lotrano {
namespace {

// Console, clock and seed file held together, and a draw of each kind.
struct DrawBench {
  explicit DrawBench(std::string seedText = {})
      : seeds(textSource(std::move(seedText), "Seed_1 (1-10) Grupa 1.dat")) {}

  FakePlatform fake{""};
  Platform platform = fake.platform();
  std::ostringstream console;
  TextSink sink = streamSink(console, "console", "\n");
  LineSource seeds;
  SeedingClock clock{platform.sleep, platform.secondsSince1970, platform.millisecondsSinceStart};
  NewAllocation fromClock{clock};
  NewAllocation fromSeedFile{seeds};
};

constexpr ProblemRange kOneToTen{1, 10, 10};

TEST(ProblemDraw, NewAllocationPrintsWaitsAndSeedsFromTheClock) {
  DrawBench bench;
  SeedPair used, read{-7, -7};
  std::vector<std::int32_t> problems;
  ProblemDraw(bench.fromClock, used, read, 10, problems, kOneToTen, bench.sink);
  EXPECT_EQ(bench.console.str(), "\n Size:  2\n\n Waiting 0.8 sec ...\n");
  EXPECT_EQ(bench.fake.sleeps, std::vector<std::int32_t>{800});
  // t = 1700031250 and e = 900 seed the state (1855350100, 1768314432).
  EXPECT_EQ(used, (SeedPair{1855350100, 1768314432}));
  EXPECT_EQ(read, (SeedPair{-7, -7})) << "a new allocation leaves seedRead alone";
  std::vector<std::int32_t> sorted = problems;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(ProblemDraw, ReallocationTakesEntriesByPositionWhateverTheirLabel) {
  DrawBench bench(" seed_1:\r\n       12007        4242\r\nanything here\r\n 0 0\r\n");
  SeedPair used, read;
  std::vector<std::int32_t> problems;
  ProblemDraw(bench.fromSeedFile, used, read, 6, problems, kOneToTen, bench.sink);
  EXPECT_EQ(problems, (std::vector<std::int32_t>{2, 4, 3, 6, 5, 7}));
  EXPECT_EQ(used, (SeedPair{12007, 4242}));
  EXPECT_EQ(read, (SeedPair{12007, 4242}));
  EXPECT_EQ(bench.console.str(), "\n Size:  2\n") << "no wait message in a re-allocation";
  EXPECT_TRUE(bench.fake.sleeps.empty());

  ProblemDraw(bench.fromSeedFile, used, read, 1, problems, kOneToTen, bench.sink);
  EXPECT_EQ(read, (SeedPair{0, 0}));
  EXPECT_EQ(used, (SeedPair{2147483562, 2147483398})) << "words brought into range";
}

TEST(ProblemDraw, EmptyBatchStillPrintsAndSeeds) {
  DrawBench fresh;
  SeedPair used, read;
  std::vector<std::int32_t> problems{9, 9};
  ProblemDraw(fresh.fromClock, used, read, 0, problems, kOneToTen, fresh.sink);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(fresh.fake.sleeps.size(), 1u);
  EXPECT_EQ(used, (SeedPair{1855350100, 1768314432}));

  DrawBench again(" seed_1:\n 5 6\n seed_2:\n 7 8\n");
  ProblemDraw(again.fromSeedFile, used, read, -3, problems, kOneToTen, again.sink);
  ProblemDraw(again.fromSeedFile, used, read, 1, problems, kOneToTen, again.sink);
  EXPECT_EQ(read, (SeedPair{7, 8})) << "the empty batch consumed its entry";
}

TEST(ProblemDraw, BrokenSeedFileStopsAtTheFailedRead) {
  const struct {
    const char* text;
    ErrorCode code;
  } cases[] = {
      {"", ErrorCode::kEndOfFile},
      {" seed_1:\n", ErrorCode::kEndOfFile},
      {" seed_1:\n 12\n", ErrorCode::kEndOfFile},
      {" seed_1:\n abc def\n", ErrorCode::kListSyntax},
      {" seed_1:\n 99999999999 1\n", ErrorCode::kInputConversion},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DrawBench bench(c.text);
    SeedPair used, read;
    std::vector<std::int32_t> problems;
    EXPECT_FATAL(ProblemDraw(bench.fromSeedFile, used, read, 3, problems, kOneToTen, bench.sink),
                 c.code, "Seed_1 (1-10) Grupa 1.dat");
  }
}

// A draw is given the source its kind seeds from, and nothing else: there
// is no value of neither kind.
static_assert(!std::is_default_constructible_v<NewAllocation>);

}  // namespace
}  // namespace lotrano
