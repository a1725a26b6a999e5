// A draw from a public text, as a teacher makes it and a student checks it,
// with the real binaries: the seed file written by lotrano-verify
// --seed-from-text, re-allocations by lotrano from it (one batch and three),
// and lotrano-verify --public-text on the reports with the same text written
// in several ways, with another text, and with texts that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "session/binary_session.h"
#include "support/tree_snapshot.h"
#include "verify/public_text.h"

namespace {

namespace fs = std::filesystem;

// The text the teacher announced before the exam, and the same words as
// others may type them.
const std::string kText =
    "Loto 6/49 din 14.12.2026, în ordinea extragerii: 3 7 19 24 33 41; "
    "cifrele spuse de Ștefan și Țuțu: 1234 5678";
const std::string kWithCedillas =
    "Loto 6/49 din 14.12.2026, în ordinea extragerii: 3 7 19 24 33 41; "
    "cifrele spuse de Ştefan şi Ţuţu: 1234 5678";
const std::string kWithBlanksAndALineEnd =
    "  Loto 6/49  din 14.12.2026,\tîn ordinea extragerii:\r\n3 7 19 24 33 41;\n"
    "cifrele spuse de Ștefan și\u00a0Țuțu: 1234 5678\r\n";
// One character changed: the last number drawn.
const std::string kOtherText =
    "Loto 6/49 din 14.12.2026, în ordinea extragerii: 3 7 19 24 33 42; "
    "cifrele spuse de Ștefan și Țuțu: 1234 5678";

constexpr const char* kReport30 = "Probleme Examen Nr_1 (1-30) Grupa 311 AC.rez";
constexpr const char* kSeed30 = "Seed_1 (1-30) Grupa 311 AC.dat";
constexpr const char* kReport70 = "Probleme Examen Nr_2 (1-30) Seria 31.rez";
constexpr const char* kSeed70 = "Seed_2 (1-30) Seria 31.dat";
constexpr const char* kNamesNotChecked =
    " (numele studentilor nu au fost verificate: luate din raport)";

std::string groupFile(const std::string& title, int students) {
  const char* const names[] = {"Ștefănescu Ioana", "Țurcanu Mihai", "Popescu Ana", "Ionescu Dan",
                               "Bălan Îrina"};
  std::string text = title + "\r\n";
  for (int k = 1; k <= students; ++k) {
    text += std::to_string(k) + ". " + names[k % 5] + " " + std::to_string(k) + "\r\n";
  }
  return text;
}

std::string normalized(const std::string& text) {
  return std::get<std::string>(lotrano::normalizePublicText(text));
}

std::string fromText(const std::string& report, const std::string& seed, const std::string& names,
                     const std::string& text) {
  return "POTRIVIRE: " + report + " corespunde fisierului seed " + seed + names +
         "; fisierul seed vine din textul public \"" + normalized(text) + "\"\n";
}

// The verdict on a report drawn from its seed file whose seed file does not
// come from `text`, the first entry being the one that differs.
std::string notFromText(const std::string& report, const std::string& seed,
                        const std::string& names, const std::string& text,
                        const std::string& entryInFile) {
  const auto entries = lotrano::publicTextEntries(normalized(text));
  return "NEPOTRIVIRE: " + report + " corespunde fisierului seed " + seed + names +
         "; fisierul seed nu vine din textul public \"" + normalized(text) +
         "\"\n  prima intrare diferita: 1\n  in fisierul seed:  " + entryInFile +
         "\n  din textul public: " + lotrano::seedWordsText(entries[0].pair) + "\n";
}

// The two lines of the seed file's first entry, and the words line alone.
std::string firstEntry(const std::string& seedFile) {
  return seedFile.substr(0, seedFile.find("\r\n", seedFile.find("\r\n") + 2) + 2);
}

// The teacher's folder, made once: the two group files in Dat/, the seed
// file of the announced text, and the two re-allocations from it.
class PublicTextSession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<ScratchDirectory>(ScratchDirectory::kStayOutside);
    const fs::path folder = folder_->path();
    fs::create_directory(folder / "Dat");
    writeWholeFile(folder / "Dat" / "grupa_311.txt", groupFile("Grupa 311 AC", 30));
    writeWholeFile(folder / "Dat" / "seria_31.txt", groupFile("Seria 31", 70));
    made_ = runVerifyBinary(folder, {"--seed-from-text", kText});
    writeWholeFile(folder / "Seed_public.dat", made_.out);
    // 30 students over 1..30, one batch; 70 over 1..30, batches of 30, 30
    // and 10.
    runs_[0] = runLotranoBinary(folder, "grupa_311.txt\n1\n3\n1 30\nr\nSeed_public.dat\n\n");
    runs_[1] = runLotranoBinary(folder, "seria_31.txt\n2\n3\n1 30\nr\nSeed_public.dat\n\n");
  }
  static void TearDownTestSuite() { folder_.reset(); }

  static fs::path folder() { return folder_->path(); }

  static std::unique_ptr<ScratchDirectory> folder_;
  static SessionResult made_;
  static SessionResult runs_[2];
};

std::unique_ptr<ScratchDirectory> PublicTextSession::folder_;
SessionResult PublicTextSession::made_;
SessionResult PublicTextSession::runs_[2];

TEST_F(PublicTextSession, TheSeedFileOfTheTextDrawsBothGroups) {
  EXPECT_EQ(made_.status, 0) << made_.err;
  EXPECT_EQ(made_.err, "");
  EXPECT_EQ(made_.out, lotrano::publicTextSeedFile(normalized(kText)));
  for (const SessionResult& run : runs_) {
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("Waiting"), std::string::npos) << "a draw from the clock";
  }
  const std::string seed = readWholeFile(folder() / "Seed_public.dat");
  // The seed files written by the re-allocations are the text's, cut after
  // the last batch's entry.
  EXPECT_EQ(readWholeFile(folder() / kSeed70), seed);
  EXPECT_EQ(readWholeFile(folder() / kSeed30), firstEntry(seed));
  for (const char* report : {kReport30, kReport70}) {
    EXPECT_NE(readWholeFile(folder() / report).find(" [Re-alocare, cu: \"Seed_public.dat\"]\r\n"),
              std::string::npos)
        << report;
  }
}

TEST_F(PublicTextSession, AStudentChecksTheReportsAgainstTheText) {
  const std::string seed = readWholeFile(folder() / "Seed_public.dat");
  const std::string entry1 = seed.substr(10, 24);
  const struct {
    const char* what;
    std::vector<std::string> arguments;
    int status;
    std::string verdicts;
  } cases[] = {
      {"the same text",
       {"--public-text", kText, kReport30, kReport70},
       0,
       fromText(kReport30, kSeed30, kNamesNotChecked, kText) +
           fromText(kReport70, kSeed70, kNamesNotChecked, kText)},
      {"the same text with cedillas",
       {kReport30, "--public-text", kWithCedillas, kReport70},
       0,
       fromText(kReport30, kSeed30, kNamesNotChecked, kText) +
           fromText(kReport70, kSeed70, kNamesNotChecked, kText)},
      {"the same text with more blanks and line ends",
       {"--public-text=" + kWithBlanksAndALineEnd, kReport70},
       0,
       fromText(kReport70, kSeed70, kNamesNotChecked, kText)},
      {"the seed file the teacher published, and the group file",
       {"--public-text", kText, "--seed", "Seed_public.dat", "--group", "Dat/seria_31.txt",
        kReport70},
       0,
       fromText(kReport70, "Seed_public.dat", " si fisierului grupei Dat/seria_31.txt", kText)},
      {"a text one character apart",
       {"--public-text", kOtherText, kReport30, kReport70},
       2,
       notFromText(kReport30, kSeed30, kNamesNotChecked, kOtherText, entry1) +
           notFromText(kReport70, kSeed70, kNamesNotChecked, kOtherText, entry1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const SessionResult run = runVerifyBinary(folder(), c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.verdicts);
    EXPECT_EQ(run.err, "");
  }

  // With --csv the allocation is written only when the seed file comes from
  // the text too.
  const SessionResult csv = runVerifyBinary(folder(), {"--csv", "--public-text", kText, kReport30});
  EXPECT_EQ(csv.status, 0);
  EXPECT_TRUE(csv.out.starts_with("\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n")) << csv.out;
  EXPECT_EQ(csv.err, fromText(kReport30, kSeed30, kNamesNotChecked, kText));
  const SessionResult none =
      runVerifyBinary(folder(), {"--csv", "--public-text", kOtherText, kReport30});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, notFromText(kReport30, kSeed30, kNamesNotChecked, kOtherText, entry1));
}

// A seed file whose last entry is not the text's: the three-batch report
// drawn from it differs from the report (first in batch 3's rows), and the
// seed file from the text (at entry 3); the verdict says both.
TEST_F(PublicTextSession, ASeedFileChangedInItsLastEntryFailsBothChecks) {
  ScratchDirectory scratch(ScratchDirectory::kStayOutside);
  const std::string seed = readWholeFile(folder() / "Seed_public.dat");
  const std::string changed = seed.substr(0, seed.size() - 26) + "        1000        2000\r\n";
  writeWholeFile(scratch.path() / "altul.dat", changed);
  fs::copy_file(folder() / kReport70, scratch.path() / kReport70);
  const SessionResult run =
      runVerifyBinary(scratch.path(), {"--public-text", kText, "--seed", "altul.dat", kReport70});
  EXPECT_EQ(run.status, 2);
  const std::string head = std::string("NEPOTRIVIRE: ") + kReport70 +
                           " nu corespunde fisierului seed altul.dat; fisierul seed nu vine din "
                           "textul public \"" +
                           normalized(kText) + "\"\n  prima linie diferita: ";
  ASSERT_TRUE(run.out.starts_with(head)) << run.out;
  const std::size_t line = std::stoul(run.out.substr(head.size()));
  EXPECT_GE(line, 71u) << "rows 1 to 60, lines 11 to 70, come from entries 1 and 2";
  EXPECT_LE(line, 80u);
  const auto entries = lotrano::publicTextEntries(normalized(kText));
  const std::string tail =
      "  prima intrare diferita: 3\n  in fisierul seed:          1000        2000\n"
      "  din textul public: " +
      lotrano::seedWordsText(entries[2].pair) + "\n";
  EXPECT_TRUE(run.out.ends_with(tail)) << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 7) << run.out;
}

TEST_F(PublicTextSession, RefusedTextsAndALongOne) {
  ScratchDirectory scratch(ScratchDirectory::kStayOutside);
  const struct {
    std::vector<std::string> arguments;
    const char* what;
  } refused[] = {
      {{"--seed-from-text", ""}, "textul public este gol sau are doar spatii"},
      {{"--seed-from-text", " \t\r\n\u00a0\u3000"}, "textul public este gol sau are doar spatii"},
      {{"--public-text", "", kReport30}, "textul public este gol sau are doar spatii"},
      {{"--seed-from-text", "Loto \xAA 6/49"}, "textul public nu este text UTF-8 valid"},
      {{"--public-text", "Ştefan \xDEu\xFEu", kReport30}, "textul public nu este text UTF-8 valid"},
  };
  for (const auto& c : refused) {
    const SessionResult run = runVerifyBinary(folder(), c.arguments);
    EXPECT_EQ(run.status, 3) << c.what;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              std::string("lotrano-verify: ") + c.what + "\nIncercati 'lotrano-verify --help'.\n");
  }

  // 100 kB of text on the command line: its seed file, and a check against
  // it of a report whose seed file is another text's.
  std::string longText;
  while (longText.size() < 100 * 1024) longText += kWithCedillas + "\n";
  const SessionResult made = runVerifyBinary(scratch.path(), {"--seed-from-text", longText});
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, lotrano::publicTextSeedFile(normalized(longText)));
  const SessionResult checked = runVerifyBinary(folder(), {"--public-text", longText, kReport30});
  EXPECT_EQ(checked.status, 2);
  EXPECT_TRUE(checked.out.starts_with(std::string("NEPOTRIVIRE: ") + kReport30 +
                                      " corespunde fisierului seed " + kSeed30))
      << checked.out.substr(0, 300);
  EXPECT_NE(checked.out.find("fisierul seed nu vine din textul public \"" + normalized(longText) +
                             "\"\n"),
            std::string::npos);
  EXPECT_TRUE(entries(scratch.path()).empty()) << "lotrano-verify made a file";
}

}  // namespace
