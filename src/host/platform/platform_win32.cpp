// The platform layer on Windows: the standard open-file dialog, the message
// box, the read-only attribute, the console and the file calls, through the
// ANSI ("A") calls. The program's manifest (src/lotrano.manifest) makes the
// process's ANSI code page UTF-8, so every "A" call takes and gives the same
// UTF-8 names that the program holds on every system; the console is switched
// to UTF-8 for the run.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the dialog header builds on its types.
#include <commdlg.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <streambuf>
#include <string>

#include "host/platform/platform.h"
#include "host/platform/platform_common.h"
#include "host/platform/text_file.h"
#include "host/text/interruption.h"

namespace lotrano {

// --- Interrupts: Ctrl-C, Ctrl-Break, and the console window closed. ---------
//
// The console handler runs on a thread of its own, while the main thread
// goes on: the handler only notes the event, sets the wake-up event on which
// every wait of the main thread waits too, closes a dialog the main thread
// shows (as if cancelled) and cuts short a console read in progress. The main
// thread then meets the interrupt at its next check and cleans up itself.
namespace {

// Signalled once an interrupt is noted; never reset.
HANDLE interruptEvent = nullptr;
DWORD mainThreadId = 0;
HANDLE mainThread = nullptr;
// True while the main thread is inside a read of the console input.
std::atomic<bool> readingInput{false};

// Windows ends the process when the handler of a closed console returns, or
// five seconds after the event: the main thread has this long to clean up
// and end the process itself.
constexpr DWORD kCloseGraceMilliseconds = 4000;
constexpr DWORD kCancelRetryMilliseconds = 50;
// Ctrl-C ends a console read at once, sometimes before the handler thread
// has noted it: a read that ends without input waits this long for the note.
constexpr DWORD kAbortedReadGraceMilliseconds = 200;

BOOL CALLBACK closeVisibleWindow(HWND window, LPARAM) {
  if (IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Cuts short the console read the main thread is in, if any; true when it
// was in one.
bool cancelInputRead() {
  if (!readingInput.load() || mainThread == nullptr) return false;
  CancelSynchronousIo(mainThread);
  return true;
}

BOOL WINAPI onConsoleEvent(DWORD event) {
  const bool closing =
      event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
  if (!closing && event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  noteInterrupt(closing ? kHangUpSignal : kInterruptSignal);
  if (interruptEvent != nullptr) SetEvent(interruptEvent);
  EnumThreadWindows(mainThreadId, closeVisibleWindow, 0);
  cancelInputRead();
  if (closing) {
    // The process must not end before the main thread's cleanup: wait, and
    // cut short a console read it enters meanwhile.
    for (DWORD waited = 0; waited < kCloseGraceMilliseconds; waited += kCancelRetryMilliseconds) {
      Sleep(kCancelRetryMilliseconds);
      cancelInputRead();
    }
  }
  return TRUE;
}

void catchConsoleEvents() {
  interruptEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  mainThreadId = GetCurrentThreadId();
  mainThread = OpenThread(THREAD_TERMINATE, FALSE, mainThreadId);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

// Waits until `handle` (nullptr for none) is signalled or the time is up
// (INFINITE: no limit); true when it was signalled. An interrupt, before the
// wait or during it, throws its fatal error.
bool waitUnlessInterrupted(HANDLE handle, DWORD milliseconds) {
  throwIfInterrupted();
  HANDLE handles[2];
  DWORD count = 0;
  if (handle != nullptr) handles[count++] = handle;
  if (interruptEvent != nullptr) handles[count++] = interruptEvent;
  if (count == 0) {
    Sleep(milliseconds);
    return false;
  }
  const DWORD outcome = WaitForMultipleObjects(count, handles, FALSE, milliseconds);
  throwIfInterrupted();
  return handle != nullptr && outcome == WAIT_OBJECT_0;
}

// The seeding wait, ended early by an interrupt.
void sleepUnlessInterrupted(std::int32_t milliseconds) {
  waitUnlessInterrupted(nullptr, static_cast<DWORD>(std::max<std::int32_t>(milliseconds, 0)));
}

}  // namespace

// The C library's read: standard input in text mode, as the stream had it.
std::ptrdiff_t readStandardInput(char* buffer, std::size_t size) {
  if (pendingInterrupt() != 0) return -1;
  readingInput.store(true);
  const int count = _read(0, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
  readingInput.store(false);
  if (count > 0) return count;
  DWORD mode = 0;
  if (interruptEvent != nullptr && GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0) {
    WaitForSingleObject(interruptEvent, kAbortedReadGraceMilliseconds);
  }
  if (pendingInterrupt() != 0) return -1;
  return count < 0 ? -1 : 0;
}

// --- The platform's dialogs, console and files. ------------------------------

namespace {

// Every text handed to the dialog lives in a field of this many characters:
// its visible text, a NUL, then blanks.
constexpr std::size_t kFieldLength = 260;
using DialogField = std::array<char, kFieldLength>;

// The title as the caller's title field holds it: 80 characters, the visible
// text and a NUL, then blanks.
constexpr std::size_t kTitleLength = 80;

constexpr char kDatFolder[] = "\\Dat\\";
constexpr char kDefaultExtension[] = "dat";
// Description and pattern pairs, each piece ending in a NUL; one more NUL
// after the last piece ends the list (95 characters in all).
constexpr char kFilterList[] =
    "Data Files (*.dat)\0*.dat\0Text Files (*.txt)\0*.txt\0"
    "Fortran Files\0*.f90;*.f\0All files (*.*)\0*.*\0";
static_assert(sizeof kFilterList == 95, "the filter list ends in two NULs");

// Copies `length` characters into the field and blanks the rest; a longer
// text keeps its first characters.
void fillField(DialogField& field, const char* text, std::size_t length) {
  field.fill(' ');
  std::copy_n(text, std::min(length, field.size()), field.begin());
}

// The dialog's texts and record, rebuilt on every call.
DialogField filterText;
DialogField initialDirectory;
DialogField titleText;
DialogField defaultExtension;
OPENFILENAMEA dialogRecord;

// The current directory as GetCurrentDirectoryA gives it, or an empty text
// when it cannot be obtained or does not fit the 260-character buffer.
std::string currentDirectoryText() {
  std::array<char, kFieldLength> buffer{};
  const DWORD count = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (count == 0 || count >= buffer.size()) return {};
  return std::string(buffer.data(), count);
}

// Fills the record from the texts and shows the dialog; true when the user
// confirmed a file, whose full path then stands in `path` up to its NUL.
bool showOpenDialog(DialogField& path) {
  dialogRecord = OPENFILENAMEA{};
  // The record's own size: 88 bytes in a 32-bit build, more in a 64-bit one.
  dialogRecord.lStructSize = sizeof(OPENFILENAMEA);
  dialogRecord.hwndOwner = nullptr;
  dialogRecord.hInstance = nullptr;
  dialogRecord.lpstrFilter = filterText.data();
  dialogRecord.lpstrCustomFilter = nullptr;
  dialogRecord.nMaxCustFilter = 0;
  dialogRecord.nFilterIndex = 1;
  dialogRecord.lpstrFile = path.data();
  dialogRecord.nMaxFile = static_cast<DWORD>(path.size());
  dialogRecord.lpstrFileTitle = nullptr;
  dialogRecord.nMaxFileTitle = 0;
  dialogRecord.lpstrInitialDir = initialDirectory.data();
  dialogRecord.lpstrTitle = titleText.data();
  dialogRecord.Flags = OFN_PATHMUSTEXIST;
  dialogRecord.lpstrDefExt = defaultExtension.data();
  dialogRecord.lpfnHook = nullptr;
  dialogRecord.lpTemplateName = nullptr;
  return GetOpenFileNameA(&dialogRecord) != 0;
}

std::optional<std::string> chooseFile(std::string_view title) {
  initialDirectory.fill(' ');
  initialDirectory[0] = '\0';
  fillField(filterText, kFilterList, sizeof kFilterList);

  std::array<char, kTitleLength> callerTitle;
  callerTitle.fill(' ');
  const std::size_t titleSize = std::min(title.size(), callerTitle.size() - 1);
  std::copy_n(title.data(), titleSize, callerTitle.begin());
  callerTitle[titleSize] = '\0';
  fillField(titleText, callerTitle.data(), callerTitle.size());

  fillField(defaultExtension, kDefaultExtension, sizeof kDefaultExtension);

  const std::string current = currentDirectoryText();
  if (!current.empty()) {
    // A start folder that does not fit with its NUL would be no usable text;
    // it stays empty and the dialog picks its own.
    const std::string start = current + kDatFolder;
    if (start.size() < kFieldLength) fillField(initialDirectory, start.c_str(), start.size() + 1);
  }

  DialogField path{};  // all NULs: the file-name box starts empty
  const bool chosen = showOpenDialog(path);
  // Browsing moves the process into the folder of the chosen file; the result
  // and seed files belong in the folder the program was started in.
  if (!current.empty()) SetCurrentDirectoryA(current.c_str());
  // An interrupt closes the dialog as if cancelled; it is the run's end.
  throwIfInterrupted();
  if (!chosen) return std::nullopt;
  const auto end = std::find(path.begin(), path.end(), '\0');
  return std::string(path.begin(), end);
}

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

// Waits for a key press on the console without spinning: the process sleeps
// until the console has input, and events other than a key going down (the
// release of the Enter that ended the last answer, the mouse, focus) are
// taken out of the way. Ctrl-C is a key like any other here, as at a Linux
// terminal; a closed console window still ends the wait as an interrupt.
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

bool inputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// ---- The console in UTF-8 ----

// The console's code pages as they were before the run (0: no console).
UINT savedInputCodePage = 0;
UINT savedOutputCodePage = 0;

void restoreConsoleCodePages() {
  if (savedInputCodePage != 0) SetConsoleCP(savedInputCodePage);
  if (savedOutputCodePage != 0) SetConsoleOutputCP(savedOutputCodePage);
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
    readingInput.store(true);
    const BOOL read =
        ReadConsoleW(input_, units.data(), static_cast<DWORD>(units.size()), &count, nullptr);
    readingInput.store(false);
    if (read == 0 || count == 0) {
      // Ctrl-C ends a console read at once, sometimes before the handler
      // thread has noted it: a read that ends without input waits for the note.
      if (interruptEvent != nullptr)
        WaitForSingleObject(interruptEvent, kAbortedReadGraceMilliseconds);
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

std::istream& consoleInput() {
  static ConsoleInputBuffer buffer(GetStdHandle(STD_INPUT_HANDLE));
  static std::istream input(&buffer);
  return input;
}

// ---- Errors of the Windows calls ----

// Windows' error numbers as error codes that compare equal to the portable
// conditions the program tests (a file that exists, a refused access, ...),
// with Windows' own text as their message.
class WindowsErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "windows"; }

  std::string message(int code) const override {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message =
        length == 0 ? "Windows error " + std::to_string(code) : std::string(text, length);
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
      message.pop_back();
    }
    return message;
  }

  std::error_condition default_error_condition(int code) const noexcept override {
    switch (code) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_DRIVE:
      case ERROR_BAD_NETPATH:
        return std::errc::no_such_file_or_directory;
      case ERROR_ACCESS_DENIED:
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return std::errc::permission_denied;
      case ERROR_WRITE_PROTECT:
        return std::errc::read_only_file_system;
      case ERROR_FILE_EXISTS:
      case ERROR_ALREADY_EXISTS:
        return std::errc::file_exists;
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        return std::errc::no_space_on_device;
      case ERROR_INVALID_NAME:
      case ERROR_BAD_PATHNAME:
      case ERROR_FILENAME_EXCED_RANGE:
      case ERROR_DIRECTORY:
        return std::errc::invalid_argument;
      case ERROR_TOO_MANY_OPEN_FILES:
        return std::errc::too_many_files_open;
      case ERROR_NOT_ENOUGH_MEMORY:
      case ERROR_OUTOFMEMORY:
        return std::errc::not_enough_memory;
      default:
        return {code, *this};
    }
  }
};

std::error_code lastWindowsError() {
  static const WindowsErrorCategory category;
  return {static_cast<int>(GetLastError()), category};
}

// ---- Files through the "A" calls ----

// Others may read, write, rename or remove a file while the program holds it
// open, as with the C library's own opens; the program's own remove of a
// file it still holds is among them.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A C stream over an open handle, which it then owns; nullptr with `error`
// set, the handle closed, when there is none.
std::FILE* streamOverHandle(HANDLE handle, int flags, const char* mode, std::error_code& error) {
  const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), flags);
  if (descriptor < 0) {
    error.assign(errno, std::generic_category());
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, mode);
  if (file == nullptr) {
    error.assign(errno, std::generic_category());
    _close(descriptor);
    return nullptr;
  }
  error.clear();
  return file;
}

}  // namespace

Platform systemPlatform() {
  useUtf8Console();
  catchConsoleEvents();
  Platform platform = commonPlatform(inputIsConsole());
  // Typed answers as UTF-16, piped ones as the bytes they are.
  if (platform.inputIsTerminal) platform.in = &consoleInput();
  platform.FileChooser = chooseFile;
  platform.showMessage = [](std::string_view caption, std::string_view text) {
    const std::string captionText(caption);
    const std::string messageText(text);
    MessageBoxA(nullptr, messageText.c_str(), captionText.c_str(), MB_OK | MB_ICONERROR);
    throwIfInterrupted();
  };
  platform.makeReadOnly = [](const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  };
  if (platform.inputIsTerminal) {
    platform.waitForKey = [] { waitForConsoleKey(GetStdHandle(STD_INPUT_HANDLE)); };
  }
  platform.sleep = sleepUnlessInterrupted;
  platform.currentDirectory = currentDirectoryText;
  return platform;
}

// The console lists the processes attached to it: a window that Windows
// opened for this program alone lists this process and no other (a Command
// Prompt adds its own cmd.exe). No console at all lists none.
bool consoleOpenedForThisRun() {
  std::array<DWORD, 2> processes{};
  return GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())) == 1;
}

std::FILE* createFileExclusively(const std::string& path, std::error_code& error) {
  // CREATE_NEW tests and creates in one step.
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = lastWindowsError();
    return nullptr;
  }
  std::FILE* file = streamOverHandle(handle, _O_WRONLY | _O_BINARY, "wb", error);
  // The file is ours and empty: it must not take the name from a later run.
  if (file == nullptr) DeleteFileA(path.c_str());
  return file;
}

bool entryExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::FILE* openExistingFile(const std::string& path, std::error_code& error) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = std::make_error_code(std::errc::is_a_directory);
    return nullptr;
  }
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = lastWindowsError();
    return nullptr;
  }
  return streamOverHandle(handle, _O_RDONLY | _O_BINARY, "rb", error);
}

bool mayReplace(const std::string& path, std::error_code& error) {
  error.clear();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = std::make_error_code(std::errc::is_a_directory);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
  // MoveFileEx refuses to replace a read-only file, whoever runs it.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    error = lastWindowsError();
    return false;
  }
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = lastWindowsError();
    return false;
  }
  CloseHandle(handle);
  return true;
}

bool removeFile(const std::string& path, std::error_code& error) {
  if (DeleteFileA(path.c_str()) != 0) return true;
  error = lastWindowsError();
  return false;
}

bool renameReplacing(const std::string& from, const std::string& to, std::error_code& error) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = lastWindowsError();
  return false;
}

// Windows puts a folder's entries on the disk with the rename itself
// (MOVEFILE_WRITE_THROUGH); there is no folder handle to flush.
void syncFolderOf(const std::string&) {}

bool syncStreamToDisk(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

}  // namespace lotrano
