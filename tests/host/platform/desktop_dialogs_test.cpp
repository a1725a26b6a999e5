#include "host/platform/desktop_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/scratch_directory.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

const std::string kZenity = "/usr/bin/zenity";

ProgramRun exitedWith(int status, std::string output = {}, std::string errors = {}) {
  ProgramRun run;
  run.exited = true;
  run.exitStatus = status;
  run.output = std::move(output);
  run.errors = std::move(errors);
  return run;
}

TEST(DesktopDialogs, DisplayIsNamedByEitherVariable) {
  const struct {
    const char* display;
    const char* wayland;
    bool named;
  } cases[] = {
      {nullptr, nullptr, false},    {"", "", false},         {":0", nullptr, true},
      {nullptr, "wayland-0", true}, {"", "wayland-0", true}, {":1", "", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(desktopDisplayNamed(c.display, c.wayland), c.named)
        << (c.display ? c.display : "unset") << " / " << (c.wayland ? c.wayland : "unset");
  }
}

TEST(DesktopDialogs, ChooserArgumentsAreOneWordEach) {
  const auto arguments =
      zenityChooserArguments(kZenity, "Selecteza Fisierul Grupei", "/home/ana/Examene/Dat/");
  EXPECT_EQ(arguments, (std::vector<std::string>{
                           kZenity,
                           "--file-selection",
                           "--save",
                           "--title=Selecteza Fisierul Grupei",
                           "--filename=/home/ana/Examene/Dat/",
                           "--file-filter=Data Files (*.dat) | *.dat",
                           "--file-filter=Text Files (*.txt) | *.txt",
                           "--file-filter=Fortran Files | *.f90 *.f",
                           "--file-filter=All files (*.*) | *",
                       }));
  // A folder without its slash still opens as the folder, not as a name in its parent.
  EXPECT_EQ(zenityChooserArguments(kZenity, "T", "/home/ana")[4], "--filename=/home/ana/");
  // No start folder known: zenity picks one; a title full of shell syntax stays one argument.
  const auto bare = zenityChooserArguments(kZenity, "a'; rm -rf ~ #", "");
  EXPECT_EQ(bare.size(), 8u);
  EXPECT_EQ(bare[3], "--title=a'; rm -rf ~ #");
  for (const auto& argument : bare) EXPECT_FALSE(argument.starts_with("--filename")) << argument;
}

TEST(DesktopDialogs, MessageArgumentsShowTheTextAsPlainText) {
  EXPECT_EQ(zenityMessageArguments(kZenity, "Lotrano Message",
                                   "Sunt deja 10 fisiere de rezultate.\nSterge unele din ele!"),
            (std::vector<std::string>{
                kZenity, "--error", "--title=Lotrano Message", "--no-markup",
                "--text=Sunt deja 10 fisiere de rezultate.\nSterge unele din ele!"}));
  EXPECT_EQ(zenityMessageArguments(kZenity, "C", "<b>&amp;\\n")[4], "--text=<b>&amp;\\n");
}

TEST(DesktopDialogs, ChooserAnswers) {
  const std::string noDisplay =
      "\n(zenity:8660): Gtk-WARNING **: 12:01:13.731: cannot open display: :99\n";
  const std::string dconfNoise =
      "(zenity:8797): dconf-WARNING **: failed to commit changes to dconf: Failed to execute "
      "child process \"dbus-launch\"\n";
  const struct {
    std::optional<ProgramRun> run;
    DesktopOutcome outcome;
    std::string path;
  } cases[] = {
      {exitedWith(0, "/d/Dat/grupa_311.dat\n", dconfNoise), DesktopOutcome::kChosen,
       "/d/Dat/grupa_311.dat"},
      {exitedWith(0, "/d/Dat/grupa331\n"), DesktopOutcome::kChosen, "/d/Dat/grupa331.dat"},
      {exitedWith(0, "/d/Dat/lista.txt\n"), DesktopOutcome::kChosen, "/d/Dat/lista.txt"},
      {exitedWith(0, "/d/Dat/arhiva.tar.gz"), DesktopOutcome::kChosen, "/d/Dat/arhiva.tar.gz"},
      {exitedWith(0, "/d/Dat/x; rm -rf ~\n"), DesktopOutcome::kChosen, "/d/Dat/x; rm -rf ~.dat"},
      {exitedWith(0, "/d/Dat/../Seed_1 (1-6) G.dat\n"), DesktopOutcome::kChosen,
       "/d/Seed_1 (1-6) G.dat"},
      // Only the one line end that zenity adds is taken off.
      {exitedWith(0, "/d/Dat/a.dat \n"), DesktopOutcome::kChosen, "/d/Dat/a.dat "},
      {exitedWith(1, "", dconfNoise), DesktopOutcome::kCancelled, ""},
      {exitedWith(1), DesktopOutcome::kCancelled, ""},
      {exitedWith(1, "", noDisplay), DesktopOutcome::kFailed, ""},
      {exitedWith(0, ""), DesktopOutcome::kFailed, ""},
      {exitedWith(0, "\n"), DesktopOutcome::kFailed, ""},
      {exitedWith(0, "grupa.dat\n"), DesktopOutcome::kFailed, ""},
      {exitedWith(0, "/d/Dat/\n"), DesktopOutcome::kFailed, ""},
      {exitedWith(0, std::string("/d/a\0b.dat\n", 11)), DesktopOutcome::kFailed, ""},
      {exitedWith(5, "/d/Dat/a.dat\n"), DesktopOutcome::kFailed, ""},  // --timeout
      {exitedWith(127), DesktopOutcome::kFailed, ""},
      {exitedWith(255, "", "This option is not available."), DesktopOutcome::kFailed, ""},
      {ProgramRun{false, -1, "/d/Dat/a.dat\n", ""}, DesktopOutcome::kFailed, ""},  // a signal
      {std::nullopt, DesktopOutcome::kFailed, ""},
  };
  for (const auto& c : cases) {
    const std::string shown = c.run ? std::to_string(c.run->exitStatus) + " [" + c.run->output + "]"
                                    : std::string("not started");
    const ChooserAnswer answer = readChooserAnswer(c.run);
    EXPECT_EQ(answer.outcome, c.outcome) << shown;
    EXPECT_EQ(answer.path, c.path) << shown;
  }
}

TEST(DesktopDialogs, MessageBoxIsShownUnlessZenityFails) {
  const struct {
    std::optional<ProgramRun> run;
    bool shown;
  } cases[] = {
      {exitedWith(0), true},
      {exitedWith(1), true},  // Escape or the window closed
      {exitedWith(1, "", "Gtk-WARNING **: cannot open display: :0"), false},
      {exitedWith(255), false},
      {exitedWith(127), false},
      {ProgramRun{false, -1, "", ""}, false},
      {std::nullopt, false},
  };
  for (const auto& c : cases) {
    std::vector<std::string> asked;
    const ProgramRunner run = [&](const std::vector<std::string>& arguments) {
      asked = arguments;
      return c.run;
    };
    EXPECT_EQ(showMessageOnDesktop(run, kZenity, "Lotrano Message", "a\nb"), c.shown)
        << (c.run ? c.run->exitStatus : -2);
    EXPECT_EQ(asked, zenityMessageArguments(kZenity, "Lotrano Message", "a\nb"));
  }
}

// A stand-in for zenity that gives its answers in turn and records what it was asked.
struct ScriptedZenity {
  std::vector<std::optional<ProgramRun>> answers;
  std::vector<std::vector<std::string>> asked;

  ProgramRunner runner() {
    return [this](const std::vector<std::string>& arguments) {
      asked.push_back(arguments);
      const std::size_t turn = std::min(asked.size(), answers.size()) - 1;
      return answers[turn];
    };
  }
};

TEST(DesktopDialogs, ChooserStartsInDatAndShowsAgainForAMissingFolder) {
  ScratchDirectory scratch;
  const std::string root = scratch.path().string();
  fs::create_directory(scratch.path() / "Dat");
  ScriptedZenity zenity;
  zenity.answers = {exitedWith(0, root + "/lipsa/grupa.dat\n"), exitedWith(0, root + "/Dat/nou\n")};
  const ChooserAnswer answer = chooseFileOnDesktop(zenity.runner(), kZenity, "Titlu", root);
  EXPECT_EQ(answer.outcome, DesktopOutcome::kChosen);
  EXPECT_EQ(answer.path, root + "/Dat/nou.dat") << "a new name in an existing folder is taken";
  ASSERT_EQ(zenity.asked.size(), 2u);
  EXPECT_EQ(zenity.asked[0], zenityChooserArguments(kZenity, "Titlu", root + "/Dat/"));
  EXPECT_EQ(zenity.asked[1], zenity.asked[0]);

  // Without a Dat folder the dialog starts in the current directory.
  fs::remove(scratch.path() / "Dat");
  ScriptedZenity cancelled;
  cancelled.answers = {exitedWith(1)};
  EXPECT_EQ(chooseFileOnDesktop(cancelled.runner(), kZenity, "Titlu", root).outcome,
            DesktopOutcome::kCancelled);
  ASSERT_EQ(cancelled.asked.size(), 1u);
  EXPECT_EQ(cancelled.asked[0][4], "--filename=" + root + "/");
}

TEST(DesktopDialogs, ChooserGivesUpOnAZenityThatKeepsNamingMissingFolders) {
  ScratchDirectory scratch;
  ScriptedZenity zenity;
  zenity.answers = {exitedWith(0, scratch.path().string() + "/lipsa/a.dat\n")};
  const ChooserAnswer answer =
      chooseFileOnDesktop(zenity.runner(), kZenity, "Titlu", scratch.path().string());
  EXPECT_EQ(answer.outcome, DesktopOutcome::kFailed);
  EXPECT_EQ(answer.path, "");
  EXPECT_GT(zenity.asked.size(), 1u);
  EXPECT_LE(zenity.asked.size(), 100u);

  // A failure on any showing ends the loop at once.
  ScriptedZenity failing;
  failing.answers = {exitedWith(0, scratch.path().string() + "/lipsa/a.dat\n"), exitedWith(255)};
  EXPECT_EQ(chooseFileOnDesktop(failing.runner(), kZenity, "T", scratch.path().string()).outcome,
            DesktopOutcome::kFailed);
  EXPECT_EQ(failing.asked.size(), 2u);
}

}  // namespace
}  // namespace lotrano
