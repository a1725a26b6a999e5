#include "verify/seed_lookup.h"

#include <string_view>

#include "app/result_file.h"
#include "host/text/characters.h"
#include "host/text/fixed_text.h"

namespace lotrano {
namespace {

constexpr std::string_view kResultPrefix = "Probleme Examen Nr_";
constexpr std::string_view kResultExtension = ".rez";
constexpr std::string_view kSeedPrefix = "Seed_";
constexpr std::string_view kSeedExtension = ".dat";

}  // namespace

std::string currentSeedFileName(const std::string& resultFileName) {
  const std::string_view name = resultFileName;
  if (!name.starts_with(kResultPrefix) || !name.ends_with(kResultExtension) ||
      name.size() < kResultPrefix.size() + kResultExtension.size()) {
    return {};
  }
  const std::string_view middle = name.substr(
      kResultPrefix.size(), name.size() - kResultPrefix.size() - kResultExtension.size());
  return std::string(kSeedPrefix) + std::string(middle) + std::string(kSeedExtension);
}

std::string olderSeedFileName(const std::string& resultFileName, const ExamData& exam) {
  std::size_t start = findAnyOf(resultFileName, "G");
  const std::size_t dot = findAnyOf(resultFileName, ".");
  if (start == 0) {
    start = characterCount(resultFileNamePrefix(exam.ExamNumberText, exam.RangeText, true)) + 1;
  }
  const std::string_view group =
      dot < start ? std::string_view{} : characterRange(resultFileName, start, dot - 1);
  return std::string(kSeedPrefix) + exam.ExamNumberText + " (" + exam.RangeText + ") " +
         std::string(group) + std::string(kSeedExtension);
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
