// The result report: the lasting record of one allocation in the ResultFile.
// It is written in steps between the draws, always in this order: header;
// rows of batch 1; the unallocated problems; rows of batches 2 and 3; the repeated problems; the
// time stamp with the re-allocation note; and, on the console, the closing lines. Every step
// appends whole lines to its sink and changes nothing else. The lines' labels and layouts are those
// of report_format.h. A number too wide for its field takes the columns it needs; a failed write is
// fatal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alloc/problem_mapping.h"
#include "app/run_values.h"
#include "host/text/date_time.h"
#include "host/text/fixed_text.h"
#include "host/text/text_stream.h"

namespace lotrano {

// The ten header lines: group, student count, exam problem, problem set,
// range, and the column heads (with or without the name column, after
// `group.GroupFromFile`), each with its empty lines.
void writeReportHeader(TextSink& report, const Group& group, const ExamData& exam);

// One row per drawn number of a batch: row number `offset` + k (offset = the
// students of the earlier batches), the name of that student when the group
// came from a file (group.StudentNames must then hold one for every row), and the
// problem number.
void writeBatchRows(TextSink& report, const Group& group, std::int32_t offset,
                    const std::vector<std::int32_t>& problems);

// Right after batch 1: with fewer students than problems, the numbers of the
// range that batch 1 (`firstBatch`, its drawn numbers) did not receive, side
// by side on one line, and their count; with as many, the one line saying
// there are none; with more, nothing. Numbers outside the range are ignored.
void writeUnallocatedSection(TextSink& report, const Group& group, const ExamData& exam,
                             const std::vector<std::int32_t>& firstBatch);

// The pairs of students of consecutive batches (1 with 2, then 2 with 3) who
// received the same problem, with a count after each list; nothing is
// written unless a second batch holds students.
void writeDuplicatesSection(TextSink& report, const AllocationBatches& batches);

// The date-and-time line, and in a re-allocation (`seedFilePath` given) the
// note naming the seed file by its name and extension only; a relative path is
// taken against `currentDirectory`. `now` is one reading of the clock, shared
// with writeConsoleClosing.
void writeStamp(TextSink& report, const LocalDateTime& now,
                const std::optional<std::string>& seedFilePath,
                const std::string& currentDirectory);

// The two console lines after the report: the date and time, and the output
// file's name as its whole 260-character field, padding included.
void writeConsoleClosing(TextSink& console, const LocalDateTime& now,
                         const FixedText& resultFileName);

}  // namespace lotrano
