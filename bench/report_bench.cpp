// The largest report the batch rule allows: 3000 students over the range 0 to
// 999, three batches of 1000, drawn again from a fixed seed file by the
// program's own allocation. Each iteration draws the batches and writes the
// whole report (header, rows, the repeated problems, the stamp) into a new
// file in a scratch folder and closes it, for a typed group (no names, as the
// timing of the binary uses) and for a group file whose names carry Romanian
// letters (the rows laid out character by character).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "alloc/problem_draw.h"
#include "alloc/uniform_generator.h"
#include "app/allocation.h"
#include "app/report.h"
#include "app/run_values.h"
#include "host/platform/text_file.h"
#include "support/scratch_directory.h"

namespace lotrano {
namespace {

constexpr std::int32_t kStudents = 3000;
constexpr ProblemRange kRange{0, 999, 1000};
constexpr std::array<SeedPair, 3> kSeeds{{{1161390960, 496}, {1214081904, 496}, {1266641776, 496}}};

ExamData largeExam() {
  ExamData exam;
  exam.Problema_de_Examen = 1;
  exam.ExamNumberText = "1";
  exam.ProblemSetNumber = 1;
  exam.range = kRange;
  exam.RangeText = "0-999";
  exam.batches = {1000, 1000, 1000};
  return exam;
}

Group largeGroup(bool withNames) {
  Group group;
  group.GroupFromFile = withNames;
  group.GroupText = withNames ? "311 AC" : "G";
  group.StudentCount = kStudents;
  if (withNames) {
    for (std::int32_t k = 1; k <= kStudents; ++k) {
      group.StudentNames.emplace_back(kNameLength,
                                      "\xC8\x98tefan \xC5\xA2\xC4\x83ranu " + std::to_string(k));
    }
  }
  return group;
}

// The seed file of a re-allocation of those three batches.
std::string seedFileText() {
  std::string text;
  for (std::size_t k = 0; k < kSeeds.size(); ++k) {
    text += " seed_" + std::to_string(k + 1) + ":\r\n " + std::to_string(kSeeds[k].first) + " " +
            std::to_string(kSeeds[k].second) + "\r\n";
  }
  return text;
}

void writeReport(bool withNames, benchmark::State& state) {
  const Group group = largeGroup(withNames);
  const ExamData exam = largeExam();
  const std::string seedText = seedFileText();
  const LocalDateTime now{{2013, 5, 21}, {9, 5, 7, 0}};
  ScratchDirectory scratch(ScratchDirectory::kStayOutside);
  const std::string path = (scratch.path() / "Probleme Examen Nr_1 (0-999) Grupa G.rez").string();
  std::ostringstream console;
  TextSink consoleSink = streamSink(console, "console", "\n");
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    std::error_code error;
    auto file = createNewFile(path, error);
    if (!file) {
      state.SkipWithError("the report file could not be created");
      return;
    }
    TextSink report = fileSink(*file);
    LineSource seedFile = textSource(seedText, "seed file");
    writeReportHeader(report, group, exam);
    drawAllocation(report, group, exam, NewAllocation(seedFile), consoleSink);
    writeStamp(report, now, std::nullopt, scratch.path().string());
    file->close();
    state.PauseTiming();
    console.str("");
    bytes = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["report bytes"] = static_cast<double>(bytes);
}

void BM_ReportOfATypedGroup(benchmark::State& state) { writeReport(false, state); }
void BM_ReportWithNames(benchmark::State& state) { writeReport(true, state); }

BENCHMARK(BM_ReportOfATypedGroup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReportWithNames)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lotrano
