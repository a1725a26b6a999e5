#include "host/platform/desktop_dialogs.h"

#include <filesystem>

#include "host/platform/console_dialogs.h"

namespace lotrano {
namespace fs = std::filesystem;
namespace {

// zenity's filters: a description, a bar, then patterns separated by blanks.
// "All files (*.*)" matches "*": on Linux many files have no dot in their
// name, and "*.*" would hide them under the filter that promises all files.
constexpr std::string_view kFilters[] = {
    "Data Files (*.dat) | *.dat",
    "Text Files (*.txt) | *.txt",
    "Fortran Files | *.f90 *.f",
    "All files (*.*) | *",
};

constexpr std::string_view kDefaultExtension = ".dat";

// What GTK writes, and zenity passes on, when the display named in the
// environment refuses the connection; zenity then ends with the status of Cancel.
constexpr std::string_view kNoDisplay = "cannot open display";

// A zenity that keeps answering names in missing folders without a user
// behind it would otherwise be asked again for ever.
constexpr int kMostRefusedNames = 20;

std::string option(std::string_view name, std::string_view value) {
  std::string text = "--";
  text += name;
  text += '=';
  text += value;
  return text;
}

bool folderExists(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path.parent_path(), error);
}

}  // namespace

bool desktopDisplayNamed(const char* display, const char* waylandDisplay) {
  return (display != nullptr && *display != '\0') ||
         (waylandDisplay != nullptr && *waylandDisplay != '\0');
}

std::vector<std::string> zenityChooserArguments(const std::string& zenity, std::string_view title,
                                                const std::string& startFolder) {
  std::vector<std::string> arguments = {zenity, "--file-selection", "--save",
                                        option("title", title)};
  // A folder with its trailing slash opens that folder with the name box empty.
  if (!startFolder.empty()) {
    arguments.push_back(option("filename", (fs::path(startFolder) / "").string()));
  }
  for (const auto filter : kFilters) arguments.push_back(option("file-filter", filter));
  return arguments;
}

std::vector<std::string> zenityMessageArguments(const std::string& zenity, std::string_view caption,
                                                std::string_view text) {
  // --text is Pango markup unless --no-markup: a "<" or "&" would be taken as
  // a tag or an entity, and a malformed one would blank the text.
  return {zenity, "--error", option("title", caption), "--no-markup", option("text", text)};
}

ChooserAnswer readChooserAnswer(const std::optional<ProgramRun>& run) {
  if (!run || !run->exited) return {};
  if (run->exitStatus == 1) {
    if (run->errors.find(kNoDisplay) != std::string::npos) return {};
    return {DesktopOutcome::kCancelled, {}};
  }
  if (run->exitStatus != 0) return {};
  std::string_view name = run->output;
  if (name.ends_with('\n')) name.remove_suffix(1);
  fs::path path(name);
  if (name.empty() || name.find('\0') != std::string_view::npos || !path.is_absolute() ||
      !path.has_filename()) {
    return {};
  }
  if (!path.has_extension()) path += kDefaultExtension;
  return {DesktopOutcome::kChosen, path.lexically_normal().string()};
}

ChooserAnswer chooseFileOnDesktop(const ProgramRunner& run, const std::string& zenity,
                                  std::string_view title, const std::string& currentDirectory) {
  // The start folder is looked up on every call: the Dat folder may have been
  // created since the last one.
  const auto arguments =
      zenityChooserArguments(zenity, title, chooserStartFolder(currentDirectory));
  for (int refused = 0; refused < kMostRefusedNames; ++refused) {
    ChooserAnswer answer = readChooserAnswer(run(arguments));
    if (answer.outcome != DesktopOutcome::kChosen || folderExists(answer.path)) return answer;
  }
  return {};
}

bool showMessageOnDesktop(const ProgramRunner& run, const std::string& zenity,
                          std::string_view caption, std::string_view text) {
  const auto result = run(zenityMessageArguments(zenity, caption, text));
  if (!result || !result->exited) return false;
  if (result->exitStatus == 0) return true;
  return result->exitStatus == 1 && result->errors.find(kNoDisplay) == std::string::npos;
}

}  // namespace lotrano
