// Where a report's own seed file lies: in the report's folder, under the name
// the program gives the seed file of that result file. Reports written by
// earlier versions of the program have it under the older name.
#pragma once

#include <string>
#include <vector>

#include "app/run_values.h"

namespace lotrano {

// The seed file of a result file of this name, as the program names it now:
// the name with its leading "Probleme Examen Nr_" replaced by "Seed_" and its
// trailing ".rez" by ".dat"; empty for a name without them.
std::string currentSeedFileName(const std::string& resultFileName);

// The seed file's name as earlier versions gave it: "Seed_" + exam digit +
// " (" + range text + ") " + the result file's name from its first upper-case
// "G" up to its first "." (empty when the "." comes first; from where the
// group title begins when the name has no "G") + ".dat".
std::string olderSeedFileName(const std::string& resultFileName, const ExamData& exam);

// The paths to try for the report's seed file, in order and without repeats:
// the current name, then the older one, both in the report's folder (the
// path up to its last "/" or "\").
std::vector<std::string> seedFileCandidates(const std::string& reportPath, const ExamData& exam);

}  // namespace lotrano
