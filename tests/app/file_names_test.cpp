#include "app/file_names.h"

#include <gtest/gtest.h>

#include <string>

#include "app/result_names.h"

namespace lotrano {
namespace {

FixedText resultName(const std::string& name) { return FixedText(260, name); }

TEST(ResultFileName, IsBuiltFromItsSevenPieces) {
  const std::string title80(80, 'x');
  const struct {
    const char* what;
    Group group;
    ExamData exam;
    std::string expected;
  } cases[] = {
      {"file case", fileGroup("Grupa 1231"), exam(1, "1-30"), kBase},
      {"typed case adds Grupa", typedGroup("1231"), exam(1, "1-30"), kBase},
      {"whole title, trailing blanks dropped", fileGroup("Grupa 1231 - anul II   "),
       exam(1, "1-30"), "Probleme Examen Nr_1 (1-30) Grupa 1231 - anul II.rez"},
      {"leading blanks of the title stay", fileGroup("  Anul II, grupa 1231"), exam(1, "1-30"),
       "Probleme Examen Nr_1 (1-30)   Anul II, grupa 1231.rez"},
      {"title with a dot is kept whole", fileGroup("Grupa 1231. anul II"), exam(1, "1-30"),
       "Probleme Examen Nr_1 (1-30) Grupa 1231. anul II.rez"},
      {"exam 2, range 5 to 9, typed", typedGroup("331"), exam(2, "5-9"),
       "Probleme Examen Nr_2 (5-9) Grupa 331.rez"},
      {"exam 2, range 5 to 9, file", fileGroup("Grupa 331"), exam(2, "5-9"),
       "Probleme Examen Nr_2 (5-9) Grupa 331.rez"},
      {"range text in a padded field", typedGroup("331"), exam(2, "5-9  "),
       "Probleme Examen Nr_2 (5-9) Grupa 331.rez"},
      {"a full 80-character title", fileGroup(title80), exam(1, "10-99"),
       "Probleme Examen Nr_1 (10-99) " + title80 + ".rez"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resultFileBaseName(c.group, c.exam), c.expected) << c.what;
  }
}

TEST(ResultFileName, VariantPutsItsNumberBeforeTheExtension) {
  const std::string p = "Probleme Examen Nr_1 (1-30) ";
  const struct {
    const char* what;
    std::string base;
    std::int32_t k;
    std::string expected;
  } cases[] = {
      {"[1]", kBase, 1, variant(1)},
      {"[9]", kBase, 9, variant(9)},
      {"a title with a dot keeps it", p + "Gr. 311 AC.rez", 2, p + "Gr. 311 AC[2].rez"},
      {"a title of two dots", p + "Sem. 2, Grupa 1231. anul II.rez", 1,
       p + "Sem. 2, Grupa 1231. anul II[1].rez"},
      {"a title's own bracket and digit stay", p + "Grupa [3 anul II.rez", 1,
       p + "Grupa [3 anul II[1].rez"},
      {"a title ending in .rez: only the extension moves", p + "Grupa x.rez.rez", 3,
       p + "Grupa x.rez[3].rez"},
      {"UTF-8 title", p + "Grupă 1231. anul ţ.rez", 4, p + "Grupă 1231. anul ţ[4].rez"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resultFileVariant(c.base, c.k), c.expected) << c.what;
  }
}

TEST(SeedFileName, IsTheResultNameWithSeedAndDat) {
  const std::string title80(80, 'x');
  const struct {
    std::string result;
    std::string seed;
  } cases[] = {
      {"Probleme Examen Nr_1 (1-30) Grupa 1231.rez", "Seed_1 (1-30) Grupa 1231.dat"},
      {"Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez", "Seed_1 (1-6) Grupa 311 AC.dat"},
      {"Probleme Examen Nr_1 (1-30) Grupa 1231[2].rez", "Seed_1 (1-30) Grupa 1231[2].dat"},
      {"Probleme Examen Nr_2 (5-9) Grupa 1234.rez", "Seed_2 (5-9) Grupa 1234.dat"},
      // Titles with a "." keep every character: each group its own file.
      {"Probleme Examen Nr_1 (1-30) Grupa 1231. anul II.rez",
       "Seed_1 (1-30) Grupa 1231. anul II.dat"},
      {"Probleme Examen Nr_1 (1-6) Gr. 311 AC.rez", "Seed_1 (1-6) Gr. 311 AC.dat"},
      {"Probleme Examen Nr_1 (1-6) Gr. 312 AC[2].rez", "Seed_1 (1-6) Gr. 312 AC[2].dat"},
      {"Probleme Examen Nr_1 (1-30) Sem. 2, Grupa 1231.rez",
       "Seed_1 (1-30) Sem. 2, Grupa 1231.dat"},
      {"Probleme Examen Nr_1 (1-6) grupa 311 ac.rez", "Seed_1 (1-6) grupa 311 ac.dat"},
      {"Probleme Examen Nr_2 (-9-99) Grupa 7 ...rez", "Seed_2 (-9-99) Grupa 7 ...dat"},
      {"Probleme Examen Nr_1 (1-5) Grupa Automatică.rez", "Seed_1 (1-5) Grupa Automatică.dat"},
      {"Probleme Examen Nr_1 (10-99) " + title80 + "[9].rez",
       "Seed_1 (10-99) " + title80 + "[9].dat"},
      // Names that the program does not make (a report renamed by hand).
      {"raport.rez", "Seed_raport.dat"},
      {"Probleme Examen Nr_1 (1-6) G.txt", "Seed_1 (1-6) G.txt.dat"},
  };
  for (const auto& c : cases) {
    const FixedText name = seedFileName(c.result);
    EXPECT_EQ(name.length(), 260u);
    EXPECT_EQ(name.trimmed(), c.seed) << c.result;
    EXPECT_EQ(seedFileName(resultName(c.result).str()), name) << "the field's blanks are no part";
  }
}

TEST(SeedFileName, LegacyNameTakesTheGroupPartOfTheResultName) {
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
      // Two groups, one name: the fault the newer name mends.
      {"1", "1-6", "Probleme Examen Nr_1 (1-6) Gr. 311 AC.rez", "Seed_1 (1-6) Gr.dat"},
      {"1", "1-6", "Probleme Examen Nr_1 (1-6) Gr. 312 AC.rez", "Seed_1 (1-6) Gr.dat"},
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
    const FixedText name = legacySeedFileName(c.exam, c.range, resultName(c.result));
    EXPECT_EQ(name.length(), 260u);
    EXPECT_EQ(name.trimmed(), c.seed) << c.result;
  }
}

TEST(ResultFileName, IsKnownByItsPrefixAndExtension) {
  const struct {
    const char* name;
    bool isResult;
  } cases[] = {
      {"Probleme Examen Nr_1 (1-30) Grupa 1231.rez", true},
      {"Probleme Examen Nr_1 (1-30) Grupa 1231[3].rez", true},
      {"Probleme Examen Nr_.rez", true},
      {"Probleme Examen Nr_1 (1-30) Grupa 1231.txt", false},
      {"Probleme Examen Nr_1 (1-30) Grupa 1231.rez ", false},
      {"probleme Examen Nr_1 (1-30) Grupa 1231.rez", false},
      {"raport.rez", false},
      // The extension may not be the prefix's own last characters.
      {"Probleme Examen Nr_rez", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isResultFileName(c.name), c.isResult) << c.name;
}

TEST(ResultFileName, RefusesPathsAndControlCharactersSayingWhich) {
  const struct {
    std::string name;
    std::optional<std::string> reason;
  } cases[] = {
      {kBase, std::nullopt},
      {"Probleme Examen Nr_1 (1-30) Grupă 1231 ţ.rez", std::nullopt},
      {"Probleme Examen Nr_1 (1-30) ../x.rez",
       "the group holds \"/\", which no file name may hold"},
      {"Probleme Examen Nr_1 (1-30) a\\b.rez",
       "the group holds \"\\\", which no file name may hold"},
      {std::string("Probleme Examen Nr_1 (1-30) a") + '\0' + "b.rez",
       "the group holds a control character (0x00), which no file name may hold"},
      {"Probleme Examen Nr_1 (1-30) Grupa 1231\r.rez",
       "the group holds a CR (0x0D), which no file name may hold"},
      {"Probleme Examen Nr_1 (1-30) Grupa\t1231/.rez",
       "the group holds a tab (0x09), which no file name may hold"},
      {"Probleme Examen Nr_1 (1-30) Grupa\x7F.rez",
       "the group holds a control character (0x7F), which no file name may hold"},
  };
  for (const auto& c : cases) EXPECT_EQ(refusedNameReason(c.name), c.reason) << c.name;
}

}  // namespace
}  // namespace lotrano
