#include "alloc/problem_draw.h"

#include <stdexcept>
#include <string>

#include "alloc/batch_draw.h"
#include "alloc/seed_entry.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

constexpr std::string_view kSizeLabel = " Size:";
constexpr std::string_view kWaiting = " Waiting 0.8 sec ...";

}  // namespace

void ProblemDraw(bool newAllocation, SeedPair& seedUsed, SeedPair& seedRead, std::int32_t n,
                 std::vector<std::int32_t>& problems, const ProblemRange& range,
                 DrawContext& context) {
  writeLine(context.console, {item::lineBreak(), item::text(), item::integer(3)},
            {std::string(kSizeLabel), kSeedPairWords});
  if (newAllocation) {
    if (context.clock == nullptr) throw std::logic_error("a new allocation without a clock");
    writeLine(context.console, {item::lineBreak(), item::text()}, {std::string(kWaiting)});
    context.clock->sleep(kSeedingWaitMilliseconds);
    seedFromClock(context.clock->secondsSince1970(), context.clock->millisecondsSinceStart());
  } else {
    if (context.seedFile == nullptr) throw std::logic_error("a re-allocation without a seed file");
    seedRead = readSeedEntry(*context.seedFile);
    putState(seedRead);
  }
  seedUsed = getState();
  problems = drawBatchNumbers(n, range);
}

}  // namespace lotrano
