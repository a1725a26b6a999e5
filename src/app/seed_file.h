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

#include "alloc/uniform_generator.h"
#include "app/batches.h"
#include "host/text/fixed_text.h"

namespace lotrano {

// "Seed_" + exam digit + " (" + range text + ") " + the group part of the
// result file's name + ".dat". The group part runs from the name's first
// upper-case "G" up to its first "." (empty when the "." comes first), so it
// keeps a variant mark such as [2]. A name without a "G" (a title in lower
// case) takes its group part from where the group title begins instead, so
// that such groups do not all share the seed file "Seed_<exam> (<range>) .dat".
FixedText seedFileName(const std::string& examNumberText, const std::string& rangeText,
                       const FixedText& resultFileName);

// Creates the seed file, or rewrites an earlier one of the same name, with one
// entry per batch drawn (entry 2 when S2 > 0, entry 3 when S3 > 0), and closes
// it. Returns the file's name. A file that cannot be opened or written is fatal.
std::string writeSeedFile(const std::string& examNumberText, const std::string& rangeText,
                          const FixedText& resultFileName, const BatchSizes& sizes,
                          const std::array<SeedPair, 3>& seedUsed, std::ostream& diagnostics);

}  // namespace lotrano
