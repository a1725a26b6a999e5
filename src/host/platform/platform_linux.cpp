// The platform layer on Linux (and other POSIX systems).
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "host/platform/child_process.h"
#include "host/platform/console_dialogs.h"
#include "host/platform/desktop_dialogs.h"
#include "host/platform/platform.h"
#include "host/platform/platform_common.h"
#include "host/platform/posix_interrupts.h"
#include "host/platform/text_file.h"
#include "host/text/interruption.h"

namespace lotrano {

namespace {

std::string currentDirectoryText() {
  std::error_code error;
  const auto path = std::filesystem::current_path(error);
  return error ? std::string() : path.string();
}

// Waits for one key without echo and without spinning: the terminal is put in
// non-canonical mode and the process sleeps in poll() until a byte arrives.
// An interrupt (SIGTERM, SIGHUP) ends the wait too, once the terminal is as it
// was.
void waitForTerminalKey() {
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) {
    throwIfInterrupted();
    return;
  }
  termios raw = saved;
  // Without ISIG, Ctrl-C is a key like any other and cannot leave the
  // terminal without echo.
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  pollfd input{STDIN_FILENO, POLLIN, 0};
  if (waitUnlessInterrupted(&input, 1, -1) == WaitOutcome::kReady &&
      (input.revents & POLLIN) != 0) {
    char key = 0;
    [[maybe_unused]] const auto consumed = read(STDIN_FILENO, &key, 1);
  }
  // The rest of a key that sends several bytes (an arrow, a function key)
  // is dropped, not left for the shell.
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  throwIfInterrupted();
}

// The seeding wait, ended early by an interrupt.
void sleepUnlessInterrupted(std::int32_t milliseconds) {
  waitUnlessInterrupted(nullptr, 0, std::max<std::int32_t>(milliseconds, 0));
  throwIfInterrupted();
}

// zenity, when a display is named and the program is installed; an empty
// text otherwise. Once zenity has failed, the console stand-ins serve the
// rest of the run instead of trying it again at every dialog.
class DesktopDialogs {
 public:
  const std::string& zenity() {
    if (!checked_) {
      checked_ = true;
      if (desktopDisplayNamed(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"))) {
        zenity_ = findProgramOnPath("zenity", std::getenv("PATH"));
      }
    }
    return zenity_;
  }
  void failed() { zenity_.clear(); }

 private:
  bool checked_ = false;
  std::string zenity_;
};

DesktopDialogs& desktopDialogs() {
  static DesktopDialogs dialogs;
  return dialogs;
}

std::optional<std::string> chooseFile(std::string_view title, bool inputIsTerminal) {
  DesktopDialogs& desktop = desktopDialogs();
  if (!desktop.zenity().empty()) {
    const ChooserAnswer answer =
        chooseFileOnDesktop(runProgram, desktop.zenity(), title, currentDirectoryText());
    if (answer.outcome == DesktopOutcome::kChosen) return answer.path;
    if (answer.outcome == DesktopOutcome::kCancelled) return std::nullopt;
    desktop.failed();
  }
  return chooseFileAtConsole(standardInput(), std::cerr, title, currentDirectoryText(),
                             inputIsTerminal);
}

void showMessage(std::string_view caption, std::string_view text) {
  DesktopDialogs& desktop = desktopDialogs();
  if (!desktop.zenity().empty()) {
    if (showMessageOnDesktop(runProgram, desktop.zenity(), caption, text)) return;
    desktop.failed();
  }
  showMessageAtConsole(standardInput(), std::cerr, caption, text);
}

}  // namespace

Platform systemPlatform() {
  catchInterruptSignals();
  Platform platform = commonPlatform(isatty(STDIN_FILENO) != 0);
  // Desktop dialogs when a display and zenity are there, console stand-ins otherwise.
  platform.FileChooser = [terminal = platform.inputIsTerminal](std::string_view title) {
    return chooseFile(title, terminal);
  };
  platform.showMessage = showMessage;
  platform.makeReadOnly = [](const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return;
    chmod(path.c_str(), status.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH));
  };
  if (platform.inputIsTerminal) platform.waitForKey = waitForTerminalKey;
  platform.sleep = sleepUnlessInterrupted;
  platform.currentDirectory = currentDirectoryText;
  return platform;
}

// A terminal is never closed because the program in it ended.
bool consoleOpenedForThisRun() { return false; }

// POSIX has no text mode: bytes always go out as they are.
void setStandardOutputBinary(bool) {}

std::FILE* createFileExclusively(const std::string& path, std::error_code& error) {
  // "x": exclusive creation (O_EXCL), checked and done in one step.
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  error = file == nullptr ? std::error_code(errno, std::generic_category()) : std::error_code();
  return file;
}

bool entryExists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

std::FILE* openExistingFile(const std::string& path, std::error_code& error) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    error.assign(errno, std::generic_category());
    return nullptr;
  }
  struct stat status {};
  if (fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    close(descriptor);
    error = std::make_error_code(std::errc::is_a_directory);
    return nullptr;
  }
  std::FILE* file = fdopen(descriptor, "rb");
  if (file == nullptr) {
    error.assign(errno, std::generic_category());
    close(descriptor);
    return nullptr;
  }
  error.clear();
  return file;
}

bool mayReplace(const std::string& path, std::error_code& error) {
  error.clear();
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) return true;
  if (S_ISDIR(status.st_mode)) {
    error = std::make_error_code(std::errc::is_a_directory);
    return false;
  }
  if (!S_ISREG(status.st_mode)) return true;
  // A file that nobody may write is refused even where the permissions
  // would let this user write it (root): as on Windows, read-only keeps it.
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    error = std::make_error_code(std::errc::permission_denied);
    return false;
  }
  // Opened for writing, neither emptied nor followed elsewhere, and closed.
  const int descriptor = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    error.assign(errno, std::generic_category());
    return false;
  }
  close(descriptor);
  return true;
}

bool removeFile(const std::string& path, std::error_code& error) {
  if (unlink(path.c_str()) == 0) return true;
  error.assign(errno, std::generic_category());
  return false;
}

bool renameReplacing(const std::string& from, const std::string& to, std::error_code& error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  error.assign(errno, std::generic_category());
  return false;
}

void syncFolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

bool syncStreamToDisk(std::FILE* stream) { return fsync(fileno(stream)) == 0; }

std::ptrdiff_t readStandardInput(char* buffer, std::size_t size) {
  while (true) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (waitUnlessInterrupted(&input, 1, -1) == WaitOutcome::kInterrupted) return -1;
    const ssize_t count = read(STDIN_FILENO, buffer, size);
    if (count >= 0) return count;
    // An input that does not block (EAGAIN) is waited for again; an
    // interrupt that cut the read short is found by the wait.
    if (errno != EINTR && errno != EAGAIN) return -1;
  }
}

}  // namespace lotrano
