// The platform layer: the only place that knows the operating system. The
// main program reaches the console, the clocks, the wait, the key poll, the
// file chooser, the message box and the read-only attribute through one
// Platform value, so that tests can hand it stand-ins for all of them.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace lotrano {

struct LocalDate {
  std::int32_t year = 0;
  std::int32_t month = 0;  // 1 to 12
  std::int32_t day = 0;    // 1 to 31
};

struct LocalTime {
  std::int32_t hour = 0;  // 0 to 23
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t hundredths = 0;  // milliseconds / 10, rounded down
};

// Date and time of day from one reading of the clock, so that a run across
// midnight cannot mix two days.
struct LocalDateTime {
  LocalDate date;
  LocalTime time;
};

struct Platform {
  std::istream* in = nullptr;    // console answers
  std::ostream* out = nullptr;   // the program's own dialogue, nothing else
  std::ostream* err = nullptr;   // diagnostics, the chooser and the message box
  bool inputIsTerminal = false;  // a terminal echoes the Enter that ends an answer

  // Lets the user pick a file; the chosen file's absolute path, or nullopt
  // for Cancel. The file itself is neither opened nor checked.
  std::function<std::optional<std::string>(std::string_view title)> FileChooser;
  // Shows a warning with an OK button and returns when it is closed.
  std::function<void(std::string_view caption, std::string_view text)> showMessage;
  // Makes a file read-only; failures are ignored.
  std::function<void(const std::string& path)> makeReadOnly;
  // Returns once a key has been pressed (or the input has ended).
  std::function<void()> waitForKey;
  std::function<std::int64_t()> secondsSince1970;
  // Wall-clock milliseconds since the program started.
  std::function<std::int64_t()> millisecondsSinceStart;
  std::function<void(std::int32_t milliseconds)> sleep;
  std::function<LocalDateTime()> localDateTime;
  // The current directory, or an empty text when it cannot be obtained.
  std::function<std::string()> currentDirectory;
};

// The real platform of this machine, on the process's standard streams.
Platform systemPlatform();

// A moment of the system clock in the local calendar and time of day (time
// zone and daylight saving applied); hundredths are milliseconds / 10.
LocalDateTime localDateTimeAt(std::chrono::system_clock::time_point when);

// The local date and the local time of day, each from its own reading of the
// system clock. The report takes both from one reading instead
// (Platform::localDateTime), so that a run across midnight cannot mix two days.
LocalDate localDate();
LocalTime localTime();

// Creates a file that does not exist yet and opens it for writing in binary
// mode; an existing file of that name is never opened, let alone emptied.
// nullptr with errno set (EEXIST when the name is taken) when it is not created.
std::FILE* createFileExclusively(const std::string& path);

}  // namespace lotrano
