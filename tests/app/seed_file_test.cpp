#include "app/seed_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"
#include "support/tree_snapshot.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

FixedText resultName(const std::string& name) { return FixedText(260, name); }

TEST(SeedFile, NameIsTheResultNameWithSeedAndDat) {
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

TEST(SeedFile, LegacyNameTakesTheGroupPartOfTheResultName) {
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

const std::array<SeedPair, 3> kSeeds{SeedPair{123456789, 1987654321}, SeedPair{2147483562, 500},
                                     SeedPair{1, 2147483398}};

TEST(SeedFile, WritesOneEntryPerBatchDrawn) {
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
    const std::string name = writeSeedFile(
        resultName("Probleme Examen Nr_1 (1-6) Gr. 311 AC[3].rez"), c.sizes, kSeeds, diagnostics);
    EXPECT_EQ(name, "Seed_1 (1-6) Gr. 311 AC[3].dat");
    EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{name});
    EXPECT_EQ(readWholeFile(scratch.path() / name), c.content);
  }
}

TEST(SeedFile, AnEarlierSeedFileOfTheSameNameIsRewritten) {
  ScratchDirectory scratch;
  writeWholeFile("Seed_1 (1-6) Grupa 1.x.dat", std::string(500, 'x'));
  writeWholeFile("Seed_1 (1-6) Grupa 1.dat", "the older name's file");
  std::ostringstream diagnostics;
  writeSeedFile(resultName("Probleme Examen Nr_1 (1-6) Grupa 1.x.rez"), {3, 0, 0},
                {SeedPair{5, 6}, {}, {}}, diagnostics);
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 1.x.dat"),
            " seed_1:\r\n           5           6\r\n");
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 1.dat"), "the older name's file");
}

// Lowers the largest size a file may grow to for the life of the object; a
// write beyond it fails (EFBIG) instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit lowered = previous_;
    lowered.rlim_cur = bytes;
    set_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool set() const { return set_; }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
  bool set_ = false;
};

TEST(SeedFile, AFailedWriteLeavesTheEarlierSeedFileAndNoPartFile) {
  const std::string name = "Seed_1 (1-6) Grupa 1.dat";
  const std::string earlier = " seed_1:\r\n          11          22\r\n";
  const FixedText result = resultName("Probleme Examen Nr_1 (1-6) Grupa 1.rez");
  std::ostringstream diagnostics;
  {
    SCOPED_TRACE("a file-size limit below the three entries");
    ScratchDirectory scratch;
    writeWholeFile(name, earlier);
    const TreeSnapshot before = snapshotTree(scratch.path());
    {
      FileSizeLimit limit(40);
      ASSERT_TRUE(limit.set());
      EXPECT_FATAL(writeSeedFile(result, {6, 6, 3}, kSeeds, diagnostics), ErrorCode::kWriteError,
                   name);
    }
    EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {}), "");
  }
  {
    // Refused whoever runs the program, as Windows refuses to replace a
    // read-only file.
    SCOPED_TRACE("a read-only earlier seed file");
    ScratchDirectory scratch;
    writeWholeFile(name, earlier);
    fs::permissions(name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const TreeSnapshot before = snapshotTree(scratch.path());
    EXPECT_FATAL(writeSeedFile(result, {6, 0, 0}, kSeeds, diagnostics),
                 ErrorCode::kPermissionDenied, name);
    EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {}), "");
  }
}

TEST(SeedFile, ASeedFileThatCannotBeWrittenIsFatal) {
  ScratchDirectory scratch;
  fs::create_directory("Seed_1 (1-6) Grupa 1.dat");  // the name is taken by a folder
  std::ostringstream diagnostics;
  EXPECT_FATAL(writeSeedFile(resultName("Probleme Examen Nr_1 (1-6) Grupa 1.rez"), {3, 0, 0}, {},
                             diagnostics),
               ErrorCode::kOpenFailure, "Seed_1 (1-6) Grupa 1.dat");
  EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{"Seed_1 (1-6) Grupa 1.dat/"});
}

}  // namespace
}  // namespace lotrano
