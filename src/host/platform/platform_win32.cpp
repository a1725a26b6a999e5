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
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

#include "host/platform/platform.h"
#include "host/platform/platform_common.h"
#include "host/platform/text_file.h"

namespace lotrano {

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
  if (!chosen) return std::nullopt;
  const auto end = std::find(path.begin(), path.end(), '\0');
  return std::string(path.begin(), end);
}

// Waits for a key press on the console without spinning: the process sleeps
// until the console has input, and events other than a key going down (the
// release of the Enter that ended the last answer, the mouse, focus) are
// taken out of the way.
void waitForConsoleKey(HANDLE input) {
  for (;;) {
    if (WaitForSingleObject(input, INFINITE) != WAIT_OBJECT_0) return;
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
  Platform platform = commonPlatform(inputIsConsole());
  platform.FileChooser = chooseFile;
  platform.showMessage = [](std::string_view caption, std::string_view text) {
    const std::string captionText(caption);
    const std::string messageText(text);
    MessageBoxA(nullptr, messageText.c_str(), captionText.c_str(), MB_OK | MB_ICONERROR);
  };
  platform.makeReadOnly = [](const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  };
  if (platform.inputIsTerminal) {
    platform.waitForKey = [] { waitForConsoleKey(GetStdHandle(STD_INPUT_HANDLE)); };
  }
  platform.sleep = [](std::int32_t milliseconds) {
    Sleep(static_cast<DWORD>(std::max<std::int32_t>(milliseconds, 0)));
  };
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
