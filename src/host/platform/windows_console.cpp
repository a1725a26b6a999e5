#include "host/platform/windows_console.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

#include "host/platform/platform.h"
#include "host/platform/platform_common.h"
#include "host/platform/windows_interrupts.h"
#include "host/text/interruption.h"

namespace lotrano {
namespace {

// Sets a console's input mode for its lifetime, and puts the earlier one back.
class ConsoleInputMode {
 public:
  ConsoleInputMode(HANDLE input, DWORD withoutFlags) : input_(input) {
    if (GetConsoleMode(input_, &saved_) != 0) {
      changed_ = SetConsoleMode(input_, saved_ & ~withoutFlags) != 0;
    }
  }
  ~ConsoleInputMode() {
    if (changed_) SetConsoleMode(input_, saved_);
  }
  ConsoleInputMode(const ConsoleInputMode&) = delete;
  ConsoleInputMode& operator=(const ConsoleInputMode&) = delete;

 private:
  HANDLE input_;
  DWORD saved_ = 0;
  bool changed_ = false;
};

// The console's code pages as they were before the run (0: no console).
UINT savedInputCodePage = 0;
UINT savedOutputCodePage = 0;

void restoreConsoleCodePages() {
  if (savedInputCodePage != 0) SetConsoleCP(savedInputCodePage);
  if (savedOutputCodePage != 0) SetConsoleOutputCP(savedOutputCodePage);
}

// UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8Of(const wchar_t* units, int count) {
  if (count <= 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, units, count, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, units, count, text.data(), size, nullptr, nullptr);
  return text;
}

// Answers typed at a console, read as UTF-16 and handed on as UTF-8 with LF
// line ends. Read as bytes, a console gives UTF-8 only as far as its input
// code page and its age allow (older consoles lose every letter outside ASCII
// that way); UTF-16 is what every console gives as typed. Ctrl+Z ends the
// input, as it does for the C library's reads.
class ConsoleInputBuffer : public std::streambuf {
 public:
  explicit ConsoleInputBuffer(HANDLE input) : input_(input) {}

 protected:
  int_type underflow() override {
    while (gptr() == egptr()) {
      if (ended_ || !fill()) return traits_type::eof();
    }
    return traits_type::to_int_type(*gptr());
  }

 private:
  // Reads what the console has (at most a line); false at the end of input.
  bool fill() {
    std::array<wchar_t, 1024> units{};
    DWORD count = 0;
    if (pendingInterrupt() != 0) return false;  // the reader's check reports it
    BOOL read = 0;
    {
      const InputReadInProgress reading;
      read = ReadConsoleW(input_, units.data(), static_cast<DWORD>(units.size()), &count, nullptr);
    }
    if (read == 0 || count == 0) {
      awaitInterruptNote();
      if (pendingInterrupt() != 0) return false;
      if (read == 0) throw std::ios_base::failure("console read failed");
      ended_ = true;
      return false;
    }
    std::wstring typed = held_;
    typed.append(units.data(), count);
    held_.clear();
    // A character outside the basic plane may arrive in two reads.
    if (!typed.empty() && typed.back() >= 0xD800 && typed.back() <= 0xDBFF) {
      held_ = typed.back();
      typed.pop_back();
    }
    const std::size_t endOfInput = typed.find(L'\x1A');
    if (endOfInput != std::wstring::npos) {
      typed.resize(endOfInput);
      ended_ = true;
    }
    bytes_.clear();
    const std::string text = utf8Of(typed.data(), static_cast<int>(typed.size()));
    for (std::size_t k = 0; k < text.size(); ++k) {
      if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
      bytes_.push_back(text[k]);
    }
    setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    return true;
  }

  HANDLE input_;
  std::wstring held_;
  std::string bytes_;
  bool ended_ = false;
};

}  // namespace

bool inputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// The program writes UTF-8; the console shows it as such for the run, and
// the window it shares with other programs gets its code pages back at the
// end, whichever way the run ends through exit().
void useUtf8Console() {
  savedInputCodePage = GetConsoleCP();
  savedOutputCodePage = GetConsoleOutputCP();
  if (savedInputCodePage == 0 && savedOutputCodePage == 0) return;
  SetConsoleCP(CP_UTF8);
  SetConsoleOutputCP(CP_UTF8);
  std::atexit(restoreConsoleCodePages);
}

std::istream& consoleInput() {
  static ConsoleInputBuffer buffer(GetStdHandle(STD_INPUT_HANDLE));
  static std::istream input(&buffer);
  return input;
}

void waitForConsoleKey(HANDLE input) {
  const ConsoleInputMode ctrlCIsAKey(input, ENABLE_PROCESSED_INPUT);
  for (;;) {
    if (!waitUnlessInterrupted(input, INFINITE)) return;
    INPUT_RECORD record{};
    DWORD count = 0;
    if (ReadConsoleInputA(input, &record, 1, &count) == 0) return;
    if (count == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

// The C library's read: standard input in text mode, as the stream had it.
std::ptrdiff_t readStandardInput(char* buffer, std::size_t size) {
  if (pendingInterrupt() != 0) return -1;
  int count = 0;
  {
    const InputReadInProgress reading;
    count = _read(0, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
  }
  if (count > 0) return count;
  if (inputIsConsole()) awaitInterruptNote();
  if (pendingInterrupt() != 0) return -1;
  return count < 0 ? -1 : 0;
}

void setStandardOutputBinary(bool binary) {
  std::cout.flush();
  _setmode(_fileno(stdout), binary ? _O_BINARY : _O_TEXT);
}

}  // namespace lotrano
