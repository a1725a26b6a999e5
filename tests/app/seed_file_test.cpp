#include "app/seed_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"

namespace lotrano {
namespace {

FixedText resultName(const std::string& name) { return FixedText(260, name); }

TEST(SeedFile, NameTakesTheGroupPartOfTheResultName) {
  const struct {
    const char* exam;
    const char* range;
    const char* result;
    const char* seed;
  } cases[] = {
      {"1", "1-30", "Probleme Examen Nr_1 (1-30) Grupa 1231.rez", "Seed_1 (1-30) Grupa 1231.dat"},
      {"1", "1-30", "Probleme Examen Nr_1 (1-30) Grupa 1231[2].rez",
       "Seed_1 (1-30) Grupa 1231[2].dat"},
      {"1", "1-30", "Probleme Examen Nr_1 (1-30) Grupa 1231. anul II.rez",
       "Seed_1 (1-30) Grupa 1231.dat"},
      {"1", "1-30", "Probleme Examen Nr_1 (1-30) Grupa 1231[1].rez",
       "Seed_1 (1-30) Grupa 1231[1].dat"},
      {"2", "5-9", "Probleme Examen Nr_2 (5-9) Grupa 1234.rez", "Seed_2 (5-9) Grupa 1234.dat"},
      // A "." before the first "G": no group part at all.
      {"1", "1-30", "Probleme Examen Nr_1 (1-30) Sem. 2, Grupa 1231.rez", "Seed_1 (1-30) .dat"},
      // The first "G" of the title, wherever it stands.
      {"1", "1-6", "Probleme Examen Nr_1 (1-6) An 2 GR 311.rez", "Seed_1 (1-6) GR 311.dat"},
      // No upper-case "G": the whole title, so that groups keep their own files.
      {"1", "1-6", "Probleme Examen Nr_1 (1-6) grupa 311 ac.rez", "Seed_1 (1-6) grupa 311 ac.dat"},
      {"2", "-9-99", "Probleme Examen Nr_2 (-9-99) grupa 7[3].rez",
       "Seed_2 (-9-99) grupa 7[3].dat"},
      {"1", "1-6", "Probleme Examen Nr_1 (1-6) Ştefan Grupa 1.rez", "Seed_1 (1-6) Grupa 1.dat"},
  };
  for (const auto& c : cases) {
    const FixedText name = seedFileName(c.exam, c.range, resultName(c.result));
    EXPECT_EQ(name.length(), 260u);
    EXPECT_EQ(name.trimmed(), c.seed) << c.result;
  }
}

TEST(SeedFile, WritesOneEntryPerBatchDrawn) {
  const std::array<SeedPair, 3> seeds{SeedPair{123456789, 1987654321}, SeedPair{2147483562, 500},
                                      SeedPair{1, 2147483398}};
  const struct {
    BatchSizes sizes;
    const char* content;
  } cases[] = {
      {{4, 0, 0}, " seed_1:\r\n   123456789  1987654321\r\n"},
      {{6, 2, 0},
       " seed_1:\r\n   123456789  1987654321\r\n seed_2:\r\n  2147483562         500\r\n"},
      {{6, 6, 3},
       " seed_1:\r\n   123456789  1987654321\r\n seed_2:\r\n  2147483562         500\r\n"
       " seed_3:\r\n           1  2147483398\r\n"},
      {{0, 0, 0}, " seed_1:\r\n   123456789  1987654321\r\n"},
      // An empty range: the one student falls to batch 3, batch 2 is empty.
      {{0, 0, 1},
       " seed_1:\r\n   123456789  1987654321\r\n seed_3:\r\n           1  2147483398\r\n"},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    std::ostringstream diagnostics;
    const std::string name =
        writeSeedFile("1", "1-6", resultName("Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez"),
                      c.sizes, seeds, diagnostics);
    EXPECT_EQ(name, "Seed_1 (1-6) Grupa 311 AC.dat");
    EXPECT_EQ(readWholeFile(scratch.path() / name), c.content);
  }
}

TEST(SeedFile, AnEarlierSeedFileOfTheSameNameIsRewritten) {
  ScratchDirectory scratch;
  writeWholeFile("Seed_1 (1-6) Grupa 1.dat", std::string(500, 'x'));
  std::ostringstream diagnostics;
  writeSeedFile("1", "1-6", resultName("Probleme Examen Nr_1 (1-6) Grupa 1.x.rez"), {3, 0, 0},
                {SeedPair{5, 6}, {}, {}}, diagnostics);
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 1.dat"), " seed_1:\r\n           5           6\r\n");
}

TEST(SeedFile, ASeedFileThatCannotBeWrittenIsFatal) {
  ScratchDirectory scratch;
  std::filesystem::create_directory("Seed_1 (1-6) Grupa 1.dat");  // the name is taken by a folder
  std::ostringstream diagnostics;
  try {
    writeSeedFile("1", "1-6", resultName("Probleme Examen Nr_1 (1-6) Grupa 1.rez"), {3, 0, 0}, {},
                  diagnostics);
    ADD_FAILURE() << "no fatal error";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.file(), "Seed_1 (1-6) Grupa 1.dat");
    EXPECT_EQ(error.code(), ErrorCode::kOpenFailure);
  }
}

}  // namespace
}  // namespace lotrano
