// The report's format, written down once: its labels, the columns of its
// table and the layout of each of its lines. The report writer (report.h)
// writes with them and the report reader (report_reader.h) reads back with
// them, so that what one writes the other always understands.
//
// A report, line by line: ten header lines (group, student count, exam
// problem, problem set, range, column heads, with their empty lines); the
// table, one row per student, with the name column when the group came from a
// file; the unallocated problems (with fewer or as many students as problems);
// the repeated problems (with a second batch); an empty line and the date and
// time; in a re-allocation an empty line and the note naming the seed file.
//
// Every integer of a fixed field widens when it does not fit: a number that
// fits keeps its columns, a wider one takes the columns it needs, so that the
// report shows every number it holds.
#pragma once

#include <cstddef>
#include <string_view>

#include "host/text/text_layout.h"

namespace lotrano::report_format {

// Header.
inline constexpr std::string_view kGroupLabel = " Grupa: ";
inline constexpr std::string_view kStudentCountLabel = " Numar de Studenti:";
inline constexpr std::string_view kExamLabel = " Problema de Examen Nr.: ";
inline constexpr std::string_view kProblemSetLabel = " Set de Probleme: #";
inline constexpr std::string_view kRangeLabel = " Numere Probleme: ";
inline constexpr std::string_view kRangeDash = "-";
inline constexpr std::string_view kRangeCountOpen = "  (";
inline constexpr std::string_view kRangeCountClose = " probleme)";
inline constexpr std::size_t kHeaderLines = 10;
// Lines of the header, counted from 1.
inline constexpr std::size_t kGroupLineNumber = 1;
inline constexpr std::size_t kStudentCountLineNumber = 2;
inline constexpr std::size_t kExamLineNumber = 4;
inline constexpr std::size_t kProblemSetLineNumber = 6;
inline constexpr std::size_t kRangeLineNumber = 7;
inline constexpr std::size_t kHeadsLineNumber = 9;

// Column heads and the table.
inline constexpr std::string_view kRowNumberHead = " Nr_crt";
inline constexpr std::string_view kNameHead = "Nume Student";
inline constexpr std::string_view kProblemHead = "Numar_Problema_Examen";
inline constexpr int kNameColumn = 10;
inline constexpr int kProblemColumn = 46;
// A trimmed name of this many characters or more would run into the problem
// number at kProblemColumn, so its row moves the number two columns right.
inline constexpr std::size_t kLongNameLength = 36;
inline constexpr int kLongNameProblemColumn = 48;
inline constexpr int kUnnamedProblemColumn = 10;
inline constexpr int kUnnamedProblemHeadColumn = 11;

// Sections after the table.
inline constexpr std::string_view kUnallocatedHeading = " Probleme ne-alocate";
inline constexpr std::string_view kNoneUnallocated = " Probleme ne-alocate: 0";
inline constexpr std::string_view kUnallocatedCountLabel = " (Numar de probleme: ";
inline constexpr std::string_view kDuplicatesHeading = " Probleme dublate";
inline constexpr std::string_view kDuplicateSeparator = ":";
inline constexpr std::string_view kDuplicatesCountLabel = " (Numar de probleme dublate: ";
inline constexpr std::string_view kCountClose = ")";
inline constexpr int kDuplicatesProblemHeadColumn = 13;

// Date and time, and the re-allocation note.
inline constexpr std::size_t kDateStampLength = 10;
inline constexpr std::size_t kTimeStampLength = 8;
inline constexpr int kDateColumn = 2;
inline constexpr int kStampGap = 3;
inline constexpr std::string_view kReallocationLabel = " [Re-alocare, cu: \"";
inline constexpr std::string_view kReallocationClose = "\"]";

// The console line after the report.
inline constexpr std::string_view kOutputFileLabel = " Fisier de iesire: ";

// The layouts of the report's lines.
inline const TextLayout kGroupLine = {item::text(), item::text()};
inline const TextLayout kStudentCount = {item::text(), item::widening(4)};
inline const TextLayout kExamLine = {item::lineBreak(), item::text(), item::text()};
inline const TextLayout kProblemSet = {item::lineBreak(), item::text(), item::widening(1)};
inline const TextLayout kRangeLine = {item::text(),    item::minimal(),  item::text(),
                                      item::minimal(), item::text(),     item::minimal(),
                                      item::text(),    item::lineBreak()};
inline const TextLayout kHeadsWithNames = {item::text(), item::tab(kNameColumn),
                                           item::text(), item::tab(kProblemColumn),
                                           item::text(), item::lineBreak()};
inline const TextLayout kHeadsWithoutNames = {item::text(), item::tab(kUnnamedProblemHeadColumn),
                                              item::text(), item::lineBreak()};
inline const TextLayout kRowWithName = {item::widening(4), item::tab(kNameColumn), item::text(),
                                        item::tab(kProblemColumn), item::widening(2)};
inline const TextLayout kRowWithLongName = {item::widening(4), item::tab(kNameColumn), item::text(),
                                            item::tab(kLongNameProblemColumn), item::widening(2)};
inline const TextLayout kRowWithoutName = {item::widening(4), item::tab(kUnnamedProblemColumn),
                                           item::widening(3)};
inline const TextLayout kSectionHeading = {item::lineBreak(), item::lineBreak(), item::text()};
inline const TextLayout kNoneUnallocatedLine = {item::lineBreak(), item::text()};
inline const TextLayout kUnallocatedNumber = {item::widening(5), item::openLine()};
inline const TextLayout kUnallocatedCountLine = {item::lineBreak(), item::text(), item::minimal(),
                                                 item::text()};
inline const TextLayout kDuplicatesHeads = {item::text(), item::tab(kDuplicatesProblemHeadColumn),
                                            item::text(), item::lineBreak()};
inline const TextLayout kDuplicateRow = {item::widening(4), item::widening(4), item::text(),
                                         item::widening(4)};
inline const TextLayout kDuplicatesCountLine = {item::text(), item::minimal(), item::text()};
inline const TextLayout kEmptyLine = {item::text()};
inline const TextLayout kReportStamp = {item::lineBreak(), item::tab(kDateColumn), item::text(),
                                        item::skip(kStampGap), item::text()};
inline const TextLayout kConsoleStamp = {item::lineBreak(), item::text(), item::skip(kStampGap),
                                         item::text()};
// The console's line after the report.
inline const TextLayout kOutputFileLine = {item::lineBreak(), item::text(), item::text()};
inline const TextLayout kReallocationNote = {item::lineBreak(), item::text(), item::text(),
                                             item::text()};

}  // namespace lotrano::report_format
