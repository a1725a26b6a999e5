// lotrano-verify as a teacher runs it, on reports the real lotrano binary
// wrote: the verdicts on standard output word for word, the exit status, and
// every file on disk left as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alloc/batch_draw.h"
#include "session/binary_session.h"
#include "support/file_access.h"
#include "support/text_lines.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kNamesNotChecked =
    " (numele studentilor nu au fost verificate: luate din raport)";

// Group 311 AC: five students, drawn over 1..8 (one batch, three problems
// left). Group 312 B: eight students over 1..6 (two batches, two repeated).
constexpr const char* kGroup311 =
    "Grupa 311 AC\r\nNr. Nume si prenume\r\n1. Alfa Beta\r\n2. Gama Delta Epsilon\r\n"
    "3. Zeta Eta Teta\r\n4. Iota Kapa\r\n5. Lambda Miu Niu\r\n";
constexpr const char* kGroup312 =
    "Grupa 312 B\r\n1 Ana\r\n2 Bogdan\r\n3 Cristina\r\n4 Dan\r\n5 Elena\r\n6 Florin\r\n"
    "7 Gabriela\r\n8 Horia\r\n";
constexpr const char* kReport311 = "Probleme Examen Nr_1 (1-8) Grupa 311 AC.rez";
constexpr const char* kSeed311 = "Seed_1 (1-8) Grupa 311 AC.dat";
constexpr const char* kReport312 = "Probleme Examen Nr_1 (1-6) Grupa 312 B.rez";
constexpr const char* kSeed312 = "Seed_1 (1-6) Grupa 312 B.dat";
// Reports and seed files of ranges of fewer than two problems.
constexpr const char* kStoredReportsOfNoDraw = LOTRANO_SOURCE_DIR "/tests/data/reports_of_no_draw";

// The user nobody, for runs where a read-only folder must be read-only for
// the program too.
constexpr const char* kAsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";

// Runs lotrano-verify in `directory` with the arguments; its output goes to
// files outside that folder. `prefix` goes before the binary (a change of user).
SessionResult runVerify(const fs::path& directory, const std::vector<std::string>& arguments,
                        const std::string& prefix = {},
                        const std::string& binary = LOTRANO_VERIFY_BINARY) {
  ScratchDirectory io(ScratchDirectory::kStayOutside);
  fs::permissions(io.path(), fs::perms::all);
  std::string command =
      "cd " + shellQuoted(directory.string()) + " && " + prefix + " " + shellQuoted(binary);
  for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
  command += " < /dev/null > " + shellQuoted((io.path() / "out").string()) + " 2> " +
             shellQuoted((io.path() / "err").string());
  const int raw = std::system(command.c_str());
  SessionResult result;
  result.out = readWholeFile(io.path() / "out");
  result.err = readWholeFile(io.path() / "err");
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

// The independent re-checker's status for a report (and a seed file given
// in its place of the one named after the report): 0 when they agree, 2 when
// not. It reads the numbers only, not the names.
int redrawStatus(const fs::path& directory, const std::string& report,
                 const std::string& seed = {}) {
  std::string command = "cd " + shellQuoted(directory.string()) + " && " +
                        shellQuoted(LOTRANO_PYTHON) + " " +
                        shellQuoted(std::string(LOTRANO_SOURCE_DIR) + "/tools/redraw.py") +
                        " --report " + shellQuoted(report);
  if (!seed.empty()) command += " " + shellQuoted(seed);
  command += " > /dev/null 2>&1";
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Runs lotrano in `directory` on the answers; the run must succeed.
void allocate(const fs::path& directory, const std::string& answers) {
  const SessionResult run = runLotranoBinary(directory, answers);
  ASSERT_EQ(run.status, 0) << answers << run.err;
}

std::vector<std::string> reportLines(const std::string& report) { return linesOf(report, "\r\n"); }

std::string matched(const std::string& report, const std::string& seed,
                    const std::string& after = kNamesNotChecked) {
  return "POTRIVIRE: " + report + " corespunde fisierului seed " + seed + after + "\n";
}

std::string mismatched(const std::string& report, const std::string& seed, std::size_t line,
                       const std::string& inReport, const std::string& rebuilt) {
  return "NEPOTRIVIRE: " + report + " nu corespunde fisierului seed " + seed +
         "\n  prima linie diferita: " + std::to_string(line) + "\n  in raport:  \"" + inReport +
         "\"\n  refacut:    \"" + rebuilt + "\"\n";
}

// The problem number at the end of a table row.
std::int32_t problemOf(const std::string& row) {
  return std::stoi(row.substr(row.find_last_of(' ') + 1));
}

// A table row with another problem number, in the number's columns.
std::string withProblem(const std::string& row, std::int32_t problem) {
  const std::string digits = std::to_string(problem);
  std::string changed = row.substr(0, row.size() - 2);
  changed.resize(row.size() - digits.size(), ' ');
  return changed + digits;
}

// Rows 1 and 2 (lines 11 and 12) with their names swapped and their numbers kept.
void swapFirstTwoNames(std::vector<std::string>& lines) {
  const std::string first = lines[10].substr(9, 36);
  lines[10].replace(9, 36, lines[11].substr(9, 36));
  lines[11].replace(9, 36, first);
}

void makeReachable(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
}

// Every file and folder below `root`, and `root` itself, without write permission.
void makeReadOnly(const fs::path& root) {
  const auto noWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    fs::permissions(entry.path(), noWrite, fs::perm_options::remove);
  }
  fs::permissions(root, noWrite, fs::perm_options::remove);
}

// The allocations every test starts from, made once: group 311 AC and group
// 312 B with their group files in Dat/, each report beside its seed file.
class VerifySession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    allocations_ = std::make_unique<ScratchDirectory>(ScratchDirectory::kStayOutside);
    const fs::path folder = allocations_->path();
    fs::create_directory(folder / "Dat");
    writeWholeFile(folder / "Dat" / "grupa_311.txt", kGroup311);
    writeWholeFile(folder / "Dat" / "grupa_312.txt", kGroup312);
    allocate(folder, "grupa_311.txt\n1\n3\n1 8\n\n");
    allocate(folder, "grupa_312.txt\n1\n2\n1 6\n\n");
  }
  static void TearDownTestSuite() { allocations_.reset(); }

  // A folder of the test's own holding the allocations; under `base` when given.
  fs::path copyOfAllocations(const fs::path& base = fs::temp_directory_path()) {
    folders_.push_back(std::make_unique<ScratchDirectory>(ScratchDirectory::kStayOutside, base));
    const fs::path folder = folders_.back()->path() / "examene";
    fs::copy(allocations_->path(), folder, fs::copy_options::recursive);
    return folder;
  }

  static std::string original(const char* name) {
    return readWholeFile(allocations_->path() / name);
  }

 private:
  static std::unique_ptr<ScratchDirectory> allocations_;
  std::vector<std::unique_ptr<ScratchDirectory>> folders_;
};

std::unique_ptr<ScratchDirectory> VerifySession::allocations_;

TEST_F(VerifySession, EveryKindOfReportMatchesAndNothingOnDiskChanges) {
  const fs::path folder = copyOfAllocations();
  // A re-allocation of group 311 AC, into [1]; three batches; a range with
  // negative numbers.
  allocate(folder, "grupa_311.txt\n1\n3\n1 8\nr\n" + (folder / kSeed311).string() + "\n");
  allocate(folder, "\n1234\n15\n2\n7\n1,6\n\n");
  allocate(folder, "\nNeg\n3\n2\n4\n-5 -3\n\n");
  // Reports of ranges that the program now asks again (no problem, or one
  // problem for several students), written by an earlier version: they are
  // checked as the draw gives them, the number past the range included.
  for (const auto& stored : fs::directory_iterator(kStoredReportsOfNoDraw)) {
    fs::copy_file(stored.path(), folder / stored.path().filename());
  }
  const std::vector<std::string> reports = {
      kReport311,
      "Probleme Examen Nr_1 (1-8) Grupa 311 AC[1].rez",
      kReport312,
      "Probleme Examen Nr_2 (1-6) Grupa 1234.rez",
      "Probleme Examen Nr_2 (-5--3) Grupa Neg.rez",
      "Probleme Examen Nr_1 (5-4) Grupa G.rez",
      "Probleme Examen Nr_2 (5-4) Grupa G.rez",
      "Probleme Examen Nr_1 (5-5) Grupa G.rez",
  };
  ASSERT_NE(readWholeFile(folder / reports[1]).find(" [Re-alocare, cu: "), std::string::npos);
  const std::string expected =
      matched(reports[0], kSeed311) + matched(reports[1], "Seed_1 (1-8) Grupa 311 AC[1].dat") +
      matched(reports[2], kSeed312) + matched(reports[3], "Seed_2 (1-6) Grupa 1234.dat", "") +
      matched(reports[4], "Seed_2 (-5--3) Grupa Neg.dat", "") +
      matched(reports[5], "Seed_1 (5-4) Grupa G.dat", "") +
      matched(reports[6], "Seed_2 (5-4) Grupa G.dat", "") +
      matched(reports[7], "Seed_1 (5-5) Grupa G.dat", "");

  const TreeSnapshot before = snapshotTree(folder);
  const SessionResult run = runVerify(folder, reports);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(treeChanges(before, snapshotTree(folder), {}), "");
  for (const std::string& report : reports) {
    EXPECT_EQ(redrawStatus(folder, report), 0) << "the re-checker disagrees on " << report;
  }

  // The names checked against the group file they were read from.
  const SessionResult named =
      runVerify(folder, {"--group", "Dat/grupa_311.txt", reports[0], reports[1]});
  EXPECT_EQ(named.status, 0);
  EXPECT_EQ(named.out, matched(reports[0], kSeed311, " si fisierului grupei Dat/grupa_311.txt") +
                           matched(reports[1], "Seed_1 (1-8) Grupa 311 AC[1].dat",
                                   " si fisierului grupei Dat/grupa_311.txt"));

  // Reports with LF line ends (a copy opened in an editor) read the same.
  std::string lf = readWholeFile(folder / kReport311);
  lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
  fs::create_directory(folder / "lf");
  writeWholeFile(folder / "lf" / kReport311, lf);
  fs::copy_file(folder / kSeed311, folder / "lf" / kSeed311);
  const SessionResult fromLf = runVerify(folder, {std::string("lf/") + kReport311});
  EXPECT_EQ(fromLf.status, 0) << fromLf.out;
  EXPECT_EQ(fromLf.out, matched(std::string("lf/") + kReport311, std::string("lf/") + kSeed311));
}

// Variants of a dotted title were once named after the title's part before
// its first "." ("... Gr[1].rez"), their seed files likewise: such a report
// is still checked against its own seed file.
TEST_F(VerifySession, AnOlderVariantOfADottedTitleFindsItsSeedFile) {
  const fs::path folder = copyOfAllocations();
  writeWholeFile(folder / "Dat" / "gr.txt", "Gr. 311 AC\r\n1. Ana\r\n2. Bogdan\r\n3. Carmen\r\n");
  allocate(folder, "gr.txt\n1\n1\n1 6\n\n");
  allocate(folder, "gr.txt\n1\n1\n1 6\n\n");
  const std::string older = "Probleme Examen Nr_1 (1-6) Gr[1].rez";
  const std::string olderSeed = "Seed_1 (1-6) Gr[1].dat";
  fs::rename(folder / "Probleme Examen Nr_1 (1-6) Gr. 311 AC[1].rez", folder / older);
  fs::rename(folder / "Seed_1 (1-6) Gr. 311 AC[1].dat", folder / olderSeed);
  const SessionResult run = runVerify(folder, {older, "Probleme Examen Nr_1 (1-6) Gr. 311 AC.rez"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            matched(older, olderSeed) + matched("Probleme Examen Nr_1 (1-6) Gr. 311 AC.rez",
                                                "Seed_1 (1-6) Gr. 311 AC.dat"));
}

TEST_F(VerifySession, ReadOnlyFolderIsCheckedWithoutAWrite) {
  // As root every folder is writable: the run is then made as nobody, from a
  // copy of the binary that nobody may start.
  std::string prefix;
  std::string binary = LOTRANO_VERIFY_BINARY;
  fs::path base = fs::temp_directory_path();
  if (geteuid() == 0) {
    base = worldReachableFolder();
    if (base.empty() || std::system("command -v setpriv > /dev/null") != 0) {
      GTEST_SKIP() << "running as nobody needs setpriv and a folder nobody can reach";
    }
    prefix = kAsNobody;
  }
  const fs::path folder = copyOfAllocations(base);
  for (fs::path step = folder; step != base; step = step.parent_path()) makeReachable(step);
  if (!prefix.empty()) {
    fs::copy_file(LOTRANO_VERIFY_BINARY, folder.parent_path() / "lotrano-verify");
    binary = (folder.parent_path() / "lotrano-verify").string();
    makeReachable(binary);
  }
  // The seed file of group 312 B readable by its owner alone.
  fs::permissions(folder / kSeed312, fs::perms::owner_read);
  makeReadOnly(folder);
  const TreeSnapshot before = snapshotTree(folder);

  const SessionResult run =
      runVerify(folder, {"--group", "Dat/grupa_311.txt", kReport311, kReport312}, prefix, binary);
  const SessionResult unprivileged = runVerify(folder, {kReport312}, prefix, binary);
  EXPECT_EQ(treeChanges(before, snapshotTree(folder), {}), "");
  EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1),
            matched(kReport311, kSeed311, " si fisierului grupei Dat/grupa_311.txt"));
  if (!prefix.empty() || geteuid() != 0) {
    const std::string denied = std::string("EROARE: ") + kReport312 +
                               ": permission to access file denied (error 9), file: " + kSeed312 +
                               " (Permission denied)\n";
    EXPECT_EQ(unprivileged.out, denied);
    EXPECT_EQ(unprivileged.status, 9);
  }
}

TEST_F(VerifySession, TamperedCopiesPointAtTheirFirstDifferingLine) {
  const fs::path folder = copyOfAllocations();
  const std::vector<std::string> good = reportLines(original(kReport311));
  ASSERT_EQ(good.size(), 22u) << original(kReport311);
  const std::vector<std::string> good312 = reportLines(original(kReport312));
  ASSERT_EQ(good312.size(), 28u) << original(kReport312);
  // Rows 11 to 15; the unallocated problems on line 19.
  ASSERT_EQ(good[18].size(), 15u) << good[18];

  // Row 2 with a blank name, as the redraw writes a row the report lacks.
  std::string unnamedRow2 = good[11];
  unnamedRow2.replace(9, 36, std::string(36, ' '));

  // The numbers group 312 B's seed file draws for five students over 1..8.
  const std::string otherSeed = original(kSeed312);
  lotrano::SeedPair pair;
  ASSERT_EQ(std::sscanf(otherSeed.c_str(), " seed_1:\r\n%d %d", &pair.first, &pair.second), 2);
  lotrano::GeneratorState state = lotrano::stateFromWords(pair);
  const auto otherNumbers = lotrano::drawBatch(5, {1, 8, 8}, state).numbers;
  std::string otherSeedVerdict;
  for (std::size_t k = 0; k < 5 && otherSeedVerdict.empty(); ++k) {
    if (otherNumbers[k] == problemOf(good[10 + k])) continue;
    otherSeedVerdict = mismatched("copie.rez", kSeed312, 11 + k, good[10 + k],
                                  withProblem(good[10 + k], otherNumbers[k]));
  }
  // Should every number agree (one chance in thousands), so does the report.
  if (otherSeedVerdict.empty()) otherSeedVerdict = matched("copie.rez", kSeed312);

  // Cases on group 311 AC unless they say 312.
  const struct {
    const char* what;
    bool group312;
    std::function<void(std::vector<std::string>& lines)> edit;
    std::vector<std::string> options;
    std::function<std::string(const std::vector<std::string>& copy)> verdict;
  } cases[] = {
      {"one problem number changed",
       false,
       [](auto& lines) { lines[12] = withProblem(lines[12], problemOf(lines[12]) % 8 + 1); },
       {"--seed", kSeed311},
       [&](const auto& copy) { return mismatched("copie.rez", kSeed311, 13, copy[12], good[12]); }},
      {"two students' numbers swapped",
       false,
       [](auto& lines) {
         const std::int32_t first = problemOf(lines[10]);
         lines[10] = withProblem(lines[10], problemOf(lines[11]));
         lines[11] = withProblem(lines[11], first);
       },
       {"--seed", kSeed311},
       [&](const auto& copy) { return mismatched("copie.rez", kSeed311, 11, copy[10], good[10]); }},
      {"a row deleted",
       false,
       [](auto& lines) { lines.erase(lines.begin() + 11); },
       {"--seed", kSeed311},
       [&](const auto& copy) {
         return mismatched("copie.rez", kSeed311, 12, copy[11], unnamedRow2);
       }},
      {"a row added",
       false,
       [](auto& lines) {
         char row[64];
         std::snprintf(row, sizeof row, "%4d     %-36s%2d", 6, "Intrus Nou", 3);
         lines.insert(lines.begin() + 15, row);
       },
       {"--seed", kSeed311},
       [&](const auto& copy) { return mismatched("copie.rez", kSeed311, 16, copy[15], ""); }},
      {"two students' names swapped, names not checked",
       false,
       swapFirstTwoNames,
       {"--seed", kSeed311},
       [](const auto&) { return matched("copie.rez", kSeed311); }},
      {"two students' names swapped, checked against the group file",
       false,
       swapFirstTwoNames,
       {"--group", "Dat/grupa_311.txt", "--seed", kSeed311},
       [&](const auto& copy) { return mismatched("copie.rez", kSeed311, 11, copy[10], good[10]); }},
      {"the unallocated list changed",
       false,
       [](auto& lines) {
         char first[8];
         std::snprintf(first, sizeof first, "%5d", problemOf(lines[10]));
         lines[18].replace(0, 5, first);
       },
       {"--seed", kSeed311},
       [&](const auto& copy) { return mismatched("copie.rez", kSeed311, 19, copy[18], good[18]); }},
      {"the repeated problems changed",
       true,
       [](auto& lines) { lines[23] = withProblem(lines[23], problemOf(lines[23]) % 6 + 1); },
       {"--seed", kSeed312},
       [&](const auto& copy) {
         return mismatched("copie.rez", kSeed312, 24, copy[23], good312[23]);
       }},
      {"the range in the header changed",
       false,
       [](auto& lines) { lines[6] = " Numere Probleme: 1-9  (8 probleme)"; },
       {"--seed", kSeed311},
       [](const auto& copy) {
         return mismatched("copie.rez", kSeed311, 7, copy[6],
                           " Numere Probleme: 1-9  (9 probleme)");
       }},
      {"another group's seed file",
       false,
       [](auto&) {},
       {"--seed", kSeed312},
       [&](const auto&) { return otherSeedVerdict; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> copy = c.group312 ? good312 : good;
    c.edit(copy);
    writeWholeFile(folder / "copie.rez", fileText(copy));
    std::vector<std::string> arguments = c.options;
    arguments.push_back("copie.rez");
    const SessionResult run = runVerify(folder, arguments);
    const std::string verdict = c.verdict(copy);
    EXPECT_EQ(run.out, verdict);
    EXPECT_EQ(run.status, verdict.starts_with("POTRIVIRE") ? 0 : 2);
    EXPECT_EQ(run.err, "");
    // The re-checker reads the numbers, not the names: it must see the same
    // wherever the names are not what is checked.
    if (std::find(c.options.begin(), c.options.end(), "--group") == c.options.end()) {
      const auto seed = std::find(c.options.begin(), c.options.end(), "--seed");
      EXPECT_EQ(redrawStatus(folder, "copie.rez", seed == c.options.end() ? "" : *(seed + 1)),
                run.status)
          << "the re-checker disagrees";
    }
  }
}

TEST_F(VerifySession, GroupOverOneToNineHundredNinetyNineShowsEveryNumber) {
  const fs::path folder = copyOfAllocations();
  std::string group = "Grupa 313\r\n";
  for (int k = 1; k <= 30; ++k)
    group += std::to_string(k) + ". Student Nr " + std::to_string(k) + "\r\n";
  writeWholeFile(folder / "Dat" / "grupa_313.txt", group);
  allocate(folder, "grupa_313.txt\n2\n12\n1 999\n\n");
  const std::string name = "Probleme Examen Nr_2 (1-999) Grupa 313.rez";
  const std::vector<std::string> lines = reportLines(readWholeFile(folder / name));
  ASSERT_GT(lines.size(), 40u);
  EXPECT_EQ(lines[5], " Set de Probleme: #12");
  std::size_t wide = 0;
  for (std::size_t k = 10; k < 40; ++k) {
    // The number starts at column 46 and runs on as far as it needs.
    const std::int32_t problem = std::stoi(lines[k].substr(45));
    EXPECT_TRUE(problem >= 1 && problem <= 999) << lines[k];
    EXPECT_EQ(lines[k].substr(45), (problem < 10 ? " " : "") + std::to_string(problem)) << lines[k];
    if (problem >= 100) ++wide;
  }
  EXPECT_GT(wide, 0u) << "thirty numbers of 1..999, none of three digits";
  for (const std::string& line : lines) EXPECT_EQ(line.find('*'), std::string::npos) << line;

  const SessionResult run = runVerify(folder, {"--group", "Dat/grupa_313.txt", name});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(redrawStatus(folder, name), 0) << "the re-checker reads the widened numbers";
  EXPECT_EQ(run.out, matched(name, "Seed_2 (1-999) Grupa 313.dat",
                             " si fisierului grupei Dat/grupa_313.txt"));
}

TEST_F(VerifySession, WhatCannotBeCheckedSaysWhyWithTheErrorsNumber) {
  const fs::path folder = copyOfAllocations();
  const std::string good = original(kReport311);
  const std::vector<std::string> lines = reportLines(good);
  fs::create_directory(folder / "fara_seed");
  writeWholeFile(folder / "fara_seed" / kReport311, good);
  writeWholeFile(folder / "un_seed.dat", reportLines(original(kSeed312))[0] + "\r\n" +
                                             reportLines(original(kSeed312))[1] + "\r\n");
  writeWholeFile(folder / "cuvinte.dat", " seed_1:\r\n    doisprezece        12\r\n");
  writeWholeFile(folder / "altceva.rez", "Lista de cumparaturi\r\npaine\r\n");
  writeWholeFile(folder / "gol.rez", "");
  writeWholeFile(folder / "trunchiat.rez", fileText({lines.begin(), lines.begin() + 13}));
  std::vector<std::string> tooMany = lines;
  tooMany[1] = " Numar de Studenti:  25";
  writeWholeFile(folder / "prea_multi.rez", fileText(tooMany));
  // The first bytes of a program file: a NUL inside, as in any binary.
  const char elfStart[] =
      "\x7F"
      "ELF\x02\x01\x01\0\0\0\x03\0>\0";
  writeWholeFile(folder / "binar.rez",
                 std::string(elfStart, sizeof elfStart) + std::string(4096, '\0'));
  std::vector<std::string> huge = lines;
  huge[18] = std::string(3 << 20, ' ');
  writeWholeFile(folder / "linie_lunga.rez", fileText(huge));
  // The report as an editor saves it again, with an empty line at its end.
  writeWholeFile(folder / "rand_gol.rez", good + "\r\n");
  writeWholeFile(folder / "rand_gol.dat", original(kSeed311));
  // The list of group 311 AC with four students more: nine over 1..8 take a
  // second entry of the seed file, which the report's five never took.
  writeWholeFile(folder / "Dat" / "grupa_311_noua.txt",
                 std::string(kGroup311) + "6 Xi\r\n7 Omicron\r\n8 Pi\r\n9 Rho\r\n");

  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string verdict;
  } cases[] = {
      {{"lipsa.rez"},
       29,
       "EROARE: lipsa.rez: file not found (error 29), file: lipsa.rez (No such file or directory)"},
      {{std::string("fara_seed/") + kReport311},
       29,
       std::string("EROARE: fara_seed/") + kReport311 +
           ": file not found (error 29), file: fara_seed/" + kSeed311 +
           " (No such file or directory)"},
      {{"--seed", "Dat", kReport311},
       30,
       std::string("EROARE: ") + kReport311 +
           ": open failure (error 30), file: Dat (Is a directory)"},
      {{"--seed", "un_seed.dat", kReport312},
       24,
       std::string("EROARE: ") + kReport312 +
           ": end-of-file during read (error 24), file: un_seed.dat"},
      {{"--seed", "cuvinte.dat", kReport311},
       59,
       std::string("EROARE: ") + kReport311 +
           ": list-directed I/O syntax error (error 59), file: cuvinte.dat"},
      {{"--group", "Dat/lipsa.txt", kReport311},
       29,
       std::string("EROARE: ") + kReport311 +
           ": file not found (error 29), file: Dat/lipsa.txt (No such file or directory)"},
      {{"altceva.rez"},
       64,
       "EROARE: altceva.rez: input conversion error (error 64), file: altceva.rez (line 1: no "
       "group line of a report)"},
      {{"binar.rez"},
       64,
       "EROARE: binar.rez: input conversion error (error 64), file: binar.rez (line 1: no group "
       "line of a report)"},
      {{"gol.rez"},
       24,
       "EROARE: gol.rez: end-of-file during read (error 24), file: gol.rez (line 1: the report "
       "ends before its column heads)"},
      {{"trunchiat.rez"},
       24,
       "EROARE: trunchiat.rez: end-of-file during read (error 24), file: trunchiat.rez (line 14: "
       "the report ends without its date and time)"},
      {{"prea_multi.rez"},
       64,
       "EROARE: prea_multi.rez: input conversion error (error 64), file: prea_multi.rez (line 2: "
       "more students than the range can be drawn for)"},
      {{"--seed", "rand_gol.dat", "rand_gol.rez"},
       64,
       "EROARE: rand_gol.rez: input conversion error (error 64), file: rand_gol.rez (line " +
           std::to_string(lines.size() + 1) + ": lines after the report's date and time)"},
      {{"--group", "Dat/grupa_311_noua.txt", kReport311},
       24,
       std::string("EROARE: ") + kReport311 +
           ": end-of-file during read (error 24), file: Dat/grupa_311_noua.txt (it lists 9 "
           "students, the report 5, and the seed file ends before the entries they need)"},
      {{"linie_lunga.rez"},
       64,
       "EROARE: linie_lunga.rez: input conversion error (error 64), file: linie_lunga.rez (line "
       "19: longer than any line of a report)"},
  };
  const TreeSnapshot before = snapshotTree(folder);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.verdict);
    const SessionResult run = runVerify(folder, c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.verdict + "\n");
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(treeChanges(before, snapshotTree(folder), {}), "");
}

TEST_F(VerifySession, SeveralReportsGetAVerdictEachAndTheFirstFailureSetsTheStatus) {
  const fs::path folder = copyOfAllocations();
  std::vector<std::string> lines = reportLines(original(kReport312));
  lines[10] = withProblem(lines[10], problemOf(lines[10]) % 6 + 1);
  fs::create_directory(folder / "copii");
  writeWholeFile(folder / "copii" / kReport312, fileText(lines));
  fs::copy_file(folder / kSeed312, folder / "copii" / kSeed312);
  const std::string tampered = std::string("copii/") + kReport312;

  const std::string goodVerdicts = matched(kReport311, kSeed311) + matched(kReport312, kSeed312);
  const std::string tamperedVerdict = mismatched(tampered, std::string("copii/") + kSeed312, 11,
                                                 lines[10], reportLines(original(kReport312))[10]);
  const std::string missingVerdict =
      "EROARE: lipsa.rez: file not found (error 29), file: lipsa.rez (No such file or "
      "directory)\n";

  const SessionResult mismatchFirst =
      runVerify(folder, {kReport311, tampered, "lipsa.rez", kReport312});
  EXPECT_EQ(mismatchFirst.status, 2);
  EXPECT_EQ(mismatchFirst.out, matched(kReport311, kSeed311) + tamperedVerdict + missingVerdict +
                                   matched(kReport312, kSeed312));

  const SessionResult errorFirst = runVerify(folder, {"lipsa.rez", kReport311, tampered});
  EXPECT_EQ(errorFirst.status, 29);
  EXPECT_EQ(errorFirst.out, missingVerdict + matched(kReport311, kSeed311) + tamperedVerdict);

  const SessionResult allGood = runVerify(folder, {kReport311, kReport312});
  EXPECT_EQ(allGood.status, 0);
  EXPECT_EQ(allGood.out, goodVerdicts);
}

// The CSV of a report as its own rows give it: row, name (columns 10 to 46,
// trimmed; none without names), problem (the row's last number) and the
// batch of the row, from the batch sizes.
std::string csvFromRows(const std::vector<std::string>& lines, bool named,
                        const std::vector<int>& batchSizes) {
  std::string csv = "\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n";
  int row = 0;
  for (std::size_t batch = 0; batch < batchSizes.size(); ++batch) {
    for (int k = 0; k < batchSizes[batch]; ++k, ++row) {
      const std::string& line = lines[10 + static_cast<std::size_t>(row)];
      std::string name;
      if (named) {
        name = line.substr(9, 36);
        name.erase(name.find_last_not_of(' ') + 1);
        if (name.find_first_of(";\"") != std::string::npos) {
          std::string quoted = "\"";
          for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
          name = quoted + "\"";
        }
      }
      csv += std::to_string(row + 1) + ";" + name + ";" + std::to_string(problemOf(line)) + ";" +
             std::to_string(batch + 1) + "\r\n";
    }
  }
  return csv;
}

TEST_F(VerifySession, CsvOfAMatchingReportOnStandardOutputAndNothingElse) {
  const fs::path folder = copyOfAllocations();
  // Names with Romanian letters, a ";" and quotes, from a Windows-1250 list:
  // Ş (0xAA), ţ (0xFE), ă (0xE3), î (0xEE).
  writeWholeFile(folder / "Dat" / "grupa_314.txt",
                 "Grupa 314\r\n1 \xAA\x65rban; Ion\r\n2 Ana \"Mic\xE3\" \xFEurcanu\r\n"
                 "3 Ion Dumitrescu\r\n4 M\xEEndru Vlad\r\n");
  allocate(folder, "grupa_314.txt\n2\n1\n1 3\n\n");
  allocate(folder, "\n1234\n15\n2\n7\n1,6\n\n");
  const std::string named = "Probleme Examen Nr_2 (1-3) Grupa 314.rez";
  const std::string typed = "Probleme Examen Nr_2 (1-6) Grupa 1234.rez";
  const std::vector<std::string> namedLines = reportLines(readWholeFile(folder / named));
  ASSERT_GT(namedLines.size(), 14u);
  ASSERT_NE(namedLines[10].find("\xC5\x9E\x65rban; Ion"), std::string::npos) << namedLines[10];

  const struct {
    std::vector<std::string> arguments;
    std::string csv;
    std::string verdict;  // on the standard error stream
  } cases[] = {
      {{"--csv", named},
       csvFromRows(namedLines, true, {3, 1}),
       matched(named, "Seed_2 (1-3) Grupa 314.dat")},
      {{"--group", "Dat/grupa_314.txt", named, "--csv"},
       csvFromRows(namedLines, true, {3, 1}),
       matched(named, "Seed_2 (1-3) Grupa 314.dat", " si fisierului grupei Dat/grupa_314.txt")},
      {{"--csv", typed},
       csvFromRows(reportLines(readWholeFile(folder / typed)), false, {6, 6, 3}),
       matched(typed, "Seed_2 (1-6) Grupa 1234.dat", "")},
  };
  const TreeSnapshot before = snapshotTree(folder);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const SessionResult run = runVerify(folder, c.arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, c.csv);
    EXPECT_EQ(run.err, c.verdict);
  }
  // The names row by row, as the spreadsheet shows them.
  const SessionResult run = runVerify(folder, {"--csv", named});
  EXPECT_NE(run.out.find(";\"\xC5\x9E\x65rban; Ion\";"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(";\"Ana \"\"Mic\xC4\x83\"\" \xC5\xA3urcanu\";"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(";M\xC3\xAEndru Vlad;"), std::string::npos) << run.out;
  EXPECT_EQ(treeChanges(before, snapshotTree(folder), {}), "");
}

TEST_F(VerifySession, CsvOverAFileSizeLimitIsAFailedWrite) {
  const fs::path folder = copyOfAllocations();
  allocate(folder, "\n1234\n200\n1\n1\n1 100\n\n");
  const std::string report = "Probleme Examen Nr_1 (1-100) Grupa 1234.rez";
  // The CSV of 200 rows is over 2 KiB; the limit is one block (512 bytes
  // or 1 KiB, as the shell counts). The signal the limit sends is not
  // ignored here: the program must not die of it.
  const SessionResult run = runVerify(folder, {"--csv", report}, "ulimit -f 1;");
  EXPECT_EQ(run.status, 38) << run.err;
  EXPECT_EQ(run.err, "lotrano-verify: error during write (error 38), file: console\n");
}

TEST_F(VerifySession, CsvOfAReportThatDoesNotMatchIsNothing) {
  const fs::path folder = copyOfAllocations();
  std::vector<std::string> lines = reportLines(original(kReport312));
  lines[10] = withProblem(lines[10], problemOf(lines[10]) % 6 + 1);
  writeWholeFile(folder / "copie.rez", fileText(lines));
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string verdict;
  } cases[] = {
      {{"--csv", "--seed", kSeed312, "copie.rez"},
       2,
       mismatched("copie.rez", kSeed312, 11, lines[10], reportLines(original(kReport312))[10])},
      {{"--csv", "lipsa.rez"},
       29,
       "EROARE: lipsa.rez: file not found (error 29), file: lipsa.rez (No such file or "
       "directory)\n"},
      // Names checked against another group's list differ at the group line.
      {{"--csv", "--group", "Dat/grupa_311.txt", kReport312},
       2,
       mismatched(kReport312, kSeed312, 1, " Grupa: 312 B", " Grupa: 311 AC")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.verdict);
    const SessionResult run = runVerify(folder, c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.verdict);
  }
}

TEST(VerifyCommandLineSession, HelpVersionAndWrongCommandLines) {
  ScratchDirectory scratch(ScratchDirectory::kStayOutside);
  const SessionResult help = runVerify(scratch.path(), {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with(
      "Utilizare: lotrano-verify [--seed FISIER] [--group FISIER] RAPORT.rez [RAPORT.rez ...]\n"))
      << help.out;
  EXPECT_EQ(help.err, "");
  // The exit status is named as a Romanian reader calls it.
  EXPECT_NE(help.out.find("\nCod de iesire: 0 daca toate rapoartele corespund"), std::string::npos)
      << help.out;
  const SessionResult version = runVerify(scratch.path(), {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "lotrano-verify " LOTRANO_VERSION "\n");
  // The short forms print the very same.
  const SessionResult shortHelp = runVerify(scratch.path(), {"-h"});
  EXPECT_EQ(shortHelp.status, 0);
  EXPECT_EQ(shortHelp.out, help.out);
  const SessionResult shortVersion = runVerify(scratch.path(), {"-V"});
  EXPECT_EQ(shortVersion.status, 0);
  EXPECT_EQ(shortVersion.out, version.out);

  const struct {
    std::vector<std::string> arguments;
    const char* what;
  } wrong[] = {
      {{}, "niciun raport de verificat"},
      {{"--verbose", "a.rez"}, "optiune necunoscuta '--verbose'"},
      {{"a.rez", "--seed"}, "optiunea '--seed' cere un argument"},
      {{"--seed", "s.dat", "a.rez", "b.rez"},
       "optiunea '--seed' se poate da doar cu un singur raport"},
      {{"--csv", "a.rez", "b.rez"}, "optiunea '--csv' se poate da doar cu un singur raport"},
  };
  for (const auto& c : wrong) {
    const SessionResult run = runVerify(scratch.path(), c.arguments);
    EXPECT_EQ(run.status, 3) << c.what;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              std::string("lotrano-verify: ") + c.what + "\nIncercati 'lotrano-verify --help'.\n");
  }
  EXPECT_TRUE(entries(scratch.path()).empty());
}

}  // namespace
