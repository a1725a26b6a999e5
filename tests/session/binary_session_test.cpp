// The real binary, run with its standard input piped: exact standard output,
// exit status and the files it leaves.
#include "session/binary_session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <regex>
#include <utility>

#include "alloc/batch_draw.h"
#include "support/file_access.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kGroup311 =
    "Grupa 311 AC\r\nNr. Nume si prenume\r\n1. Alfa Beta\r\n2. Gama Delta Epsilon\r\n"
    "3. Zeta Eta Teta\r\n4. Iota Kapa\r\n";

// The report's table rows: the lines after the column heads up to the first empty line.
std::string tableOf(const std::string& report) {
  const std::size_t heads = report.find("Numar_Problema_Examen\r\n\r\n");
  const std::size_t start = report.find("\r\n\r\n", heads) + 4;
  return report.substr(start, report.find("\r\n\r\n", start) - start);
}

TEST(BinarySession, TypedGroupDialogue) {
  ScratchDirectory scratch;
  // An empty line cancels the group dialog; then the typed group. The
  // program itself, its seeding wait included.
  const SessionResult run =
      runLotranoBinary(scratch.path(), "\n1234\n4\n3\n2\n1\n1,6\nx\n", kLotrano);
  EXPECT_EQ(run.status, 0) << run.err;
  const std::regex expected(
      " Grupa: \n"
      " Numar studenti: \n"
      " Problema_de_Examen nr\\. \\(1 sau 2\\): \n"
      "\n"
      " Nr\\. de problema invalid! \\(Numar = 1 sau 2\\)\n"
      " Problema_de_Examen nr\\. \\(1 sau 2\\): \n"
      " SET de Probleme nr\\.: \n"
      " Numar_Start_Problema, Numar_End_Problema: \n"
      "\n"
      " Noua alocare \\(char#R,r\\) sau re-alocare\\(R,r\\): \n"
      "\n"
      " Size:  2\n"
      "\n"
      " Waiting 0\\.8 sec \\.\\.\\.\n"
      "\n"
      "[0-9]{4}-[01][0-9]-[0-3][0-9]   [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n"
      "\n"
      " Fisier de iesire: Probleme Examen Nr_2 \\(1-6\\) Grupa 1234\\.rez {219}\n"
      " Press any key\n");
  EXPECT_TRUE(std::regex_match(run.out, expected)) << run.out;
  EXPECT_NE(run.err.find("Selecteza Fisierul Grupei"), std::string::npos);
  EXPECT_EQ(entries(scratch.path()),
            (std::vector<std::string>{"Probleme Examen Nr_2 (1-6) Grupa 1234.rez",
                                      "Seed_2 (1-6) Grupa 1234.dat"}));
}

TEST(BinarySession, NewAllocationReportMatchesItsRecordedDraw) {
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  writeWholeFile(scratch.path() / "Dat" / "grupa_311.dat", kGroup311);
  const SessionResult run = runLotranoBinary(scratch.path(), "grupa_311\n1\n3\n1 6\n\n");
  ASSERT_EQ(run.status, 0) << run.err;

  // The numbers drawn are those of the pair the seed file records.
  const std::string seed = readWholeFile(scratch.path() / "Seed_1 (1-6) Grupa 311 AC.dat");
  lotrano::SeedPair used;
  ASSERT_EQ(std::sscanf(seed.c_str(), " seed_1:\r\n%d %d", &used.first, &used.second), 2) << seed;
  lotrano::GeneratorState state = lotrano::stateFromWords(used);
  const auto numbers = lotrano::drawBatch(4, {1, 6, 6}, state).numbers;
  ASSERT_EQ(numbers.size(), 4u);
  const char* names[] = {"Alfa Beta", "Gama Delta Epsilon", "Zeta Eta Teta", "Iota Kapa"};
  std::string rows;
  for (std::size_t k = 0; k < 4; ++k) {
    char row[64];
    std::snprintf(row, sizeof row, "%4zu     %-36s%2d\r\n", k + 1, names[k], numbers[k]);
    rows += row;
  }
  std::string unallocated;
  for (int p = 1; p <= 6; ++p) {
    if (std::find(numbers.begin(), numbers.end(), p) == numbers.end()) {
      unallocated += "    " + std::to_string(p);
    }
  }
  const std::string report =
      readWholeFile(scratch.path() / "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez");
  const std::string expectedFront =
      " Grupa: 311 AC\r\n"
      " Numar de Studenti:   4\r\n"
      "\r\n"
      " Problema de Examen Nr.: 1\r\n"
      "\r\n"
      " Set de Probleme: #3\r\n"
      " Numere Probleme: 1-6  (6 probleme)\r\n"
      "\r\n"
      " Nr_crt  Nume Student                        Numar_Problema_Examen\r\n"
      "\r\n" +
      rows +
      "\r\n"
      "\r\n"
      " Probleme ne-alocate\r\n" +
      unallocated +
      "\r\n"
      " (Numar de probleme: 2)\r\n"
      "\r\n";
  ASSERT_GE(report.size(), expectedFront.size());
  EXPECT_EQ(report.substr(0, expectedFront.size()), expectedFront);
  const std::string stamp = report.substr(expectedFront.size());
  EXPECT_TRUE(std::regex_match(
      stamp, std::regex(" [0-9]{4}-[0-9]{2}-[0-9]{2}   [0-9]{2}:[0-9]{2}:[0-9]{2}\r\n")))
      << stamp;
  // The console shows the same stamp without its leading blank.
  EXPECT_NE(run.out.find("\n" + stamp.substr(1, 21) + "\n"), std::string::npos);
}

TEST(BinarySession, AWindows1250GroupListGivesUtf8NamesInTheReportAndTheFileNames) {
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  // Saved by an older Windows editor: ă is 0xE3, ş 0xBA, Ş 0xAA, Ţ 0xDE, ţ 0xFE.
  writeWholeFile(scratch.path() / "Dat" / "ac.txt",
                 "Grupa 1231 Automatic\xE3 \xBAi Calculatoare\r\n"
                 "1. \xAAtef\xE3nescu Ioana\r\n"
                 "2. \xDEurcanu Ion\r\n"
                 "3. Popescu D\xE3nu\xFE\r\n");
  const SessionResult run = runLotranoBinary(scratch.path(), "ac.txt\n1\n3\n1 6\n\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with(" Grupa: 1231 Automatică şi Calculatoare\n")) << run.out;
  const std::string result = "Probleme Examen Nr_1 (1-6) Grupa 1231 Automatică şi Calculatoare.rez";
  EXPECT_EQ(entries(scratch.path()),
            (std::vector<std::string>{"Dat/", result,
                                      "Seed_1 (1-6) Grupa 1231 Automatică şi Calculatoare.dat"}));
  const std::string report = readWholeFile(scratch.path() / result);
  EXPECT_TRUE(report.starts_with(" Grupa: 1231 Automatică şi Calculatoare\r\n")) << report;
  // Each name keeps its first letter and fills its 36 columns by characters.
  const std::string rows[] = {"   1     Ştefănescu Ioana" + std::string(20, ' '),
                              "   2     Ţurcanu Ion" + std::string(25, ' '),
                              "   3     Popescu Dănuţ" + std::string(23, ' ')};
  for (const std::string& row : rows) {
    EXPECT_TRUE(std::regex_search(report, std::regex("\r\n" + row + " [1-6]\r\n"))) << row;
  }
}

TEST(BinarySession, FatalAnswersEndWithTheirNumbers) {
  const struct {
    const char* input;
    int status;
    const char* outEnd;  // how standard output ends
    const char* error;
  } cases[] = {
      {"\n1234\nabc\n", 59, " Numar studenti: \n", "list-directed I/O syntax error"},
      {"\n", 24, " Grupa: ", "end-of-file during read"},
      {"\n1234\n", 24, " Numar studenti: ", "end-of-file during read"},
      {"\n1234\n4\n", 24, " Problema_de_Examen nr. (1 sau 2): ", "end-of-file during read"},
      {"\n1234\n4\n1\n", 24, " SET de Probleme nr.: ", "end-of-file during read"},
      {"\n1234\n4\n1\n1\n", 24,
       " Numar_Start_Problema, Numar_End_Problema: ", "end-of-file during read"},
      {"\n1234\n4\n1\n1\n1\n", 24, " Numar_Start_Problema, Numar_End_Problema: \n",
       "end-of-file during read"},
      {"\n1234\n4\n1\n1\n1 6\n", 24,
       " Noua alocare (char#R,r) sau re-alocare(R,r): ", "end-of-file during read"},
      {"\n1234\n4\n1\n1\n10 100\n", 66, " Numar_Start_Problema, Numar_End_Problema: \n",
       "output statement overflows record"},
      {"\n1234\n4\n1\n1\n1 99999999999\n", 64, " Numar_Start_Problema, Numar_End_Problema: \n",
       "input conversion error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    ScratchDirectory scratch;
    const SessionResult run = runLotranoBinary(scratch.path(), c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    const std::string end = c.outEnd;
    ASSERT_GE(run.out.size(), end.size());
    EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end);
    EXPECT_EQ(run.out.find("Press any key"), std::string::npos);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    const std::string named = c.status == 66 ? "range text" : "console";
    EXPECT_NE(run.err.find("file: " + named), std::string::npos) << run.err;
    // Nothing is left behind: a result file created before the allocation
    // question is removed again when the run stops there.
    EXPECT_TRUE(entries(scratch.path()).empty());
  }
}

// Runs a shell command line in the directory, without a display; its exit status.
int runInShell(const fs::path& directory, const std::string& commandLine) {
  const std::string command =
      "cd '" + directory.string() + "' && unset DISPLAY WAYLAND_DISPLAY && " + commandLine;
  const int raw = std::system(("bash -c \"" + command + "\"").c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(BinarySession, FailedConsoleReadsAndWritesStopWithTheirNumbers) {
  ScratchDirectory scratch;
  // The program itself: its seeding wait gives the reader time to go.
  const std::string binary = std::string("'") + kLotrano + "'";
  // Standard input that cannot be read at all.
  fs::create_directory(scratch.path() / "folder");
  EXPECT_EQ(runInShell(scratch.path(), binary + " < folder > out 2> err"), 39);
  EXPECT_NE(
      readWholeFile(scratch.path() / "err").find("error during read (error 39), file: console"),
      std::string::npos);

  // An answer line longer than any the program reads is refused, not cut.
  writeWholeFile(scratch.path() / "long", "\n" + std::string(70000, ' ') + "G\n4\n");
  EXPECT_EQ(runInShell(scratch.path(), binary + " < long > out 2> err"), 39);

  // Standard output closed while the draw waits: a failed write, not a silent death.
  const int status =
      runInShell(scratch.path(), "(printf '\\nG\\n4\\n1\\n1\\n1 6\\n\\n') | " + binary +
                                     " 2> err | head -c 1 > /dev/null; exit \\${PIPESTATUS[1]}");
  EXPECT_EQ(status, 38);
  EXPECT_NE(
      readWholeFile(scratch.path() / "err").find("error during write (error 38), file: console"),
      std::string::npos)
      << readWholeFile(scratch.path() / "err");
  EXPECT_FALSE(fs::exists(scratch.path() / "Seed_1 (1-6) Grupa G.dat"));
}

TEST(BinarySession, GroupFileChosenAtTheConsoleThenReallocatedNumberForNumber) {
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  writeWholeFile(scratch.path() / "Dat" / "grupa_311.dat", kGroup311);
  // 15 students over 1..6: three batches, three seed entries.
  std::string big = "Grupa 311 AC\r\n";
  for (int k = 1; k <= 15; ++k) big += std::to_string(k) + " Student " + std::to_string(k) + "\r\n";
  writeWholeFile(scratch.path() / "Dat" / "mare.txt", big);

  const SessionResult first = runLotranoBinary(scratch.path(), "mare.txt\n1\n3\n1 6\nn\n");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(first.out.starts_with(" Grupa: 311 AC\n Numar studenti:  15\n\n Problema_de_Examen"))
      << first.out;
  const fs::path report = scratch.path() / "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
  const fs::path seed = scratch.path() / "Seed_1 (1-6) Grupa 311 AC.dat";
  const std::string firstReport = readWholeFile(report);
  const std::string firstSeed = readWholeFile(seed);
  EXPECT_EQ(std::count(firstSeed.begin(), firstSeed.end(), '\n'), 6);
  EXPECT_FALSE(writable(report)) << "the result file is read-only";
  EXPECT_TRUE(writable(seed)) << "the seed file keeps its normal attributes";

  // A re-allocation from that seed file, chosen by its bare name although
  // the chooser starts in Dat/: the base name is taken, so it writes [1].
  const SessionResult again =
      runLotranoBinary(scratch.path(), "mare.txt\n1\n3\n1 6\nr\nSeed_1 (1-6) Grupa 311 AC\n");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.find("Waiting"), std::string::npos);
  EXPECT_NE(again.err.find("Selecteza Fisierul Seed"), std::string::npos);
  const fs::path secondReport = scratch.path() / "Probleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez";
  const std::string reallocated = readWholeFile(secondReport);
  EXPECT_EQ(tableOf(reallocated), tableOf(firstReport));
  EXPECT_NE(reallocated.find(" [Re-alocare, cu: \"Seed_1 (1-6) Grupa 311 AC.dat\"]\r\n"),
            std::string::npos);
  EXPECT_EQ(readWholeFile(scratch.path() / "Seed_1 (1-6) Grupa 311 AC[1].dat"), firstSeed);
  EXPECT_EQ(readWholeFile(seed), firstSeed);
  EXPECT_EQ(readWholeFile(report), firstReport) << "the first result file is untouched";

  // With both reports filed away and their seed files left where they were,
  // a re-allocation from the first takes the next free name, [2], and
  // neither seed file is touched.
  const auto inode = [](const fs::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
  };
  const fs::path secondSeed = scratch.path() / "Seed_1 (1-6) Grupa 311 AC[1].dat";
  const auto seedInodes = std::pair(inode(seed), inode(secondSeed));
  fs::create_directory(scratch.path() / "arhiva");
  fs::rename(report, scratch.path() / "arhiva" / report.filename());
  fs::rename(secondReport, scratch.path() / "arhiva" / secondReport.filename());
  const SessionResult third =
      runLotranoBinary(scratch.path(), "mare.txt\n1\n3\n1 6\nr\n" + seed.string() + "\n");
  ASSERT_EQ(third.status, 0) << third.err;
  const fs::path thirdReport = scratch.path() / "Probleme Examen Nr_1 (1-6) Grupa 311 AC[2].rez";
  EXPECT_EQ(tableOf(readWholeFile(thirdReport)), tableOf(firstReport));
  EXPECT_EQ(readWholeFile(scratch.path() / "Seed_1 (1-6) Grupa 311 AC[2].dat"), firstSeed);
  EXPECT_EQ(std::pair(inode(seed), inode(secondSeed)), seedInodes) << "a seed file was replaced";
  EXPECT_EQ(readWholeFile(seed), firstSeed);
  EXPECT_EQ(
      entries(scratch.path()),
      (std::vector<std::string>{"Dat/", "Probleme Examen Nr_1 (1-6) Grupa 311 AC[2].rez",
                                "Seed_1 (1-6) Grupa 311 AC.dat", "Seed_1 (1-6) Grupa 311 AC[1].dat",
                                "Seed_1 (1-6) Grupa 311 AC[2].dat", "arhiva/"}));
}

TEST(BinarySession, ReportsOfTwoGroupsKeepASeedFileEach) {
  // Two groups of one year over the same range. Titles that hold a "." once
  // shared one seed file, which the second allocation replaced, and then
  // shared their variants' names.
  const struct {
    const char* titles[2];
    const char* again[2];  // the names of the reports drawn again
  } cases[] = {
      {{"Gr. 311 AC", "Gr. 312 AC"}, {"Gr. 311 AC[1]", "Gr. 312 AC[1]"}},
      {{"Sem. 1, Grupa 1231", "Sem. 2, Grupa 1231"},
       {"Sem. 1, Grupa 1231[1]", "Sem. 2, Grupa 1231[1]"}},
      {{"Grupa 311 AC", "Grupa 312 AC"}, {"Grupa 311 AC[1]", "Grupa 312 AC[1]"}},
  };
  const std::string prefix = "Probleme Examen Nr_1 (1-6) ";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.titles[0]);
    ScratchDirectory scratch;
    fs::create_directory(scratch.path() / "Dat");
    std::vector<std::string> expected = {"Dat/"};
    for (int k = 0; k < 2; ++k) {
      std::string list = std::string(c.titles[k]) + "\r\n";
      for (int s = 1; s <= 5; ++s) {
        list +=
            std::to_string(s) + ". Student " + std::to_string(s) + " din " + c.titles[k] + "\r\n";
      }
      writeWholeFile(scratch.path() / "Dat" / ("g" + std::to_string(k) + ".txt"), list);
      const SessionResult run =
          runLotranoBinary(scratch.path(), "g" + std::to_string(k) + ".txt\n1\n3\n1 6\n\n");
      ASSERT_EQ(run.status, 0) << run.err;
      expected.push_back(prefix + c.titles[k] + ".rez");
      expected.push_back(std::string("Seed_1 (1-6) ") + c.titles[k] + ".dat");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(scratch.path()), expected);

    // Each report drawn again from its own seed file: the same table, and
    // the same words in the new seed file.
    for (int k = 0; k < 2; ++k) {
      const std::string first = readWholeFile(scratch.path() / (prefix + c.titles[k] + ".rez"));
      const fs::path seed = scratch.path() / (std::string("Seed_1 (1-6) ") + c.titles[k] + ".dat");
      const std::string seedWords = readWholeFile(seed);
      const SessionResult again = runLotranoBinary(
          scratch.path(), "g" + std::to_string(k) + ".txt\n1\n3\n1 6\nr\n" + seed.string() + "\n");
      ASSERT_EQ(again.status, 0) << again.err;
      const std::string drawnAgain = readWholeFile(scratch.path() / (prefix + c.again[k] + ".rez"));
      EXPECT_NE(drawnAgain.find(std::string("Student 1 din ") + c.titles[k]), std::string::npos);
      EXPECT_EQ(tableOf(drawnAgain), tableOf(first));
      EXPECT_EQ(
          readWholeFile(scratch.path() / (std::string("Seed_1 (1-6) ") + c.again[k] + ".dat")),
          seedWords);
      EXPECT_EQ(readWholeFile(seed), seedWords);
    }
  }
}

// Runs filling the ten names one by one are DottedTitlesCountTheirOwnTenNames;
// here the ten files are the test's, as a teacher's folder may hold them.
TEST(BinarySession, TenFilesOfTheNameAndTheNextRunIsRefused) {
  ScratchDirectory scratch;
  const std::string answers = "\nG\n1\n1\n1\n5 6\n\n";
  for (int k = 0; k <= 9; ++k) {
    const std::string variant = k == 0 ? "" : "[" + std::to_string(k) + "]";
    writeWholeFile(scratch.path() / ("Probleme Examen Nr_1 (5-6) Grupa G" + variant + ".rez"),
                   "an earlier report\r\n");
  }
  const auto before = entries(scratch.path());
  const SessionResult refused = runLotranoBinary(scratch.path(), answers);
  EXPECT_EQ(refused.status, 0);
  EXPECT_NE(refused.err.find("Lotrano Message"), std::string::npos);
  EXPECT_NE(refused.err.find("Sunt deja 10 fisiere de rezultate."), std::string::npos);
  EXPECT_NE(refused.err.find("Sterge unele din ele!"), std::string::npos);
  EXPECT_NE(refused.err.find("[ OK ]"), std::string::npos);
  const std::string end = " Numar_Start_Problema, Numar_End_Problema: \n Press any key\n";
  EXPECT_EQ(refused.out.substr(refused.out.size() - end.size()), end);
  EXPECT_EQ(entries(scratch.path()), before);
  for (const std::string& name : before) {
    EXPECT_EQ(readWholeFile(scratch.path() / name), "an earlier report\r\n") << name;
  }
}

// Titles with a "." keep their whole title in every variant, so that the ten
// names of one group are its own: ten reports of one group leave the other
// group's names free, and a report of the older naming is left alone.
TEST(BinarySession, DottedTitlesCountTheirOwnTenNames) {
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  const std::string prefix = "Probleme Examen Nr_1 (1-6) ";
  for (const std::string title : {"Gr. 311 AC", "Gr. 312 AC"}) {
    writeWholeFile(scratch.path() / "Dat" / (title.substr(4, 3) + ".txt"),
                   title + "\r\n1. Ana\r\n2. Bogdan\r\n");
  }
  // A report of the older naming, whose variants were cut at the first ".".
  const std::string older = prefix + "Gr[1].rez";
  writeWholeFile(scratch.path() / older, "an earlier report\r\n");
  const auto run = [&](const std::string& group) {
    return runLotranoBinary(scratch.path(), group + ".txt\n1\n1\n1 6\n\n");
  };
  std::vector<std::string> expected = {"Dat/", older};
  for (int k = 0; k < 10; ++k) {
    const SessionResult made = run("311");
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string variant = k == 0 ? "" : "[" + std::to_string(k) + "]";
    expected.push_back(prefix + "Gr. 311 AC" + variant + ".rez");
    expected.push_back("Seed_1 (1-6) Gr. 311 AC" + variant + ".dat");
  }
  for (const std::string variant : {"", "[1]"}) {
    const SessionResult made = run("312");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err.find("Sunt deja 10"), std::string::npos);
    expected.push_back(prefix + "Gr. 312 AC" + variant + ".rez");
    expected.push_back("Seed_1 (1-6) Gr. 312 AC" + variant + ".dat");
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(entries(scratch.path()), expected);
  EXPECT_EQ(readWholeFile(scratch.path() / older), "an earlier report\r\n");

  // The eleventh of group 311 is refused, and changes nothing.
  const SessionResult refused = run("311");
  EXPECT_EQ(refused.status, 0);
  EXPECT_NE(refused.err.find("Sunt deja 10 fisiere de rezultate."), std::string::npos);
  EXPECT_EQ(entries(scratch.path()), expected);
}

// Every range is either asked again, before any file exists, or drawn with
// every problem inside it.
TEST(BinarySession, RangesAreAskedAgainOrDrawnInsideThemselves) {
  const std::string invalid =
      " Interval de probleme invalid! (Numar_End_Problema > Numar_Start_Problema)";
  const std::string tooSmall = " Interval de probleme prea mic pentru numarul de studenti!";
  const struct {
    const char* what;
    int students;
    const char* range;
    const std::string* refusal;  // nullptr: drawn
  } cases[] = {
      {"end below the start", 1, "5 4", &invalid},
      {"end far below the start", 3, "9 -9", &invalid},
      {"one problem, one student", 1, "5 5", &invalid},
      {"one problem, four students", 4, "5 5", &invalid},
      {"no student, one problem", 0, "7 7", &invalid},
      {"two problems, two students", 2, "5 6", nullptr},
      {"two problems, negative, one student", 1, "-6,-5", nullptr},
      {"three batches to the edge: 3 x 2", 6, "5 6", nullptr},
      {"one past the edge: 7 over 2", 7, "5 6", &tooSmall},
      {"three batches to the edge: 3 x 4", 12, "-2 1", nullptr},
      {"one past the edge: 13 over 4", 13, "-2 1", &tooSmall},
  };
  // The range that follows a refused one: wide enough for every group here.
  const char* kAccepted = "1 20";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDirectory scratch;
    const std::string answers = "\nG\n" + std::to_string(c.students) + "\n1\n1\n" + c.range + "\n" +
                                (c.refusal ? std::string(kAccepted) + "\n" : "") + "\n";
    const SessionResult run = runLotranoBinary(scratch.path(), answers);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string prompt = " Numar_Start_Problema, Numar_End_Problema: \n";
    if (c.refusal) {
      EXPECT_NE(run.out.find(prompt + "\n" + *c.refusal + "\n" + prompt + "\n Noua alocare"),
                std::string::npos)
          << run.out;
    } else {
      EXPECT_EQ(run.out.find(" Interval de probleme"), std::string::npos) << run.out;
    }
    // The one report there is: its range, and every row's problem inside it.
    std::int32_t start = 0;
    std::int32_t end = 0;
    ASSERT_EQ(std::sscanf(c.refusal ? kAccepted : c.range, "%d%*[ ,]%d", &start, &end), 2);
    std::string report;
    for (const std::string& name : entries(scratch.path())) {
      if (name.ends_with(".rez")) report = readWholeFile(scratch.path() / name);
    }
    ASSERT_FALSE(report.empty());
    const std::string rows = tableOf(report);
    std::size_t rowCount = 0;
    for (std::size_t at = 0; at < rows.size(); ++rowCount) {
      const std::size_t lineEnd = std::min(rows.find("\r\n", at), rows.size());
      const std::string row = rows.substr(at, lineEnd - at);
      const std::int32_t problem = std::stoi(row.substr(row.find_last_of(' ') + 1));
      EXPECT_GE(problem, start) << row;
      EXPECT_LE(problem, end) << row;
      at = lineEnd + 2;
    }
    EXPECT_EQ(rowCount, static_cast<std::size_t>(c.students));
  }
}

}  // namespace
