#include "app/result_file.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "app/seed_file.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

// The pieces of the name, in order.
constexpr std::string_view kNamePrefix = "Probleme Examen Nr_";
constexpr std::string_view kBeforeRange = " (";
constexpr std::string_view kAfterRangeFileCase = ") ";
constexpr std::string_view kAfterRangeTypedCase = ") Grupa ";
constexpr std::string_view kExtension = ".rez";

constexpr std::string_view kTenFileCaption = "Lotrano Message";
constexpr std::string_view kTenFileText =
    "Sunt deja 10 fisiere de rezultate.\nSterge unele din ele!";

// Digits stop at 9: the base name and nine variants are the ten files.
constexpr std::int32_t kLastVariant = 9;

// A name that would reach outside the current directory, or that holds a
// control character (a NUL would silently cut it short; a CR or a tab from a
// group file with odd line ends would hide in it). Windows refuses all of
// these too.
bool isRefusedName(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || code < 0x20 || code == 0x7F;
  });
}

}  // namespace

ResultFileSystem currentDirectoryFileSystem() {
  ResultFileSystem fileSystem;
  // A dangling link or a directory also takes the name; an entry that cannot
  // be examined is left to the creation to judge.
  fileSystem.exists = entryExists;
  fileSystem.createNew = [](const std::string& name, std::error_code& error) {
    return createNewFile(name, error);
  };
  return fileSystem;
}

std::string resultFileNamePrefix(std::string_view examNumberText, std::string_view rangeText,
                                 bool groupFromFile) {
  std::string prefix(kNamePrefix);
  prefix += examNumberText;
  prefix += kBeforeRange;
  prefix += withoutTrailingBlanks(rangeText);
  prefix += groupFromFile ? kAfterRangeFileCase : kAfterRangeTypedCase;
  return prefix;
}

std::string resultFileBaseName(const Group& group, const ExamData& exam) {
  std::string name = resultFileNamePrefix(exam.ExamNumberText, exam.RangeText, group.GroupFromFile);
  name += group.GroupFromFile ? group.GroupTitle.trimmed() : withoutTrailingBlanks(group.GroupText);
  name += kExtension;
  return name;
}

std::string resultFileVariant(std::string_view baseName, std::int32_t k) {
  std::string_view stem = baseName;
  if (stem.ends_with(kExtension)) stem.remove_suffix(kExtension.size());
  std::string name(stem);
  name += '[';
  name += std::to_string(k);
  name += ']';
  name += kExtension;
  return name;
}

std::optional<ResultFile> openResultFile(const Group& group, const ExamData& exam,
                                         const ResultFileSystem& fileSystem,
                                         const ShowMessage& showMessage) {
  const std::string base = resultFileBaseName(group, exam);
  // A variant differs from its base only by "[k]", so one look at the base
  // judges them all.
  if (isRefusedName(base)) throw FatalError(ErrorCode::kOpenFailure, base);
  for (std::int32_t k = 0; k <= kLastVariant; ++k) {
    const std::string name = k == 0 ? base : resultFileVariant(base, k);
    // A name whose report is gone (deleted, or filed away as the ten-file
    // message asks) while its seed file stays is not free: taking it would
    // replace that seed file, the only way to draw that report again.
    const std::string seedName(seedFileName(name).trimmed());
    if (fileSystem.exists(name) || fileSystem.exists(seedName)) continue;
    std::error_code error;
    std::optional<TextFile> file = fileSystem.createNew(name, error);
    if (file) return ResultFile{FixedText(kFileNameLength, name), std::move(*file)};
    // A file that appeared since the test is somebody's result: leave it
    // and go on as if the test had found it.
    if (error != std::errc::file_exists) throwOpenError(error, name);
  }
  showMessage(kTenFileCaption, kTenFileText);
  return std::nullopt;
}

}  // namespace lotrano
