// The allocation of a report that matched its seed file, as a spreadsheet
// file: UTF-8 with a byte order mark (so that spreadsheet programs read the
// Romanian letters of the names), CR LF line ends, ";" between fields (the
// Romanian convention, where the comma is the decimal mark) and the header
// row "Nr;Nume;Problema;Runda". One row per student, in the report's order:
// the row number, the name (empty for a typed group), the problem and the
// round, that is the batch (1 to 3) the student was drawn in. A field holding
// ";", a quote, CR or LF is quoted, its quotes doubled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/run_values.h"

namespace lotrano {

// The CSV text of `group`'s students and the numbers of each batch, in batch
// order. A name that is not UTF-8 (from a single-byte group file) is
// taken as Windows-1250 and written in UTF-8.
std::string allocationCsv(const Group& group, const AllocationBatches& batches);

}  // namespace lotrano
