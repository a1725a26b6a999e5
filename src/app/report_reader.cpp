#include "app/report_reader.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

#include "app/batches.h"
#include "app/range_text.h"
#include "app/report_format.h"
#include "host/platform/text_file.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/fixed_text.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

using namespace report_format;

constexpr std::string_view kTooLong = "longer than any line of a report";

[[noreturn]] void notAReport(const std::string& source, std::size_t line, std::string_view why) {
  throw FatalError(ErrorCode::kInputConversion, source,
                   "line " + std::to_string(line) + ": " + std::string(why));
}

[[noreturn]] void endsEarly(const std::string& source, std::size_t line, std::string_view why) {
  throw FatalError(ErrorCode::kEndOfFile, source,
                   "line " + std::to_string(line) + ": " + std::string(why));
}

std::vector<std::string> readLines(LineSource& source) {
  std::vector<std::string> lines;
  std::size_t bytes = 0;
  std::string line;
  while (true) {
    const ReadStatus status = source.next(line);
    if (status == ReadStatus::kEnd) break;
    const std::size_t number = lines.size() + 1;
    if (status == ReadStatus::kError) {
      throw FatalError(ErrorCode::kReadError, source.name(), "line " + std::to_string(number));
    }
    // A line too long for any report is refused where it stands: whatever
    // follows it, a whole file of one line included, is not read.
    if (status == ReadStatus::kTooLong || line.size() > kMaxReportLineBytes) {
      notAReport(source.name(), number, kTooLong);
    }
    bytes += line.size() + 1;
    if (number > kMaxReportLines || bytes > kMaxReportBytes) {
      notAReport(source.name(), number, "longer than any report");
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// An integer as the report writes it: optional blanks, an optional "-", and
// digits, within the signed 32-bit range, read from `text` starting at `pos`.
// `pos` moves past it; nullopt when no such integer starts there.
std::optional<std::int32_t> integerAt(std::string_view text, std::size_t& pos) {
  std::size_t at = pos;
  while (at < text.size() && text[at] == ' ') ++at;
  const bool negative = at < text.size() && text[at] == '-';
  if (negative) ++at;
  const std::size_t digits = at;
  std::int64_t magnitude = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    magnitude = magnitude * 10 + (text[at] - '0');
    // Stops before the product could overflow.
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    ++at;
  }
  if (at == digits) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  pos = at;
  return static_cast<std::int32_t>(value);
}

// The text at `pos` must be `expected`; `pos` moves past it.
bool textAt(std::string_view text, std::size_t& pos, std::string_view expected) {
  if (text.substr(pos, expected.size()) != expected) return false;
  pos += expected.size();
  return true;
}

// A whole field after a label: the integer and nothing else.
std::optional<std::int32_t> integerAfter(std::string_view line, std::string_view label) {
  std::size_t pos = 0;
  if (!textAt(line, pos, label)) return std::nullopt;
  const auto value = integerAt(line, pos);
  if (!value || pos != line.size()) return std::nullopt;
  return value;
}

// The column heads as the writer lays them out.
std::string headsLine(bool withNames) {
  const LaidOutLines laid =
      withNames ? applyLayout(kHeadsWithNames, {std::string(kRowNumberHead), std::string(kNameHead),
                                                std::string(kProblemHead)})
                : applyLayout(kHeadsWithoutNames,
                              {std::string(kRowNumberHead), std::string(kProblemHead)});
  return laid.lines.front();
}

// " 2013-05-21   09:05:07": the date (digits and "-", blank-filled to its
// length) at column 2, three blanks, and the time as HH:MM:SS.
bool isDateLine(std::string_view line) {
  const std::size_t timeStart = kDateColumn - 1 + kDateStampLength + kStampGap;
  if (line.size() != timeStart + kTimeStampLength) return false;
  if (line.substr(0, kDateColumn - 1) != " " ||
      line.substr(kDateColumn - 1 + kDateStampLength, kStampGap) != "   ") {
    return false;
  }
  for (const char c : line.substr(kDateColumn - 1, kDateStampLength)) {
    if (!(c >= '0' && c <= '9') && c != '-' && c != ' ') return false;
  }
  const std::string_view time = line.substr(timeStart);
  for (std::size_t k = 0; k < time.size(); ++k) {
    const bool colon = k % 3 == 2;
    if (colon ? time[k] != ':' : !(time[k] >= '0' && time[k] <= '9')) return false;
  }
  return true;
}

// The row number of a table row, in its columns before the name column;
// nullopt when they hold none.
std::optional<std::int32_t> rowNumber(std::string_view row) {
  const std::string_view front = characterRange(row, 1, kNameColumn - 1);
  std::size_t pos = 0;
  const auto number = integerAt(front, pos);
  if (!number || front.substr(pos).find_first_not_of(' ') != std::string_view::npos) {
    return std::nullopt;
  }
  return number;
}

// The name of a table row with names. The problem number ends a short
// name's row at column 47 at least (it is right-aligned from column 46), so
// a blank there marks a long name, whose number starts at column 48.
std::string rowName(std::string_view row) {
  const auto column = static_cast<std::size_t>(kProblemColumn + 1);
  const std::string_view gap = characterRange(row, column, column);
  const bool longName = gap.empty() || gap == " ";
  const auto first = static_cast<std::size_t>(kNameColumn);
  const std::size_t last = longName ? first + kNameLength - 1 : kProblemColumn - 1;
  return std::string(characterRange(row, first, last));
}

void readHeader(const std::vector<std::string>& lines, const std::string& source,
                ReadReport& report) {
  // Line by line, so that a text that is no report is refused at its first
  // line, however short it is.
  const auto line = [&](std::size_t number) -> std::string_view {
    if (number > lines.size()) {
      endsEarly(source, lines.size() + 1, "the report ends before its column heads");
    }
    return lines[number - 1];
  };
  Group& group = report.group;
  ExamData& exam = report.exam;

  std::size_t pos = 0;
  if (!textAt(line(kGroupLineNumber), pos, kGroupLabel)) {
    notAReport(source, kGroupLineNumber, "no group line of a report");
  }
  group.GroupText = std::string(line(kGroupLineNumber).substr(pos));

  const auto count = integerAfter(line(kStudentCountLineNumber), kStudentCountLabel);
  if (!count) notAReport(source, kStudentCountLineNumber, "no student count of a report");
  group.StudentCount = *count;

  pos = 0;
  const std::string_view examLine = line(kExamLineNumber);
  if (!textAt(examLine, pos, kExamLabel) ||
      (examLine.substr(pos) != "1" && examLine.substr(pos) != "2")) {
    notAReport(source, kExamLineNumber, "no exam problem (1 or 2) of a report");
  }
  exam.ExamNumberText = std::string(examLine.substr(pos));
  exam.Problema_de_Examen = exam.ExamNumberText == "1" ? 1 : 2;

  const auto set = integerAfter(line(kProblemSetLineNumber), kProblemSetLabel);
  if (!set) notAReport(source, kProblemSetLineNumber, "no problem set of a report");
  exam.ProblemSetNumber = *set;

  // The count printed after the range is not taken: it is worked out from
  // the range's ends, as the dialogue does, and compared with the rest.
  const std::string_view range = line(kRangeLineNumber);
  pos = 0;
  std::optional<std::int32_t> start;
  std::optional<std::int32_t> end;
  std::optional<std::int32_t> printedCount;
  if (textAt(range, pos, kRangeLabel)) start = integerAt(range, pos);
  if (start && textAt(range, pos, kRangeDash)) end = integerAt(range, pos);
  if (end && textAt(range, pos, kRangeCountOpen)) printedCount = integerAt(range, pos);
  if (!printedCount || !textAt(range, pos, kRangeCountClose) || pos != range.size()) {
    notAReport(source, kRangeLineNumber, "no problem range of a report");
  }
  // The dialogue builds the range's text in five characters and asks again
  // for a range too small for the group: no report holds any other.
  auto built = rangeFromEnds(*start, *end);
  if (!built) notAReport(source, kRangeLineNumber, "a range the program does not accept");
  exam.range = built->range;
  exam.RangeText = std::move(built->RangeText);
  exam.batches = batchSizes(group.StudentCount, exam.range.ProblemCount);
  if (!batchesCanBeDrawn(exam.batches, exam.range.ProblemCount)) {
    notAReport(source, kStudentCountLineNumber, "more students than the range can be drawn for");
  }

  const std::string_view heads = line(kHeadsLineNumber);
  if (heads == headsLine(true)) {
    group.GroupFromFile = true;
  } else if (heads != headsLine(false)) {
    notAReport(source, kHeadsLineNumber, "no column heads of a report");
  }
  line(kHeaderLines);
}

bool isReallocationLine(std::string_view line) {
  return line.starts_with(kReallocationLabel) && line.ends_with(kReallocationClose) &&
         line.size() >= kReallocationLabel.size() + kReallocationClose.size();
}

// The number of the last line of the report's stamp (its date line, or the
// re-allocation note after it) when a date line stands after the header;
// nullopt when none does.
std::optional<std::size_t> stampEnd(const std::vector<std::string>& lines) {
  for (std::size_t dateLine = lines.size(); dateLine > kHeaderLines; --dateLine) {
    if (!isDateLine(lines[dateLine - 1])) continue;
    if (dateLine + 2 <= lines.size() && lines[dateLine].empty() &&
        isReallocationLine(lines[dateLine + 1])) {
      return dateLine + 2;
    }
    return dateLine;
  }
  return std::nullopt;
}

// The date line, and the re-allocation note after it when there is one: the
// last lines of every report.
void findStamp(const std::vector<std::string>& lines, const std::string& source,
               ReadReport& report) {
  std::size_t dateLine = lines.size();
  if (isReallocationLine(lines.back())) {
    report.reallocationLine = lines.size();
    dateLine = lines.size() - 2;
  }
  if (dateLine <= kHeaderLines || !isDateLine(lines[dateLine - 1])) {
    // The program writes nothing after its stamp: lines there (an empty one
    // that an editor added, most often) make the file another than it wrote.
    if (const auto end = stampEnd(lines)) {
      notAReport(source, *end + 1, "lines after the report's date and time");
    }
    endsEarly(source, lines.size() + 1, "the report ends without its date and time");
  }
  report.dateLine = dateLine;
}

// The names of the table's rows: the lines after the header up to the first
// empty one.
void readNames(const std::vector<std::string>& lines, ReadReport& report) {
  Group& group = report.group;
  if (!group.GroupFromFile) return;
  const auto count = static_cast<std::size_t>(std::max(group.StudentCount, 0));
  group.StudentNames.assign(count, FixedText(kNameLength));
  std::vector<bool> named(count, false);
  for (std::size_t k = kHeaderLines; k + 1 < report.dateLine && !lines[k].empty(); ++k) {
    const auto number = rowNumber(lines[k]);
    if (!number || *number < 1 || static_cast<std::size_t>(*number) > count) continue;
    const auto index = static_cast<std::size_t>(*number - 1);
    if (named[index]) continue;
    named[index] = true;
    group.StudentNames[index] = FixedText(kNameLength, rowName(lines[k]));
  }
}

}  // namespace

ReadReport readReport(LineSource& source) {
  ReadReport report;
  report.lines = readLines(source);
  readHeader(report.lines, source.name(), report);
  findStamp(report.lines, source.name(), report);
  readNames(report.lines, report);
  return report;
}

ReadReport readReportFile(const std::string& path) {
  std::error_code error;
  auto file = openForReading(path, error);
  if (!file) throwOpenError(error, path);
  LineSource source = fileSource(*file);
  ReadReport report = readReport(source);
  file->close();
  return report;
}

}  // namespace lotrano
