#include "app/result_file.h"

#include <cstdint>
#include <string>
#include <system_error>

#include "app/file_names.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

constexpr std::string_view kTenFileCaption = "Lotrano Message";
constexpr std::string_view kTenFileText =
    "Sunt deja 10 fisiere de rezultate.\nSterge unele din ele!";

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

std::optional<ResultFile> openResultFile(const Group& group, const ExamData& exam,
                                         const ResultFileSystem& fileSystem,
                                         const ShowMessage& showMessage) {
  const std::string base = resultFileBaseName(group, exam);
  // A variant differs from its base only by "[k]", so one look at the base
  // judges them all.
  if (auto why = refusedNameReason(base)) throw FatalError(ErrorCode::kOpenFailure, base, *why);
  for (std::int32_t k = 0; k <= kLastResultFileVariant; ++k) {
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
