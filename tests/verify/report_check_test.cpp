#include "verify/report_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/worked_examples.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

constexpr const char* kSeedName = "Seed_1 (1-10) Grupa 1234.dat";
// The pair of the worked draw: six students over 1..10 get 2 4 3 6 5 7.
constexpr const char* kSeedText = " seed_1:\r\n       12007        4242\r\n";

const std::vector<std::string> kSixOfTen = {
    " Grupa: 1234",
    " Numar de Studenti:   6",
    "",
    " Problema de Examen Nr.: 1",
    "",
    " Set de Probleme: #3",
    " Numere Probleme: 1-10  (10 probleme)",
    "",
    " Nr_crt   Numar_Problema_Examen",
    "",
    "   1       2",
    "   2       4",
    "   3       3",
    "   4       6",
    "   5       5",
    "   6       7",
    "",
    "",
    " Probleme ne-alocate",
    "    1    8    9   10",
    " (Numar de probleme: 4)",
    "",
    " 2013-05-21   09:05:07",
};

ReadReport readLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  LineSource source = textSource(text, "raport.rez");
  return readReport(source);
}

Verdict check(const std::vector<std::string>& lines, const std::string& seedText = kSeedText) {
  const ReadReport report = readLines(lines);
  LineSource seed = textSource(seedText, kSeedName);
  return compareWithRebuilt(report, rebuildReport(report, report.group, seed));
}

TEST(ReportCheck, TheWorkedDrawIsWrittenAgainLineForLine) {
  const ReadReport report = readLines(kSixOfTen);
  LineSource seed = textSource(kSeedText, kSeedName);
  std::vector<std::string> rebuilt = rebuildReport(report, report.group, seed);
  ASSERT_EQ(rebuilt.size(), kSixOfTen.size());
  rebuilt.back() = kSixOfTen.back();  // the date is any date
  EXPECT_EQ(rebuilt, kSixOfTen);
  EXPECT_TRUE(check(kSixOfTen).matches);
}

TEST(ReportCheck, EveryLineButTheDateAndTheNoteIsCompared) {
  std::vector<std::string> otherDay = kSixOfTen;
  otherDay.back() = " 2024-12-31   23:59:59";
  EXPECT_TRUE(check(otherDay).matches);
  std::vector<std::string> reallocated = kSixOfTen;
  reallocated.insert(reallocated.end(), {"", " [Re-alocare, cu: \"any name.dat\"]"});
  EXPECT_TRUE(check(reallocated).matches);

  const struct {
    const char* what;
    std::size_t line;  // from 1
    const char* text;  // the report's line
    const char* rebuilt;
  } edits[] = {
      // Values the report states itself: changed, they are written so again.
      {"group", 1, " Grupa: 1235", " Grupa: 1235"},
      {"problem set", 6, " Set de Probleme: #4", " Set de Probleme: #4"},
      {"empty line", 3, " ", ""},
      {"count after the range", 7, " Numere Probleme: 1-10  (9 probleme)",
       " Numere Probleme: 1-10  (10 probleme)"},
      {"a number", 13, "   3       9", "   3       3"},
      {"a number's columns", 13, "   3      3", "   3       3"},
      {"unallocated list", 20, "    1    3    9   10", "    1    8    9   10"},
      {"unallocated count", 21, " (Numar de probleme: 3)", " (Numar de probleme: 4)"},
  };
  for (const auto& e : edits) {
    std::vector<std::string> lines = kSixOfTen;
    lines[e.line - 1] = e.text;
    const Verdict verdict = check(lines);
    if (std::string(e.text) == e.rebuilt) {
      EXPECT_TRUE(verdict.matches) << e.what;
      continue;
    }
    EXPECT_FALSE(verdict.matches) << e.what;
    EXPECT_EQ(verdict.line, e.line) << e.what;
    EXPECT_EQ(verdict.inReport, e.text) << e.what;
    EXPECT_EQ(verdict.rebuilt, e.rebuilt) << e.what;
  }
}

TEST(ReportCheck, ALineTheRebuiltReportLacksIsNamedAsMissing) {
  // One row more than the header's count: the redraw's table ends there.
  std::vector<std::string> added = kSixOfTen;
  added.insert(added.begin() + 16, "   7       1");
  const Verdict verdict = check(added);
  EXPECT_FALSE(verdict.matches);
  EXPECT_EQ(verdict.line, 17u);
  EXPECT_EQ(verdict.inReport, "   7       1");
  EXPECT_EQ(verdict.rebuilt, "");

  // The note of a re-allocation on a date line that is no longer the last
  // but two: compared, and the redraw has no such line.
  std::vector<std::string> longer = kSixOfTen;
  longer.insert(longer.end() - 1, {"", ""});
  longer.insert(longer.end(), {"", " [Re-alocare, cu: \"x.dat\"]"});
  const Verdict missing = check(longer);
  EXPECT_FALSE(missing.matches);
  EXPECT_EQ(missing.line, 23u);
  EXPECT_EQ(missing.inReport, "");
  EXPECT_EQ(missing.rebuilt, " 0-00-00      00:00:00");
}

TEST(ReportCheck, AGroupThatCannotBeDrawnOverTheRangeGetsItsHeaderAlone) {
  const ReadReport report = readLines(kSixOfTen);
  Group group = report.group;
  group.StudentCount = 40;  // more than three batches of ten
  LineSource seed = textSource(kSeedText, kSeedName);
  const std::vector<std::string> rebuilt = rebuildReport(report, group, seed);
  ASSERT_EQ(rebuilt.size(), 10u);
  const Verdict verdict = compareWithRebuilt(report, rebuilt);
  EXPECT_EQ(verdict.line, 2u);
  EXPECT_EQ(verdict.rebuilt, " Numar de Studenti:  40");
}

TEST(ReportCheck, SeedFileFaultsAreTheDrawsOwnFatalErrors) {
  const struct {
    const char* what;
    std::string seed;
    ErrorCode code;
  } cases[] = {
      {"empty", "", ErrorCode::kEndOfFile},
      {"label only", " seed_1:\r\n", ErrorCode::kEndOfFile},
      {"one word", " seed_1:\r\n 12007\r\n", ErrorCode::kEndOfFile},
      {"a word", " seed_1:\r\n       12007        abc\r\n", ErrorCode::kListSyntax},
      {"a broken number", " seed_1:\r\n       12007        42x\r\n", ErrorCode::kInputConversion},
  };
  for (const auto& c : cases) {
    try {
      check(kSixOfTen, c.seed);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const FatalError& error) {
      EXPECT_EQ(error.code(), c.code) << c.what;
      EXPECT_EQ(error.file(), kSeedName) << c.what;
    }
  }
  // The worked example draws two batches: one entry is not enough.
  std::vector<std::string> example = kTypedReallocationReport;
  try {
    check(example);
    ADD_FAILURE() << "one entry for two batches";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.code(), ErrorCode::kEndOfFile);
  }
}

}  // namespace
}  // namespace lotrano
