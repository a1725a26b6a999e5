#include "verify/seed_lookup.h"

#include <string_view>

#include "app/run_values.h"
#include "app/seed_file.h"
#include "host/text/fixed_text.h"

namespace lotrano {
namespace {

// Only a name of a result file has a seed file named after it.
constexpr std::string_view kResultPrefix = "Probleme Examen Nr_";
constexpr std::string_view kResultExtension = ".rez";

}  // namespace

std::string currentSeedFileName(const std::string& resultFileName) {
  const std::string_view name = resultFileName;
  if (!name.starts_with(kResultPrefix) || !name.ends_with(kResultExtension) ||
      name.size() < kResultPrefix.size() + kResultExtension.size()) {
    return {};
  }
  return std::string(seedFileName(name).trimmed());
}

std::string olderSeedFileName(const std::string& resultFileName, const ExamData& exam) {
  return std::string(legacySeedFileName(exam.ExamNumberText, exam.RangeText,
                                        FixedText(kFileNameLength, resultFileName))
                         .trimmed());
}

std::vector<std::string> seedFileCandidates(const std::string& reportPath, const ExamData& exam) {
  const std::size_t slash = reportPath.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "" : reportPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? reportPath : reportPath.substr(slash + 1);
  std::vector<std::string> candidates;
  const std::string current = currentSeedFileName(name);
  if (!current.empty()) candidates.push_back(folder + current);
  const std::string older = folder + olderSeedFileName(name, exam);
  if (candidates.empty() || candidates.front() != older) candidates.push_back(older);
  return candidates;
}

}  // namespace lotrano
