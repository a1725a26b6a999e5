#include "verify/seed_lookup.h"

#include <gtest/gtest.h>

namespace lotrano {
namespace {

ExamData examOf(const char* number, const char* rangeText) {
  ExamData exam;
  exam.ExamNumberText = number;
  exam.RangeText = rangeText;
  return exam;
}

TEST(SeedLookup, TheCurrentNameFirstThenTheOlderOneInTheReportsFolder) {
  const struct {
    const char* report;
    ExamData exam;
    std::vector<std::string> candidates;
  } cases[] = {
      {"Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez",
       examOf("1", "1-6"),
       {"Seed_1 (1-6) Grupa 311 AC.dat"}},
      {"arhiva/2013/Probleme Examen Nr_1 (1-6) Grupa 311 AC[2].rez",
       examOf("1", "1-6"),
       {"arhiva/2013/Seed_1 (1-6) Grupa 311 AC[2].dat"}},
      {"D:\\Examene\\Probleme Examen Nr_2 (5-9) Grupa 1234.rez",
       examOf("2", "5-9"),
       {"D:\\Examene\\Seed_2 (5-9) Grupa 1234.dat"}},
      // A "." in the group title: the older name stops there.
      {"/srv/Probleme Examen Nr_1 (1-30) Grupa 1231. anul II.rez",
       examOf("1", "1-30"),
       {"/srv/Seed_1 (1-30) Grupa 1231. anul II.dat", "/srv/Seed_1 (1-30) Grupa 1231.dat"}},
      // A "." before the first "G": the older name has no group part.
      {"Probleme Examen Nr_1 (1-30) Sem. 2, Grupa 1231.rez",
       examOf("1", "1-30"),
       {"Seed_1 (1-30) Sem. 2, Grupa 1231.dat", "Seed_1 (1-30) .dat"}},
      // No "G" at all: the older name takes the group title from its start.
      {"Probleme Examen Nr_1 (1-30) anul 2 seria 1231.rez",
       examOf("1", "1-30"),
       {"Seed_1 (1-30) anul 2 seria 1231.dat"}},
      // A report renamed by hand: only the older rule gives a name.
      {"dosar/raport Grupa 311.rez", examOf("1", "1-6"), {"dosar/Seed_1 (1-6) Grupa 311.dat"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(seedFileCandidates(c.report, c.exam), c.candidates) << c.report;
  }
}

}  // namespace
}  // namespace lotrano
