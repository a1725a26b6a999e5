// A stand-in platform for the main program: scripted console input, captured
// output, a fixed clock, and file choices and message boxes that are recorded
// instead of shown.
#pragma once

#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/platform/platform.h"

struct FakePlatform {
  explicit FakePlatform(std::string input) : in(std::move(input)) {}

  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  std::deque<std::optional<std::string>> choices;  // answers of the file chooser, in order
  std::vector<std::string> chooserTitles;
  std::vector<std::string> messages;  // caption + "|" + text
  std::vector<std::string> madeReadOnly;
  std::vector<std::int32_t> sleeps;
  int keyWaits = 0;
  std::int64_t seconds = 1700031250;
  std::int64_t milliseconds = 900;
  lotrano::LocalDateTime now{{2013, 3, 5}, {9, 5, 7, 42}};
  std::string currentDirectory = "/exams";

  lotrano::Platform platform() {
    lotrano::Platform p;
    p.in = &in;
    p.out = &out;
    p.err = &err;
    p.inputIsTerminal = false;
    p.FileChooser = [this](std::string_view title) -> std::optional<std::string> {
      chooserTitles.emplace_back(title);
      if (choices.empty()) return std::nullopt;
      auto choice = choices.front();
      choices.pop_front();
      return choice;
    };
    p.showMessage = [this](std::string_view caption, std::string_view text) {
      messages.push_back(std::string(caption) + "|" + std::string(text));
    };
    p.makeReadOnly = [this](const std::string& path) { madeReadOnly.push_back(path); };
    p.waitForKey = [this] { ++keyWaits; };
    // Each clock reading moves on, as a real clock would between batches.
    p.secondsSince1970 = [this] { return seconds++; };
    p.millisecondsSinceStart = [this] { return milliseconds; };
    p.sleep = [this](std::int32_t ms) { sleeps.push_back(ms); };
    p.localDateTime = [this] { return now; };
    p.currentDirectory = [this] { return currentDirectory; };
    return p;
  }
};
