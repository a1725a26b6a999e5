#include "host/platform/console_dialogs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <istream>
#include <ostream>
#include <vector>

#include "host/text/characters.h"
#include "host/text/text_stream.h"

namespace lotrano {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kDefaultExtension = ".dat";

// The dialog's filters match an extension in any case, as Windows does, so
// that GRUPA.TXT copied from a Windows machine is listed too.
bool hasExtension(const fs::path& path, std::string_view extension) {
  const std::string actual = path.extension().string();
  const auto lower = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  return std::equal(actual.begin(), actual.end(), extension.begin(), extension.end(),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

std::vector<std::string> filesWithExtension(const std::string& folder, std::string_view extension) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError) && hasExtension(it->path(), extension)) {
      names.push_back(it->path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

void listFiles(std::ostream& err, std::string_view label, const std::vector<std::string>& names) {
  err << "  " << label << ':';
  if (names.empty()) err << " (niciunul)";
  for (const auto& name : names) err << "  " << name;
  err << '\n';
}

// A folder's line and the files of the dialog's two first filters.
void showFolder(std::ostream& err, std::string_view label, const std::string& folder) {
  err << "  " << label << ": " << folder << '\n';
  listFiles(err, "Data Files (*.dat)", filesWithExtension(folder, ".dat"));
  listFiles(err, "Text Files (*.txt)", filesWithExtension(folder, ".txt"));
}

// A typed relative name lies in the start folder when such a file exists
// there, otherwise in the current folder: a group list is found in Dat/,
// and a seed file in the folder where the run wrote it, by its bare name.
fs::path resolveTypedName(fs::path name, const std::string& start, const std::string& current) {
  if (!name.has_extension()) name += kDefaultExtension;
  if (name.is_absolute()) return name;
  const fs::path inStart = fs::path(start.empty() ? "." : start) / name;
  std::error_code error;
  if (start.empty() || start == current || fs::exists(inStart, error)) return inStart;
  return fs::path(current) / name;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string chooserStartFolder(const std::string& currentDirectory) {
  if (currentDirectory.empty()) return {};
  fs::path dat = fs::path(currentDirectory) / "Dat";
  std::error_code error;
  if (fs::is_directory(dat, error)) return (dat / "").string();
  return (fs::path(currentDirectory) / "").string();
}

std::optional<std::string> chooseFileAtConsole(std::istream& in, std::ostream& err,
                                               std::string_view title,
                                               const std::string& currentDirectory,
                                               bool inputEchoes) {
  const std::string start = chooserStartFolder(currentDirectory);
  const std::string current =
      currentDirectory.empty() ? "" : (fs::path(currentDirectory) / "").string();
  err << "\n== " << title << " ==\n";
  showFolder(err, "Dosar", start);
  if (start != current) {
    showFolder(err, "Dosarul curent", current);
    err << "  Un nume fara cale completa se ia din " << start
        << " daca fisierul exista acolo, altfel din " << current << '\n';
  }
  while (true) {
    err << "  Scrieti numele fisierului si apasati Enter (linie goala = Renunta): ";
    err.flush();
    std::string line;
    ReadStatus status = ReadStatus::kEnd;
    try {
      status = readStreamLine(in, line);
    } catch (...) {
      // An interrupt: its diagnostic follows on a line of its own.
      err << '\n';
      throw;
    }
    if (status != ReadStatus::kLine || !inputEchoes) err << '\n';
    if (status != ReadStatus::kLine) return std::nullopt;
    // A name ends at its first NUL, as a text from a platform dialog does.
    const std::string_view answer = trimmed(std::string_view(line).substr(0, line.find('\0')));
    if (answer.empty()) return std::nullopt;
    if (!fs::path(answer).has_filename()) {
      err << "  Nu este un nume de fisier: " << answer << '\n';
      continue;
    }
    const fs::path chosen = resolveTypedName(fs::path(answer), start, current);
    std::error_code error;
    const fs::path absolute = fs::absolute(chosen, error);
    if (error || !fs::is_directory(absolute.parent_path(), error)) {
      err << "  Dosarul nu exista: " << chosen.parent_path().string() << '\n';
      continue;
    }
    return absolute.lexically_normal().string();
  }
}

void showMessageAtConsole(std::istream& in, std::ostream& err, std::string_view caption,
                          std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  constexpr std::string_view kOk = "[ OK ]";
  std::size_t width = std::max(characterCount(caption), kOk.size());
  for (const auto line : lines) width = std::max(width, characterCount(line));
  // Built in place: GCC 12 warns falsely about the overlap of "+" + string.
  std::string rule(width + 4, '-');
  rule.front() = '+';
  rule.back() = '+';
  const auto row = [&](std::string_view content, bool right) {
    const std::string gap(width - characterCount(content), ' ');
    err << "| " << (right ? gap : "") << content << (right ? "" : gap) << " |\n";
  };
  err << '\n' << rule << '\n';
  row(caption, false);
  err << rule << '\n';
  for (const auto line : lines) row(line, false);
  row("", false);
  row(kOk, true);
  err << rule << '\n';
  err.flush();
  std::string answer;
  readStreamLine(in, answer);
}

}  // namespace lotrano
