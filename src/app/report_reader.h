// Reading a report back: the values it was written from (group, student
// count, exam problem, problem set, range, and the names in its rows), with
// every line as it stands, so that the report can be written again with the
// program's own writer and compared line by line.
//
// The reader takes what the program writes on either system: CR LF or LF,
// names in UTF-8 or a single-byte code page, new allocations and
// re-allocations, widened numbers. It reads a report the program could have
// written: the labels of the header, values the dialogue accepts (an exam
// problem of 1 or 2, a range whose text fits its five characters, a group
// that can be drawn over it), a date-and-time line at its end. Anything else
// is refused with the line where the text stopped reading as a report. What
// the table and the sections below it hold is left to the comparison.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/run_values.h"
#include "host/text/text_stream.h"

namespace lotrano {

// A report longer than this, in lines or bytes, is none the program writes:
// its largest (3000 students over 1000 problems) has about 5000 lines and
// 300 KiB.
inline constexpr std::size_t kMaxReportLines = 100000;
inline constexpr std::size_t kMaxReportBytes = 8 * 1024 * 1024;
// The longest line of a report is the list of unallocated problems, five
// columns for each of at most 1000 problems.
inline constexpr std::size_t kMaxReportLineBytes = 16 * 1024;

struct ReadReport {
  // GroupFromFile after the column heads; GroupText and StudentCount from the
  // header. With names, StudentNames holds one name per student: the name in
  // the row numbered for that student, blank when no row is (the first row
  // of a number counts).
  Group group;
  // ExamNumberText, ProblemSetNumber, the range with its count worked out
  // from its ends, RangeText, and the batches of the group over the range.
  ExamData exam;
  std::vector<std::string> lines;    // every line, without its line end
  std::size_t dateLine = 0;          // number (from 1) of the date-and-time line
  std::size_t reallocationLine = 0;  // number of the re-allocation note; 0 when none
};

// Reads a report from its lines. Fatal, naming the source with the line in
// the detail ("line 7: ..."): "input conversion error" for a line that no
// report holds there, or a report longer than any; "end-of-file during read"
// when the report ends before its column heads or without its date-and-time
// line; "error during read" for a failed read.
ReadReport readReport(LineSource& source);

// Opens the report read-only and reads it. A line over kMaxReportLineBytes is
// refused as the "input conversion error" of that line without reading the
// rest of it; a report that does not open is the fatal diagnostic of its
// open, naming the path.
ReadReport readReportFile(const std::string& path);

}  // namespace lotrano
