// Fuzzes the free-form reader with integer targets, as the console answers
// ("1", "1,30", "3*5") and the words of a seed file are read.
//
// Input: byte 0 picks the number of integer targets (1 to 4); the rest is the
// text, split into lines at LF (a CR before it dropped). The text is read
// again and again, as the program reads one answer after another, until it
// runs out.
//
// Findings besides crashes: a read that takes no line (so more reads succeed
// than there are lines), a fatal error other than the three a free-form
// integer read can give, and a value that does not read back as itself from
// its decimal text.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_bytes.h"
#include "host/text/fatal_error.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"

namespace {

using namespace lotrano;
using fuzz::require;

constexpr int kMaxTargets = 4;

void checkReadsBack(const std::array<std::int32_t, kMaxTargets>& values, std::size_t count) {
  std::string line;
  for (std::size_t i = 0; i < count; ++i)
    line += decimalText(values[i]) + (i % 2 == 0 ? ", " : " ");
  LineSource source = textSource(line + "\r\n", "round trip");
  std::array<std::int32_t, kMaxTargets> again{};
  std::vector<FreeTarget> targets;
  for (std::size_t i = 0; i < count; ++i) targets.emplace_back(&again[i]);
  readFreeValues(source, targets);
  require(std::equal(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count),
                     again.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzBytes in(data, size);
  const auto count = static_cast<std::size_t>(in.inRange(1, kMaxTargets));
  const std::string text = in.rest();
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;

  LineSource source = textSource(text, std::string(kConsoleName));
  std::array<std::int32_t, kMaxTargets> values{};
  std::vector<FreeTarget> targets;
  for (std::size_t i = 0; i < count; ++i) targets.emplace_back(&values[i]);
  std::size_t reads = 0;
  try {
    while (true) {
      readFreeValues(source, targets);
      require(++reads <= lines);
      checkReadsBack(values, count);
    }
  } catch (const FatalError& fatal) {
    require(fatal.code() == ErrorCode::kEndOfFile || fatal.code() == ErrorCode::kListSyntax ||
            fatal.code() == ErrorCode::kInputConversion);
    require(fatal.file() == kConsoleName);
  }
  return 0;
}
