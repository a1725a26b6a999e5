#include "alloc/problem_draw.h"

#include <string>

#include "alloc/batch_draw.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

constexpr std::string_view kSizeLabel = " Size:";
constexpr std::string_view kWaiting = " Waiting 0.8 sec ...";
// A seed file's label line is read as one text of this length and ignored.
constexpr std::size_t kSeedLabelLength = 80;

}  // namespace

void ProblemDraw(bool newAllocation, SeedPair& seedUsed, SeedPair& seedRead, std::int32_t n,
                 std::vector<std::int32_t>& problems, const ProblemRange& range,
                 DrawContext& context) {
  writeLine(context.console, {item::lineBreak(), item::text(), item::integer(3)},
            {std::string(kSizeLabel), kSeedPairWords});
  if (newAllocation) {
    writeLine(context.console, {item::lineBreak(), item::text()}, {std::string(kWaiting)});
    context.platform.sleep(kSeedingWaitMilliseconds);
    seedFromClock(context.platform.secondsSince1970(), context.platform.millisecondsSinceStart());
  } else {
    LineSource& seedFile = *context.seedFile;
    FixedText label(kSeedLabelLength);
    readFreeValues(seedFile, {&label});
    readFreeValues(seedFile, {&seedRead.first, &seedRead.second});
    putState(seedRead);
  }
  seedUsed = getState();
  problems = drawBatchNumbers(n, range);
}

}  // namespace lotrano
