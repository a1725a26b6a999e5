#include "app/report_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/batches.h"
#include "app/report.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "run_values_of.h"
#include "support/scratch_directory.h"
#include "worked_examples.h"

namespace lotrano {
namespace {

constexpr const char* kReportName = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";

// What a report was written from.
struct Written {
  const char* what;
  Group group;
  ExamData exam;
  std::array<std::vector<std::int32_t>, 3> batches;  // drawn numbers; sizes follow the group
  bool reallocation = false;
};

Group named(const std::vector<std::string>& names) { return namedGroup("311 AC", names); }

ExamData exam(std::int32_t number, std::int32_t set, std::int32_t start, std::int32_t end,
              std::int32_t students) {
  ExamData data;
  data.Problema_de_Examen = number;
  data.ExamNumberText = std::to_string(number);
  data.ProblemSetNumber = set;
  data.range = {start, end, end - start + 1};
  data.RangeText = std::to_string(start) + "-" + std::to_string(end);
  data.batches = batchSizes(students, data.range.ProblemCount);
  return data;
}

// The report the program writes for these values, in the order of a run.
std::string reportText(const Written& w, std::string_view lineEnd) {
  std::ostringstream bytes;
  TextSink sink = streamSink(bytes, kReportName, lineEnd);
  writeReportHeader(sink, w.group, w.exam);
  std::int32_t offset = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    if (k > 0 && w.batches[k].empty()) continue;
    writeBatchRows(sink, w.group, offset, w.batches[k]);
    offset += static_cast<std::int32_t>(w.batches[k].size());
    if (k == 0) writeUnallocatedSection(sink, w.group, w.exam, w.batches[0]);
  }
  writeDuplicatesSection(sink, batchesOf({w.batches[0], w.batches[1], w.batches[2]}));
  const LocalDateTime now{{2013, 5, 21}, {9, 5, 7, 0}};
  writeStamp(sink, now,
             w.reallocation ? std::optional<std::string>("/prof/Seed_1 (1-6) Grupa 311 AC.dat")
                            : std::nullopt,
             "/prof");
  return bytes.str();
}

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

ReadReport readText(const std::string& text) {
  LineSource source = textSource(text, kReportName);
  return readReport(source);
}

TEST(ReportReader, ReadsBackWhatTheWriterWrote) {
  const std::string utf8 = "Ștefănescu Mădălina-Ioana";
  const std::string utf8Of36 = "Ștefănescu-Țărână Mădălina Ioana Ășt";
  const std::string latin2 =
      "\xAAtefan \xC2\xAA"
      "erban Popescu";
  ASSERT_EQ(characterCount(utf8Of36), 36u);
  const Written cases[] = {
      {"typed group, two batches, re-allocation",
       typedGroup("1234", 8),
       exam(2, 1, 1, 6, 8),
       {{{4, 1, 6, 2, 5, 3}, {2, 5}, {}}},
       true},
      {"names of every length around the long-name mark",
       named({"Alfa Beta", "Lambda-Omicron Niu Xi Sigma Pi Rhoa",
              "Lambda-Omicron Niu Xi Sigma Pi Rhoan", "Lambda-Omicron Niu Xi Sigma Pi Rhoana",
              // 37 characters with a blank as the 36th: a long name all the same.
              "Lambda-Omicron Niu Xi Sigma Pi Rhoa X", "", "9 Gama Delta 9.50"}),
       exam(1, 3, 1, 20, 7),
       {{{14, 7, 20, 1, 9, 10, 2}, {}, {}}}},
      {"names in UTF-8 and in a single-byte code page",
       named({utf8, utf8Of36, latin2}),
       exam(1, 3, 1, 6, 3),
       {{{5, 2, 6}, {}, {}}}},
      {"three batches",
       named({"A1", "A2", "A3", "A4", "A5", "A6", "A7"}),
       exam(1, 0, 1, 3, 7),
       {{{3, 1, 2}, {2, 3, 1}, {1}}}},
      {"as many students as problems",
       typedGroup("G", 3),
       exam(1, 2, -1, 1, 3),
       {{{0, -1, 1}, {}, {}}}},
      {"no students, empty range", typedGroup("G", 0), exam(2, 5, 5, 4, 0), {}},
      {"negative start and a widened problem set",
       typedGroup("1231 - anul II", 2),
       exam(1, 12, -99, 0, 2),
       {{{-10, -99}, {}, {}}}},
      {"widened problem numbers with names",
       named({"Alfa Beta", "Lambda-Omicron Niu Xi Sigma Pi Rhoana"}),
       exam(2, -3, 0, 999, 2),
       {{{999, 150}, {}, {}}}},
  };
  for (const Written& w : cases) {
    SCOPED_TRACE(w.what);
    for (const std::string_view lineEnd : {"\r\n", "\n"}) {
      const std::string text = reportText(w, lineEnd);
      const ReadReport report = readText(text);
      EXPECT_EQ(report.group.GroupFromFile, w.group.GroupFromFile);
      EXPECT_EQ(report.group.GroupText, w.group.GroupText);
      EXPECT_EQ(report.group.StudentCount, w.group.StudentCount);
      EXPECT_EQ(report.group.StudentNames, w.group.StudentNames);
      EXPECT_EQ(report.exam.ExamNumberText, w.exam.ExamNumberText);
      EXPECT_EQ(report.exam.Problema_de_Examen, w.exam.Problema_de_Examen);
      EXPECT_EQ(report.exam.ProblemSetNumber, w.exam.ProblemSetNumber);
      EXPECT_EQ(report.exam.range, w.exam.range);
      EXPECT_EQ(report.exam.RangeText, w.exam.RangeText);
      EXPECT_EQ(report.exam.batches, w.exam.batches);
      ASSERT_EQ(report.lines.size(), lineCount(text));
      const std::size_t last = report.lines.size();
      EXPECT_EQ(report.dateLine, w.reallocation ? last - 2 : last);
      EXPECT_EQ(report.lines[report.dateLine - 1], " 2013-05-21   09:05:07");
      EXPECT_EQ(report.reallocationLine, w.reallocation ? last : 0u);
    }
  }
}

TEST(ReportReader, NamesComeFromTheRowNumberedForEachStudent) {
  Written w{"four named students",
            named({"Alfa Beta", "Gama Delta", "Zeta Eta", "Iota Kapa"}),
            exam(1, 3, 1, 6, 4),
            {{{5, 2, 6, 1}, {}, {}}}};
  std::string text = reportText(w, "\r\n");
  const auto row = [&](std::size_t k) {
    const std::size_t start = text.find("\r\n   " + std::to_string(k) + "     ") + 2;
    return text.substr(start, text.find("\r\n", start) + 2 - start);
  };
  // Row 2 gone, and rows that number no student of the four (or number row
  // 3 a second time) added: every other row keeps its name.
  const std::string second = row(2);
  const std::string third = row(3);
  text.erase(text.find(second), second.size());
  text.insert(text.find(third) + third.size(),
              "   3     Intrus                               4\r\n"
              "   5     Al Cincilea                          3\r\n"
              "   0     Nimeni                               2\r\n"
              "   x     Nimeni                               2\r\n");
  const ReadReport report = readText(text);
  EXPECT_EQ(report.group.StudentCount, 4);
  ASSERT_EQ(report.group.StudentNames.size(), 4u);
  EXPECT_EQ(report.group.StudentNames[0].trimmed(), "Alfa Beta");
  EXPECT_EQ(report.group.StudentNames[1].trimmed(), "");
  EXPECT_EQ(report.group.StudentNames[2].trimmed(), "Zeta Eta");
  EXPECT_EQ(report.group.StudentNames[3].trimmed(), "Iota Kapa");
}

TEST(ReportReader, TheWorkedExampleIsRead) {
  std::string text;
  for (const auto& line : kTypedReallocationReport) text += line + "\r\n";
  const ReadReport report = readText(text);
  EXPECT_FALSE(report.group.GroupFromFile);
  EXPECT_EQ(report.group.GroupText, "1234");
  EXPECT_EQ(report.group.StudentCount, 8);
  EXPECT_EQ(report.exam.range, (ProblemRange{1, 6, 6}));
  EXPECT_EQ(report.exam.batches, (BatchSizes{6, 2, 0}));
  EXPECT_EQ(report.dateLine, 28u);
  EXPECT_EQ(report.reallocationLine, 30u);
  EXPECT_EQ(report.lines, kTypedReallocationReport);
}

// The lines of the worked example, with one of them changed.
std::string exampleWith(std::size_t number, const std::string& line) {
  std::string text;
  for (std::size_t k = 0; k < kTypedReallocationReport.size(); ++k) {
    text += (k + 1 == number ? line : kTypedReallocationReport[k]) + "\r\n";
  }
  return text;
}

std::string exampleCutAfter(std::size_t lines) {
  std::string text;
  for (std::size_t k = 0; k < lines; ++k) text += kTypedReallocationReport[k] + "\r\n";
  return text;
}

TEST(ReportReader, WhatNoReportHoldsIsRefusedAtItsLine) {
  const struct {
    const char* what;
    std::string text;
    ErrorCode code;
    std::size_t line;
  } cases[] = {
      {"empty file", "", ErrorCode::kEndOfFile, 1},
      {"ends in the header", exampleCutAfter(9), ErrorCode::kEndOfFile, 10},
      {"ends in the table", exampleCutAfter(14), ErrorCode::kEndOfFile, 15},
      {"ends after the table", exampleCutAfter(26), ErrorCode::kEndOfFile, 27},
      // Nothing follows the stamp of a report the program wrote: an empty
      // line after the date (a note cut off reads the same) or after the note.
      {"an empty line after the date", exampleCutAfter(29), ErrorCode::kInputConversion, 29},
      {"an empty line after the note", exampleCutAfter(30) + "\r\n", ErrorCode::kInputConversion,
       31},
      {"two lines after the note", exampleCutAfter(30) + "x\r\n\r\n", ErrorCode::kInputConversion,
       31},
      {"another text", "Grupa 311 AC\r\n1. Alfa Beta\r\n", ErrorCode::kInputConversion, 1},
      {"binary",
       std::string("\x7F"
                   "ELF\x02\x01\x01\0\0\0",
                   10) +
           "\n\x01\x02\n",
       ErrorCode::kInputConversion, 1},
      {"no count", exampleWith(2, " Numar de Studenti: opt"), ErrorCode::kInputConversion, 2},
      {"count out of range", exampleWith(2, " Numar de Studenti:99999999999"),
       ErrorCode::kInputConversion, 2},
      {"count never drawn over the range", exampleWith(2, " Numar de Studenti:  19"),
       ErrorCode::kInputConversion, 2},
      {"exam problem 3", exampleWith(4, " Problema de Examen Nr.: 3"), ErrorCode::kInputConversion,
       4},
      {"no problem set", exampleWith(6, " Set de Probleme: #"), ErrorCode::kInputConversion, 6},
      {"range without its count", exampleWith(7, " Numere Probleme: 1-6"),
       ErrorCode::kInputConversion, 7},
      {"range the dialogue refuses", exampleWith(7, " Numere Probleme: 1-1000  (1000 probleme)"),
       ErrorCode::kInputConversion, 7},
      {"other column heads", exampleWith(9, " Nr_crt  Numar_Problema_Examen"),
       ErrorCode::kInputConversion, 9},
      {"no date line", exampleWith(28, " 2013-05-21 09:05:07"), ErrorCode::kEndOfFile, 31},
      {"a line longer than any of a report",
       exampleWith(19, std::string(kMaxReportLineBytes + 1, ' ')), ErrorCode::kInputConversion, 19},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      readText(c.text);
      ADD_FAILURE() << "read as a report";
    } catch (const FatalError& error) {
      EXPECT_EQ(error.code(), c.code) << error.what();
      EXPECT_EQ(error.file(), kReportName);
      EXPECT_TRUE(error.detail().starts_with("line " + std::to_string(c.line) + ": "))
          << error.what();
    }
  }
}

TEST(ReportReader, ReportLongerThanAnyIsRefusedWithoutReadingOn) {
  std::string text = exampleCutAfter(10);
  for (std::size_t k = 0; k < kMaxReportLines; ++k) text += "   1       4\r\n";
  try {
    readText(text);
    ADD_FAILURE() << "read as a report";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kInputConversion);
    EXPECT_EQ(error.detail(),
              "line " + std::to_string(kMaxReportLines + 1) + ": longer than any report");
  }
}

TEST(ReportReaderFile, OpensReadOnlyAndRefusesAHugeLineWhereItStands) {
  ScratchDirectory scratch;
  const std::string name = "Probleme Examen Nr_2 (1-6) Grupa 1234.rez";
  std::string text;
  for (const auto& line : kTypedReallocationReport) text += line + "\r\n";
  writeWholeFile(name, text);
  std::filesystem::permissions(name, std::filesystem::perms::owner_read);
  EXPECT_EQ(readReportFile(name).lines, kTypedReallocationReport);

  // Megabytes in one line, after the header.
  writeWholeFile("huge.rez", exampleCutAfter(12) + std::string(8 << 20, 'x'));
  try {
    readReportFile("huge.rez");
    ADD_FAILURE() << "read as a report";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kInputConversion);
    EXPECT_EQ(error.file(), "huge.rez");
    EXPECT_EQ(error.detail(), "line 13: longer than any line of a report");
  }

  try {
    readReportFile("missing.rez");
    ADD_FAILURE() << "a missing file read";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kFileNotFound);
    EXPECT_EQ(error.file(), "missing.rez");
  }
}

}  // namespace
}  // namespace lotrano
