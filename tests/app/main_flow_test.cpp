// Whole runs of the dialogue on a stand-in platform, in a scratch directory.
#include "app/main_flow.h"

#include <gtest/gtest.h>

#include "alloc/batch_draw.h"
#include "alloc/uniform_generator.h"
#include "fake_platform.h"
#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"
#include "worked_examples.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

// Seed pairs whose draws over 1..6 are known: 4 1 6 2 5 3 for six students,
// and 2 5 for two.
constexpr const char* kSeedFileOfTheSecondExample =
    " seed_1:\r\n    32459981   429284172\r\n seed_2:\r\n      253408     3351329\r\n";

std::string padded(const std::string& text, std::size_t length) {
  return text + std::string(length - text.size(), ' ');
}

// Splits a file's CR LF lines.
std::vector<std::string> fileLines(const fs::path& path) {
  std::vector<std::string> lines;
  const std::string bytes = readWholeFile(path);
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> directoryEntries() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator("."))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(MainFlow, TypedGroupReallocationReproducesTheSecondWorkedExample) {
  ScratchDirectory scratch;
  fs::create_directory("Dat");
  writeWholeFile("Dat/Seed_2 (1-6) Grupa 1234.dat", kSeedFileOfTheSecondExample);
  FakePlatform fake("1234\n8\n2\n1\n1 6\nr\n");
  fake.choices = {std::nullopt, (scratch.path() / "Dat/Seed_2 (1-6) Grupa 1234.dat").string()};
  fake.now = {{2013, 5, 21}, {9, 5, 7, 0}};

  EXPECT_EQ(runLotrano(fake.platform()), 0);

  const std::string resultName = "Probleme Examen Nr_2 (1-6) Grupa 1234.rez";
  EXPECT_EQ(fake.out.str(),
            " Grupa: \n"
            " Numar studenti: \n"
            " Problema_de_Examen nr. (1 sau 2): \n"
            " SET de Probleme nr.: \n"
            " Numar_Start_Problema, Numar_End_Problema: \n"
            "\n"
            " Noua alocare (char#R,r) sau re-alocare(R,r): \n"
            "\n"
            " Size:  2\n"
            "\n"
            " Size:  2\n"
            "\n"
            "2013-05-21   09:05:07\n"
            "\n"
            " Fisier de iesire: " +
                padded(resultName, 260) +
                "\n"
                " Press any key\n");
  EXPECT_EQ(fake.err.str(), "");
  EXPECT_EQ(fake.chooserTitles,
            (std::vector<std::string>{"Selecteza Fisierul Grupei", "Selecteza Fisierul Seed"}));
  EXPECT_TRUE(fake.sleeps.empty()) << "a re-allocation does not wait";
  EXPECT_EQ(fake.keyWaits, 1);

  EXPECT_EQ(fileLines(resultName), kTypedReallocationReport);
  // The new seed file holds the same words, beside the result file.
  EXPECT_EQ(readWholeFile("Seed_2 (1-6) Grupa 1234.dat"), kSeedFileOfTheSecondExample);
  EXPECT_EQ(fake.madeReadOnly, std::vector<std::string>{resultName});
}

TEST(MainFlow, GroupFileNewAllocationFrontOfTheDialogue) {
  ScratchDirectory scratch;
  std::string groupFile = "Grupa 1231 - anul II\r\nNr. Nume si prenume\r\n";
  for (int k = 1; k <= 25; ++k)
    groupFile += std::to_string(k) + ". Student " + std::to_string(k) + "\r\n";
  writeWholeFile("grupa.dat", groupFile);
  FakePlatform fake("3\n1\n4\n1 30\nn\n");
  fake.choices = {(scratch.path() / "grupa.dat").string()};

  EXPECT_EQ(runLotrano(fake.platform()), 0);

  const std::string resultName = "Probleme Examen Nr_1 (1-30) Grupa 1231 - anul II.rez";
  const std::string out = fake.out.str();
  const std::string front =
      " Grupa: 1231 - anul II\n"
      " Numar studenti:  25\n"
      "\n"
      " Problema_de_Examen nr. (1 sau 2): \n"
      "\n"
      " Nr. de problema invalid! (Numar = 1 sau 2)\n"
      " Problema_de_Examen nr. (1 sau 2): \n"
      " SET de Probleme nr.: \n"
      " Numar_Start_Problema, Numar_End_Problema: \n"
      "\n"
      " Noua alocare (char#R,r) sau re-alocare(R,r): \n"
      "\n"
      " Size:  2\n"
      "\n"
      " Waiting 0.8 sec ...\n"
      "\n"
      "2013-03-05   09:05:07\n"
      "\n"
      " Fisier de iesire: " +
      padded(resultName, 260) +
      "\n"
      " Press any key\n";
  EXPECT_EQ(out, front);
  EXPECT_EQ(fake.sleeps, std::vector<std::int32_t>{800});

  // Every row holds the student's name and the number drawn from the pair
  // that the seed file records.
  const auto lines = fileLines(resultName);
  ASSERT_GE(lines.size(), 35u);
  EXPECT_EQ(lines[8], " Nr_crt  Nume Student                        Numar_Problema_Examen");
  const std::string seed = readWholeFile("Seed_1 (1-30) Grupa 1231 - anul II.dat");
  SeedPair used;
  ASSERT_EQ(std::sscanf(seed.c_str(), " seed_1: %d %d", &used.first, &used.second), 2);
  GeneratorState state = stateFromWords(used);
  const auto numbers = drawBatch(25, {1, 30, 30}, state).numbers;
  for (int k = 1; k <= 25; ++k) {
    char row[80];
    std::snprintf(row, sizeof row, "%4d     %-37s%2d", k, ("Student " + std::to_string(k)).c_str(),
                  numbers[static_cast<std::size_t>(k - 1)]);
    std::string expectedRow(row);
    expectedRow.erase(45, 1);  // the number overwrites the name's 37th column
    EXPECT_EQ(lines[static_cast<std::size_t>(9 + k)], expectedRow);
  }
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[37], " Probleme ne-alocate");
  std::string unallocated;
  for (int p = 1; p <= 30; ++p) {
    if (std::find(numbers.begin(), numbers.end(), p) != numbers.end()) continue;
    char field[8];
    std::snprintf(field, sizeof field, "%5d", p);
    unallocated += field;
  }
  EXPECT_EQ(lines[38], unallocated);
  EXPECT_EQ(lines[39], " (Numar de probleme: 5)");
  EXPECT_EQ(lines[41], " 2013-03-05   09:05:07");
}

TEST(MainFlow, GroupFileThatDoesNotOpenGivesTheTypedGroup) {
  ScratchDirectory scratch;
  FakePlatform fake("'Grupa 7'\n0\n1\n1\n1 5\n\n");
  fake.choices = {(scratch.path() / "missing.dat").string()};
  EXPECT_EQ(runLotrano(fake.platform()), 0);
  EXPECT_EQ(fake.out.str().substr(0, 27), " Grupa: \n Numar studenti: \n");
  EXPECT_EQ(fake.err.str(), "");
  EXPECT_TRUE(fs::exists("Probleme Examen Nr_1 (1-5) Grupa Grupa 7.rez"));
}

TEST(MainFlow, RangeTooSmallForABatchIsAskedAgain) {
  ScratchDirectory scratch;
  FakePlatform fake("G1\n20\n1\n1\n1 5\n1 7\nn\n");
  EXPECT_EQ(runLotrano(fake.platform()), 0);
  const std::string out = fake.out.str();
  const std::string asked =
      " Numar_Start_Problema, Numar_End_Problema: \n"
      "\n"
      " Interval de probleme prea mic pentru numarul de studenti!\n"
      " Numar_Start_Problema, Numar_End_Problema: \n";
  EXPECT_NE(out.find(asked), std::string::npos) << out;
  // 20 students over 1..7: batches of 7, 7 and 6.
  EXPECT_EQ(fake.sleeps.size(), 3u);
  EXPECT_EQ(directoryEntries(), (std::vector<std::string>{"Probleme Examen Nr_1 (1-7) Grupa G1.rez",
                                                          "Seed_1 (1-7) Grupa G1.dat"}));
}

TEST(MainFlow, RangeOfFewerThanTwoProblemsIsAskedAgainWhateverTheStudentCount) {
  const struct {
    const char* what;
    const char* answers;
  } cases[] = {
      {"one student, end below the start", "G\n1\n1\n1\n5 4\n5 6\nn\n"},
      {"one student, one problem", "G\n1\n1\n1\n5 5\n5 6\nn\n"},
      {"no student, end below the start", "G\n0\n1\n1\n5 4\n5 6\nn\n"},
      {"four students, one problem, twice", "G\n4\n1\n1\n5 5\n-3,-3\n5 6\nn\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDirectory scratch;
    FakePlatform fake(c.answers);
    EXPECT_EQ(runLotrano(fake.platform()), 0);
    const std::string prompt = " Numar_Start_Problema, Numar_End_Problema: \n";
    const std::string refused =
        prompt + "\n Interval de probleme invalid! (Numar_End_Problema > Numar_Start_Problema)\n";
    const std::string out = fake.out.str();
    const std::size_t first = out.find(refused);
    ASSERT_NE(first, std::string::npos) << out;
    // Only the accepted range is drawn, and only its files exist.
    EXPECT_EQ(out.find(" Interval de probleme prea mic"), std::string::npos);
    EXPECT_EQ(directoryEntries(),
              (std::vector<std::string>{"Probleme Examen Nr_1 (5-6) Grupa G.rez",
                                        "Seed_1 (5-6) Grupa G.dat"}));
    EXPECT_NE(readWholeFile("Probleme Examen Nr_1 (5-6) Grupa G.rez")
                  .find(" Numere Probleme: 5-6  (2 probleme)\r\n"),
              std::string::npos);
  }
}

TEST(MainFlow, TenFileLimitShowsTheMessageAndEndsWithoutFiles) {
  ScratchDirectory scratch;
  const std::string base = "Probleme Examen Nr_1 (1-6) Grupa 1234";
  writeWholeFile(base + ".rez", "first");
  for (int k = 1; k <= 9; ++k) writeWholeFile(base + "[" + std::to_string(k) + "].rez", "old");
  const auto before = directoryEntries();
  FakePlatform fake("1234\n4\n1\n1\n1 6\n");
  EXPECT_EQ(runLotrano(fake.platform()), 0);
  EXPECT_EQ(fake.messages,
            std::vector<std::string>{
                "Lotrano Message|Sunt deja 10 fisiere de rezultate.\nSterge unele din ele!"});
  EXPECT_EQ(
      fake.out.str(),
      " Grupa: \n Numar studenti: \n Problema_de_Examen nr. (1 sau 2): \n SET de Probleme nr.: \n"
      " Numar_Start_Problema, Numar_End_Problema: \n Press any key\n");
  EXPECT_EQ(directoryEntries(), before);
  EXPECT_EQ(readWholeFile(base + ".rez"), "first");
  EXPECT_EQ(fake.keyWaits, 1);
}

TEST(MainFlow, RunStoppedBeforeTheHeaderLeavesNoResultFileBehind) {
  const struct {
    const char* what;
    const char* input;
    std::optional<std::string> seedChoice;
    ErrorCode code;
    const char* file;
  } cases[] = {
      {"seed dialog cancelled", "R\n", std::nullopt, ErrorCode::kFileNameError, "seed file"},
      {"seed file missing", "R\n", "no such seed.dat", ErrorCode::kFileNotFound,
       "no such seed.dat"},
      {"a folder chosen", "R\n", ".", ErrorCode::kOpenFailure, "."},
      {"no answer to the allocation question", "", std::nullopt, ErrorCode::kEndOfFile, "console"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDirectory scratch;
    FakePlatform fake(std::string("1234\n4\n1\n1\n1 6\n") + c.input);
    fake.choices = {std::nullopt, c.seedChoice};
    EXPECT_FATAL(runLotrano(fake.platform()), c.code, c.file);
    EXPECT_TRUE(directoryEntries().empty());
    EXPECT_EQ(fake.keyWaits, 0);
  }
  ScratchDirectory scratch;
  FakePlatform fake("1234\n4\n1\n1\n1 6\nr\n");
  try {
    runLotrano(fake.platform());
    ADD_FAILURE() << "no fatal error";
  } catch (const FatalError& error) {
    EXPECT_NE(std::string(error.what()).find("no seed file was chosen"), std::string::npos);
  }
}

TEST(MainFlow, ReallocationWithFewerStudentsReadsOnlyTheFirstEntry) {
  ScratchDirectory scratch;
  // A three-batch seed file whose second and third entries could not even be read.
  writeWholeFile("old.dat",
                 " seed_1:\r\n    32459981   429284172\r\n seed_2:\r\n x y\r\n seed_3:\r\n");
  FakePlatform fake("1234\n5\n1\n1\n1 6\nr\n");
  fake.choices = {std::nullopt, (scratch.path() / "old.dat").string()};
  EXPECT_EQ(runLotrano(fake.platform()), 0);
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 1234.dat"),
            " seed_1:\r\n    32459981   429284172\r\n");
  const auto lines = fileLines("Probleme Examen Nr_1 (1-6) Grupa 1234.rez");
  ASSERT_GE(lines.size(), 15u);
  // The first five of 4 1 6 2 5 3: the draw of five takes fewer uniforms, so
  // compare with a draw of five from the same pair.
  GeneratorState state = stateFromWords({32459981, 429284172});
  const auto numbers = drawBatch(5, {1, 6, 6}, state).numbers;
  for (std::size_t k = 0; k < 5; ++k) {
    char row[16];
    std::snprintf(row, sizeof row, "%4zu%8d", k + 1, numbers[k]);
    EXPECT_EQ(lines[10 + k], row);
  }
}

TEST(MainFlow, WindowsSeedFileWithWordsOutOfRange) {
  ScratchDirectory scratch;
  writeWholeFile("Seed_1 (1-6) Grupa 9.dat", " seed_1:\r\n           0           0\r\n");
  FakePlatform fake("9\n3\n1\n1\n1 6\nr\n");
  // The chosen file is the seed file of the base name, whose report is gone:
  // the run takes the next name and leaves the chosen file as it was.
  fake.choices = {std::nullopt, (scratch.path() / "Seed_1 (1-6) Grupa 9.dat").string()};
  EXPECT_EQ(runLotrano(fake.platform()), 0);
  EXPECT_EQ(directoryEntries(),
            (std::vector<std::string>{"Probleme Examen Nr_1 (1-6) Grupa 9[1].rez",
                                      "Seed_1 (1-6) Grupa 9.dat", "Seed_1 (1-6) Grupa 9[1].dat"}));
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 9.dat"), " seed_1:\r\n           0           0\r\n");
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 9[1].dat"),
            " seed_1:\r\n  2147483562  2147483398\r\n");
}

TEST(MainFlow, FatalAnswersStopWithTheirNumbers) {
  const struct {
    const char* input;
    ErrorCode code;
  } cases[] = {
      {"", ErrorCode::kEndOfFile},
      {"1234\n", ErrorCode::kEndOfFile},
      {"1234\nabc\n", ErrorCode::kListSyntax},
      {"1234\n4\n", ErrorCode::kEndOfFile},
      {"1234\n4\nx\n", ErrorCode::kListSyntax},
      {"1234\n4\n1\n", ErrorCode::kEndOfFile},
      {"1234\n4\n1\n1\n", ErrorCode::kEndOfFile},
      {"1234\n4\n1\n1\n1\n", ErrorCode::kEndOfFile},
      {"1234\n4\n1\n1\n1 6\n", ErrorCode::kEndOfFile},
      {"1234\n4\n1\n1\n10 100\n", ErrorCode::kRecordOverflow},
      {"1234\n4\n1\n1\n1 1000\n", ErrorCode::kRecordOverflow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    ScratchDirectory scratch;
    FakePlatform fake(c.input);
    try {
      runLotrano(fake.platform());
      ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& error) {
      EXPECT_EQ(error.code(), c.code);
    }
    EXPECT_EQ(fake.keyWaits, 0);
  }
}

TEST(MainFlow, AllocationAnswerOnlyItsFirstCharacterCounts) {
  const struct {
    const char* answer;
    bool reallocation;
  } cases[] = {{"r", true},  {"R", true}, {"re", true}, {"x", false},
               {"N", false}, {"", false}, {" r", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    ScratchDirectory scratch;
    writeWholeFile("s.dat", " seed_1:\r\n 5 6\r\n");
    FakePlatform fake(std::string("1234\n2\n1\n1\n1 6\n") + c.answer + "\n");
    fake.choices = {std::nullopt, (scratch.path() / "s.dat").string()};
    EXPECT_EQ(runLotrano(fake.platform()), 0);
    EXPECT_EQ(fake.chooserTitles.size(), c.reallocation ? 2u : 1u);
  }
}

}  // namespace
}  // namespace lotrano
