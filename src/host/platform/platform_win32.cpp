// The platform layer on Windows: the read-only attribute, the files and
// their errors, and the Platform value that gathers the console
// (windows_console), the dialogs (windows_dialogs) and the interrupts
// (windows_interrupts). Every call is an ANSI ("A") one: the program's
// manifest (src/lotrano.manifest) makes the process's ANSI code page UTF-8,
// so each takes and gives the same UTF-8 names that the program holds on
// every system.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

#include "host/platform/platform.h"
#include "host/platform/platform_common.h"
#include "host/platform/text_file.h"
#include "host/platform/windows_console.h"
#include "host/platform/windows_dialogs.h"
#include "host/platform/windows_interrupts.h"
#include "host/text/interruption.h"

namespace lotrano {
namespace {

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
  platform.showMessage = showMessageBox;
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
