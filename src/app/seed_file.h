// The seed file: the state each batch of an allocation started from, so that
// the allocation can be drawn again, number for number. Its name comes from
// the result file's (file_names.h); its entries' layout lies beside their
// reader, the draw of a re-allocation (alloc/seed_entry.h).
#pragma once

#include <string>

#include "app/run_values.h"
#include "host/text/fixed_text.h"

namespace lotrano {

// Creates the seed file of the result file, or replaces an earlier one of the
// same name as a whole, with one entry per batch drawn (entry 2 when S2 > 0,
// entry 3 when S3 > 0), each the state that batch's draws started from, and
// closes it. Returns the file's name. A file that
// cannot be written is fatal, and leaves an earlier file of that name as it
// was.
std::string writeSeedFile(const FixedText& resultFileName, const BatchSizes& sizes,
                          const AllocationBatches& batches);

}  // namespace lotrano
