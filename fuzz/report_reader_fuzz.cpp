// Fuzzes lotrano-verify's reading and checking of a report: arbitrary bytes
// as the report, checked against one fixed seed file of three entries (so
// that every report the reader accepts can be drawn again).
//
// Input: the whole input is the report's content.
//
// Findings besides crashes and hangs: a fatal error other than "input
// conversion error" or "end-of-file during read" naming the report and a
// line within it (or just after its end); a fatal error from the seed file,
// which holds an entry for every batch; a name list of another size than the
// student count; a date line or re-allocation note out of place; a verdict
// that is not the first line where the report and the redraw differ (the
// date line and the note aside); and a redrawn report that does not read
// back as the same values and match itself.
//
// Every report the reader accepts is drawn and written again, so an input
// costs far more than one the reader refuses; the redrawn report is read back
// but not drawn a second time (that a seed file draws the same numbers again
// is seed_entries_fuzz's finding to make).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/report_reader.h"
#include "fuzz_bytes.h"
#include "host/text/fatal_error.h"
#include "verify/report_check.h"

namespace {

using namespace lotrano;
using fuzz::require;

constexpr const char* kReportName = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
constexpr const char* kSeedName = "Seed_1 (1-6) Grupa 311 AC.dat";
constexpr const char* kSeedText =
    " seed_1:\r\n       12007        4242\r\n"
    " seed_2:\r\n  2147483562         500\r\n"
    " seed_3:\r\n   123456789  1987654321\r\n";

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The line number a diagnostic's detail starts with ("line 7: ...").
std::size_t lineOf(const std::string& detail) {
  require(detail.starts_with("line "));
  std::size_t number = 0;
  std::size_t pos = 5;
  for (; pos < detail.size() && detail[pos] >= '0' && detail[pos] <= '9'; ++pos) {
    number = number * 10 + static_cast<std::size_t>(detail[pos] - '0');
  }
  require(pos > 5 && detail.substr(pos, 2) == ": ");
  return number;
}

std::size_t lineCount(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t pos = 0; pos < text.size(); ++lines) {
    const std::size_t end = text.find('\n', pos);
    pos = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

bool sameValues(const ReadReport& a, const ReadReport& b) {
  return a.group.GroupFromFile == b.group.GroupFromFile && a.group.GroupText == b.group.GroupText &&
         a.group.StudentCount == b.group.StudentCount &&
         a.group.StudentNames == b.group.StudentNames &&
         a.exam.ExamNumberText == b.exam.ExamNumberText &&
         a.exam.ProblemSetNumber == b.exam.ProblemSetNumber && a.exam.range == b.exam.range &&
         a.exam.RangeText == b.exam.RangeText && a.exam.batches == b.exam.batches &&
         (a.reallocationLine == 0) == (b.reallocationLine == 0);
}

std::vector<std::string> rebuild(const ReadReport& report) {
  LineSource seed = textSource(kSeedText, kSeedName);
  try {
    return rebuildReport(report, report.group, seed);
  } catch (const FatalError&) {
    require(false);  // three entries are enough for every report
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  ReadReport report;
  try {
    LineSource source = textSource(content, kReportName);
    report = readReport(source);
  } catch (const FatalError& error) {
    require(error.code() == ErrorCode::kInputConversion || error.code() == ErrorCode::kEndOfFile);
    require(error.file() == kReportName);
    const std::size_t line = lineOf(error.detail());
    require(line >= 1 && line <= lineCount(content) + 1);
    return 0;
  }

  const std::vector<std::string>& lines = report.lines;
  require(lines.size() == lineCount(content));
  if (report.group.GroupFromFile) {
    require(report.group.StudentNames.size() ==
            static_cast<std::size_t>(std::max(report.group.StudentCount, 0)));
  } else {
    require(report.group.StudentNames.empty());
  }
  require(report.dateLine > 10 && report.dateLine <= lines.size());
  require(report.reallocationLine == 0 ||
          (report.reallocationLine == lines.size() && report.dateLine + 2 == lines.size()));
  require(report.reallocationLine != 0 || report.dateLine == lines.size());

  const std::vector<std::string> rebuilt = rebuild(report);
  const Verdict verdict = compareWithRebuilt(report, rebuilt);
  // Every line before the verdict's is the same on both sides, but for the
  // date line and the note where both have them; the verdict's line differs.
  const std::size_t skippedDate = report.reallocationLine ? rebuilt.size() - 2 : rebuilt.size();
  const std::size_t end =
      verdict.matches ? std::max(lines.size(), rebuilt.size()) : verdict.line - 1;
  require(end <= std::max(lines.size(), rebuilt.size()));
  for (std::size_t number = 1; number <= end; ++number) {
    if (number == report.dateLine && number == skippedDate) continue;
    if (report.reallocationLine && number == report.reallocationLine && number == rebuilt.size()) {
      continue;
    }
    require(number <= lines.size() && number <= rebuilt.size());
    require(lines[number - 1] == rebuilt[number - 1]);
  }
  if (!verdict.matches) {
    require(verdict.inReport != verdict.rebuilt);
    require(verdict.inReport == (verdict.line <= lines.size()
                                     ? std::optional<std::string>(lines[verdict.line - 1])
                                     : std::nullopt));
  }

  // The redraw, read back, states the same values and matches itself.
  LineSource again = textSource(joined(rebuilt), kReportName);
  ReadReport rebuiltReport;
  try {
    rebuiltReport = readReport(again);
  } catch (const FatalError&) {
    require(false);
  }
  require(sameValues(rebuiltReport, report));
  require(rebuiltReport.lines == rebuilt);
  require(compareWithRebuilt(rebuiltReport, rebuilt).matches);
  return 0;
}
