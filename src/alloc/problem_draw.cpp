#include "alloc/problem_draw.h"

#include <string>

#include "alloc/batch_draw.h"
#include "alloc/seed_entry.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

constexpr std::string_view kSizeLabel = " Size:";
constexpr std::string_view kWaiting = " Waiting 0.8 sec ...";

}  // namespace

void ProblemDraw(const NewAllocation& newAllocation, SeedPair& seedUsed, SeedPair& seedRead,
                 std::int32_t n, std::vector<std::int32_t>& problems, const ProblemRange& range,
                 TextSink& console) {
  writeLine(console, {item::lineBreak(), item::text(), item::integer(3)},
            {std::string(kSizeLabel), kSeedPairWords});
  if (const SeedingClock* clock = newAllocation.clock()) {
    writeLine(console, {item::lineBreak(), item::text()}, {std::string(kWaiting)});
    clock->sleep(kSeedingWaitMilliseconds);
    seedFromClock(clock->secondsSince1970(), clock->millisecondsSinceStart());
  } else {
    seedRead = readSeedEntry(*newAllocation.seedFile());
    putState(seedRead);
  }
  seedUsed = getState();
  problems = drawBatchNumbers(n, range);
}

}  // namespace lotrano
