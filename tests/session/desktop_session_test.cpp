// The real binary with a display named: its dialogs are zenity's. The
// DesktopSession tests drive them with xdotool as a teacher would, on the
// display of the environment (Xvfb under make gui-test), and keep a screenshot
// of each dialog under <build>/screenshots/. They run when
// LOTRANO_REQUIRE_DESKTOP=1, and then a missing display or tool is a failure;
// otherwise they are skipped.
// The DesktopFallback tests put stand-ins for zenity on the PATH and need no
// display.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "host/platform/child_process.h"
#include "session/binary_session.h"
#include "support/scratch_directory.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kGroupTitle = "Selecteza Fisierul Grupei";
constexpr const char* kMessageCaption = "Lotrano Message";
constexpr const char* kGroup311 =
    "Grupa 311 AC\r\nNr. Nume si prenume\r\n1. Alfa Beta\r\n2. Gama Delta Epsilon\r\n"
    "3. Zeta Eta Teta\r\n4. Iota Kapa\r\n";

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

bool desktopRequired() {
  const char* required = std::getenv("LOTRANO_REQUIRE_DESKTOP");
  return required != nullptr && std::string(required) == "1";
}

bool onPath(const char* program) {
  return !lotrano::findProgramOnPath(program, std::getenv("PATH")).empty();
}

struct SessionEnd {
  std::string out;
  std::string err;
  int status = -1;
};

// The binary started in the directory, in the background, with the given
// environment settings before it and its answers on standard input. A run
// that hangs is ended after a minute.
class BackgroundSession {
 public:
  BackgroundSession(const fs::path& directory, const std::string& input,
                    const std::string& environment = "")
      : directory_(directory) {
    writeWholeFile(directory / ".session-in", input);
    const std::string command = "cd " + quoted(directory.string()) + " && " + environment +
                                " timeout 60 '" + kLotranoWithoutWait +
                                "' < .session-in > .session-out 2> .session-err";
    finished_ = std::async(std::launch::async, [command] { return std::system(command.c_str()); });
  }

  SessionEnd end() {
    SessionEnd result;
    if (finished_.wait_for(90s) != std::future_status::ready) {
      ADD_FAILURE() << "the program did not end";
      return result;
    }
    const int raw = finished_.get();
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readWholeFile(directory_ / ".session-out");
    result.err = readWholeFile(directory_ / ".session-err");
    for (const char* name : {".session-in", ".session-out", ".session-err"}) {
      fs::remove(directory_ / name);
    }
    return result;
  }

 private:
  fs::path directory_;
  std::future<int> finished_;
};

// xdotool and a screenshot tool on the display of the environment.
class Desktop {
 public:
  // Empty when all is there; otherwise what is missing.
  static std::string missing() {
    // On a developer's own desktop the dialogs and keystrokes would land among
    // their windows: the sessions run only where asked for, on a display of
    // their own (make gui-test).
    if (!desktopRequired()) return "desktop sessions run under make gui-test";
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return "no DISPLAY";
    for (const char* program : {"zenity", "xdotool", "timeout"}) {
      if (!onPath(program)) return std::string(program) + " is not installed";
    }
    return {};
  }

  // The id of the visible window with exactly this title, once it is shown;
  // empty when none appears within 30 seconds.
  static std::string waitForWindow(const std::string& title) {
    std::string id = output("timeout 30 xdotool search --sync --onlyvisible --name " +
                            quoted("^" + escapedForRegex(title) + "$") + " 2>/dev/null");
    // Several windows of the title (GTK's own, unmapped ones are not
    // listed with --onlyvisible): the last one found.
    if (const auto line = id.rfind('\n'); line != std::string::npos) id = id.substr(line + 1);
    if (id.empty()) return id;
    // With a window manager the window is activated; without one it gets the focus.
    run("xdotool windowactivate --sync " + id + " 2>/dev/null || xdotool windowfocus --sync " + id);
    std::this_thread::sleep_for(1500ms);  // GTK takes keys once its widgets are realised
    return id;
  }

  static bool windowShown(const std::string& title) {
    return !output("xdotool search --onlyvisible --name " +
                   quoted("^" + escapedForRegex(title) + "$") + " 2>/dev/null")
                .empty();
  }

  // Presses the key until the window with the title is gone (a key can be
  // taken by a completion popup first); false when it stays.
  static bool closeWith(const std::string& key, const std::string& title) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      run("xdotool key " + key);
      for (int wait = 0; wait < 20 && windowShown(title); ++wait)
        std::this_thread::sleep_for(100ms);
      if (!windowShown(title)) return true;
    }
    return false;
  }

  static void type(const std::string& text) {
    run("xdotool type --delay 40 " + quoted(text));
    std::this_thread::sleep_for(700ms);
  }

  static void clickAt(const std::string& window, int fromRight, int fromBottom) {
    const std::string geometry = output("xdotool getwindowgeometry --shell " + window);
    const auto value = [&](const std::string& name) {
      const auto at = geometry.find(name + "=");
      return at == std::string::npos ? 0 : std::stoi(geometry.substr(at + name.size() + 1));
    };
    run("xdotool mousemove --window " + window + " " + std::to_string(value("WIDTH") - fromRight) +
        " " + std::to_string(value("HEIGHT") - fromBottom) + " click 1");
    std::this_thread::sleep_for(700ms);
  }

  // The whole screen into <build>/screenshots/<name>.png.
  static void screenshot(const std::string& name) {
    if (!onPath("import")) {
      if (desktopRequired()) ADD_FAILURE() << "import (imagemagick) is not installed";
      return;
    }
    const fs::path folder = fs::path(LOTRANO_BINARY).parent_path() / "screenshots";
    fs::create_directories(folder);
    const int status =
        run("import -window root " + quoted((folder / (name + ".png")).string()) + " 2>/dev/null");
    if (status != 0 && desktopRequired()) ADD_FAILURE() << "screenshot " << name << " failed";
  }

 private:
  static std::string escapedForRegex(const std::string& text) {
    std::string result;
    for (const char c : text) {
      if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) result += '\\';
      result += c;
    }
    return result;
  }

  static int run(const std::string& command) { return std::system(command.c_str()); }

  static std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[256];
      while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
      pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
  }
};

#define REQUIRE_DESKTOP()                                                     \
  do {                                                                        \
    const std::string missing = Desktop::missing();                           \
    if (!missing.empty()) {                                                   \
      if (desktopRequired()) FAIL() << "desktop tests required: " << missing; \
      GTEST_SKIP() << missing;                                                \
    }                                                                         \
  } while (false)

TEST(DesktopSession, NameTypedIntoTheGroupDialogIsTheGroupFile) {
  REQUIRE_DESKTOP();
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  writeWholeFile(scratch.path() / "Dat" / "grupa_311.dat", kGroup311);
  BackgroundSession session(scratch.path(), "1\n3\n1 6\n\n");

  const std::string window = Desktop::waitForWindow(kGroupTitle);
  ASSERT_FALSE(window.empty()) << "no window titled " << kGroupTitle;
  Desktop::screenshot("group-dialog");
  // Typed without its extension, relative to the Dat folder the dialog starts in.
  Desktop::type("grupa_311");
  Desktop::screenshot("group-dialog-name-typed");
  EXPECT_TRUE(Desktop::closeWith("Return", kGroupTitle));

  const SessionEnd run = session.end();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with(" Grupa: 311 AC\n Numar studenti:   4\n\n Problema_de_Examen"))
      << run.out;
  EXPECT_EQ(run.err.find(kGroupTitle), std::string::npos) << "no console chooser: " << run.err;
  EXPECT_EQ(entries(scratch.path()),
            (std::vector<std::string>{"Dat/", "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez",
                                      "Seed_1 (1-6) Grupa 311 AC.dat"}));
}

TEST(DesktopSession, EscapeInTheGroupDialogGivesTheTypedGroup) {
  REQUIRE_DESKTOP();
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  writeWholeFile(scratch.path() / "Dat" / "grupa_311.dat", kGroup311);
  writeWholeFile(scratch.path() / "Dat" / "lista.txt", kGroup311);
  BackgroundSession session(scratch.path(), "1234\n4\n2\n1\n1 6\n\n");

  const std::string window = Desktop::waitForWindow(kGroupTitle);
  ASSERT_FALSE(window.empty()) << "no window titled " << kGroupTitle;
  // The filter list opened, for the picture of the four filters; Escape
  // closes the list, then the dialog.
  Desktop::clickAt(window, 80, 72);
  Desktop::screenshot("group-dialog-filters");
  Desktop::closeWith("Escape", kGroupTitle);

  const SessionEnd run = session.end();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with(" Grupa: \n Numar studenti: \n Problema_de_Examen")) << run.out;
  EXPECT_EQ(run.err.find(kGroupTitle), std::string::npos) << "no console chooser: " << run.err;
  EXPECT_TRUE(fs::exists(scratch.path() / "Probleme Examen Nr_2 (1-6) Grupa 1234.rez"));
  EXPECT_TRUE(fs::exists(scratch.path() / "Seed_2 (1-6) Grupa 1234.dat"));
}

TEST(DesktopSession, TenFileLimitShowsTheMessageBoxAndOkEndsTheRun) {
  REQUIRE_DESKTOP();
  ScratchDirectory scratch;
  const std::string base = "Probleme Examen Nr_1 (5-6) Grupa G";
  writeWholeFile(scratch.path() / (base + ".rez"), "raport\r\n");
  for (int k = 1; k <= 9; ++k) {
    writeWholeFile(scratch.path() / (base + "[" + std::to_string(k) + "].rez"), "raport\r\n");
  }
  const auto before = entries(scratch.path());
  BackgroundSession session(scratch.path(), "G\n1\n1\n1\n5 6\n\n");

  ASSERT_FALSE(Desktop::waitForWindow(kGroupTitle).empty());
  EXPECT_TRUE(Desktop::closeWith("Escape", kGroupTitle));
  ASSERT_FALSE(Desktop::waitForWindow(kMessageCaption).empty())
      << "no window titled " << kMessageCaption;
  Desktop::screenshot("ten-file-limit-message");
  EXPECT_TRUE(Desktop::closeWith("Return", kMessageCaption));

  const SessionEnd run = session.end();
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string end = " Numar_Start_Problema, Numar_End_Problema: \n Press any key\n";
  EXPECT_TRUE(run.out.ends_with(end)) << run.out;
  EXPECT_EQ(run.err.find("[ OK ]"), std::string::npos) << "no console box: " << run.err;
  EXPECT_EQ(entries(scratch.path()), before);
}

// Stand-ins for zenity, put first on the PATH of a run with a display named.
class DesktopFallback : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(scratch_.path() / "bin"); }

  void installZenity(const std::string& script) {
    const fs::path file = scratch_.path() / "bin" / "zenity";
    writeWholeFile(file, "#!/bin/sh\n" + script);
    fs::permissions(file, fs::perms::owner_all);
  }

  std::string environment(const std::string& display = ":0") const {
    return "env -u WAYLAND_DISPLAY DISPLAY=" + quoted(display) +
           " PATH=" + quoted((scratch_.path() / "bin").string() + ":/usr/bin:/bin");
  }

  ScratchDirectory scratch_;
};

TEST_F(DesktopFallback, FailingZenityHandsOverToTheConsoleStandIns) {
  const struct {
    const char* what;
    const char* script;  // empty: the real zenity on a display that does not exist
  } cases[] = {
      {"display refused",
       "echo '(zenity:1): Gtk-WARNING **: cannot open display: :0' >&2\nexit 1\n"},
      {"unknown option", "echo 'This option is not available.' >&2\nexit 255\n"},
      {"killed", "kill -KILL $$\n"},
      {"not executable after all", "exec /nonexistent/program\n"},
      {"real zenity, no display", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string display = ":0";
    if (*c.script == '\0') {
      if (!onPath("zenity")) {
        if (desktopRequired()) ADD_FAILURE() << "zenity is not installed";
        continue;
      }
      fs::remove(scratch_.path() / "bin" / "zenity");
      display = ":4242";  // no server answers there
    } else {
      installZenity(c.script);
    }
    fs::create_directories(scratch_.path() / "Dat");
    writeWholeFile(scratch_.path() / "Dat" / "grupa_311.dat", kGroup311);
    // Ten result files already: both dialogs are needed, and both fall back.
    const std::string base = "Probleme Examen Nr_1 (1-6) Grupa 311 AC";
    writeWholeFile(scratch_.path() / (base + ".rez"), "r");
    for (int k = 1; k <= 9; ++k) {
      writeWholeFile(scratch_.path() / (base + "[" + std::to_string(k) + "].rez"), "r");
    }
    BackgroundSession session(scratch_.path(), "grupa_311\n1\n3\n1 6\n\n\n", environment(display));
    const SessionEnd run = session.end();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with(" Grupa: 311 AC\n Numar studenti:   4\n")) << run.out;
    EXPECT_TRUE(run.out.ends_with(" Press any key\n")) << run.out;
    EXPECT_NE(run.err.find(kGroupTitle), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Sunt deja 10 fisiere de rezultate."), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("zenity"), std::string::npos) << "zenity's own noise stays hidden";
    for (const auto& entry : fs::directory_iterator(scratch_.path())) {
      if (entry.path().extension() == ".rez") fs::remove(entry.path());
    }
  }
}

TEST_F(DesktopFallback, ZenityAnswersAreUsedAndItsArgumentsAreOneWordEach) {
  // Records its arguments one per line; gives a name without extension for
  // the group and a missing seed for the seed dialog.
  installZenity(
      "printf '%s\\n' \"$@\" >> zenity-args\n"
      "case \"$*\" in\n"
      "  *Grupei*) echo \"$PWD/Dat/grupa_311\" ;;\n"
      "  *) exit 1 ;;\n"
      "esac\n");
  fs::create_directory(scratch_.path() / "Dat");
  writeWholeFile(scratch_.path() / "Dat" / "grupa_311.dat", kGroup311);
  BackgroundSession session(scratch_.path(), "1\n3\n1 6\nr\n", environment());
  const SessionEnd run = session.end();
  // Cancel in the seed dialog stops a re-allocation.
  EXPECT_EQ(run.status, 43) << run.err;
  EXPECT_TRUE(run.out.starts_with(" Grupa: 311 AC\n Numar studenti:   4\n")) << run.out;
  EXPECT_EQ(run.err.find(kGroupTitle), std::string::npos) << run.err;
  const std::string dat = (scratch_.path() / "Dat").string() + "/";
  EXPECT_EQ(readWholeFile(scratch_.path() / "zenity-args"),
            "--file-selection\n--save\n--title=Selecteza Fisierul Grupei\n--filename=" + dat +
                "\n--file-filter=Data Files (*.dat) | *.dat\n"
                "--file-filter=Text Files (*.txt) | *.txt\n"
                "--file-filter=Fortran Files | *.f90 *.f\n"
                "--file-filter=All files (*.*) | *\n"
                "--file-selection\n--save\n--title=Selecteza Fisierul Seed\n--filename=" +
                dat +
                "\n--file-filter=Data Files (*.dat) | *.dat\n"
                "--file-filter=Text Files (*.txt) | *.txt\n"
                "--file-filter=Fortran Files | *.f90 *.f\n"
                "--file-filter=All files (*.*) | *\n");
}

TEST_F(DesktopFallback, MessageBoxFallsBackAloneWhenOnlyItFails) {
  // Cancel in the chooser; the error box fails.
  installZenity("case \"$1\" in --file-selection) exit 1 ;; *) exit 255 ;; esac\n");
  const std::string base = "Probleme Examen Nr_1 (5-6) Grupa G";
  writeWholeFile(scratch_.path() / (base + ".rez"), "r");
  for (int k = 1; k <= 9; ++k) {
    writeWholeFile(scratch_.path() / (base + "[" + std::to_string(k) + "].rez"), "r");
  }
  BackgroundSession session(scratch_.path(), "G\n1\n1\n1\n5 6\n\n\n", environment());
  const SessionEnd run = session.end();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with(" Grupa: \n Numar studenti: \n")) << run.out;
  EXPECT_EQ(run.err.find(kGroupTitle), std::string::npos) << "the chooser was zenity's";
  EXPECT_NE(run.err.find("Lotrano Message"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Sterge unele din ele!"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[ OK ]"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.ends_with(" Press any key\n")) << run.out;
}

TEST_F(DesktopFallback, AnInterruptEndsTheOpenDialogAndTheRun) {
  // A dialog that stays open until it is ended, as a teacher's would.
  installZenity("echo $$ > zenity-pid\nexec sleep 60\n");
  LiveSession session(scratch_.path(), {"DISPLAY=:0", "PATH=" + (scratch_.path() / "bin").string() +
                                                          ":/usr/bin:/bin"});
  ASSERT_TRUE(session.started());
  const fs::path pidFile = scratch_.path() / "zenity-pid";
  const auto end = std::chrono::steady_clock::now() + 30s;
  while (readWholeFile(pidFile).empty() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  const std::string pid = readWholeFile(pidFile);
  ASSERT_FALSE(pid.empty()) << "the dialog did not start";
  session.signal(SIGTERM);
  EXPECT_EQ(session.finish(), 143) << session.err();
  EXPECT_EQ(session.err(), "lotrano: interrupted (signal 15, SIGTERM)\n");
  EXPECT_EQ(session.out(), "") << "no console chooser after the dialog";
  // The dialog was ended with the run, not left on the screen.
  EXPECT_NE(kill(std::stoi(pid), 0), 0);
  EXPECT_EQ(entries(scratch_.path()), (std::vector<std::string>{"bin/", "zenity-pid"}));
}

}  // namespace
