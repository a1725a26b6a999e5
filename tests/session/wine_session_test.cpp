// lotrano.exe, the Windows build, run under Wine with its standard input
// piped, against the Linux binary on the same answers: the same dialogue on
// standard output (the Windows one ends its lines with CR LF), the same files
// and, drawn again from one seed file, the same bytes in them.
//
// lotrano-verify.exe checks the reports of both builds, and so does the
// Linux lotrano-verify.
//
// The real dialogs open on an X display (Xvfb in CI) and are answered with
// xdotool, the names pasted through xclip. The tests need LOTRANO_WINDOWS_EXE
// (the path of lotrano.exe), a display, wine, xdotool and xclip, and
// LOTRANO_WINDOWS_VERIFY_EXE (the path of lotrano-verify.exe; by default the
// one beside lotrano.exe) for the checks; without them they are skipped,
// unless LOTRANO_REQUIRE_WINE=1 makes that a failure. LOTRANO_WINE names
// another wine command. Wine's prefix lies beside the Linux binary and is
// made once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "session/binary_session.h"
#include "support/file_access.h"
#include "support/text_lines.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = std::filesystem;

// Generous: Wine starts slowly, and the dialogs more slowly still.
constexpr int kDialogTimeoutSeconds = 90;
constexpr int kRunTimeoutSeconds = 180;

constexpr const char* kGroupDialog = "Selecteza Fisierul Grupei";
constexpr const char* kSeedDialog = "Selecteza Fisierul Seed";
constexpr const char* kMessageBox = "Lotrano Message";

struct WineSetup {
  std::string exe;
  std::string verifyExe;  // empty when there is none
  std::string wine;
  fs::path prefix;
};

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool commandExists(const std::string& command) {
  return std::system(("command -v '" + command + "' > /dev/null 2>&1").c_str()) == 0;
}

// What the tests need, or why they cannot run.
std::optional<WineSetup> findWineSetup(std::string& missing) {
  WineSetup setup;
  setup.exe = environment("LOTRANO_WINDOWS_EXE");
  setup.wine = environment("LOTRANO_WINE");
  if (setup.wine.empty()) setup.wine = "wine";
  setup.prefix = fs::path(LOTRANO_BINARY).parent_path() / "wineprefix";
  setup.verifyExe = environment("LOTRANO_WINDOWS_VERIFY_EXE");
  if (setup.verifyExe.empty() && !setup.exe.empty()) {
    setup.verifyExe = (fs::path(setup.exe).parent_path() / "lotrano-verify.exe").string();
  }
  if (!fs::is_regular_file(setup.verifyExe)) setup.verifyExe.clear();
  if (setup.exe.empty()) {
    missing = "LOTRANO_WINDOWS_EXE names no lotrano.exe";
  } else if (!fs::is_regular_file(setup.exe)) {
    missing = "no file " + setup.exe;
  } else if (!commandExists(setup.wine)) {
    missing = "no " + setup.wine + " command";
  } else if (!commandExists("xdotool")) {
    missing = "no xdotool command";
  } else if (!commandExists("xclip")) {
    missing = "no xclip command";
  } else if (environment("DISPLAY").empty()) {
    missing = "no X display for the dialogs (run under xvfb-run)";
  } else {
    return setup;
  }
  return std::nullopt;
}

// `locale` (LC_ALL) empty: the locale the tests run in.
std::string wineEnvironment(const WineSetup& setup, const std::string& locale = {}) {
  return "WINEPREFIX=" + shellQuoted(setup.prefix.string()) + " WINEDEBUG=-all " +
         (locale.empty() ? std::string() : "LC_ALL=" + shellQuoted(locale) + " ");
}

// The Romanian locale the tests run Wine in, beside the default one. Wine
// names files through the locale's character set, so it must exist
// (generated with Debian's `locales`; `make windows-test` does that).
constexpr const char* kRomanianLocale = "ro_RO.UTF-8";

bool localeInstalled(const std::string& locale) {
  // `locale -a` names ro_RO.UTF-8 as ro_RO.utf8.
  std::string name = locale;
  name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
  return std::system(("locale -a 2> /dev/null | grep -qix '" + name + "'").c_str()) == 0;
}

// The path as a Windows program under Wine sees it: drive Z: is the root.
std::string windowsPath(const fs::path& path) {
  std::string text = "Z:" + path.string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// One window to wait for and answer: the text entered into its name box,
// then the key.
struct DialogAnswer {
  std::string title;
  std::string typed;
  std::string key;       // "Return" confirms, "Escape" cancels
  std::string before{};  // a shell command run in the run's folder first
};

DialogAnswer cancel(const char* title) { return {title, "", "Escape"}; }
DialogAnswer choose(const char* title, const fs::path& file) {
  return {title, windowsPath(file), "Return"};
}
DialogAnswer confirm(const char* title) { return {title, "", "Return"}; }

struct WineResult : SessionResult {
  std::vector<std::string> windowsSeen;  // titles of the windows answered, in order
};

// The shell functions of the dialog driver. A name goes into a dialog's name
// box through the clipboard, and the box is read back before the name is
// confirmed. `xdotool type` cannot be trusted with ă or ș: it binds a letter
// missing from the keyboard map to a spare key for the moment of its key
// press, and a program slow to take the press (Wine on a busy machine) looks
// the key up once it is unbound again, and the letter is lost. A paste
// brings the text whole; and since Wine learns of the clipboard's new owner
// from an event of its own, an early paste may bring the text before: the
// copy read back shows which, and the paste is made again until the box holds
// exactly the name.
constexpr const char* kDriverFunctions = R"sh(
# Puts the text of the file $1 on the clipboard; true once the clipboard
# gives it back.
put_on_clipboard() {
  local try
  for try in $(seq 10); do
    xclip -selection clipboard -i "$1" > /dev/null 2>&1
    timeout 5 xclip -selection clipboard -o > .wine-clipboard 2> /dev/null &&
      cmp -s .wine-clipboard "$1" && return 0
    sleep 0.5
  done
  return 1
}
# Enters the text of the file $1 into the name box of the dialog $window:
# true once the box, copied to the clipboard, holds exactly that text. Each
# attempt that failed is noted in .wine-notes.
enter_name() {
  local attempt wait
  printf '%s' '(nothing copied from the name box)' > .wine-unread
  for attempt in $(seq 6); do
    # A click into the name box puts the keys there, wherever the dialog's
    # own focus lies (keys sent to its file list are lost). The box lies 71
    # pixels above the dialog's bottom edge in every language; Alt+N would
    # tick the read-only box of a Romanian dialog.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --window "$window" 150 $((HEIGHT - 71)) click 1
    put_on_clipboard "$1" || continue
    sleep "$attempt"
    xdotool key Home shift+End ctrl+v
    sleep 0.5
    # The clipboard holds another text while the box is copied, so that a
    # copy that did not happen is not taken for the name.
    put_on_clipboard .wine-unread || continue
    xdotool key Home shift+End ctrl+c
    for wait in $(seq 20); do
      timeout 5 xclip -selection clipboard -o > .wine-clipboard 2> /dev/null &&
        ! cmp -s .wine-clipboard .wine-unread && break
      sleep 0.5
    done
    cmp -s .wine-clipboard "$1" && return 0
    echo "attempt $attempt: the name box held: $(cat .wine-clipboard)" >> .wine-notes
  done
  echo "the name box never held: $(cat "$1")" >> .wine-notes
  return 1
}
)sh";

// Runs lotrano.exe in `directory` with `input` piped, while a second process
// waits for each window in turn, focuses it, enters the name and presses the
// key; the result lists the windows that were answered and closed. A
// non-empty `screenshot` is taken of the screen once the first window shows.
WineResult runWindowsProgram(const WineSetup& setup, const fs::path& directory,
                             const std::string& input, const std::vector<DialogAnswer>& answers,
                             const fs::path& screenshot = {}, const std::string& locale = {}) {
  const auto in = directory / ".wine-in";
  const auto out = directory / ".wine-out";
  const auto err = directory / ".wine-err";
  const auto seen = directory / ".wine-seen";
  const auto driver = directory / ".wine-driver";
  const auto script = directory / ".wine-run";
  const auto notesFile = directory / ".wine-notes";
  // The driver's own files: each name to enter, and what the clipboard held.
  std::vector<fs::path> driverFiles = {directory / ".wine-clipboard", directory / ".wine-unread"};
  writeWholeFile(in, input);
  writeWholeFile(seen, "");

  std::string steps = std::string("set -u\n") + kDriverFunctions;
  for (std::size_t k = 0; k < answers.size(); ++k) {
    const DialogAnswer& answer = answers[k];
    const std::string name = shellQuoted("^" + answer.title + "$");
    // Where the driver gives up, it says why in the notes.
    steps += "timeout " + std::to_string(kDialogTimeoutSeconds) +
             " xdotool search --onlyvisible --sync --name " + name + " > /dev/null || { echo " +
             shellQuoted("gave up: the window " + answer.title + " did not show within " +
                         std::to_string(kDialogTimeoutSeconds) + " s") +
             " >> .wine-notes; exit 1; }\n";
    steps += "sleep 2\n";
    if (!answer.before.empty()) steps += answer.before + "\n";
    if (k == 0 && !screenshot.empty()) {
      steps += "import -window root " + shellQuoted(screenshot.string()) + " || true\n";
    }
    // The window gets the focus (retried: without a window manager it is not
    // always confirmed), then its keys, once: a closed dialog's window stays
    // on screen a moment, and keys sent to it again would reach the next one.
    steps += "window=$(xdotool search --onlyvisible --name " + name + " | head -n 1)\n";
    steps += "for attempt in 1 2 3; do\n";
    steps += "  timeout 5 xdotool windowfocus --sync \"$window\" && break\n";
    steps += "done\n";
    steps += "sleep 0.5\n";
    if (!answer.typed.empty()) {
      const fs::path typed = directory / (".wine-name-" + std::to_string(k));
      writeWholeFile(typed, answer.typed);
      driverFiles.push_back(typed);
      steps += "enter_name " + shellQuoted(typed.string()) + " || exit 1\n";
    }
    steps += "xdotool key " + answer.key + "\n";
    // Answered once that very window has gone from the screen.
    steps += "for wait in $(seq 40); do\n";
    steps += "  xdotool search --onlyvisible --name " + name +
             " | grep -qx \"$window\" || break; sleep 0.5\n";
    steps += "done\n";
    steps +=
        "xdotool search --onlyvisible --name " + name + " | grep -qx \"$window\" && { echo " +
        shellQuoted("gave up: the window " + answer.title + " stayed open after " + answer.key) +
        " >> .wine-notes; exit 1; }\n";
    steps += "echo " + shellQuoted(answer.title) + " >> " + shellQuoted(seen.string()) + "\n";
  }
  writeWholeFile(driver, steps);
  // The driver gets a session of its own, so that it and whatever it still
  // waits for end together with the program.
  writeWholeFile(script, "cd " + shellQuoted(directory.string()) + " || exit 127\n" +
                             "setsid bash " + shellQuoted(driver.string()) +
                             " > /dev/null 2>&1 &\n"
                             "driver=$!\n" +
                             wineEnvironment(setup, locale) + "timeout " +
                             std::to_string(kRunTimeoutSeconds) + " " + shellQuoted(setup.wine) +
                             " " + shellQuoted(setup.exe) + " < " + shellQuoted(in.string()) +
                             " > " + shellQuoted(out.string()) + " 2> " +
                             shellQuoted(err.string()) +
                             "\n"
                             "status=$?\n"
                             // The driver notes the last window's closing
                             // after the program has ended; then it goes.
                             "for wait in $(seq 20); do\n"
                             "  kill -0 $driver 2> /dev/null || break; sleep 0.5\n"
                             "done\n"
                             "kill -- -$driver 2> /dev/null\n"
                             "exit $status\n");
  const int raw = std::system(("bash " + shellQuoted(script.string())).c_str());
  WineResult result;
  result.out = readWholeFile(out);
  result.err = readWholeFile(err);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.windowsSeen = linesOf(readWholeFile(seen));
  // A name entered again is told in the test's log; one never entered fails
  // the test, whatever the run made of the dialog left open.
  const std::string notes = readWholeFile(notesFile);
  if (notes.find("never held") != std::string::npos) {
    ADD_FAILURE() << "a dialog's name box did not take its name:\n" << notes;
  } else if (notes.find("gave up") != std::string::npos) {
    ADD_FAILURE() << "the dialog driver " << notes;
  } else if (!notes.empty()) {
    std::cerr << "[ dialog driver ] " << notes;
  }
  for (const auto& file : {in, out, err, seen, driver, script, notesFile}) fs::remove(file);
  for (const auto& file : driverFiles) fs::remove(file);
  return result;
}

// Standard output of the Windows program with its line ends as LF, or
// nullopt when a line does not end in exactly one CR LF: an LF alone, or the
// CR CR LF of a CR LF written through the text-mode stream.
std::optional<std::string> withLineFeeds(const std::string& windowsText) {
  std::string text;
  for (std::size_t k = 0; k < windowsText.size(); ++k) {
    const char c = windowsText[k];
    const bool endsLine = k + 1 < windowsText.size() && windowsText[k + 1] == '\n';
    if (c == '\r' && endsLine) continue;
    if (c == '\r' || (c == '\n' && (k == 0 || windowsText[k - 1] != '\r'))) return std::nullopt;
    text += c;
  }
  return text;
}

// Runs lotrano-verify.exe under Wine in `directory` with the arguments, as a
// command line or a report dropped onto it gives them.
SessionResult runWindowsVerify(const WineSetup& setup, const fs::path& directory,
                               const std::vector<std::string>& arguments) {
  const auto out = directory / ".wine-out";
  const auto err = directory / ".wine-err";
  std::string command = "cd " + shellQuoted(directory.string()) + " && " + wineEnvironment(setup) +
                        "timeout " + std::to_string(kRunTimeoutSeconds) + " " +
                        shellQuoted(setup.wine) + " " + shellQuoted(setup.verifyExe);
  for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
  command += " < /dev/null > " + shellQuoted(out.string()) + " 2> " + shellQuoted(err.string());
  const int raw = std::system(command.c_str());
  SessionResult result;
  result.out = readWholeFile(out);
  result.err = readWholeFile(err);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  fs::remove(out);
  fs::remove(err);
  return result;
}

// The date and time stamp (console and report) is the one part that two runs
// cannot share.
const std::regex kStamp("[0-9]{4}-[0-9]{2}-[0-9]{2}   [0-9]{2}:[0-9]{2}:[0-9]{2}");

std::string withoutStamp(const std::string& text) {
  return std::regex_replace(text, kStamp, "<date>   <time>");
}

// A group file of `students` students whose title holds the group 311 AC.
std::string groupFile(int students) {
  std::string text = "Grupa 311 AC\r\nNr. Nume si prenume\r\n";
  for (int k = 1; k <= students; ++k) {
    text += std::to_string(k) + ". Student" + std::string(static_cast<std::size_t>(k % 4), ' ') +
            " Nr " + std::to_string(k) + "\r\n";
  }
  return text;
}

// lotrano.exe (or another program, with its arguments) under Wine on a
// terminal, which Wine turns into a console opened for it alone: the
// program's console input is then a real one, with key events.
class ConsoleSession {
 public:
  // `command`: the program and its arguments (lotrano.exe alone when empty);
  // `locale`: LC_ALL for Wine, empty for the tests' own. Without
  // `withDisplay` the dialogs cannot open: the program takes that as Cancel
  // and asks for the group on the console.
  ConsoleSession(const WineSetup& setup, const fs::path& directory,
                 std::vector<std::string> command = {}, const std::string& locale = {},
                 bool withDisplay = false) {
    if (command.empty()) command.push_back(setup.exe);
    command.insert(command.begin(), setup.wine);
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const std::string terminal = ptsname(master_);
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      const int slave = open(terminal.c_str(), O_RDWR);
      for (int stream : {0, 1, 2}) dup2(slave, stream);
      if (chdir(directory.c_str()) != 0) _exit(127);
      setenv("WINEPREFIX", setup.prefix.c_str(), 1);
      setenv("WINEDEBUG", "-all", 1);
      if (!locale.empty()) setenv("LC_ALL", locale.c_str(), 1);
      if (!withDisplay) unsetenv("DISPLAY");
      execvp(argv[0], argv.data());
      _exit(127);
    }
  }
  ~ConsoleSession() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;

  bool started() const { return pid_ > 0; }
  // The letters seen so far, for failure messages.
  const std::string& letters() const { return letters_; }

  void type(const std::string& keys) {
    [[maybe_unused]] const auto written = write(master_, keys.data(), keys.size());
  }

  // Reads the terminal until its letters (the console draws blanks as cursor
  // moves, so only letters are compared) hold `letters`, or the time is up.
  bool waitForLetters(const std::string& letters, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (letters_.find(letters) == std::string::npos) {
      if (std::chrono::steady_clock::now() > end) return false;
      pollfd ready{master_, POLLIN, 0};
      if (poll(&ready, 1, 100) > 0) {
        char bytes[4096];
        const auto count = read(master_, bytes, sizeof bytes);
        if (count <= 0) return false;
        for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
          // Control sequences (ESC [ ... letter) are the console's drawing.
          if (bytes[k] == '\x1b') {
            escape_ = true;
          } else if (escape_) {
            escape_ = !std::isalpha(static_cast<unsigned char>(bytes[k]));
          } else if (std::isalpha(static_cast<unsigned char>(bytes[k]))) {
            letters_ += bytes[k];
          }
        }
      }
    }
    return true;
  }

  // Processor time the program has used so far, in clock ticks.
  long processorTicks() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long user = 0;
    long system = 0;
    for (int k = 3; k <= 15 && fields >> field; ++k) {
      if (k == 14) user = std::stol(field);
      if (k == 15) system = std::stol(field);
    }
    return user + system;
  }

  // The exit status once the program has ended within `limit`, or -1.
  int waitForEnd(std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      int raw = 0;
      if (waitpid(pid_, &raw, WNOHANG) == pid_) {
        ended_ = true;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
      }
      char bytes[4096];
      pollfd ready{master_, POLLIN, 0};
      if (poll(&ready, 1, 100) > 0) [[maybe_unused]]
        const auto drained = read(master_, bytes, sizeof bytes);
    }
    return -1;
  }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  bool ended_ = false;
  bool escape_ = false;
  std::string letters_;
};

class WineSession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setup_ = findWineSetup(missing_);
    if (!setup_) return;
    // Wine builds its prefix at the first start, which takes a while and
    // writes to the console: done once, before any session.
    if (!fs::exists(setup_->prefix / "system.reg")) {
      std::system(("'" LOTRANO_SOURCE_DIR "/tools/make-wine-prefix.sh' " +
                   shellQuoted(setup_->prefix.string()))
                      .c_str());
    }
    if (!fs::exists(setup_->prefix / "system.reg")) {
      missing_ = "the Wine prefix " + setup_->prefix.string() + " could not be made";
      setup_.reset();
    }
  }

  void SetUp() override {
    if (setup_) return;
    if (environment("LOTRANO_REQUIRE_WINE") == "1") {
      FAIL() << "Wine tests required, but " << missing_;
    } else {
      GTEST_SKIP() << missing_;
    }
  }

  const WineSetup& wine() const { return *setup_; }

  // The default locale, and the Romanian one when it is there; its absence
  // fails the test where Wine is required.
  std::vector<std::string> locales() const {
    std::vector<std::string> found = {""};
    if (localeInstalled(kRomanianLocale)) {
      found.push_back(kRomanianLocale);
    } else if (environment("LOTRANO_REQUIRE_WINE") == "1") {
      ADD_FAILURE() << "no locale " << kRomanianLocale << " (generate it with Debian's locales)";
    }
    return found;
  }

  static std::optional<WineSetup> setup_;
  static std::string missing_;
};

std::optional<WineSetup> WineSession::setup_;
std::string WineSession::missing_;

TEST_F(WineSession, TypedGroupSessionsMatchTheLinuxBuild) {
  const struct {
    const char* answers;  // after the group dialog, cancelled
    int status;
    std::vector<std::string> files;
  } cases[] = {
      {"1234\n4\n3\n2\n1\n1,6\nx\n",
       0,
       {"Probleme Examen Nr_2 (1-6) Grupa 1234.rez", "Seed_2 (1-6) Grupa 1234.dat"}},
      // Three batches: 6, 6 and 3.
      {"G\n15\n1\n3\n1 6\n\n",
       0,
       {"Probleme Examen Nr_1 (1-6) Grupa G.rez", "Seed_1 (1-6) Grupa G.dat"}},
      {"1234\nabc\n", 59, {}},
      {"1234\n4\n1\n1\n10 100\n", 66, {}},
      {"1234\n4\n1\n1\n1 6\n", 24, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    ScratchDirectory linuxDirectory;
    ScratchDirectory windowsDirectory;
    // The console chooser of the Linux build takes an empty line as Cancel.
    const SessionResult onLinux =
        runLotranoBinary(linuxDirectory.path(), std::string("\n") + c.answers);
    const WineResult onWindows =
        runWindowsProgram(wine(), windowsDirectory.path(), c.answers, {cancel(kGroupDialog)});
    EXPECT_EQ(onWindows.windowsSeen, std::vector<std::string>{kGroupDialog});
    EXPECT_EQ(onLinux.status, c.status) << onLinux.err;
    EXPECT_EQ(onWindows.status, c.status) << onWindows.err;

    const auto lines = withLineFeeds(onWindows.out);
    ASSERT_TRUE(lines) << "a line not ended by one CR LF:\n" << onWindows.out;
    EXPECT_EQ(withoutStamp(*lines), withoutStamp(onLinux.out));
    EXPECT_EQ(entries(windowsDirectory.path()), c.files);
    EXPECT_EQ(entries(linuxDirectory.path()), c.files);
    if (c.files.empty()) continue;

    // The draws differ (each is seeded from its own clock), the report's head
    // and its shape do not.
    const std::string windowsReport = readWholeFile(windowsDirectory.path() / c.files[0]);
    const std::string linuxReport = readWholeFile(linuxDirectory.path() / c.files[0]);
    const std::string head = "\r\n Nr_crt";
    ASSERT_NE(linuxReport.find(head), std::string::npos) << linuxReport;
    EXPECT_EQ(windowsReport.substr(0, windowsReport.find(head)),
              linuxReport.substr(0, linuxReport.find(head)));
    EXPECT_EQ(linesOf(windowsReport).size(), linesOf(linuxReport).size()) << windowsReport;
    const std::string seed = readWholeFile(windowsDirectory.path() / c.files[1]);
    EXPECT_TRUE(
        std::regex_match(seed, std::regex("( seed_[1-3]:\r\n[ -][ 0-9]{11}[ -][ 0-9]{11}\r\n)+")))
        << seed;
    EXPECT_EQ(linesOf(seed).size(),
              linesOf(readWholeFile(linuxDirectory.path() / c.files[1])).size());
    EXPECT_FALSE(writable(windowsDirectory.path() / c.files[0])) << "the result file is read-only";
    EXPECT_TRUE(writable(windowsDirectory.path() / c.files[1]));
  }
}

TEST_F(WineSession, ReallocationFromOneSeedFileGivesTheSameFilesOnBothBuilds) {
  // Group file (names in the report) and typed group (none); 15 students over
  // 1..6 take three batches, so all three seed entries are read.
  const struct {
    bool groupFromFile;
    const char* answers;  // after the group
    const char* report;
    const char* seed;
    const char* again;      // the report drawn again
    const char* againSeed;  // and its seed file
  } cases[] = {
      {true, "1\n3\n1 6\n", "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez",
       "Seed_1 (1-6) Grupa 311 AC.dat", "Probleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez",
       "Seed_1 (1-6) Grupa 311 AC[1].dat"},
      {false, "1234\n15\n2\n7\n1,6\n", "Probleme Examen Nr_2 (1-6) Grupa 1234.rez",
       "Seed_2 (1-6) Grupa 1234.dat", "Probleme Examen Nr_2 (1-6) Grupa 1234[1].rez",
       "Seed_2 (1-6) Grupa 1234[1].dat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.report);
    // A new allocation on Linux gives the seed file.
    ScratchDirectory first;
    const auto prepare = [&](const fs::path& directory) {
      fs::create_directory(directory / "Dat");
      writeWholeFile(directory / "Dat" / "grupa.dat", groupFile(15));
    };
    prepare(first.path());
    const std::string linuxGroup = c.groupFromFile ? "grupa.dat\n" : "\n";
    ASSERT_EQ(runLotranoBinary(first.path(), linuxGroup + c.answers + "\n").status, 0);
    const std::string seed = readWholeFile(first.path() / c.seed);
    ASSERT_FALSE(seed.empty());

    // Each build draws again from its own copy of that seed file, which keeps
    // the base name from the run (its report is elsewhere): each writes the
    // next name and leaves its chosen file as it was.
    ScratchDirectory linuxDirectory;
    ScratchDirectory windowsDirectory;
    for (const auto& directory : {linuxDirectory.path(), windowsDirectory.path()}) {
      prepare(directory);
      writeWholeFile(directory / c.seed, seed);
    }
    const SessionResult onLinux = runLotranoBinary(
        linuxDirectory.path(),
        linuxGroup + c.answers + "r\n" + (linuxDirectory.path() / c.seed).string() + "\n");
    ASSERT_EQ(onLinux.status, 0) << onLinux.err;
    std::vector<DialogAnswer> dialogs{
        c.groupFromFile ? choose(kGroupDialog, windowsDirectory.path() / "Dat" / "grupa.dat")
                        : cancel(kGroupDialog),
        choose(kSeedDialog, windowsDirectory.path() / c.seed)};
    const WineResult onWindows =
        runWindowsProgram(wine(), windowsDirectory.path(), std::string(c.answers) + "r\n", dialogs);
    ASSERT_EQ(onWindows.status, 0) << onWindows.err;
    EXPECT_EQ(onWindows.windowsSeen, (std::vector<std::string>{kGroupDialog, kSeedDialog}));

    const auto lines = withLineFeeds(onWindows.out);
    ASSERT_TRUE(lines) << "a line not ended by one CR LF:\n" << onWindows.out;
    EXPECT_EQ(withoutStamp(*lines), withoutStamp(onLinux.out));
    EXPECT_EQ(entries(windowsDirectory.path()), entries(linuxDirectory.path()));
    // Byte for byte, but for the date and time stamp. The re-allocation line
    // names the seed file without its folder, so it is compared too.
    EXPECT_EQ(entries(windowsDirectory.path()),
              (std::vector<std::string>{"Dat/", c.again, c.seed, c.againSeed}));
    const std::string linuxReport = readWholeFile(linuxDirectory.path() / c.again);
    const std::string windowsReport = readWholeFile(windowsDirectory.path() / c.again);
    EXPECT_TRUE(std::regex_search(windowsReport, kStamp)) << windowsReport;
    EXPECT_EQ(withoutStamp(windowsReport), withoutStamp(linuxReport));
    EXPECT_NE(windowsReport.find(std::string(" [Re-alocare, cu: \"") + c.seed + "\"]\r\n"),
              std::string::npos)
        << windowsReport;
    // The same words again: the draws are the recorded ones.
    for (const auto& directory : {linuxDirectory.path(), windowsDirectory.path()}) {
      EXPECT_EQ(readWholeFile(directory / c.againSeed), seed);
      EXPECT_EQ(readWholeFile(directory / c.seed), seed);
    }
    // The first allocation's report, with the re-allocation line added.
    EXPECT_EQ(withoutStamp(windowsReport), withoutStamp(readWholeFile(first.path() / c.report)) +
                                               "\r\n [Re-alocare, cu: \"" + c.seed + "\"]\r\n");
  }
}

TEST_F(WineSession, GroupFileChosenInTheDialogIsTheFileCase) {
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  writeWholeFile(scratch.path() / "Dat" / "grupa_311.dat", groupFile(4));
  const fs::path screenshot = fs::path(LOTRANO_BINARY).parent_path() / "wine-group-dialog.png";
  fs::remove(screenshot);
  const WineResult run = runWindowsProgram(
      wine(), scratch.path(), "1\n3\n1 6\n\n",
      {choose(kGroupDialog, scratch.path() / "Dat" / "grupa_311.dat")}, screenshot);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.windowsSeen, std::vector<std::string>{kGroupDialog});
  EXPECT_TRUE(fs::exists(screenshot));

  const std::string resultName = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
  const std::string seedName = "Seed_1 (1-6) Grupa 311 AC.dat";
  EXPECT_TRUE(
      run.out.starts_with(" Grupa: 311 AC\r\n Numar studenti:   4\r\n\r\n"
                          " Problema_de_Examen nr. (1 sau 2): \r\n"))
      << run.out;
  // The name is written in its whole 260-character field.
  EXPECT_TRUE(run.out.ends_with("\r\n Fisier de iesire: " + resultName +
                                std::string(260 - resultName.size(), ' ') +
                                "\r\n Press any key\r\n"))
      << run.out;
  // Browsing into Dat\ leaves the files where the program was started.
  EXPECT_EQ(entries(scratch.path()), (std::vector<std::string>{"Dat/", resultName, seedName}));
  EXPECT_EQ(entries(scratch.path() / "Dat"), std::vector<std::string>{"grupa_311.dat"});
  const std::string report = readWholeFile(scratch.path() / resultName);
  EXPECT_TRUE(report.starts_with(" Grupa: 311 AC\r\n Numar de Studenti:   4\r\n")) << report;
  EXPECT_NE(report.find("\r\n   4     Student Nr 4  "), std::string::npos) << report;

  // The seed file written on Windows draws the same allocation on Linux.
  const SessionResult again = runLotranoBinary(
      scratch.path(), "grupa_311\n1\n3\n1 6\nr\n" + (scratch.path() / seedName).string() + "\n");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(withoutStamp(
                readWholeFile(scratch.path() / "Probleme Examen Nr_1 (1-6) Grupa 311 AC[1].rez")),
            withoutStamp(report) + "\r\n [Re-alocare, cu: \"" + seedName + "\"]\r\n");
  EXPECT_EQ(readWholeFile(scratch.path() / resultName), report) << "the first result is untouched";
}

TEST_F(WineSession, TakenNamesAreSkippedAndTheTenthRefusedWithTheMessageBox) {
  ScratchDirectory scratch;
  const std::string base = "Probleme Examen Nr_1 (5-6) Grupa G";
  const auto variant = [&](int k) {
    return scratch.path() / (base + (k == 0 ? "" : "[" + std::to_string(k) + "]") + ".rez");
  };
  // A teacher's earlier results: the base name, [1] and [3]. The gap [2] is
  // taken, and no earlier file is opened.
  for (int k : {0, 1, 3}) writeWholeFile(variant(k), "earlier result " + std::to_string(k));
  const std::string answers = "G\n1\n1\n1\n5 6\n\n";
  const WineResult filling =
      runWindowsProgram(wine(), scratch.path(), answers, {cancel(kGroupDialog)});
  ASSERT_EQ(filling.status, 0) << filling.err;
  EXPECT_TRUE(readWholeFile(variant(2)).starts_with(" Grupa: G\r\n")) << readWholeFile(variant(2));
  for (int k : {0, 1, 3}) {
    EXPECT_EQ(readWholeFile(variant(k)), "earlier result " + std::to_string(k));
  }

  for (int k = 4; k <= 9; ++k) writeWholeFile(variant(k), "earlier result");
  const auto before = entries(scratch.path());
  const WineResult refused = runWindowsProgram(wine(), scratch.path(), answers,
                                               {cancel(kGroupDialog), confirm(kMessageBox)});
  EXPECT_EQ(refused.status, 0) << refused.err;
  EXPECT_EQ(refused.windowsSeen, (std::vector<std::string>{kGroupDialog, kMessageBox}));
  EXPECT_TRUE(
      refused.out.ends_with(" Numar_Start_Problema, Numar_End_Problema: \r\n"
                            " Press any key\r\n"))
      << refused.out;
  EXPECT_EQ(entries(scratch.path()), before);
}

TEST_F(WineSession, KeyWaitOnTheConsoleSleepsUntilAKey) {
  ScratchDirectory scratch;
  ConsoleSession console(wine(), scratch.path());
  ASSERT_TRUE(console.started());
  // Each answer once its prompt shows, as a teacher types them.
  const struct {
    const char* prompt;  // its letters
    const char* answer;
  } dialogue[] = {
      {"Grupa", "1234\r"},      {"Numarstudenti", "4\r"},        {"ProblemadeExamen", "1\r"},
      {"SETdeProbleme", "3\r"}, {"NumarStartProblema", "1 6\r"}, {"Nouaalocare", "\r"},
  };
  for (const auto& step : dialogue) {
    ASSERT_TRUE(console.waitForLetters(step.prompt, std::chrono::seconds(kRunTimeoutSeconds)))
        << console.letters();
    // Wine sets the terminal up for its console as the program starts to
    // read; keys typed before that are dropped.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    console.type(step.answer);
  }
  ASSERT_TRUE(console.waitForLetters("Pressanykey", std::chrono::seconds(60))) << console.letters();
  EXPECT_TRUE(fs::exists(scratch.path() / "Seed_1 (1-6) Grupa 1234.dat"));

  // Waiting, and asleep while it waits: a busy poll would take the whole
  // three seconds of processor time.
  const long before = console.processorTicks();
  std::this_thread::sleep_for(std::chrono::seconds(3));
  EXPECT_LE(console.processorTicks() - before, sysconf(_SC_CLK_TCK) / 5);
  EXPECT_EQ(console.waitForEnd(std::chrono::seconds(1)), -1) << "ended without a key";

  console.type("q");
  EXPECT_EQ(console.waitForEnd(std::chrono::seconds(30)), 0);
}

// A group list in UTF-8 whose title and names hold ă, â, î, ș and ț.
constexpr const char* kRomanianGroup =
    "Grupa 1231 Automatică și Calculatoare\r\n"
    "Nr. Nume și prenume\r\n"
    "1. Ștefănescu Ioana\r\n"
    "2. Țurcanu Ion\r\n"
    "3. Îonescu Ana-Maria\r\n"
    "4. Popescu Dănuț\r\n";
const std::string kRomanianResult =
    "Probleme Examen Nr_1 (1-5) Grupa 1231 Automatică și Calculatoare.rez";
const std::string kRomanianSeed = "Seed_1 (1-5) Grupa 1231 Automatică și Calculatoare.dat";

// The same list saved in Windows-1250, which has ş and ţ (cedilla) only.
constexpr const char* kRomanianGroup1250 =
    "Grupa 1232 Automatic\xE3 \xBAi Calculatoare\r\n"
    "1. \xAAtef\xE3nescu Ioana\r\n"
    "2. \xDEurcanu Ion\r\n";

// A list as Notepad saves it as "Unicode": UTF-16, little endian, after its
// mark. "Ț" is the bytes 1A 02, and 1A ends a file read in text mode on
// Windows: the list is read whole only in binary mode.
std::string notepadUnicode(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The report's row of a student: the name from column 10, filled to 36
// columns by characters, then the problem number.
std::regex rowOf(int number, const std::string& name, std::size_t nameCharacters) {
  return std::regex("\r\n   " + std::to_string(number) + "     " + name +
                    std::string(36 - nameCharacters, ' ') + " [1-5]\r\n");
}

void expectNoPartFile(const fs::path& directory) {
  for (const auto& name : entries(directory)) {
    EXPECT_EQ(name.find(".part"), std::string::npos) << name;
  }
}

TEST_F(WineSession, RomanianLettersMakeTheSameNamesAndLinesOnBothBuildsInEveryLocale) {
  const std::string answers = "1\n1\n1 5\n";
  for (const std::string& locale : locales()) {
    SCOPED_TRACE("locale: " + (locale.empty() ? std::string("default") : locale));
    ScratchDirectory linuxDirectory;
    ScratchDirectory windowsDirectory;
    for (const auto& directory : {linuxDirectory.path(), windowsDirectory.path()}) {
      fs::create_directory(directory / "Dat");
      writeWholeFile(directory / "Dat" / "ac.dat", kRomanianGroup);
      writeWholeFile(directory / "Dat" / "vechi.dat", kRomanianGroup1250);
      writeWholeFile(directory / "Dat" / "unicode.dat",
                     notepadUnicode(u"Grupa 1233 Științe\r\n1. Țurcanu Ion\r\n2. Ștefan Ăna\r\n"));
    }
    const auto checkOutput = [](const WineResult& onWindows, const SessionResult& onLinux) {
      const auto lines = withLineFeeds(onWindows.out);
      ASSERT_TRUE(lines) << "a line not ended by one CR LF:\n" << onWindows.out;
      EXPECT_EQ(withoutStamp(*lines), withoutStamp(onLinux.out));
    };

    {
      SCOPED_TRACE("a typed group");
      ScratchDirectory linuxTyped;
      ScratchDirectory windowsTyped;
      const std::string typed = "Automatică\n4\n" + answers + "\n";
      const SessionResult onLinux = runLotranoBinary(linuxTyped.path(), "\n" + typed);
      const WineResult onWindows =
          runWindowsProgram(wine(), windowsTyped.path(), typed, {cancel(kGroupDialog)}, {}, locale);
      ASSERT_EQ(onWindows.status, 0) << onWindows.err;
      ASSERT_EQ(onLinux.status, 0) << onLinux.err;
      checkOutput(onWindows, onLinux);
      const std::vector<std::string> files = {"Probleme Examen Nr_1 (1-5) Grupa Automatică.rez",
                                              "Seed_1 (1-5) Grupa Automatică.dat"};
      EXPECT_EQ(entries(windowsTyped.path()), files);
      EXPECT_EQ(entries(linuxTyped.path()), files);
      const std::string report = readWholeFile(windowsTyped.path() / files[0]);
      EXPECT_TRUE(report.starts_with(" Grupa: Automatică\r\n")) << report;
      const std::string head = "\r\n Nr_crt";
      EXPECT_EQ(report.substr(0, report.find(head)),
                readWholeFile(linuxTyped.path() / files[0]).substr(0, report.find(head)));
    }

    {
      SCOPED_TRACE("a group file in UTF-8, and a re-allocation from its seed file");
      const WineResult first = runWindowsProgram(
          wine(), windowsDirectory.path(), answers + "\n",
          {choose(kGroupDialog, windowsDirectory.path() / "Dat" / "ac.dat")}, {}, locale);
      ASSERT_EQ(first.status, 0) << first.err;
      EXPECT_TRUE(first.out.starts_with(" Grupa: 1231 Automatică și Calculatoare\r\n"))
          << first.out;
      EXPECT_EQ(entries(windowsDirectory.path()),
                (std::vector<std::string>{"Dat/", kRomanianResult, kRomanianSeed}));
      const std::string report = readWholeFile(windowsDirectory.path() / kRomanianResult);
      EXPECT_TRUE(report.starts_with(" Grupa: 1231 Automatică și Calculatoare\r\n")) << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(1, "Ștefănescu Ioana", 16))) << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(2, "Țurcanu Ion", 11))) << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(3, "Îonescu Ana-Maria", 17))) << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(4, "Popescu Dănuț", 13))) << report;
      const std::string seed = readWholeFile(windowsDirectory.path() / kRomanianSeed);
      EXPECT_FALSE(writable(windowsDirectory.path() / kRomanianResult));

      // The seed file chosen by its name, typed into the dialog.
      const WineResult again =
          runWindowsProgram(wine(), windowsDirectory.path(), answers + "r\n",
                            {choose(kGroupDialog, windowsDirectory.path() / "Dat" / "ac.dat"),
                             choose(kSeedDialog, windowsDirectory.path() / kRomanianSeed)},
                            {}, locale);
      ASSERT_EQ(again.status, 0) << again.err;
      EXPECT_EQ(again.windowsSeen, (std::vector<std::string>{kGroupDialog, kSeedDialog}));
      const std::string variant =
          "Probleme Examen Nr_1 (1-5) Grupa 1231 Automatică și Calculatoare[1].rez";
      const std::string variantSeed = "Seed_1 (1-5) Grupa 1231 Automatică și Calculatoare[1].dat";
      EXPECT_EQ(
          entries(windowsDirectory.path()),
          (std::vector<std::string>{"Dat/", kRomanianResult, variant, kRomanianSeed, variantSeed}));
      const std::string reallocated = readWholeFile(windowsDirectory.path() / variant);
      EXPECT_EQ(withoutStamp(reallocated),
                withoutStamp(report) + "\r\n [Re-alocare, cu: \"" + kRomanianSeed + "\"]\r\n");
      EXPECT_EQ(readWholeFile(windowsDirectory.path() / variantSeed), seed);
      EXPECT_EQ(readWholeFile(windowsDirectory.path() / kRomanianSeed), seed);

      // The Linux build finds that seed file by the same name and draws the
      // same report from it.
      writeWholeFile(linuxDirectory.path() / kRomanianSeed, seed);
      const SessionResult onLinux = runLotranoBinary(
          linuxDirectory.path(),
          "ac\n" + answers + "r\n" + (linuxDirectory.path() / kRomanianSeed).string() + "\n");
      ASSERT_EQ(onLinux.status, 0) << onLinux.err;
      checkOutput(again, onLinux);
      EXPECT_EQ(withoutStamp(readWholeFile(linuxDirectory.path() / variant)),
                withoutStamp(reallocated));
      EXPECT_EQ(readWholeFile(linuxDirectory.path() / variantSeed), seed);
      expectNoPartFile(windowsDirectory.path());
      expectNoPartFile(linuxDirectory.path());
    }

    {
      SCOPED_TRACE("a group file in Windows-1250");
      const WineResult onWindows = runWindowsProgram(
          wine(), windowsDirectory.path(), answers + "\n",
          {choose(kGroupDialog, windowsDirectory.path() / "Dat" / "vechi.dat")}, {}, locale);
      const SessionResult onLinux =
          runLotranoBinary(linuxDirectory.path(), "vechi\n" + answers + "\n");
      ASSERT_EQ(onWindows.status, 0) << onWindows.err;
      ASSERT_EQ(onLinux.status, 0) << onLinux.err;
      checkOutput(onWindows, onLinux);
      const std::string result =
          "Probleme Examen Nr_1 (1-5) Grupa 1232 Automatică şi Calculatoare.rez";
      ASSERT_TRUE(fs::exists(windowsDirectory.path() / result));
      const std::string report = readWholeFile(windowsDirectory.path() / result);
      EXPECT_TRUE(std::regex_search(report, rowOf(1, "Ştefănescu Ioana", 16))) << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(2, "Ţurcanu Ion", 11))) << report;
      const std::string head = "\r\n Nr_crt";
      EXPECT_EQ(report.substr(0, report.find(head)),
                readWholeFile(linuxDirectory.path() / result).substr(0, report.find(head)));
      const auto filesOf1232 = [](const fs::path& directory) {
        std::vector<std::string> names = entries(directory);
        std::erase_if(names, [](const std::string& name) {
          return name.find("Grupa 1232") == std::string::npos;
        });
        return names;
      };
      EXPECT_EQ(filesOf1232(windowsDirectory.path()),
                (std::vector<std::string>{
                    result, "Seed_1 (1-5) Grupa 1232 Automatică şi Calculatoare.dat"}));
      EXPECT_EQ(filesOf1232(linuxDirectory.path()), filesOf1232(windowsDirectory.path()));
      expectNoPartFile(windowsDirectory.path());
    }

    // The reading of a file does not depend on the locale: once is enough.
    if (locale.empty()) {
      SCOPED_TRACE("a group file in UTF-16, as Notepad saves \"Unicode\"");
      const WineResult onWindows = runWindowsProgram(
          wine(), windowsDirectory.path(), answers + "\n",
          {choose(kGroupDialog, windowsDirectory.path() / "Dat" / "unicode.dat")}, {}, locale);
      const SessionResult onLinux =
          runLotranoBinary(linuxDirectory.path(), "unicode\n" + answers + "\n");
      ASSERT_EQ(onWindows.status, 0) << onWindows.err;
      ASSERT_EQ(onLinux.status, 0) << onLinux.err;
      checkOutput(onWindows, onLinux);
      const std::string result = "Probleme Examen Nr_1 (1-5) Grupa 1233 Științe.rez";
      ASSERT_TRUE(fs::exists(windowsDirectory.path() / result));
      const std::string report = readWholeFile(windowsDirectory.path() / result);
      EXPECT_TRUE(report.starts_with(" Grupa: 1233 Științe\r\n Numar de Studenti:   2\r\n"))
          << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(1, "Țurcanu Ion", 11))) << report;
      EXPECT_TRUE(std::regex_search(report, rowOf(2, "Ștefan Ăna", 10))) << report;
      const std::string head = "\r\n Nr_crt";
      EXPECT_EQ(report.substr(0, report.find(head)),
                readWholeFile(linuxDirectory.path() / result).substr(0, report.find(head)));
    }
  }
}

TEST_F(WineSession, TypedAnswersAtTheConsoleKeepTheirRomanianLetters) {
  for (const std::string& locale : locales()) {
    SCOPED_TRACE("locale: " + (locale.empty() ? std::string("default") : locale));
    ScratchDirectory scratch;
    ConsoleSession console(wine(), scratch.path(), {}, locale);
    ASSERT_TRUE(console.started());
    const struct {
      const char* prompt;  // its letters
      const char* answer;
    } dialogue[] = {
        {"Grupa", "Automatică\r"}, {"Numarstudenti", "4\r"},        {"ProblemadeExamen", "1\r"},
        {"SETdeProbleme", "3\r"},  {"NumarStartProblema", "1 6\r"}, {"Nouaalocare", "\r"},
    };
    for (const auto& step : dialogue) {
      ASSERT_TRUE(console.waitForLetters(step.prompt, std::chrono::seconds(kRunTimeoutSeconds)))
          << console.letters();
      std::this_thread::sleep_for(std::chrono::seconds(1));
      console.type(step.answer);
    }
    ASSERT_TRUE(console.waitForLetters("Pressanykey", std::chrono::seconds(60)))
        << console.letters();
    console.type("q");
    EXPECT_EQ(console.waitForEnd(std::chrono::seconds(30)), 0);
    EXPECT_EQ(entries(scratch.path()),
              (std::vector<std::string>{"Probleme Examen Nr_1 (1-6) Grupa Automatică.rez",
                                        "Seed_1 (1-6) Grupa Automatică.dat"}));
  }
}

TEST_F(WineSession, ASeedFileThatMayNotBeReplacedStaysAndNoPartFileIsLeft) {
  ScratchDirectory scratch;
  fs::create_directory(scratch.path() / "Dat");
  writeWholeFile(scratch.path() / "Dat" / "grupa.dat", groupFile(4));
  const std::string chosen = " seed_1:\r\n    32459981   429284172\r\n";
  writeWholeFile(scratch.path() / "ales.dat", chosen);
  const std::string report = "Probleme Examen Nr_1 (1-6) Grupa 311 AC.rez";
  const std::string seed = "Seed_1 (1-6) Grupa 311 AC.dat";
  const std::string earlier = " seed_1:\r\n          11          22\r\n";
  // Made read-only while the seed dialog is open, after the run has named
  // its report: by another program, or by hand.
  DialogAnswer seedDialog = choose(kSeedDialog, scratch.path() / "ales.dat");
  seedDialog.before = "printf ' seed_1:\\r\\n          11          22\\r\\n' > " +
                      shellQuoted(seed) + "; chmod a-w " + shellQuoted(seed);
  const WineResult run =
      runWindowsProgram(wine(), scratch.path(), "1\n3\n1 6\nr\n",
                        {choose(kGroupDialog, scratch.path() / "Dat" / "grupa.dat"), seedDialog});
  EXPECT_EQ(run.status, 9) << run.err;
  EXPECT_NE(run.err.find("lotrano: permission to access file denied (error 9), file: " + seed),
            std::string::npos)
      << run.err;
  EXPECT_EQ(entries(scratch.path()), (std::vector<std::string>{"Dat/", report, seed, "ales.dat"}));
  EXPECT_EQ(readWholeFile(scratch.path() / seed), earlier);
  EXPECT_EQ(readWholeFile(scratch.path() / "ales.dat"), chosen);
  // The report is complete, but stays writable: its allocation has no seed file.
  EXPECT_NE(readWholeFile(scratch.path() / report).find(" [Re-alocare, cu: \"ales.dat\"]\r\n"),
            std::string::npos);
  EXPECT_TRUE(writable(scratch.path() / report));
  EXPECT_EQ(run.out.find("Press any key"), std::string::npos);
}

TEST_F(WineSession, ReportsOfEachBuildAreVerifiedByTheOther) {
  if (wine().verifyExe.empty()) {
    if (environment("LOTRANO_REQUIRE_WINE") == "1") FAIL() << "no lotrano-verify.exe";
    GTEST_SKIP() << "no lotrano-verify.exe (LOTRANO_WINDOWS_VERIFY_EXE)";
  }
  const std::string notChecked = " (numele studentilor nu au fost verificate: luate din raport)";

  // A report of the Linux build, with names, dropped onto lotrano-verify.exe:
  // its whole Windows path is the one argument.
  ScratchDirectory linuxDirectory;
  fs::create_directory(linuxDirectory.path() / "Dat");
  writeWholeFile(linuxDirectory.path() / "Dat" / "grupa.dat", groupFile(5));
  ASSERT_EQ(runLotranoBinary(linuxDirectory.path(), "grupa.dat\n1\n3\n1 8\n\n").status, 0);
  const std::string linuxReport = "Probleme Examen Nr_1 (1-8) Grupa 311 AC.rez";
  const std::string linuxSeed = "Seed_1 (1-8) Grupa 311 AC.dat";
  const auto before = snapshotTree(linuxDirectory.path());
  const std::string dropped = windowsPath(linuxDirectory.path() / linuxReport);
  const SessionResult onWindows = runWindowsVerify(wine(), linuxDirectory.path(), {dropped});
  EXPECT_EQ(onWindows.status, 0) << onWindows.out << onWindows.err;
  EXPECT_EQ(onWindows.out, "POTRIVIRE: " + dropped + " corespunde fisierului seed " +
                               windowsPath(linuxDirectory.path() / linuxSeed) + notChecked +
                               "\r\n");
  const SessionResult checked =
      runWindowsVerify(wine(), linuxDirectory.path(), {"--group", "Dat\\grupa.dat", linuxReport});
  EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
  EXPECT_EQ(checked.out, "POTRIVIRE: " + linuxReport + " corespunde fisierului seed " + linuxSeed +
                             " si fisierului grupei Dat\\grupa.dat\r\n");
  // The CSV of --csv: the Linux build's bytes, its CR LF not doubled by the
  // Windows console's text mode; the verdict, on the error stream, in it.
  const std::vector<std::string> csvArguments = {"--csv", "--group", "Dat/grupa.dat", linuxReport};
  const SessionResult windowsCsv = runWindowsVerify(wine(), linuxDirectory.path(), csvArguments);
  const SessionResult linuxCsv = runVerifyBinary(linuxDirectory.path(), csvArguments);
  ASSERT_EQ(linuxCsv.status, 0) << linuxCsv.err;
  EXPECT_EQ(windowsCsv.status, 0) << windowsCsv.err;
  EXPECT_TRUE(windowsCsv.out.starts_with("\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n1;"))
      << windowsCsv.out;
  EXPECT_EQ(windowsCsv.out, linuxCsv.out);
  EXPECT_EQ(windowsCsv.err, "POTRIVIRE: " + linuxReport + " corespunde fisierului seed " +
                                linuxSeed + " si fisierului grupei Dat/grupa.dat\r\n");
  EXPECT_EQ(treeChanges(before, snapshotTree(linuxDirectory.path()), {}), "");

  // A report of the Windows build: a typed group in three batches.
  ScratchDirectory windowsDirectory;
  const WineResult written = runWindowsProgram(wine(), windowsDirectory.path(),
                                               "1234\n15\n2\n7\n1,6\n\n", {cancel(kGroupDialog)});
  ASSERT_EQ(written.status, 0) << written.err;
  const std::string windowsReport = "Probleme Examen Nr_2 (1-6) Grupa 1234.rez";
  const SessionResult onLinux = runVerifyBinary(windowsDirectory.path(), {windowsReport});
  EXPECT_EQ(onLinux.status, 0);
  EXPECT_EQ(onLinux.out, "POTRIVIRE: " + windowsReport +
                             " corespunde fisierului seed Seed_2 (1-6) Grupa 1234.dat\n");
  // A report argument with * or ? stands for the files it matches, as a
  // Linux shell expands it; one without stays as typed.
  for (const std::string pattern : {"*.rez", "P*1?34.rez"}) {
    SCOPED_TRACE(pattern);
    const SessionResult expanded = runWindowsVerify(wine(), windowsDirectory.path(), {pattern});
    EXPECT_EQ(expanded.status, 0) << expanded.out << expanded.err;
    EXPECT_EQ(expanded.out, "POTRIVIRE: " + windowsReport +
                                " corespunde fisierului seed Seed_2 (1-6) Grupa 1234.dat\r\n");
  }

  // A tampered copy: both builds point at the same line, in the same words.
  std::string tampered = readWholeFile(windowsDirectory.path() / windowsReport);
  const std::size_t before14 = tampered.find("\r\n  14 ");
  ASSERT_NE(before14, std::string::npos) << tampered;
  const std::size_t row = before14 + 2;
  tampered[row + 11] = tampered[row + 11] == '1' ? '2' : '1';
  writeWholeFile(windowsDirectory.path() / "copie.rez", tampered);
  const std::vector<std::string> arguments = {"--seed", "Seed_2 (1-6) Grupa 1234.dat", "copie.rez"};
  const SessionResult linuxVerdict = runVerifyBinary(windowsDirectory.path(), arguments);
  const SessionResult windowsVerdict = runWindowsVerify(wine(), windowsDirectory.path(), arguments);
  EXPECT_EQ(linuxVerdict.status, 2);
  EXPECT_EQ(windowsVerdict.status, 2);
  EXPECT_TRUE(
      linuxVerdict.out.starts_with("NEPOTRIVIRE: copie.rez nu corespunde fisierului seed "
                                   "Seed_2 (1-6) Grupa 1234.dat\n  prima linie diferita: 24\n"))
      << linuxVerdict.out;
  const auto windowsLines = withLineFeeds(windowsVerdict.out);
  ASSERT_TRUE(windowsLines) << windowsVerdict.out;
  EXPECT_EQ(*windowsLines, linuxVerdict.out);
}

TEST_F(WineSession, AReportDroppedOntoTheProgramKeepsItsWindowUntilAKey) {
  if (wine().verifyExe.empty()) {
    if (environment("LOTRANO_REQUIRE_WINE") == "1") FAIL() << "no lotrano-verify.exe";
    GTEST_SKIP() << "no lotrano-verify.exe (LOTRANO_WINDOWS_VERIFY_EXE)";
  }
  ScratchDirectory scratch;
  ASSERT_EQ(runLotranoBinary(scratch.path(), "\nG\n3\n1\n1\n1 6\n\n").status, 0);
  const fs::path report = scratch.path() / "Probleme Examen Nr_1 (1-6) Grupa G.rez";
  // Explorer starts the program in a console of its own, the report's whole
  // path its one argument.
  ConsoleSession console(wine(), scratch.path(), {wine().verifyExe, windowsPath(report)});
  ASSERT_TRUE(console.started());
  ASSERT_TRUE(console.waitForLetters("POTRIVIRE", std::chrono::seconds(kRunTimeoutSeconds)))
      << console.letters();
  ASSERT_TRUE(console.waitForLetters("Pressanykey", std::chrono::seconds(60))) << console.letters();
  EXPECT_EQ(console.waitForEnd(std::chrono::seconds(2)), -1) << "the window closed unread";
  console.type("q");
  EXPECT_EQ(console.waitForEnd(std::chrono::seconds(30)), 0);
}

TEST_F(WineSession, CtrlCOnTheConsoleEndsTheRunAsAFatalErrorThere) {
  // Wine turns Ctrl-C typed at its console into the console's Ctrl-C event.
  const struct {
    const char* what;
    std::size_t answered;  // the answers typed before it
    const char* waitFor;   // the letters that show the program waits
    bool headerWritten;
  } cases[] = {
      {"at the allocation question", 5, "Nouaalocare", false},
      {"in the seeding wait", 6, "Waitingsec", true},
  };
  // A typed group of 15 over 1..6: three batches, three seeding waits.
  const struct {
    const char* prompt;
    const char* answer;
  } dialogue[] = {
      {"Grupa", "G\r"},         {"Numarstudenti", "15\r"},       {"ProblemadeExamen", "1\r"},
      {"SETdeProbleme", "3\r"}, {"NumarStartProblema", "1 6\r"}, {"Nouaalocare", "\r"},
  };
  const std::string result = "Probleme Examen Nr_1 (1-6) Grupa G.rez";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDirectory scratch;
    ConsoleSession console(wine(), scratch.path());
    ASSERT_TRUE(console.started());
    for (std::size_t k = 0; k < c.answered; ++k) {
      ASSERT_TRUE(
          console.waitForLetters(dialogue[k].prompt, std::chrono::seconds(kRunTimeoutSeconds)))
          << console.letters();
      std::this_thread::sleep_for(std::chrono::seconds(1));
      console.type(dialogue[k].answer);
    }
    ASSERT_TRUE(console.waitForLetters(c.waitFor, std::chrono::seconds(60))) << console.letters();
    EXPECT_TRUE(fs::exists(scratch.path() / result));
    console.type("\x03");
    EXPECT_TRUE(console.waitForLetters("lotranointerruptedsignalSIGINT", std::chrono::seconds(30)))
        << console.letters();
    EXPECT_EQ(console.waitForEnd(std::chrono::seconds(30)), 130) << console.letters();
    if (!c.headerWritten) {
      EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{})
          << "the empty result file goes";
      continue;
    }
    // The lines so far stay, whole; no seed file records the unfinished draw.
    EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{result});
    const std::string report = readWholeFile(scratch.path() / result);
    EXPECT_TRUE(report.starts_with(" Grupa: G\r\n Numar de Studenti:  15\r\n")) << report;
    EXPECT_TRUE(report.ends_with("\r\n")) << report;
    EXPECT_TRUE(writable(scratch.path() / result));
  }
}

TEST_F(WineSession, CtrlCWhileTheDialogIsOpenClosesItAndEndsTheRun) {
  ScratchDirectory scratch;
  ConsoleSession console(wine(), scratch.path(), {}, {}, /*withDisplay=*/true);
  ASSERT_TRUE(console.started());
  const std::string window = shellQuoted(std::string("^") + kGroupDialog + "$");
  const std::string search = "xdotool search --onlyvisible ";
  ASSERT_EQ(std::system(("timeout " + std::to_string(kDialogTimeoutSeconds) + " " + search +
                         "--sync --name " + window + " > /dev/null")
                            .c_str()),
            0)
      << "the group dialog did not open";
  std::this_thread::sleep_for(std::chrono::seconds(2));
  console.type("\x03");
  EXPECT_TRUE(console.waitForLetters("lotranointerruptedsignalSIGINT", std::chrono::seconds(30)))
      << console.letters();
  EXPECT_EQ(console.waitForEnd(std::chrono::seconds(30)), 130);
  EXPECT_NE(std::system((search + "--name " + window + " > /dev/null").c_str()), 0)
      << "the dialog is still open";
  EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{});
}

}  // namespace
