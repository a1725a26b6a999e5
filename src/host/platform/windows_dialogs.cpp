#include "host/platform/windows_dialogs.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the dialog header builds on its types.
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstddef>

#include "host/text/interruption.h"

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

}  // namespace

std::string currentDirectoryText() {
  std::array<char, kFieldLength> buffer{};
  const DWORD count = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (count == 0 || count >= buffer.size()) return {};
  return std::string(buffer.data(), count);
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

void showMessageBox(std::string_view caption, std::string_view text) {
  const std::string captionText(caption);
  const std::string messageText(text);
  MessageBoxA(nullptr, messageText.c_str(), captionText.c_str(), MB_OK | MB_ICONERROR);
  throwIfInterrupted();
}

}  // namespace lotrano
