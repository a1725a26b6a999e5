// Fuzzes the draw's reading of seed-file entries in a re-allocation: a label
// line of any content, then the pair's two words in free form, entry after
// entry, as the program reads one entry per batch.
//
// Input: bytes 0-3 give the range's first problem (a signed 32-bit word,
// brought down to where the whole range fits), byte 4 the problem count (1
// to 255), byte 5 the number of batches (1 to 3), then one byte per batch its
// size (0 to the count, or to 2 for a count of 1: every batch can be drawn).
// The rest is the seed file's content.
//
// Findings besides crashes: a fatal error other than those of a free-form
// read; a pair that is not put as its words brought into the generator's
// range; numbers outside the range, repeated, or of another count than the
// batch's; and an allocation that does not come out again, number for
// number, from the seed file the program would write for it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "alloc/problem_draw.h"
#include "alloc/seed_entry.h"
#include "fuzz_bytes.h"
#include "host/text/fatal_error.h"

namespace {

using namespace lotrano;
using fuzz::require;

constexpr int kMaxBatches = 3;
constexpr int kMaxCount = 255;
constexpr const char* kSeedFileName = "Seed_1 (1-10) Grupa 311.dat";

struct Batch {
  std::int32_t n = 0;
  SeedPair seedUsed;
  SeedPair seedRead;
  std::vector<std::int32_t> problems;
};

// Draws the batches as a re-allocation from the seed file's text, stopping at
// the first fatal error (whose code it returns, 0 for none).
int drawAll(const std::string& seedText, std::vector<Batch>& batches, const ProblemRange& range) {
  std::ostringstream out;
  TextSink console = streamSink(out, std::string(kConsoleName), kConsoleLineEnd);
  LineSource seedFile = textSource(seedText, kSeedFileName);
  const NewAllocation fromSeedFile(seedFile);
  try {
    for (Batch& batch : batches) {
      ProblemDraw(fromSeedFile, batch.seedUsed, batch.seedRead, batch.n, batch.problems, range,
                  console);
    }
  } catch (const FatalError& fatal) {
    require(fatal.file() == kSeedFileName);
    return static_cast<int>(fatal.code());
  }
  return 0;
}

// The seed file the program writes for these batches, through the program's
// own writer of entries, lines ended by CR LF.
std::string seedFileFor(const std::vector<Batch>& batches) {
  std::ostringstream bytes;
  TextSink sink = streamSink(bytes, kSeedFileName, kFileLineEnd);
  std::vector<SeedEntry> entries;
  for (std::size_t k = 0; k < batches.size(); ++k) {
    entries.push_back({static_cast<std::int32_t>(k + 1), batches[k].seedUsed});
  }
  writeSeedEntries(sink, entries);
  return bytes.str();
}

void checkNumbers(const Batch& batch, const ProblemRange& range) {
  require(batch.problems.size() == static_cast<std::size_t>(batch.n));
  const std::set<std::int32_t> distinct(batch.problems.begin(), batch.problems.end());
  require(distinct.size() == batch.problems.size());
  // A range of one problem also hands out the number after it.
  const std::int64_t last =
      std::int64_t{range.Numar_Start_Problema} + std::max<std::int64_t>(range.ProblemCount, 2) - 1;
  for (const std::int32_t number : batch.problems) {
    require(number >= range.Numar_Start_Problema && number <= last);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzBytes in(data, size);
  const std::int32_t start = in.int32();
  const int count = in.inRange(1, kMaxCount);
  ProblemRange range;
  // The room the range needs above its start: count numbers, one more when
  // the count is 1.
  range.Numar_Start_Problema = std::min(start, std::numeric_limits<std::int32_t>::max() - count);
  range.Numar_End_Problema = range.Numar_Start_Problema + count - 1;
  range.ProblemCount = count;
  std::vector<Batch> batches(static_cast<std::size_t>(in.inRange(1, kMaxBatches)));
  for (Batch& batch : batches) batch.n = in.inRange(0, count == 1 ? 2 : count);
  const std::string seedText = in.rest();

  const int error = drawAll(seedText, batches, range);
  if (error != 0) {
    require(error == static_cast<int>(ErrorCode::kEndOfFile) ||
            error == static_cast<int>(ErrorCode::kListSyntax) ||
            error == static_cast<int>(ErrorCode::kInputConversion));
    return 0;
  }
  for (const Batch& batch : batches) {
    require(batch.seedUsed == reduceSeedPair(batch.seedRead));
    checkNumbers(batch, range);
  }

  std::vector<Batch> again = batches;
  for (Batch& batch : again) batch.problems.clear();
  require(drawAll(seedFileFor(batches), again, range) == 0);
  for (std::size_t k = 0; k < batches.size(); ++k) {
    require(again[k].seedRead == batches[k].seedUsed);
    require(again[k].seedUsed == batches[k].seedUsed);
    require(again[k].problems == batches[k].problems);
  }
  return 0;
}
