// The seed file: the state each batch of an allocation started from, so that
// the allocation can be drawn again, number for number.
//
// Layout, one entry per batch drawn, in batch order (read back entry by entry
// by the draw of a re-allocation, which skips each label line and takes the
// two words after it):
//    seed_1:
//   123456789  1987654321
// the label " seed_<k>:" and the batch's pair, each word right-aligned in 12
// columns. Nothing else is in the file.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "alloc/uniform_generator.h"
#include "app/batches.h"
#include "host/text/fixed_text.h"

namespace lotrano {

// The seed file of a result file: the result file's name with its leading
// "Probleme Examen Nr_" replaced by "Seed_" and its final ".rez" by ".dat",
// so that every report has a seed file of its own, variants included:
// "Probleme Examen Nr_1 (1-6) Gr. 311 AC[2].rez" has "Seed_1 (1-6) Gr. 311
// AC[2].dat". (A name without that beginning gets "Seed_" put in front, one
// without that end gets ".dat" added.)
FixedText seedFileName(std::string_view resultFileName);

// The name that reports written by earlier versions of the program have for
// their seed file: "Seed_" + exam digit + " (" + range text + ") " + the part
// of the result file's name from its first upper-case "G" up to its first "."
// (empty when the "." comes first; from where the group title begins when
// the name has no "G") + ".dat". Titles such as "Gr. 311" or "Sem. 2, Grupa
// 1231" give several reports one such name, so each seed file there holds
// the draw of the last of them only.
FixedText legacySeedFileName(const std::string& examNumberText, const std::string& rangeText,
                             const FixedText& resultFileName);

// Creates the seed file of the result file, or replaces an earlier one of the
// same name as a whole, with one entry per batch drawn (entry 2 when S2 > 0,
// entry 3 when S3 > 0), and closes it. Returns the file's name. A file that
// cannot be written is fatal, and leaves an earlier file of that name as it
// was.
std::string writeSeedFile(const FixedText& resultFileName, const BatchSizes& sizes,
                          const std::array<SeedPair, 3>& seedUsed, std::ostream& diagnostics);

}  // namespace lotrano
