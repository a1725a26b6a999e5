#include "app/seed_file.h"

#include <vector>

#include "alloc/seed_entry.h"
#include "app/file_names.h"
#include "host/platform/text_file.h"

namespace lotrano {

std::string writeSeedFile(const FixedText& resultFileName, const BatchSizes& sizes,
                          const AllocationBatches& batches) {
  const std::string name(seedFileName(resultFileName.str()).trimmed());
  std::vector<SeedEntry> entries;
  for (std::size_t k = 0; k < batches.size(); ++k) {
    if (batchIsDrawn(sizes, k)) {
      entries.push_back({static_cast<std::int32_t>(k + 1), batches[k].seedUsed});
    }
  }
  // Written whole or not at all: an earlier seed file of this name (one that
  // appeared after the result file was named) must not be lost to a write
  // that fails midway.
  replaceWholeFile(name, [&](TextFile& file) {
    TextSink sink = fileSink(file);
    writeSeedEntries(sink, entries);
  });
  return name;
}

}  // namespace lotrano
