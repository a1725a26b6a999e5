// The real binary under faults: ended input, unreadable and malformed files,
// titles that name no plain file, a folder it may not write into, a write
// that fails, the ten-name limit and runs racing for one name. Every run
// checks its exit status, its diagnostic line, and that every file already on
// disk, in its folder and around it, is as it was, with exactly the expected
// files added.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <set>
#include <string>
#include <vector>

#include "session/binary_session.h"
#include "support/file_access.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

constexpr const char* kGroup311 =
    "Grupa 311 AC\r\nNr. Nume si prenume\r\n1. Alfa Beta\r\n2. Gama Delta\r\n3. Zeta Eta\r\n"
    "4. Iota Kapa\r\n";
// The teacher's earlier allocation of another exam problem, already on disk.
constexpr const char* kEarlierResult = "Probleme Examen Nr_2 (1-9) Grupa 311 AC.rez";
constexpr const char* kEarlierSeed = "Seed_2 (1-9) Grupa 311 AC.dat";

// What a run of the group file above over the range 1 to 6 writes.
const std::string kResult = "run/Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
const std::string kSeed = "run/Seed_1 (1-6) Grupa 311 AC.dat";
// The names taken when those are.
const std::string kResult1 = "run/Probleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez";
const std::string kSeed1 = "run/Seed_1 (1-6) Grupa 311 AC[1].dat";
const std::string kTypedResult = "run/Probleme Examen Nr_1 (1-6) Grupa G.rez";
const std::string kTypedSeed = "run/Seed_1 (1-6) Grupa G.dat";
// The answers after the group file's name: exam problem 1, set 1, range 1 to 6.
const std::string kExamAnswers = "1\n1\n1 6\n";

// The uid and gid of nobody and nogroup.
constexpr const char* kAsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

struct FaultCase {
  const char* what;
  std::string input;
  int status;
  // The start of the one diagnostic line ("{run}" stands for the run's
  // folder); empty when the run writes none.
  std::string diagnostic;
  // Files the run adds, relative to the tree (the run's folder is run/).
  std::set<std::string> added;
  // Puts the case's own files into the run's folder before the run.
  std::function<void(const fs::path& run)> setup;
  // Further checks of what the run left.
  std::function<void(const fs::path& run, const SessionResult& session)> check;
  // The report was finished, and its closing console lines shown, before the
  // failure (of the seed file, written last).
  bool reportFinished = false;
  // When not empty, a shell command whose output is the input, in place of
  // `input` (see answersAround).
  std::string inputCommand = {};
};

// The input of a run that something happens to while it asks whether to
// draw anew: `first` answers up to that question; once the run has created
// `report` (it then waits for the answer), `meanwhile` runs in the run's
// folder, and `rest` answers the question and what follows.
std::string answersAround(const std::string& first, const std::string& report,
                          const std::string& meanwhile, const std::string& rest) {
  return "printf '%s' '" + first + "'; for wait in $(seq 600); do [ -e '" + report +
         "' ] && break; sleep 0.1; done; " + meanwhile + "; printf '%s' '" + rest + "'";
}

// One case's directories: tree/ holds outside.txt and the run's folder run/
// with the teacher's files (a group file in Dat/, an earlier result and seed
// file); io/ holds the session's input and output, outside the tree.
struct PreparedRun {
  std::unique_ptr<ScratchDirectory> scratch;
  fs::path tree;
  fs::path run;
  TreeSnapshot before;
  std::future<SessionResult> session;
};

PreparedRun prepare(const FaultCase& c, const fs::path& base, const std::string& prefix,
                    const std::string& binary) {
  PreparedRun prepared;
  prepared.scratch = std::make_unique<ScratchDirectory>(ScratchDirectory::kStayOutside, base);
  const fs::path root = prepared.scratch->path();
  // Reachable for an unprivileged run; the run's folder sets its own bits.
  fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  prepared.tree = root / "tree";
  prepared.run = prepared.tree / "run";
  fs::create_directories(prepared.run / "Dat");
  fs::create_directory(root / "io");
  writeWholeFile(prepared.tree / "outside.txt", "not the program's\n");
  writeWholeFile(prepared.run / "Dat" / "grupa.dat", kGroup311);
  writeWholeFile(prepared.run / kEarlierResult, "an earlier report\r\n");
  fs::permissions(prepared.run / kEarlierResult,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  writeWholeFile(prepared.run / kEarlierSeed, " seed_1:\r\n          11          22\r\n");
  if (c.setup) c.setup(prepared.run);
  prepared.before = snapshotTree(prepared.tree);
  prepared.session =
      startLotranoBinary({prepared.run, root / "io", prefix, binary, c.inputCommand}, c.input);
  return prepared;
}

// Runs the cases side by side (a few at a time: most of a run is the draw's
// wait) and checks each.
void runCases(const std::vector<FaultCase>& cases, const std::string& prefix = {},
              const std::string& binary = kLotranoWithoutWait,
              const fs::path& base = fs::temp_directory_path()) {
  constexpr std::size_t kAtOnce = 6;
  for (std::size_t first = 0; first < cases.size(); first += kAtOnce) {
    std::vector<PreparedRun> runs;
    for (std::size_t k = first; k < std::min(cases.size(), first + kAtOnce); ++k) {
      runs.push_back(prepare(cases[k], base, prefix, binary));
    }
    for (std::size_t k = 0; k < runs.size(); ++k) {
      const FaultCase& c = cases[first + k];
      PreparedRun& run = runs[k];
      SCOPED_TRACE(c.what);
      const SessionResult session = run.session.get();
      EXPECT_EQ(session.status, c.status) << session.err;
      const auto diagnostics = diagnosticLines(session.err);
      if (c.diagnostic.empty()) {
        EXPECT_TRUE(diagnostics.empty()) << session.err;
      } else {
        std::string expected = c.diagnostic;
        replaceAll(expected, "{run}", fs::canonical(run.run).string());
        ASSERT_EQ(diagnostics.size(), 1u) << session.err;
        EXPECT_TRUE(diagnostics[0].starts_with(expected))
            << diagnostics[0] << "\nexpected: " << expected;
      }
      if (c.status != 0 && !c.reportFinished) {
        // A stopped run never looks finished.
        EXPECT_EQ(session.out.find(" Fisier de iesire:"), std::string::npos);
        EXPECT_EQ(session.out.find("Press any key"), std::string::npos);
      }
      EXPECT_EQ(treeChanges(run.before, snapshotTree(run.tree), c.added), "");
      if (c.check) c.check(run.run, session);
    }
  }
}

// The checks of a report that stopped midway: its front is there, it stays
// writable (unfinished reports are never made read-only), and no seed file
// records an allocation that was not completed.
void expectUnfinishedReport(const fs::path& report, const std::string& front) {
  const std::string text = readWholeFile(report);
  EXPECT_TRUE(text.starts_with(front)) << text.substr(0, 200);
  EXPECT_EQ(text.find(" Fisier de iesire"), std::string::npos);
  EXPECT_TRUE(writable(report)) << "an unfinished report is left writable";
}

void expectFinishedReport(const fs::path& report) {
  const std::string text = readWholeFile(report);
  EXPECT_TRUE(text.starts_with(" Grupa: ")) << text.substr(0, 200);
  EXPECT_NE(text.find("\r\n (Numar de probleme:"), std::string::npos) << text;
  EXPECT_FALSE(writable(report)) << "a finished report is read-only";
}

const std::string kReportFront = " Grupa: 311 AC\r\n Numar de Studenti:   4\r\n";

TEST(FaultSession, EndOfInputAtEveryPromptAndInsideEveryAnswer) {
  const std::string console = "lotrano: end-of-file during read (error 24), file: console";
  const auto seedFile = [](const std::string& name, const std::string& content) {
    return [=](const fs::path& run) { writeWholeFile(run / name, content); };
  };
  const auto partial = [](const std::string& front) {
    return [=](const fs::path& run, const SessionResult&) {
      expectUnfinishedReport(run.parent_path() / kResult, front);
    };
  };
  const std::vector<FaultCase> cases = {
      {"at the group chooser, then at the typed group", "", 24, console, {}, {}, {}},
      {"at the student count", "\nG\n", 24, console, {}, {}, {}},
      {"at the exam problem", "grupa\n", 24, console, {}, {}, {}},
      {"at the exam problem asked again", "grupa\n3\n", 24, console, {}, {}, {}},
      {"at the problem set", "grupa\n1\n", 24, console, {}, {}, {}},
      {"at the range", "grupa\n1\n1\n", 24, console, {}, {}, {}},
      {"after the range's first number", "grupa\n1\n1\n1\n", 24, console, {}, {}, {}},
      {"after the range's first number and a comma", "grupa\n1\n1\n1,\n", 24, console, {}, {}, {}},
      {"at the allocation question: the empty result file goes again",
       "grupa\n" + kExamAnswers,
       24,
       console,
       {},
       {},
       {}},
      {"at the seed chooser",
       "grupa\n" + kExamAnswers + "r\n",
       43,
       "lotrano: invalid file name (error 43), file: seed file",
       {},
       {},
       {}},
      {"at the key wait: a finished run",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {kResult, kSeed},
       {},
       [](const fs::path& run, const SessionResult& session) {
         expectFinishedReport(run.parent_path() / kResult);
         EXPECT_TRUE(session.out.ends_with(" Press any key\n")) << session.out;
       }},
      {"an empty seed file",
       "grupa\n" + kExamAnswers + "r\n../empty.dat\n",
       24,
       "lotrano: end-of-file during read (error 24), file: {run}/empty.dat",
       {kResult},
       seedFile("empty.dat", ""),
       partial(kReportFront)},
      {"a seed file with a label and no pair",
       "grupa\n" + kExamAnswers + "r\n../label.dat\n",
       24,
       "lotrano: end-of-file during read (error 24), file: {run}/label.dat",
       {kResult},
       seedFile("label.dat", " seed_1:\r\n"),
       partial(kReportFront)},
      {"a seed file with one word of a pair",
       "grupa\n" + kExamAnswers + "r\n../word.dat\n",
       24,
       "lotrano: end-of-file during read (error 24), file: {run}/word.dat",
       {kResult},
       seedFile("word.dat", " seed_1:\r\n         12"),
       partial(kReportFront)},
      {"a seed file with one entry for two batches",
       "grupa\n1\n1\n1 2\nr\n../one.dat\n",
       24,
       "lotrano: end-of-file during read (error 24), file: {run}/one.dat",
       {"run/Probleme Examen Nr_1 (1-2) Grupa 311 AC.rez"},
       seedFile("one.dat", " seed_1:\r\n  1234567890         777\r\n"),
       [](const fs::path& run, const SessionResult&) {
         // The rows of the first batch are there, the second batch's are not.
         const fs::path report = run / "Probleme Examen Nr_1 (1-2) Grupa 311 AC.rez";
         expectUnfinishedReport(report, kReportFront);
         const std::string text = readWholeFile(report);
         EXPECT_NE(text.find("   2     Gama Delta"), std::string::npos) << text;
         EXPECT_EQ(text.find("   3     Zeta Eta"), std::string::npos) << text;
       }},
  };
  runCases(cases);
}

TEST(FaultSession, GroupAndSeedFilesThatCannotBeReadAsTheyShould) {
  const auto file = [](const std::string& name, const std::string& content) {
    return [=](const fs::path& run) { writeWholeFile(run / name, content); };
  };
  const std::string megabyte(1 << 20, 'x');
  const auto partial = [](const fs::path& run, const SessionResult&) {
    expectUnfinishedReport(run.parent_path() / kResult, kReportFront);
  };
  const std::string reallocate = "grupa\n" + kExamAnswers + "r\n";
  const std::string longTitle = "Grupa 5 " + std::string(72, 'x');
  const std::vector<FaultCase> cases = {
      {"a group file that is a folder: the group is typed",
       "gd\nG\n4\n" + kExamAnswers + "\n",
       0,
       "",
       {kTypedResult, kTypedSeed},
       [](const fs::path& run) { fs::create_directory(run / "Dat" / "gd.dat"); },
       {}},
      {"a NUL in the group title, which would cut the result name short",
       "nul\n" + kExamAnswers + "\n",
       30,
       "lotrano: open failure (error 30), file: Probleme Examen Nr_1 (1-6) Grupa 3\\x001 AC.rez",
       {},
       file("Dat/nul.dat",
            "Grupa 3\0"
            "1 AC\r\n1 Alfa\r\n"s),
       {}},
      {"NULs in student lines",
       "nul\n" + kExamAnswers + "\n",
       0,
       "",
       {kResult, kSeed},
       file("Dat/nul.dat", "Grupa 311 AC\r\n1 Alfa\0Beta\r\n2\0 Gama\r\n"s),
       [](const fs::path& run, const SessionResult& session) {
         EXPECT_NE(session.out.find(" Numar studenti:   2\n"), std::string::npos) << session.out;
         expectFinishedReport(run.parent_path() / kResult);
       }},
      {"a title line of a megabyte counts by its first 80 characters",
       "long\n" + kExamAnswers + "\n",
       0,
       "",
       {"run/Probleme Examen Nr_1 (1-6) " + longTitle + ".rez",
        "run/Seed_1 (1-6) Grupa 5 " + std::string(72, 'x') + ".dat"},
       file("Dat/long.dat", "Grupa 5 " + megabyte + "\r\n1 Alfa\r\n"),
       {}},
      {"a student line of a megabyte does not end the list",
       "long\n" + kExamAnswers + "\n",
       0,
       "",
       {kResult, kSeed},
       file("Dat/long.dat", "Grupa 311 AC\r\n1 Alfa\r\n2 " + megabyte + "\r\n3 Zeta\r\n4 Iota\r\n"),
       [](const fs::path& run, const SessionResult& session) {
         EXPECT_NE(session.out.find(" Numar studenti:   4\n"), std::string::npos) << session.out;
         const std::string report = readWholeFile(run.parent_path() / kResult);
         EXPECT_NE(report.find("   2     " + std::string(37, 'x') + "  "), std::string::npos);
         EXPECT_NE(report.find("   4     Iota"), std::string::npos) << report;
       }},
      {"a link of the base name's seed file, out of the folder, takes the name",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {kResult1, kSeed1},
       [](const fs::path& run) {
         fs::create_symlink("../outside.dat", run / "Seed_1 (1-6) Grupa 311 AC.dat");
       },
       {}},
      {"a seed file whose report is gone keeps its name: the run takes the next",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {kResult1, kSeed1},
       file("Seed_1 (1-6) Grupa 311 AC.dat", " seed_1:\r\n           1           2\r\n"),
       [](const fs::path& run, const SessionResult&) {
         expectFinishedReport(run.parent_path() / kResult1);
       }},
      {"a seed file that is a folder",
       reallocate + "../sd.dat\n",
       30,
       "lotrano: open failure (error 30), file: {run}/sd.dat",
       {},
       [](const fs::path& run) { fs::create_directory(run / "sd.dat"); },
       {}},
      // A bare name found in neither Dat/ nor the current folder is looked
      // for in the current folder, where the run writes its seed files.
      {"a seed file that does not exist",
       reallocate + "none.dat\n",
       29,
       "lotrano: file not found (error 29), file: {run}/none.dat",
       {},
       {},
       {}},
      {"a NUL inside a seed word",
       reallocate + "../nul.dat\n",
       64,
       "lotrano: input conversion error (error 64), file: {run}/nul.dat",
       {kResult},
       file("nul.dat",
            " seed_1:\r\n  12\0"
            "3  45\r\n"s),
       partial},
      {"a seed label line of a megabyte",
       reallocate + "../big.dat\n",
       39,
       "lotrano: error during read (error 39), file: {run}/big.dat",
       {kResult},
       file("big.dat", megabyte + "\r\n  12  45\r\n"),
       partial},
      {"words in a seed file where the pair should be",
       reallocate + "../words.dat\n",
       59,
       "lotrano: list-directed I/O syntax error (error 59), file: {run}/words.dat",
       {kResult},
       file("words.dat", " seed_1:\r\n seed_2:\r\n"),
       partial},
  };
  runCases(cases);
}

TEST(FaultSession, GroupTitlesThatNameNoPlainFileInTheFolder) {
  const auto title = [](const std::string& line) {
    return
        [=](const fs::path& run) { writeWholeFile(run / "Dat" / "t.dat", line + "\r\n1 A\r\n"); };
  };
  const std::string answers = "t\n" + kExamAnswers + "\n";
  const std::string refused = "lotrano: open failure (error 30), file: Probleme Examen Nr_1 (1-6) ";
  const std::string zeros = std::string(79, '0') + "1";
  const std::vector<FaultCase> cases = {
      {"a slash and ..",
       answers,
       30,
       refused + "Grupa 1/../../x.rez (the group holds \"/\", which no file name may hold)",
       {},
       title("Grupa 1/../../x"),
       {}},
      {"leading ..", answers, 30, refused + "../../Grupa 7.rez", {}, title("../../Grupa 7"), {}},
      {"a backslash",
       answers,
       30,
       refused + "..\\Grupa 7.rez (the group holds \"\\\", which no file name may hold)",
       {},
       title("..\\Grupa 7"),
       {}},
      {"a tab",
       answers,
       30,
       refused + "Grupa 7\\x09A.rez (the group holds a tab (0x09), which no file name may hold)",
       {},
       title("Grupa 7\tA"),
       {}},
      {"a terminal escape",
       answers,
       30,
       refused + "Grupa 7\\x1B[2J.rez",
       {},
       title("Grupa 7\x1b[2J"),
       {}},
      {"a lone CR", answers, 30, refused + "Grupa 7\\x0DX.rez", {}, title("Grupa 7\rX"), {}},
      {"80 digits, too large for a group number",
       answers,
       64,
       "lotrano: input conversion error (error 64), file: {run}/Dat/t.dat",
       {},
       title("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
       {}},
      {"80 digits that make the group number 1",
       answers,
       0,
       "",
       {"run/Probleme Examen Nr_1 (1-6) " + zeros + ".rez", "run/Seed_1 (1-6) " + zeros + ".dat"},
       title(zeros),
       {}},
      {"dots that stay inside the name",
       answers,
       0,
       "",
       {"run/Probleme Examen Nr_1 (1-6) Grupa 7 ...rez", "run/Seed_1 (1-6) Grupa 7 ...dat"},
       title("Grupa 7 .."),
       {}},
  };
  runCases(cases);
}

// The checks of a run whose seed file could not take its name: the report
// is complete but stays writable (the allocation has no seed file), the
// run stopped before its key wait, and the file that held the name holds
// `earlier` still.
void expectSeedFileRefused(const fs::path& run, const SessionResult& session,
                           const std::string& earlier) {
  const fs::path report = run.parent_path() / kResult;
  EXPECT_NE(readWholeFile(report).find("\r\n (Numar de probleme: 2)"), std::string::npos);
  EXPECT_TRUE(writable(report));
  EXPECT_NE(session.out.find(" Fisier de iesire"), std::string::npos);
  EXPECT_EQ(session.out.find("Press any key"), std::string::npos);
  EXPECT_EQ(readWholeFile(run.parent_path() / kSeed), earlier);
}

TEST(FaultSession, ASeedFileMadeDuringTheRunIsReplacedOnlyWhole) {
  // Made while the run asks whether to draw anew, after its names were
  // chosen: by another program, or by hand.
  const std::string first = "grupa\n" + kExamAnswers;
  const std::string report = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
  const std::string seed = "'Seed_1 (1-6) Grupa 311 AC.dat'";
  const std::string earlier = " seed_1:\r\n          11          22\r\n";
  const std::string writeEarlier =
      "printf ' seed_1:\\r\\n          11          22\\r\\n' > " + seed;
  const std::vector<FaultCase> cases = {
      {"a read-only seed file is refused, whoever runs the program",
       "",
       9,
       "lotrano: permission to access file denied (error 9), file: Seed_1 (1-6) Grupa 311 AC.dat",
       {kResult, kSeed},
       {},
       [earlier](const fs::path& run, const SessionResult& session) {
         expectSeedFileRefused(run, session, earlier);
         EXPECT_FALSE(writable(run.parent_path() / kSeed));
       },
       true,
       answersAround(first, report, writeEarlier + "; chmod a-w " + seed, "\n")},
      {"a folder is refused",
       "",
       30,
       "lotrano: open failure (error 30), file: Seed_1 (1-6) Grupa 311 AC.dat",
       {kResult, kSeed},
       {},
       [](const fs::path& run, const SessionResult&) {
         EXPECT_TRUE(fs::is_directory(run.parent_path() / kSeed));
       },
       true,
       answersAround(first, report, "mkdir " + seed, "\n")},
      {"a writable seed file is replaced as a whole",
       "",
       0,
       "",
       {kResult, kSeed},
       {},
       [earlier](const fs::path& run, const SessionResult&) {
         expectFinishedReport(run.parent_path() / kResult);
         const std::string now = readWholeFile(run.parent_path() / kSeed);
         EXPECT_TRUE(now.starts_with(" seed_1:\r\n")) << now;
         EXPECT_NE(now, earlier);
       },
       false,
       answersAround(first, report, writeEarlier, "\n")},
      {"a link out of the folder is replaced, not followed",
       "",
       0,
       "",
       {kResult, kSeed},
       {},
       [](const fs::path& run, const SessionResult&) {
         EXPECT_FALSE(fs::is_symlink(run.parent_path() / kSeed));
         EXPECT_TRUE(readWholeFile(run.parent_path() / kSeed).starts_with(" seed_1:\r\n"));
       },
       false,
       answersAround(first, report, "ln -s ../outside.dat " + seed, "\n")},
  };
  runCases(cases);
}

// The names base, [1], ..., [9] of the group file's result over 1 to 6.
std::string variantName(int k) {
  const std::string mark = k == 0 ? "" : "[" + std::to_string(k) + "]";
  return "Probleme Examen Nr_1 (1-6) Grupa 311 AC" + mark + ".rez";
}

void writeTeacherResults(const fs::path& run, int skipped) {
  for (int k = 0; k <= 9; ++k) {
    if (k == skipped) continue;
    writeWholeFile(run / variantName(k), "report " + std::to_string(k) + "\r\n");
    fs::permissions(run / variantName(k),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
}

TEST(FaultSession, TheEleventhRunOfANameIsRefusedAndGapsAreFilled) {
  const auto refusedBox = [](const fs::path&, const SessionResult& session) {
    EXPECT_NE(session.err.find("Sunt deja 10 fisiere de rezultate."), std::string::npos);
    EXPECT_TRUE(
        session.out.ends_with(" Numar_Start_Problema, Numar_End_Problema: \n"
                              " Press any key\n"))
        << session.out;
  };
  const std::vector<FaultCase> cases = {
      {"ten files of the name",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {},
       [](const fs::path& run) { writeTeacherResults(run, -1); },
       refusedBox},
      {"ten files, and the input ends at the message box",
       "grupa\n" + kExamAnswers,
       0,
       "",
       {},
       [](const fs::path& run) { writeTeacherResults(run, -1); },
       refusedBox},
      {"ten names taken by files, a folder and a link out of the folder",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {},
       [](const fs::path& run) {
         writeTeacherResults(run, 3);
         fs::create_symlink("../outside[3].rez", run / variantName(3));
         fs::remove(run / variantName(0));
         fs::create_directory(run / variantName(0));
       },
       refusedBox},
      {"nine reports, and the seed file of a report filed away",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {},
       [](const fs::path& run) {
         writeTeacherResults(run, 6);
         writeWholeFile(run / "Seed_1 (1-6) Grupa 311 AC[6].dat", " seed_1:\r\n 1 2\r\n");
       },
       refusedBox},
      {"a gap at [4] is filled",
       "grupa\n" + kExamAnswers + "\n",
       0,
       "",
       {"run/" + variantName(4), "run/Seed_1 (1-6) Grupa 311 AC[4].dat"},
       [](const fs::path& run) { writeTeacherResults(run, 4); },
       [](const fs::path& run, const SessionResult&) {
         expectFinishedReport(run / variantName(4));
       }},
  };
  runCases(cases);
}

TEST(FaultSession, RunsRacingForOneNameEndWithAFileEach) {
  ScratchDirectory scratch(ScratchDirectory::kStayOutside);
  const fs::path run = scratch.path() / "tree" / "run";
  fs::create_directories(run / "Dat");
  writeWholeFile(run / "Dat" / "grupa.dat", kGroup311);
  writeWholeFile(scratch.path() / "tree" / "outside.txt", "not the program's\n");
  const TreeSnapshot before = snapshotTree(scratch.path() / "tree");
  constexpr int kRuns = 4;
  std::vector<std::future<SessionResult>> sessions;
  for (int k = 0; k < kRuns; ++k) {
    const fs::path io = scratch.path() / ("io" + std::to_string(k));
    fs::create_directory(io);
    sessions.push_back(startLotranoBinary({run, io, ""}, "grupa\n" + kExamAnswers + "\n"));
  }
  std::set<std::string> named;
  for (auto& session : sessions) {
    const SessionResult result = session.get();
    EXPECT_EQ(result.status, 0) << result.err;
    const std::size_t at = result.out.find(" Fisier de iesire: ");
    ASSERT_NE(at, std::string::npos) << result.out;
    const std::size_t end = result.out.find(".rez", at);
    named.insert(result.out.substr(at + 19, end + 4 - at - 19));
  }
  EXPECT_EQ(named.size(), static_cast<std::size_t>(kRuns)) << "each run names its own file";
  std::set<std::string> added;
  for (int k = 0; k < kRuns; ++k) {
    added.insert("run/" + variantName(k));
    const std::string mark = k == 0 ? "" : "[" + std::to_string(k) + "]";
    added.insert("run/Seed_1 (1-6) Grupa 311 AC" + mark + ".dat");
    EXPECT_EQ(named.count(variantName(k)), 1u) << variantName(k);
    expectFinishedReport(run / variantName(k));
  }
  EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path() / "tree"), added), "");
}

TEST(FaultSession, AWriteThatFailsIsReportedAndKeepsTheTeachersFiles) {
  std::string bigGroup = "Grupa 311 AC\r\n";
  for (int k = 1; k <= 60; ++k) {
    bigGroup +=
        std::to_string(k) + ". Student cu un nume destul de lung " + std::to_string(k) + "\r\n";
  }
  // The seed file of an earlier allocation whose report was filed away keeps
  // the base name from the run.
  const std::string result = "run/Probleme Examen Nr_1 (1-60) Grupa 311 AC[1].rez";
  const auto setup = [bigGroup](const fs::path& run) {
    writeWholeFile(run / "Dat" / "mare.dat", bigGroup);
    writeWholeFile(run / "Seed_1 (1-60) Grupa 311 AC.dat",
                   " seed_1:\r\n           1           2\r\n");
  };
  const std::string answers = "mare\n1\n1\n1 60\n\n";
  // The report of 60 students is near 3 KiB; each console stream stays far
  // below the limit of 2 blocks, which bash counts in KiB and dash in 512 bytes.
  runCases({{"a file-size limit below the report",
             answers,
             38,
             "lotrano: error during write (error 38), file: Probleme Examen Nr_1 (1-60) Grupa 311 "
             "AC[1].rez",
             {result},
             setup,
             [result](const fs::path& run, const SessionResult&) {
               const fs::path report = run.parent_path() / result;
               expectUnfinishedReport(report, " Grupa: 311 AC\r\n Numar de Studenti:  60\r\n");
               EXPECT_LE(fs::file_size(report), 2048u);
               EXPECT_EQ(fs::file_size(report) % 512, 0u) << "cut by the limit, not earlier";
             }},
            {"a file-size limit met in the third batch of a typed group",
             "\n1234\n150\n1\n3\n1 60\n\n\n",
             38,
             "lotrano: error during write (error 38), file: Probleme Examen Nr_1 (1-60) Grupa "
             "1234.rez",
             {"run/Probleme Examen Nr_1 (1-60) Grupa 1234.rez"},
             {},
             [](const fs::path& run, const SessionResult&) {
               expectUnfinishedReport(run.parent_path() /
                                          "run/Probleme Examen Nr_1 (1-60) Grupa "
                                          "1234.rez",
                                      " Grupa: 1234\r\n Numar de Studenti: 150\r\n");
             }}},
           // The signal that the limit sends is not ignored by the shell:
           // the program itself must turn it into a failed write.
           "ulimit -f 2;");
  // The same run with room to spare finishes: the limit alone is the fault.
  runCases(
      {{"a file-size limit above the report",
        answers,
        0,
        "",
        {"run/Probleme Examen Nr_1 (1-60) Grupa 311 AC.rez", "run/Seed_1 (1-60) Grupa 311 AC.dat"},
        [bigGroup](const fs::path& run) { writeWholeFile(run / "Dat" / "mare.dat", bigGroup); },
        {}}},
      "ulimit -f 64;");
}

TEST(FaultSession, UnprivilegedRunsMeetTheFileSystemsRefusals) {
  if (geteuid() != 0) GTEST_SKIP() << "changing to the user nobody needs root";
  if (std::system("command -v setpriv > /dev/null") != 0) GTEST_SKIP() << "setpriv is missing";
  const fs::path base = worldReachableFolder();
  if (base.empty()) GTEST_SKIP() << "no folder that the user nobody can reach";
  // The build may lie under a folder that nobody cannot enter.
  ScratchDirectory binaryFolder(ScratchDirectory::kStayOutside, base);
  fs::permissions(binaryFolder.path(), fs::perms::owner_all | fs::perms::others_read |
                                           fs::perms::others_exec | fs::perms::group_read |
                                           fs::perms::group_exec);
  const fs::path binary = binaryFolder.path() / "lotrano";
  fs::copy_file(kLotranoWithoutWait, binary);
  fs::permissions(binary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);

  const auto openFolder = [](const fs::path& run) { fs::permissions(run, fs::perms::all); };
  const std::vector<FaultCase> cases = {
      {"a folder it may not write into",
       "grupa\n" + kExamAnswers + "\n",
       9,
       "lotrano: permission to access file denied (error 9), file: Probleme Examen Nr_1 (1-6) "
       "Grupa 311 AC.rez",
       {},
       [](const fs::path& run) {
         fs::permissions(run,
                         fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
       },
       {}},
      {"a group file it may not read: the group is typed",
       "grupa\nG\n4\n" + kExamAnswers + "\n",
       0,
       "",
       {kTypedResult, kTypedSeed},
       [openFolder](const fs::path& run) {
         openFolder(run);
         fs::permissions(run / "Dat" / "grupa.dat", fs::perms::none);
       },
       [](const fs::path& run, const SessionResult& session) {
         EXPECT_TRUE(session.out.starts_with(" Grupa: \n Numar studenti: \n")) << session.out;
         expectFinishedReport(run.parent_path() / kTypedResult);
       }},
      {"a seed file it may not read",
       "grupa\n" + kExamAnswers + "r\n../s.dat\n",
       9,
       "lotrano: permission to access file denied (error 9), file: {run}/s.dat",
       {},
       [openFolder](const fs::path& run) {
         openFolder(run);
         writeWholeFile(run / "s.dat", " seed_1:\r\n 1 2\r\n");
         fs::permissions(run / "s.dat", fs::perms::none);
       },
       {}},
      {"another user's seed file of the new seed file's name, made during the run",
       "",
       9,
       "lotrano: permission to access file denied (error 9), file: Seed_1 (1-6) Grupa 311 AC.dat",
       {kResult, kSeed},
       openFolder,
       [](const fs::path& run, const SessionResult& session) {
         expectSeedFileRefused(run, session, " seed_1:\r\n 1 2\r\n");
       },
       true,
       answersAround("grupa\n" + kExamAnswers, "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez",
                     "printf ' seed_1:\\r\\n 1 2\\r\\n' > 'Seed_1 (1-6) Grupa 311 AC.dat'", "\n")},
  };
  runCases(cases, kAsNobody, binary.string(), base);
}

}  // namespace
