#include "host/platform/console_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/text/characters.h"
#include "support/scratch_directory.h"
#include "support/text_lines.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

// Captures the process's standard streams while alive: the dialogs must talk
// only on the error stream they are given.
class StandardStreamsCapture {
 public:
  StandardStreamsCapture()
      : out_(std::cout.rdbuf(outText_.rdbuf())),
        err_(std::cerr.rdbuf(errText_.rdbuf())),
        log_(std::clog.rdbuf(logText_.rdbuf())) {}
  ~StandardStreamsCapture() {
    std::cout.rdbuf(out_);
    std::cerr.rdbuf(err_);
    std::clog.rdbuf(log_);
  }
  std::string written() const { return outText_.str() + errText_.str() + logText_.str(); }

 private:
  std::ostringstream outText_, errText_, logText_;
  std::streambuf* out_;
  std::streambuf* err_;
  std::streambuf* log_;
};

std::size_t occurrences(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (auto pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1))
    ++count;
  return count;
}

// A scratch folder standing for the teacher's current directory, with an
// "alt" folder beside the optional "Dat" one; removed afterwards.
class ConsoleChooser : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(root_ / "alt"); }

  void touch(const fs::path& relative) { std::ofstream(root_ / relative) << "Grupa 1\n"; }
  std::string under(const fs::path& relative) const {
    return (root_ / relative).lexically_normal().string();
  }

  ScratchDirectory scratch_{ScratchDirectory::kStayOutside};
  const fs::path& root_ = scratch_.path();
};

TEST_F(ConsoleChooser, StartsInDatWhenItExistsAndInTheCurrentDirectoryOtherwise) {
  EXPECT_EQ(chooserStartFolder(root_.string()), (root_ / "").string());
  touch("Dat");
  EXPECT_EQ(chooserStartFolder(root_.string()), (root_ / "").string()) << "a file named Dat";
  fs::remove(root_ / "Dat");
  fs::create_directories(root_ / "Dat");
  EXPECT_EQ(chooserStartFolder(root_.string()), (root_ / "Dat" / "").string());
  EXPECT_EQ(chooserStartFolder(""), "") << "no current directory, no start folder";
}

TEST_F(ConsoleChooser, ListsTheFilesOfTheStartFolderAndOfTheCurrentOne) {
  fs::create_directories(root_ / "Dat" / "dosar.dat");  // a folder is not listed
  for (const char* name :
       {"grupa331.dat", "b.txt", "GRUPA332.TXT", "Seed_1.DAT", "prog.f90", "notes"}) {
    touch(fs::path("Dat") / name);
  }
  touch("acasa.txt");  // the current directory is not the start folder here
  touch("Seed_1 (1-6) Grupa 1.dat");

  std::istringstream in("\n");
  std::ostringstream err;
  EXPECT_EQ(chooseFileAtConsole(in, err, "Selecteza Fisierul Grupei", root_.string()),
            std::nullopt);

  const std::string dat = (root_ / "Dat" / "").string();
  const std::string current = (root_ / "").string();
  const auto lines = linesOf(err.str());
  ASSERT_GE(lines.size(), 10u) << err.str();
  const std::vector<std::string> expected = {
      "",
      "== Selecteza Fisierul Grupei ==",
      "  Dosar: " + dat,
      "  Data Files (*.dat):  Seed_1.DAT  grupa331.dat",
      "  Text Files (*.txt):  GRUPA332.TXT  b.txt",
      "  Dosarul curent: " + current,
      "  Data Files (*.dat):  Seed_1 (1-6) Grupa 1.dat",
      "  Text Files (*.txt):  acasa.txt",
      "  Un nume fara cale completa se ia din " + dat + " daca fisierul exista acolo, altfel din " +
          current,
  };
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), expected);

  // Without Dat/ the start folder is the current one, shown once.
  fs::remove_all(root_ / "Dat");
  std::istringstream again("\n");
  std::ostringstream once;
  chooseFileAtConsole(again, once, "T", root_.string());
  EXPECT_EQ(occurrences(once.str(), "Dosar"), 1u) << once.str();
  EXPECT_EQ(occurrences(once.str(), "Un nume fara cale completa"), 0u) << once.str();
}

TEST_F(ConsoleChooser, PipedAnswersGetTheirLineEndedAndEndAtANul) {
  touch("grupa.dat");
  const struct {
    bool echoes;
    const char* prompt;
  } cases[] = {
      // The next dialog begins with an empty line; without a terminal's echo
      // the chooser first ends its own prompt's line.
      {true, "(linie goala = Renunta): \n== T =="},
      {false, "(linie goala = Renunta): \n\n== T =="},
  };
  for (const auto& c : cases) {
    std::istringstream in(std::string("grupa.dat\0../../etc/passwd\n\n", 28));
    std::ostringstream err;
    EXPECT_EQ(chooseFileAtConsole(in, err, "T", root_.string(), c.echoes), under("grupa.dat"));
    chooseFileAtConsole(in, err, "T", root_.string(), c.echoes);
    EXPECT_NE(err.str().find(c.prompt), std::string::npos) << err.str();
  }
}

TEST_F(ConsoleChooser, EmptyFolderListsNone) {
  std::istringstream in("");
  std::ostringstream err;
  chooseFileAtConsole(in, err, "Selecteza Fisierul Seed", root_.string());
  EXPECT_NE(err.str().find("== Selecteza Fisierul Seed =="), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("  Data Files (*.dat): (niciunul)\n"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("  Text Files (*.txt): (niciunul)\n"), std::string::npos) << err.str();
}

TEST_F(ConsoleChooser, TypedAnswers) {
  const std::string absoluteInAlt = (root_ / "alt" / "lista.txt").string();
  const std::string absoluteNoExtension = (root_ / "alt" / "grupa").string();
  const struct {
    const char* what;
    bool withDat;
    std::string input;                  // the typed lines; "NEXT" follows unless the input ends
    std::optional<std::string> chosen;  // relative to the scratch folder; nullopt for Cancel
    std::size_t refusals;               // notes of a missing folder
  } cases[] = {
      {"a name without extension gets .dat", true, "grupa330\n", "Dat/grupa330.dat", 0},
      {"an extension is kept", true, "lista.txt\n", "Dat/lista.txt", 0},
      {"without Dat the current directory", false, "grupa331\n", "grupa331.dat", 0},
      // The run writes its seed file beside its report, in the current
      // folder: its bare name finds it there.
      {"a file only in the current folder", true, "Seed_1 (1-6) G\n", "Seed_1 (1-6) G.dat", 0},
      {"a file in both folders: Dat's", true, "acasa.dat\n", "Dat/acasa.dat", 0},
      {"a file in neither folder: the current folder's", true, "grupa331\n", "grupa331.dat", 0},
      {"an unknown extension is kept", true, "lista.331\n", "lista.331", 0},
      {"blanks around the name", true, "  lista.txt \t\n", "Dat/lista.txt", 0},
      {"CR LF typed", true, "lista.txt\r\n", "Dat/lista.txt", 0},
      {"relative with a folder", false, "alt/lista.txt\n", "alt/lista.txt", 0},
      {"relative with a folder, beside Dat", true, "alt/lista.txt\n", "alt/lista.txt", 0},
      {"up from Dat", true, "../alt/lista.txt\n", "alt/lista.txt", 0},
      {"absolute path", true, absoluteInAlt + "\n", "alt/lista.txt", 0},
      {"absolute path without extension", true, absoluteNoExtension + "\n", "alt/grupa.dat", 0},
      {"missing folder asked again", true, "lipsa/grupa.txt\nlista.txt\n", "Dat/lista.txt", 1},
      {"a file is no folder", true, "grupa330.dat/x.txt\nlista.txt\n", "Dat/lista.txt", 1},
      {"empty line is Cancel", true, "\n", std::nullopt, 0},
      {"blank line is Cancel", true, "   \n", std::nullopt, 0},
      {"refused, then Cancel", true, "lipsa/x\n\n", std::nullopt, 1},
  };
  touch("alt/lista.txt");
  touch("Seed_1 (1-6) G.dat");
  touch("acasa.dat");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(root_ / "Dat");
    if (c.withDat) {
      fs::create_directories(root_ / "Dat");
      for (const char* name : {"Dat/grupa330.dat", "Dat/lista.txt", "Dat/acasa.dat"}) touch(name);
    }
    std::istringstream in(c.input + "NEXT\n");
    std::ostringstream err;
    std::optional<std::string> chosen;
    std::string written;
    {
      StandardStreamsCapture capture;
      chosen = chooseFileAtConsole(in, err, "Selecteza Fisierul Grupei", root_.string());
      written = capture.written();
    }
    EXPECT_EQ(chosen, c.chosen ? std::optional(under(*c.chosen)) : std::nullopt);
    EXPECT_EQ(occurrences(err.str(), "Dosarul nu exista"), c.refusals) << err.str();
    EXPECT_EQ(occurrences(err.str(), "Scrieti numele fisierului"), c.refusals + 1) << err.str();
    EXPECT_EQ(written, "") << "only the given error stream is used";
    std::string next;
    std::getline(in, next);
    EXPECT_EQ(next, "NEXT") << "the chooser reads no line after its answer";
  }
}

TEST_F(ConsoleChooser, EndOfInputIsCancel) {
  for (const std::string input : {"", "lipsa/x\n", "lista.txt"}) {
    SCOPED_TRACE(input);
    std::istringstream in(input);
    std::ostringstream err;
    const auto chosen = chooseFileAtConsole(in, err, "Selecteza Fisierul Seed", root_.string());
    // A last line without its line end is still an answer.
    EXPECT_EQ(chosen, input == "lista.txt" ? std::optional(under("lista.txt")) : std::nullopt);
  }
}

TEST(ConsoleMessage, FramesCaptionLinesAndOkAndReadsOneLine) {
  std::istringstream in("\nNEXT\n");
  std::ostringstream err;
  std::string written;
  {
    StandardStreamsCapture capture;
    showMessageAtConsole(in, err, "Atentie",
                         "Exista deja 10 fisiere rezultat.\nȘtergeți unul din ele.");
    written = capture.written();
  }
  EXPECT_EQ(written, "");
  std::string next;
  std::getline(in, next);
  EXPECT_EQ(next, "NEXT") << "exactly one line is consumed";

  const std::string box = err.str();
  for (const char* piece :
       {"Atentie", "Exista deja 10 fisiere rezultat.", "Ștergeți unul din ele.", "[ OK ]"}) {
    EXPECT_NE(box.find(piece), std::string::npos) << piece << "\n" << box;
  }
  // Every line of the frame is as wide as the others, in characters.
  auto lines = linesOf(box);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "");
  lines.erase(lines.begin());
  ASSERT_GE(lines.size(), 6u) << box;
  for (const auto& line : lines) {
    EXPECT_EQ(characterCount(line), characterCount(lines.front())) << box;
    EXPECT_TRUE(line.front() == '|' || line.front() == '+') << line;
    EXPECT_TRUE(line.back() == '|' || line.back() == '+') << line;
  }
}

TEST(ConsoleMessage, ReturnsAtEndOfInput) {
  std::istringstream in("");
  std::ostringstream err;
  showMessageAtConsole(in, err, "Atentie", "Text");
  EXPECT_NE(err.str().find("[ OK ]"), std::string::npos);
  EXPECT_TRUE(in.eof());
}

}  // namespace
}  // namespace lotrano
