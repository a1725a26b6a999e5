// The platform layer on Windows: the standard open-file dialog, the message
// box, the read-only attribute and the console, through the ANSI ("A") calls.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the dialog header builds on its types.
#include <commdlg.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

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

}  // namespace

Platform systemPlatform() {
  catchConsoleEvents();
  Platform platform = commonPlatform(inputIsConsole());
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

std::FILE* createFileExclusively(const std::string& path, std::error_code& error) {
  // The C library's fopen knows no exclusive mode here; _O_EXCL does the test
  // and the creation in one step.
  const int descriptor =
      _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) {
    error.assign(errno, std::generic_category());
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "wb");
  if (file == nullptr) {
    // The file is ours and empty: it must not take the name from a later run.
    error.assign(errno, std::generic_category());
    _close(descriptor);
    _unlink(path.c_str());
    return nullptr;
  }
  error.clear();
  return file;
}

bool removeFile(const std::string& path, std::error_code& error) {
  if (_unlink(path.c_str()) == 0) return true;
  error.assign(errno, std::generic_category());
  return false;
}

bool renameReplacing(const std::string& from, const std::string& to, std::error_code& error) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error.assign(static_cast<int>(GetLastError()), std::system_category());
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
