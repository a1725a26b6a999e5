#include "verify/report_check.h"

#include <algorithm>

#include "alloc/problem_draw.h"
#include "app/allocation.h"
#include "app/batches.h"
#include "app/report.h"
#include "host/text/date_time.h"

namespace lotrano {
namespace {

// Lines written to the rebuilt report end in a line feed alone: no line
// of a report holds one, so the text splits back into exactly its lines.
constexpr std::string_view kLineEnd = "\n";

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// The date line and the note stand last: the note after an empty line.
std::size_t rebuiltDateLine(const std::vector<std::string>& rebuilt, bool reallocation) {
  return reallocation ? rebuilt.size() - 2 : rebuilt.size();
}

}  // namespace

std::vector<std::string> rebuildReport(const ReadReport& report, const Group& group,
                                       LineSource& seedFile, AllocationBatches* batches,
                                       std::vector<SeedPair>* entries) {
  std::string text;
  TextSink sink(
      [&text](std::string_view bytes) {
        text += bytes;
        return true;
      },
      "rebuilt report", kLineEnd);
  TextSink console([](std::string_view) { return true; }, "console", kLineEnd);

  ExamData exam = report.exam;
  exam.batches = batchSizes(group.StudentCount, exam.range.ProblemCount);
  writeReportHeader(sink, group, exam);
  if (!batchesCanBeDrawn(exam.batches, exam.range.ProblemCount)) return splitLines(text);

  // The program's own allocation, every batch seeded from the next entry of
  // the seed file.
  const AllocationBatches drawn =
      drawAllocation(sink, group, exam, NewAllocation(seedFile), console);
  if (batches != nullptr) *batches = drawn;
  if (entries != nullptr) {
    entries->clear();
    for (std::size_t k = 0; k < kBatchCount; ++k) {
      if (batchIsDrawn(exam.batches, k)) entries->push_back(drawn[k].seedUsed);
    }
  }
  // Any date, and any seed file name: neither line is compared.
  const std::optional<std::string> seedName =
      report.reallocationLine != 0 ? std::optional<std::string>("/seed.dat") : std::nullopt;
  writeStamp(sink, LocalDateTime{}, seedName, "/");
  return splitLines(text);
}

Verdict compareWithRebuilt(const ReadReport& report, const std::vector<std::string>& rebuilt) {
  const bool reallocation = report.reallocationLine != 0;
  const std::size_t dateLine = rebuiltDateLine(rebuilt, reallocation);
  const std::size_t lineCount = std::max(report.lines.size(), rebuilt.size());
  for (std::size_t number = 1; number <= lineCount; ++number) {
    if (number == report.dateLine && number == dateLine) continue;
    if (reallocation && number == report.reallocationLine && number == rebuilt.size()) continue;
    Verdict verdict;
    if (number <= report.lines.size()) verdict.inReport = report.lines[number - 1];
    if (number <= rebuilt.size()) verdict.rebuilt = rebuilt[number - 1];
    if (verdict.inReport == verdict.rebuilt) continue;
    verdict.line = number;
    return verdict;
  }
  return {true, 0, std::nullopt, std::nullopt};
}

}  // namespace lotrano
