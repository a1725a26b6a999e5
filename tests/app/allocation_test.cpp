// The allocation over its batches, as the dialogue, the verification and the
// benchmark run it: the report's lines between the draws, the batches it
// returns, and a new allocation drawn again from the pairs it recorded.
#include "app/allocation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/batches.h"
#include "app/report.h"
#include "run_values_of.h"
#include "support/text_lines.h"
#include "worked_examples.h"

namespace lotrano {
namespace {

// Seed pairs whose draws over 1..6 are 4 1 6 2 5 3 for six students, and 2 5
// for two: the second worked example.
constexpr const char* kSecondExampleSeeds =
    " seed_1:\r\n    32459981   429284172\r\n seed_2:\r\n      253408     3351329\r\n";

ExamData examOver(std::int32_t start, std::int32_t end, std::int32_t students) {
  ExamData exam;
  exam.Problema_de_Examen = 2;
  exam.ExamNumberText = "2";
  exam.ProblemSetNumber = 1;
  exam.range = {start, end, end - start + 1};
  exam.batches = batchSizes(students, exam.range.ProblemCount);
  return exam;
}

struct Sinks {
  std::ostringstream report;
  std::ostringstream console;
  TextSink reportSink = streamSink(report, "report.rez", "\n");
  TextSink consoleSink = streamSink(console, "console", "\n");
};

TEST(Allocation, ReallocationWritesTheSecondWorkedExamplesRowsAndRepeats) {
  const Group group = typedGroup("1234", 8);
  const ExamData exam = examOver(1, 6, 8);
  Sinks sinks;
  LineSource seedFile = textSource(kSecondExampleSeeds, "Seed_2 (1-6) Grupa 1234.dat");
  std::vector<std::string> seen;  // the report's lines at each draw
  const AllocationBatches batches =
      drawAllocation(sinks.reportSink, group, exam, NewAllocation(seedFile), sinks.consoleSink,
                     [&] { seen.push_back(sinks.report.str()); });

  // Everything between the header (10 lines) and the stamp (the last 4).
  const std::vector<std::string> expected(kTypedReallocationReport.begin() + 10,
                                          kTypedReallocationReport.end() - 4);
  EXPECT_EQ(linesOf(sinks.report.str()), expected);
  EXPECT_EQ(batches[0].problems, (std::vector<std::int32_t>{4, 1, 6, 2, 5, 3}));
  EXPECT_EQ(batches[1].problems, (std::vector<std::int32_t>{2, 5}));
  EXPECT_TRUE(batches[2].problems.empty());
  EXPECT_EQ(batches[0].seedRead, (SeedPair{32459981, 429284172}));
  EXPECT_EQ(batches[1].seedRead, (SeedPair{253408, 3351329}));
  EXPECT_EQ(batches[2].seedUsed, SeedPair{}) << "a batch not drawn keeps no pair";
  // Before each draw, and the second draw after the first batch's rows.
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "");
  EXPECT_EQ(linesOf(seen[1]).size(), 6u);
  EXPECT_EQ(sinks.console.str(), "\n Size:  2\n\n Size:  2\n");
}

TEST(Allocation, NewAllocationIsDrawnAgainFromThePairsItRecorded) {
  // 15 students over 1..6: three batches, each seeded from the clock.
  const Group group = typedGroup("1234", 15);
  const ExamData exam = examOver(1, 6, 15);
  std::int64_t seconds = 1700031250;
  std::vector<std::int32_t> sleeps;
  const SeedingClock clock{[&](std::int32_t ms) { sleeps.push_back(ms); },
                           [&] { return seconds++; }, [] { return std::int64_t{900}; }};
  Sinks first;
  const AllocationBatches drawn =
      drawAllocation(first.reportSink, group, exam, NewAllocation(clock), first.consoleSink);
  EXPECT_EQ(sleeps, (std::vector<std::int32_t>{800, 800, 800}));
  EXPECT_EQ(drawn[2].problems.size(), 3u);

  std::string seedText;
  for (std::size_t k = 0; k < drawn.size(); ++k) {
    seedText += " seed_" + std::to_string(k + 1) + ":\n " +
                std::to_string(drawn[k].seedUsed.first) + " " +
                std::to_string(drawn[k].seedUsed.second) + "\n";
  }
  Sinks again;
  LineSource seedFile = textSource(seedText, "seed file");
  const AllocationBatches redrawn =
      drawAllocation(again.reportSink, group, exam, NewAllocation(seedFile), again.consoleSink);
  for (std::size_t k = 0; k < drawn.size(); ++k) {
    EXPECT_EQ(redrawn[k].problems, drawn[k].problems) << "batch " << k + 1;
  }
  EXPECT_EQ(again.report.str(), first.report.str());
  EXPECT_EQ(again.console.str().find("Waiting"), std::string::npos);
}

}  // namespace
}  // namespace lotrano
