#include "app/report.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>

#include "app/report_format.h"
#include "host/text/path_split.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

using namespace report_format;

const TextLayout kTwoDigitField = {item::integer(2)};
const TextLayout kZeroThenDigit = {item::text(), item::integer(1)};

constexpr std::size_t kTimePartLength = 2;
// Destination lengths for splitting the seed file's path.
constexpr std::size_t kDriveLength = 3;
constexpr std::size_t kDirectoryLength = 256;
constexpr std::size_t kPathNameLength = 256;
constexpr std::size_t kExtensionLength = 5;

std::string text(std::string_view s) { return std::string(s); }

// Month and day: the decimal text with a "0" before a single digit.
std::string twoDigitDatePart(std::int32_t value) {
  std::string digits = decimalText(value);
  return digits.size() == 1 ? "0" + digits : digits;
}

std::string dateStamp(const LocalDate& date) {
  const FixedText stamp(kDateStampLength, decimalText(date.year) + "-" +
                                              twoDigitDatePart(date.month) + "-" +
                                              twoDigitDatePart(date.day));
  return stamp.str();
}

// Hour, minute and second: two digits, a "0" first below 10.
std::string twoDigitTimePart(std::int32_t value, TextSink& sink) {
  FixedText part(kTimePartLength);
  if (value >= 0 && value < 10) {
    formatIntoText(part, kZeroThenDigit, {text("0"), value}, sink.name());
  } else {
    formatIntoText(part, kTwoDigitField, {value}, sink.name());
  }
  return part.str();
}

std::string timeStamp(const LocalTime& time, TextSink& sink) {
  return twoDigitTimePart(time.hour, sink) + ":" + twoDigitTimePart(time.minute, sink) + ":" +
         twoDigitTimePart(time.second, sink);
}

// The markers cover start..end only; anything else (a number a caller made up,
// or the one past the end that a single-problem range can yield) is ignored.
std::optional<std::size_t> markerIndex(std::int64_t problem, const ProblemRange& range,
                                       std::size_t markerCount) {
  if (problem < range.Numar_Start_Problema) return std::nullopt;
  const auto index = static_cast<std::uint64_t>(problem - range.Numar_Start_Problema);
  if (index >= markerCount) return std::nullopt;
  return static_cast<std::size_t>(index);
}

// The rows of a batch grouped by their numbers. Drawn numbers lie in their
// range, which is at most a few times wider than the batch, so a table from
// the smallest number to the largest finds a number's rows without sorting or
// searching; numbers spread wider than that (a caller's own list) are found
// in the batch sorted by number instead.
class RowsByNumber {
 public:
  explicit RowsByNumber(const std::vector<std::int32_t>& numbers) {
    if (numbers.empty()) return;
    const auto [smallest, largest] = std::minmax_element(numbers.begin(), numbers.end());
    lowest_ = *smallest;
    const auto span = static_cast<std::uint64_t>(std::int64_t{*largest} - *smallest) + 1;
    if (span > kMostSlotsPerRow * numbers.size() + kSlotsAlways) {
      sorted_.reserve(numbers.size());
      for (std::size_t row = 0; row < numbers.size(); ++row)
        sorted_.emplace_back(numbers[row], row);
      std::sort(sorted_.begin(), sorted_.end());
      return;
    }
    // Each number's rows as a list in ascending order, linked from the last row back.
    first_.assign(static_cast<std::size_t>(span), kNoRow);
    next_.resize(numbers.size());
    for (std::size_t row = numbers.size(); row-- > 0;) {
      std::size_t& first = first_[slot(numbers[row])];
      next_[row] = first;
      first = row;
    }
  }

  // Calls visit(row) for every row holding `number`, in ascending order.
  template <typename Visit>
  void forEachRow(std::int32_t number, Visit visit) const {
    if (!sorted_.empty()) {
      auto at = std::lower_bound(sorted_.begin(), sorted_.end(), std::pair{number, std::size_t{0}});
      for (; at != sorted_.end() && at->first == number; ++at) visit(at->second);
      return;
    }
    if (number < lowest_ || first_.empty()) return;
    const auto offset = static_cast<std::uint64_t>(std::int64_t{number} - lowest_);
    if (offset >= first_.size()) return;
    for (std::size_t row = first_[offset]; row != kNoRow; row = next_[row]) visit(row);
  }

 private:
  static constexpr std::size_t kNoRow = std::numeric_limits<std::size_t>::max();
  static constexpr std::uint64_t kMostSlotsPerRow = 8;
  static constexpr std::uint64_t kSlotsAlways = 1 << 16;

  std::size_t slot(std::int32_t number) const {
    return static_cast<std::size_t>(std::int64_t{number} - lowest_);
  }

  std::int32_t lowest_ = 0;
  std::vector<std::size_t> first_;  // per number from lowest_ on: its first row
  std::vector<std::size_t> next_;   // per row: the next row of its number
  std::vector<std::pair<std::int32_t, std::size_t>> sorted_;  // numbers spread wide
};

// One list of repeated problems: every pair of an earlier-batch student and a
// later-batch student holding the same number, by earlier row then later row.
void writeDuplicateList(TextSink& report, const std::vector<std::int32_t>& earlier,
                        std::int32_t earlierOffset, const std::vector<std::int32_t>& later,
                        std::int32_t laterOffset) {
  const RowsByNumber laterRows(later);
  std::int32_t count = 0;
  for (std::size_t i = 0; i < earlier.size(); ++i) {
    laterRows.forEachRow(earlier[i], [&](std::size_t j) {
      writeLine(report, kDuplicateRow,
                {static_cast<std::int32_t>(earlierOffset + static_cast<std::int64_t>(i) + 1),
                 static_cast<std::int32_t>(laterOffset + static_cast<std::int64_t>(j) + 1),
                 text(kDuplicateSeparator), earlier[i]});
      ++count;
    });
  }
  writeLine(report, kDuplicatesCountLine, {text(kDuplicatesCountLabel), count, text(kCountClose)});
}

}  // namespace

void writeReportHeader(TextSink& report, const Group& group, const ExamData& exam) {
  writeLine(report, kGroupLine, {text(kGroupLabel), group.GroupText});
  writeLine(report, kStudentCount, {text(kStudentCountLabel), group.StudentCount});
  writeLine(report, kExamLine, {text(kExamLabel), exam.ExamNumberText});
  writeLine(report, kProblemSet, {text(kProblemSetLabel), exam.ProblemSetNumber});
  writeLine(report, kRangeLine,
            {text(kRangeLabel), exam.range.Numar_Start_Problema, text(kRangeDash),
             exam.range.Numar_End_Problema, text(kRangeCountOpen), exam.range.ProblemCount,
             text(kRangeCountClose)});
  if (group.GroupFromFile) {
    writeLine(report, kHeadsWithNames, {text(kRowNumberHead), text(kNameHead), text(kProblemHead)});
  } else {
    writeLine(report, kHeadsWithoutNames, {text(kRowNumberHead), text(kProblemHead)});
  }
}

void writeBatchRows(TextSink& report, const Group& group, std::int32_t offset,
                    const std::vector<std::int32_t>& problems) {
  for (std::size_t k = 0; k < problems.size(); ++k) {
    const auto row = static_cast<std::int32_t>(offset + static_cast<std::int64_t>(k) + 1);
    const std::int32_t problem = problems[k];
    if (group.GroupFromFile) {
      // The name is written whole, padding included; the problem number then
      // overwrites its 37th character, which is a blank for a short name.
      const std::string name =
          padOrCut(group.StudentNames.at(static_cast<std::size_t>(row - 1)).str(), kNameLength);
      const bool longName = usedLength(name) >= kLongNameLength;
      writeLine(report, longName ? kRowWithLongName : kRowWithName, {row, name, problem});
    } else {
      writeLine(report, kRowWithoutName, {row, problem});
    }
  }
}

void writeUnallocatedSection(TextSink& report, const Group& group, const ExamData& exam,
                             const std::vector<std::int32_t>& firstBatch) {
  const ProblemRange& range = exam.range;
  if (group.StudentCount == range.ProblemCount) {
    writeLine(report, kNoneUnallocatedLine, {text(kNoneUnallocated)});
    return;
  }
  if (group.StudentCount > range.ProblemCount) return;
  // One allocation marker per number of the range, set for each number that
  // batch 1 received.
  std::vector<bool> markers(static_cast<std::size_t>(std::max(range.ProblemCount, 0)), false);
  for (const std::int32_t problem : firstBatch) {
    if (const auto index = markerIndex(problem, range, markers.size())) markers[*index] = true;
  }
  writeLine(report, kSectionHeading, {text(kUnallocatedHeading)});
  // The numbers stay on one open line; the count line's leading break ends it.
  // With no number listed that break gives an empty line where the numbers
  // would stand.
  std::int32_t count = 0;
  for (std::int64_t problem = range.Numar_Start_Problema; problem <= range.Numar_End_Problema;
       ++problem) {
    const auto index = markerIndex(problem, range, markers.size());
    if (index && markers[*index]) continue;
    writeLine(report, kUnallocatedNumber, {static_cast<std::int32_t>(problem)});
    ++count;
  }
  writeLine(report, kUnallocatedCountLine,
            {text(kUnallocatedCountLabel), count, text(kCountClose)});
}

void writeDuplicatesSection(TextSink& report, const AllocationBatches& batches) {
  if (batches[1].problems.empty()) return;
  const auto& batch1 = batches[0].problems;
  const auto& batch2 = batches[1].problems;
  const auto s1 = static_cast<std::int32_t>(batch1.size());
  const auto s2 = static_cast<std::int32_t>(batch2.size());
  writeLine(report, kSectionHeading, {text(kDuplicatesHeading)});
  writeLine(report, kDuplicatesHeads, {text(kRowNumberHead), text(kProblemHead)});
  writeDuplicateList(report, batch1, 0, batch2, s1);
  if (batches[2].problems.empty()) return;
  writeLine(report, kEmptyLine, {});
  writeDuplicateList(report, batch2, s1, batches[2].problems, s1 + s2);
}

void writeStamp(TextSink& report, const LocalDateTime& now,
                const std::optional<std::string>& seedFilePath,
                const std::string& currentDirectory) {
  writeLine(report, kReportStamp, {dateStamp(now.date), timeStamp(now.time, report)});
  if (!seedFilePath) return;
  FixedText drive(kDriveLength);
  FixedText directory(kDirectoryLength);
  FixedText name(kPathNameLength);
  FixedText extension(kExtensionLength);
  splitPath(*seedFilePath, currentDirectory, drive, directory, name, extension);
  const std::string fileName = std::string(name.trimmed()) + std::string(extension.trimmed());
  writeLine(report, kReallocationNote,
            {text(kReallocationLabel), fileName, text(kReallocationClose)});
}

void writeConsoleClosing(TextSink& console, const LocalDateTime& now,
                         const FixedText& resultFileName) {
  writeLine(console, kConsoleStamp, {dateStamp(now.date), timeStamp(now.time, console)});
  writeLine(console, kOutputFileLine, {text(kOutputFileLabel), resultFileName.str()});
}

}  // namespace lotrano
