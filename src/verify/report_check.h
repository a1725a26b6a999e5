// Checking a report against its seed file: the allocation is drawn again
// from the seed file's entries with the program's own draw, the report is
// written again with the program's own writer from the report's values, and
// the two are compared line by line. The date-and-time line and the
// re-allocation note are the only lines not compared: they say when and from
// which file, not what was drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alloc/uniform_generator.h"
#include "app/report_reader.h"
#include "app/run_values.h"
#include "host/text/text_stream.h"

namespace lotrano {

// The report written again for `group` (the report's own, or a group file's)
// and the report's exam values, drawn from the seed file's entries as a
// re-allocation draws them, one entry per batch. A group whose batches cannot
// be drawn over the range gets its header alone. The draw's console lines go
// nowhere. The seed file's fatal errors (an entry missing or not two
// integers) come out as they are. `batches`, when given, gets the batches as
// drawn; `entries`, when given, the state each batch drawn started from (its
// seed file entry brought into range), in the order the entries were read.
std::vector<std::string> rebuildReport(const ReadReport& report, const Group& group,
                                       LineSource& seedFile, AllocationBatches* batches = nullptr,
                                       std::vector<SeedPair>* entries = nullptr);

struct Verdict {
  bool matches = false;
  // The first line (from 1) that differs, and its text in the report and in
  // the rebuilt report; nullopt where that side has no such line.
  std::size_t line = 0;
  std::optional<std::string> inReport;
  std::optional<std::string> rebuilt;
};

// Compares every line but the date line and the re-allocation note.
Verdict compareWithRebuilt(const ReadReport& report, const std::vector<std::string>& rebuilt);

}  // namespace lotrano
