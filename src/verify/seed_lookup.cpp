#include "verify/seed_lookup.h"

#include "app/file_names.h"
#include "app/run_values.h"
#include "host/text/fixed_text.h"

namespace lotrano {

std::string currentSeedFileName(const std::string& resultFileName) {
  // Only a name of a result file has a seed file named after it.
  if (!isResultFileName(resultFileName)) return {};
  return std::string(seedFileName(resultFileName).trimmed());
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
