#include "app/result_file.h"

#include <algorithm>
#include <ostream>
#include <system_error>

#include "app/seed_file.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/free_form.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

// The pieces of the name, in order.
constexpr std::string_view kNamePrefix = "Probleme Examen Nr_";
constexpr std::string_view kBeforeRange = " (";
constexpr std::string_view kAfterRangeFileCase = ") ";
constexpr std::string_view kAfterRangeTypedCase = ") Grupa ";
constexpr std::string_view kExtension = ".rez";
constexpr std::string_view kFirstVariantEnd = "[1].rez";

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

std::optional<std::string> nextResultFileName(const std::string& name, std::ostream& diagnostics) {
  // Every name ends in ".rez", so there is always a first ".".
  const std::size_t dot = findAnyOf(name, ".");
  const std::string_view beforeDot =
      dot == 0 ? std::string_view(name) : leadingCharacters(name, dot - 1);
  const std::size_t bracket = findAnyOf(beforeDot, "[");
  if (bracket == 0) return std::string(beforeDot) + std::string(kFirstVariantEnd);

  // "[" is a single byte, so the counter starts right after its byte; a digit
  // or a blank is one byte too, and anything else fails the read below.
  const std::size_t counterAt = leadingCharacters(beforeDot, bracket).size();
  const std::int32_t counter =
      readIntegerFromText(std::string_view(name).substr(counterAt, 1), 1, name);
  if (counter == kLastVariant) return std::nullopt;

  FixedText digit(1);
  formatIntoText(digit, {item::integer(1)}, {counter + 1}, diagnostics, name);
  std::string next = name;
  next.replace(counterAt, 1, digit.str());
  return next;
}

std::optional<ResultFile> openResultFile(const Group& group, const ExamData& exam,
                                         const ResultFileSystem& fileSystem,
                                         const ShowMessage& showMessage,
                                         std::ostream& diagnostics) {
  std::optional<std::string> name = resultFileBaseName(group, exam);
  // Each turn either creates a file, stops, or moves on to a later variant, so
  // at most ten names are tried.
  while (name) {
    if (isRefusedName(*name)) throw FatalError(ErrorCode::kOpenFailure, *name);
    // A name whose report is gone (deleted, or filed away as the ten-file
    // message asks) while its seed file stays is not free: taking it would
    // replace that seed file, the only way to draw that report again.
    const std::string seedName(seedFileName(*name).trimmed());
    if (!fileSystem.exists(*name) && !fileSystem.exists(seedName)) {
      std::error_code error;
      std::optional<TextFile> file = fileSystem.createNew(*name, error);
      if (file) return ResultFile{FixedText(kFileNameLength, *name), std::move(*file)};
      // A file that appeared since the test is somebody's result: leave it
      // and go on as if the test had found it.
      if (error != std::errc::file_exists) throwOpenError(error, *name);
    }
    name = nextResultFileName(*name, diagnostics);
  }
  showMessage(kTenFileCaption, kTenFileText);
  return std::nullopt;
}

}  // namespace lotrano
