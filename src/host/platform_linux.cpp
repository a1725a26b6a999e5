// The platform layer on Linux (and other POSIX systems).
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <thread>

#include "host/console_dialogs.h"
#include "host/platform.h"

namespace lotrano {
namespace {

using Clock = std::chrono::system_clock;

const Clock::time_point& programStart() {
  static const Clock::time_point start = Clock::now();
  return start;
}

LocalDateTime toLocal(Clock::time_point when) {
  const std::time_t seconds = Clock::to_time_t(when);
  std::tm parts{};
  localtime_r(&seconds, &parts);
  const auto sinceSecond =
      std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::from_time_t(seconds))
          .count();
  LocalDateTime result;
  result.date = {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
  result.time = {parts.tm_hour, parts.tm_min, parts.tm_sec,
                 static_cast<std::int32_t>(sinceSecond >= 0 ? sinceSecond / 10 : 0)};
  return result;
}

std::string currentDirectoryText() {
  std::error_code error;
  const auto path = std::filesystem::current_path(error);
  return error ? std::string() : path.string();
}

// Waits for one key without echo and without spinning: the terminal is put in
// non-canonical mode and the process sleeps in poll() until a byte arrives.
void waitForTerminalKey() {
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  pollfd input{STDIN_FILENO, POLLIN, 0};
  while (poll(&input, 1, -1) < 0 && errno == EINTR) {
  }
  if ((input.revents & POLLIN) != 0) {
    char key = 0;
    [[maybe_unused]] const auto consumed = read(STDIN_FILENO, &key, 1);
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

}  // namespace

Platform systemPlatform() {
  programStart();  // the seeding clock counts from here
  Platform platform;
  platform.in = &std::cin;
  platform.out = &std::cout;
  platform.err = &std::cerr;
  platform.inputIsTerminal = isatty(STDIN_FILENO) != 0;
  platform.chooseFile = [terminal = platform.inputIsTerminal](std::string_view title) {
    return chooseFileAtConsole(std::cin, std::cerr, title, currentDirectoryText(), terminal);
  };
  platform.showMessage = [](std::string_view caption, std::string_view text) {
    showMessageAtConsole(std::cin, std::cerr, caption, text);
  };
  platform.makeReadOnly = [](const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return;
    chmod(path.c_str(), status.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH));
  };
  platform.waitForKey = [terminal = platform.inputIsTerminal] {
    if (terminal) {
      waitForTerminalKey();
    } else {
      std::cin.get();  // one character, or at once at the end of input
    }
  };
  platform.secondsSince1970 = [] {
    return std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch())
        .count();
  };
  platform.millisecondsSinceStart = [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - programStart())
        .count();
  };
  platform.sleep = [](std::int32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  };
  platform.localDateTime = [] { return toLocal(Clock::now()); };
  platform.currentDirectory = currentDirectoryText;
  return platform;
}

LocalDate localDate() { return toLocal(Clock::now()).date; }
LocalTime localTime() { return toLocal(Clock::now()).time; }

}  // namespace lotrano
