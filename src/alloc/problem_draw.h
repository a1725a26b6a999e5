// One draw for one batch of students, as the main program calls it: the
// console lines, the seeding (from the clock after a short wait, or from the
// next entry of an open seed file) and the batch's problem numbers.
#pragma once

#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

#include "alloc/problem_mapping.h"
#include "alloc/uniform_generator.h"
#include "host/text/text_stream.h"

namespace lotrano {

// The wait before seeding from the clock, so that two batches drawn one after
// the other never start from the same clock reading.
inline constexpr std::int32_t kSeedingWaitMilliseconds = 800;

// What a new allocation seeds from: the wait, then two clock readings.
struct SeedingClock {
  std::function<void(std::int32_t milliseconds)> sleep;
  std::function<std::int64_t()> secondsSince1970;
  // Wall-clock milliseconds since the program started.
  std::function<std::int64_t()> millisecondsSinceStart;
};

// A draw's newAllocation, with what that kind of draw seeds from: true with
// the clock (a new allocation), false with the open seed file (a
// re-allocation). It is made as the one or the other, so a draw can never be
// told to seed from a source it was not given.
class NewAllocation {
 public:
  explicit NewAllocation(const SeedingClock& clock) : source_(&clock) {}
  explicit NewAllocation(LineSource& seedFile) : source_(&seedFile) {}

  explicit operator bool() const { return clock() != nullptr; }
  // The clock of a new allocation; null in a re-allocation.
  const SeedingClock* clock() const {
    const auto* clock = std::get_if<const SeedingClock*>(&source_);
    return clock == nullptr ? nullptr : *clock;
  }
  // The seed file of a re-allocation; null in a new allocation.
  LineSource* seedFile() const {
    const auto* seedFile = std::get_if<LineSource*>(&source_);
    return seedFile == nullptr ? nullptr : *seedFile;
  }

 private:
  std::variant<const SeedingClock*, LineSource*> source_;  // never null
};

// Writes on `console` an empty line and " Size:" with the number of seed
// words in 3 columns. A new allocation then writes an empty line and
// " Waiting 0.8 sec ...", waits 800 ms and seeds from the clock; a
// re-allocation reads the next entry of the seed file (a label line,
// ignored, then the two words into `seedRead`) and puts it. `seedUsed`
// receives the state read back after seeding. Then n problem numbers are
// drawn into `problems` (n <= 0 draws none). A seed file that runs out or
// holds no integers stops at the failed read with its fatal error.
void ProblemDraw(const NewAllocation& newAllocation, SeedPair& seedUsed, SeedPair& seedRead,
                 std::int32_t n, std::vector<std::int32_t>& problems, const ProblemRange& range,
                 TextSink& console);

}  // namespace lotrano
