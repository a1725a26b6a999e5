#include "app/report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/file_names.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "run_values_of.h"
#include "support/text_lines.h"
#include "worked_examples.h"

namespace lotrano {
namespace {

constexpr std::string_view kReportName = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";

ProblemRange rangeOf(std::int32_t start, std::int32_t end) { return {start, end, end - start + 1}; }

ExamData examOf(std::int32_t examNumber, std::int32_t problemSet, std::int32_t start,
                std::int32_t end) {
  ExamData exam;
  exam.Problema_de_Examen = examNumber;
  exam.ExamNumberText = std::to_string(examNumber);
  exam.ProblemSetNumber = problemSet;
  exam.range = rangeOf(start, end);
  return exam;
}

LocalDateTime at(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                 std::int32_t minute, std::int32_t second, std::int32_t hundredths = 0) {
  return {{year, month, day}, {hour, minute, second, hundredths}};
}

class ReportTest : public ::testing::Test {
 protected:
  std::ostringstream out;
  TextSink report = streamSink(out, std::string(kReportName), kFileLineEnd);
};

TEST_F(ReportTest, FirstWorkedExampleWithNamesAndTwoUnallocatedProblems) {
  const Group group =
      namedGroup("311 AC", {"Alfa Beta", "Gama Delta Epsilon", "Zeta Eta Teta", "Iota Kapa"});
  const ExamData exam = examOf(1, 3, 1, 6);
  const std::vector<std::int32_t> drawn = {5, 2, 6, 1};

  writeReportHeader(report, group, exam);
  writeBatchRows(report, group, 0, drawn);
  writeUnallocatedSection(report, group, exam, drawn);
  writeStamp(report, at(2013, 5, 21, 9, 5, 7, 63), std::nullopt, "/home/prof");

  EXPECT_EQ(out.str(), fileText({
                           " Grupa: 311 AC",
                           " Numar de Studenti:   4",
                           "",
                           " Problema de Examen Nr.: 1",
                           "",
                           " Set de Probleme: #3",
                           " Numere Probleme: 1-6  (6 probleme)",
                           "",
                           " Nr_crt  Nume Student                        Numar_Problema_Examen",
                           "",
                           "   1     Alfa Beta                            5",
                           "   2     Gama Delta Epsilon                   2",
                           "   3     Zeta Eta Teta                        6",
                           "   4     Iota Kapa                            1",
                           "",
                           "",
                           " Probleme ne-alocate",
                           "    3    4",
                           " (Numar de probleme: 2)",
                           "",
                           " 2013-05-21   09:05:07",
                       }));
}

TEST_F(ReportTest, SecondWorkedExampleTypedGroupRepeatedProblemsAndReallocation) {
  const Group group = typedGroup("1234", 8);
  const ExamData exam = examOf(2, 1, 1, 6);
  const std::vector<std::vector<std::int32_t>> batches = {{4, 1, 6, 2, 5, 3}, {2, 5}};

  writeReportHeader(report, group, exam);
  writeBatchRows(report, group, 0, batches[0]);
  writeUnallocatedSection(report, group, exam, batches[0]);
  writeBatchRows(report, group, 6, batches[1]);
  writeDuplicatesSection(report, batchesOf(batches));
  writeStamp(report, at(2013, 5, 21, 9, 5, 7), "/home/prof/lotrano/Dat/Seed_2 (1-6) Grupa 1234.dat",
             "/home/prof");

  EXPECT_EQ(out.str(), fileText(kTypedReallocationReport));
}

TEST_F(ReportTest, ProblemNumberMovesRightOnlyForNamesOf36Or37Characters) {
  const Group group = namedGroup("311 AC", {
                                               "Lambda-Omicron Niu Xi Sigma Pi Rhoa",
                                               "Lambda-Omicron Niu Xi Sigma Pi Rhoana",
                                               "Lambda-Omicron Niu Xi Sigma Pi Rhoan",
                                               "A",
                                           });
  writeBatchRows(report, group, 0, {14, 7, 7, 3});

  EXPECT_EQ(out.str(), fileText({
                           "   1     Lambda-Omicron Niu Xi Sigma Pi Rhoa 14",
                           "   2     Lambda-Omicron Niu Xi Sigma Pi Rhoana  7",
                           "   3     Lambda-Omicron Niu Xi Sigma Pi Rhoan   7",
                           "   4     A                                    3",
                       }));
}

TEST_F(ReportTest, RowsOfALaterBatchNumberOnAndLeaveTheNamesOfThoseStudents) {
  const Group typed = typedGroup("1234", 8);
  writeBatchRows(report, typed, 6, {12, 3});
  const Group named = namedGroup("311 AC", {"Unu", "Doi", "Trei"});
  writeBatchRows(report, named, 2, {4});

  EXPECT_EQ(out.str(), fileText({
                           "   7      12",
                           "   8       3",
                           "   3     Trei                                 4",
                       }));
}

TEST_F(ReportTest, NamesWithRomanianLettersArePlacedByCharacters) {
  const std::string ascii = "Stefanescu Madalina-Ioana";
  const std::string romanian = "Ştefănescu Mădălina-Ioana";
  const std::string romanian35 = "Ștefănescu-Țărână Mădălina Ioana Ăș";
  const std::string romanian36 = "Ștefănescu-Țărână Mădălina Ioana Ășt";
  ASSERT_EQ(characterCount(romanian), characterCount(ascii));
  ASSERT_EQ(characterCount(romanian35), 35u);
  ASSERT_GT(romanian35.size(), 37u);  // in bytes it would count as a long name
  ASSERT_EQ(characterCount(romanian36), 36u);
  const Group group = namedGroup("311 AC", {ascii, romanian, romanian35, romanian36});

  writeBatchRows(report, group, 0, {14, 14, 9, 9});

  const std::string text = out.str();
  ASSERT_TRUE(isValidUtf8(text));
  std::vector<std::string> lines;
  for (std::size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos;
       pos = end + 2) {
    lines.push_back(text.substr(pos, end - pos));
  }
  ASSERT_EQ(lines.size(), 4u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(characterCount(lines[i]), 47u) << lines[i];
    EXPECT_EQ(characterRange(lines[i], 46, 47), "14") << lines[i];
  }
  EXPECT_EQ(lines[1], "   2     " + romanian + std::string(11, ' ') + "14");
  EXPECT_EQ(lines[2], "   3     " + romanian35 + "  9");
  EXPECT_EQ(characterRange(lines[2], 46, 47), " 9");
  EXPECT_EQ(lines[3], "   4     " + romanian36 + "   9");
  EXPECT_EQ(characterRange(lines[3], 48, 49), " 9");
}

TEST_F(ReportTest, UnallocatedSectionFollowsTheGroupSizeAgainstTheRange) {
  const struct Case {
    const char* what;
    std::int32_t students;
    ProblemRange range;
    std::vector<std::int32_t> drawn;
    std::vector<std::string> lines;
  } cases[] = {
      {"4 of 6",
       4,
       rangeOf(1, 6),
       {5, 2, 6, 1},
       {"", "", " Probleme ne-alocate", "    3    4", " (Numar de probleme: 2)"}},
      {"6 of 6", 6, rangeOf(1, 6), {3, 1, 4, 6, 5, 2}, {"", " Probleme ne-alocate: 0"}},
      {"8 over 6", 8, rangeOf(1, 6), {3, 1, 4, 6, 5, 2}, {}},
      {"9 left of 1..20",
       11,
       rangeOf(1, 20),
       {20, 1, 19, 2, 18, 3, 17, 4, 16, 5, 15},
       {"", "", " Probleme ne-alocate", "    6    7    8    9   10   11   12   13   14",
        " (Numar de probleme: 9)"}},
      {"no students",
       0,
       rangeOf(98, 100),
       {},
       {"", "", " Probleme ne-alocate", "   98   99  100", " (Numar de probleme: 3)"}},
      // Numbers outside the range (a caller's own, or the one past the end
      // that a one-problem range once gave) mark nothing and are not listed.
      {"numbers outside the range are ignored",
       3,
       rangeOf(1, 6),
       {0, 7, -5, 3, 2147483647, -2147483648, 6},
       {"", "", " Probleme ne-alocate", "    1    2    4    5", " (Numar de probleme: 4)"}},
      // Nothing to list: the line of numbers stays empty, and the numbers
      // of batch 1 reach no marker of the empty range (a sanitizer build
      // would catch the write).
      {"empty range, negative group",
       -1,
       rangeOf(5, 4),
       {5, 3},
       {"", "", " Probleme ne-alocate", "", " (Numar de probleme: 0)"}},
  };
  for (const Case& c : cases) {
    std::ostringstream section;
    TextSink sink = streamSink(section, "section.rez", kFileLineEnd);
    const Group group = typedGroup("1", c.students);
    ExamData exam;
    exam.range = c.range;
    writeUnallocatedSection(sink, group, exam, c.drawn);

    EXPECT_EQ(section.str(), c.lines.empty() ? "" : fileText(c.lines)) << c.what;
  }
}

TEST_F(ReportTest, UnallocatedNumberTooWideForItsFieldTakesTheColumnsItNeeds) {
  // Not reached through the dialogue, whose five-character range text keeps
  // every number within five columns; the field still never shows asterisks.
  const Group group = typedGroup("1", 0);
  ExamData exam;
  exam.range = rangeOf(99999, 100000);
  writeUnallocatedSection(report, group, exam, {});

  EXPECT_EQ(out.str(),
            fileText({"", "", " Probleme ne-alocate", "99999100000", " (Numar de probleme: 2)"}));
}

TEST_F(ReportTest, NumbersTooWideForTheirFieldsAreShownWhole) {
  const std::string name35 = "Lambda-Omicron Niu Xi Sigma Pi Rhoa";
  const std::string name37 = "Lambda-Omicron Niu Xi Sigma Pi Rhoana";
  const Group named = namedGroup("1", {"Alfa Beta", name35, name37, "Iota Kapa"});
  writeBatchRows(report, named, 0, {999, 100, 150, 7});
  writeBatchRows(report, named, 1, {-10});
  const Group typed = typedGroup("1234", 10001);
  writeBatchRows(report, typed, 9998, {1000, -100, 5});
  writeDuplicatesSection(report, batchesOf({{10000, 2}, {3, 10000}}));

  EXPECT_EQ(out.str(), fileText({
                           // A number that fits keeps its columns; a wider one
                           // starts there and runs on to the right.
                           "   1     Alfa Beta                           999",
                           "   2     Lambda-Omicron Niu Xi Sigma Pi Rhoa 100",
                           "   3     Lambda-Omicron Niu Xi Sigma Pi Rhoana 150",
                           "   4     Iota Kapa                            7",
                           "   2     Lambda-Omicron Niu Xi Sigma Pi Rhoa -10",
                           "9999     1000",
                           "10000    -100",
                           "10001      5",
                           "",
                           "",
                           " Probleme dublate",
                           " Nr_crt     Numar_Problema_Examen",
                           "",
                           "   1   4:10000",
                           " (Numar de probleme dublate: 1)",
                       }));
}

TEST_F(ReportTest, RepeatedProblemsListEarlierRowThenLaterRow) {
  // Batch 1 holds 1..20 with 3 and 12 swapped, so that row 3 holds 12; batch 2
  // is rows 21..27. Lines come by row of batch 1, not by row of batch 2.
  std::vector<std::int32_t> batch1;
  for (std::int32_t p = 1; p <= 20; ++p) batch1.push_back(p);
  std::swap(batch1[2], batch1[11]);
  writeDuplicatesSection(report, batchesOf({batch1, {5, 9, 1, 17, 20, 8, 12}}));

  EXPECT_EQ(out.str(), fileText({
                           "",
                           "",
                           " Probleme dublate",
                           " Nr_crt     Numar_Problema_Examen",
                           "",
                           "   1  23:   1",
                           "   3  27:  12",
                           "   5  21:   5",
                           "   8  26:   8",
                           "   9  22:   9",
                           "  17  24:  17",
                           "  20  25:  20",
                           " (Numar de probleme dublate: 7)",
                       }));
}

TEST_F(ReportTest, RepeatedProblemsFoundHoweverWideTheNumbersSpread) {
  // Drawn numbers lie close together; a list of numbers far apart takes
  // another way to the same lines. A number met twice in the later batch
  // gives a line for each of its rows, in their order.
  const struct {
    std::int32_t low, high;
    const char* lowShown;
    const char* highShown;
  } spreads[] = {
      {7, 9, "   7", "   9"},
      {-2000000000, 2000000000, "-2000000000", "2000000000"},
  };
  for (const auto& spread : spreads) {
    SCOPED_TRACE(spread.high);
    out.str("");
    writeDuplicatesSection(report, batchesOf({{spread.high, 4, spread.low},
                                              {spread.low, spread.high, 8, spread.high}}));
    const std::string low = spread.lowShown;
    const std::string high = spread.highShown;
    EXPECT_EQ(out.str(), fileText({
                             "",
                             "",
                             " Probleme dublate",
                             " Nr_crt     Numar_Problema_Examen",
                             "",
                             "   1   5:" + high,
                             "   1   7:" + high,
                             "   3   4:" + low,
                             " (Numar de probleme dublate: 3)",
                         }));
  }
}

TEST_F(ReportTest, FifteenStudentsOverSixGiveTwoListsAndBatchOneMeetsOnlyBatchTwo) {
  const std::vector<std::vector<std::int32_t>> batches = {
      {3, 1, 4, 6, 5, 2}, {2, 6, 1, 5, 3, 4}, {6, 1, 2}};
  const Group group = typedGroup("1234", 15);
  writeBatchRows(report, group, 0, batches[0]);
  writeBatchRows(report, group, 6, batches[1]);
  writeBatchRows(report, group, 12, batches[2]);
  writeDuplicatesSection(report, batchesOf(batches));

  EXPECT_EQ(out.str(), fileText({
                           "   1       3",
                           "   2       1",
                           "   3       4",
                           "   4       6",
                           "   5       5",
                           "   6       2",
                           "   7       2",
                           "   8       6",
                           "   9       1",
                           "  10       5",
                           "  11       3",
                           "  12       4",
                           "  13       6",
                           "  14       1",
                           "  15       2",
                           "",
                           "",
                           " Probleme dublate",
                           " Nr_crt     Numar_Problema_Examen",
                           "",
                           "   1  11:   3",
                           "   2   9:   1",
                           "   3  12:   4",
                           "   4   8:   6",
                           "   5  10:   5",
                           "   6   7:   2",
                           " (Numar de probleme dublate: 6)",
                           "",
                           "   7  15:   2",
                           "   8  13:   6",
                           "   9  14:   1",
                           " (Numar de probleme dublate: 3)",
                       }));
}

TEST_F(ReportTest, RepeatedProblemsSectionNeedsAFilledSecondBatchAndCountsZero) {
  writeDuplicatesSection(report, batchesOf({{1, 2, 3}}));
  writeDuplicatesSection(report, batchesOf({{1, 2, 3}, {}}));
  writeDuplicatesSection(report, batchesOf({}));
  EXPECT_EQ(out.str(), "");

  // A one-problem range can hand out the number after it in batch 1.
  writeDuplicatesSection(report, batchesOf({{2}, {1}, {}}));
  EXPECT_EQ(out.str(), fileText({
                           "",
                           "",
                           " Probleme dublate",
                           " Nr_crt     Numar_Problema_Examen",
                           "",
                           " (Numar de probleme dublate: 0)",
                       }));
}

TEST_F(ReportTest, ProblemSetNumberHasOneColumnAndWidensBeyond) {
  const struct {
    std::int32_t set;
    const char* line;
  } cases[] = {
      {9, " Set de Probleme: #9"},
      {0, " Set de Probleme: #0"},
      {12, " Set de Probleme: #12"},
      {-1, " Set de Probleme: #-1"},
      {-2147483647 - 1, " Set de Probleme: #-2147483648"},
  };
  for (const auto& c : cases) {
    std::ostringstream file;
    TextSink sink = streamSink(file, "Set.rez", kFileLineEnd);
    writeReportHeader(sink, typedGroup("1234", 8), examOf(2, c.set, 1, 6));

    EXPECT_EQ(file.str(), fileText({
                              " Grupa: 1234",
                              " Numar de Studenti:   8",
                              "",
                              " Problema de Examen Nr.: 2",
                              "",
                              c.line,
                              " Numere Probleme: 1-6  (6 probleme)",
                              "",
                              " Nr_crt   Numar_Problema_Examen",
                              "",
                          }))
        << c.set;
  }
}

TEST_F(ReportTest, HeaderCountsAndRangeUseTheirWidths) {
  const Group group = typedGroup("1231 - anul II", -125);
  writeReportHeader(report, group, examOf(1, 4, -5, 120));
  writeReportHeader(report, typedGroup("1", 12345), examOf(1, 4, -5, 120));

  EXPECT_EQ(out.str(), fileText({
                           " Grupa: 1231 - anul II",
                           " Numar de Studenti:-125",
                           "",
                           " Problema de Examen Nr.: 1",
                           "",
                           " Set de Probleme: #4",
                           " Numere Probleme: -5-120  (126 probleme)",
                           "",
                           " Nr_crt   Numar_Problema_Examen",
                           "",
                           " Grupa: 1",
                           " Numar de Studenti:12345",
                           "",
                           " Problema de Examen Nr.: 1",
                           "",
                           " Set de Probleme: #4",
                           " Numere Probleme: -5-120  (126 probleme)",
                           "",
                           " Nr_crt   Numar_Problema_Examen",
                           "",
                       }));
}

TEST_F(ReportTest, StampTakesDateAndTimeFromOneReading) {
  const struct {
    LocalDateTime now;
    const char* line;
  } cases[] = {
      {at(2013, 3, 5, 9, 5, 7, 99), " 2013-03-05   09:05:07"},
      {at(2013, 12, 31, 23, 59, 59), " 2013-12-31   23:59:59"},
      {at(2024, 1, 1, 0, 0, 0), " 2024-01-01   00:00:00"},
      {at(999, 10, 10, 10, 10, 10), " 999-10-10    10:10:10"},
      {at(12345, 3, 5, 9, 5, 7), " 12345-03-0   09:05:07"},
  };
  for (const auto& c : cases) {
    std::ostringstream file;
    TextSink sink = streamSink(file, "Stamp.rez", kFileLineEnd);
    writeStamp(sink, c.now, std::nullopt, "/home/prof");
    EXPECT_EQ(file.str(), fileText({"", c.line}));
  }
}

TEST_F(ReportTest, ReallocationNoteNamesTheSeedFileWithoutItsFolder) {
  const std::string expected = " [Re-alocare, cu: \"Seed_1 (1-6) Grupa 311 AC.dat\"]";
  const struct {
    const char* path;
    const char* currentDirectory;
  } cases[] = {
      {"/home/prof/lotrano/Dat/Seed_1 (1-6) Grupa 311 AC.dat", "/home/prof"},
      {"Dat/Seed_1 (1-6) Grupa 311 AC.dat", "/home/prof/lotrano"},
      {"D:\\Examene\\Dat\\Seed_1 (1-6) Grupa 311 AC.dat", "D:\\Examene"},
      {"Seed_1 (1-6) Grupa 311 AC.dat", "/srv"},
  };
  for (const auto& c : cases) {
    std::ostringstream file;
    TextSink sink = streamSink(file, "Seed.rez", kFileLineEnd);
    // The chosen path arrives in its 260-character field.
    const FixedText field(kFileNameLength, c.path);
    writeStamp(sink, at(2013, 3, 5, 9, 5, 7), field.str(), c.currentDirectory);
    EXPECT_EQ(file.str(), fileText({"", " 2013-03-05   09:05:07", "", expected})) << c.path;
  }
}

TEST(ReportConsole, ClosingLinesEndWithTheWhole260CharacterFileName) {
  std::ostringstream console;
  TextSink sink = streamSink(console, std::string(kConsoleName), kConsoleLineEnd);
  const std::string name = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
  const FixedText field(kFileNameLength, name);

  writeConsoleClosing(sink, at(2013, 3, 5, 9, 5, 7, 50), field);

  const std::string padding(kFileNameLength - name.size(), ' ');
  EXPECT_EQ(console.str(),
            "\n"
            "2013-03-05   09:05:07\n"
            "\n"
            " Fisier de iesire: " +
                name + padding + "\n");
}

}  // namespace
}  // namespace lotrano
