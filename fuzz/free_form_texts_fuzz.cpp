// Fuzzes the free-form reader with text targets mixed with integers, as a
// typed group (a text of 15), the label line of a seed-file entry (a text of
// 80) and quoted answers such as 'Grupa 331' are read.
//
// Input: byte 0 picks the number of targets (1 to 4); then one byte per
// target picks its kind: 0 to 100 a text of that many characters, 101 an
// integer. The rest is the text read, split into lines at LF, read again and
// again until it runs out.
//
// Findings besides crashes: a text target that does not hold exactly its
// length in characters, a fatal error other than those of a free-form read,
// and values that do not come back unchanged when written as the program's
// own quoted texts and decimal integers and read again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_bytes.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"

namespace {

using namespace lotrano;
using fuzz::require;

constexpr int kMaxTargets = 4;
constexpr int kMaxTextLength = 100;
constexpr int kIntegerKind = kMaxTextLength + 1;

// Targets of the kinds the input picked; each slot is a text or an integer.
struct Slots {
  explicit Slots(const std::vector<int>& kinds) {
    for (const int kind : kinds) {
      if (kind == kIntegerKind) {
        texts.emplace_back(std::nullopt);
      } else {
        texts.emplace_back(FixedText(static_cast<std::size_t>(kind)));
      }
    }
    integers.assign(kinds.size(), 0);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      if (texts[i]) {
        targets.emplace_back(&*texts[i]);
      } else {
        targets.emplace_back(&integers[i]);
      }
    }
  }
  std::vector<std::optional<FixedText>> texts;
  std::vector<std::int32_t> integers;
  std::vector<FreeTarget> targets;
};

std::string quoted(const std::string& text, char quote) {
  std::string result(1, quote);
  result.reserve(text.size() + 2);
  // Each quote inside is written twice.
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t at = std::min(text.find(quote, start), text.size());
    result.append(text, start, at - start);
    if (at < text.size()) result.append(2, quote);
    start = at + 1;
  }
  return result + quote;
}

void checkReadsBack(const Slots& read, const std::vector<int>& kinds) {
  std::string line;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (i > 0) line += i % 2 == 0 ? " , " : " ";
    line += read.texts[i] ? quoted(read.texts[i]->str(), i % 2 == 0 ? '\'' : '"')
                          : decimalText(read.integers[i]);
  }
  LineSource source = textSource(line + "\n", "round trip");
  Slots again(kinds);
  readFreeValues(source, again.targets);
  require(again.texts == read.texts && again.integers == read.integers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzBytes in(data, size);
  std::vector<int> kinds(static_cast<std::size_t>(in.inRange(1, kMaxTargets)));
  for (int& kind : kinds) kind = in.inRange(0, kIntegerKind);
  const std::string text = in.rest();

  LineSource source = textSource(text, std::string(kConsoleName));
  Slots slots(kinds);
  try {
    // Each read takes at least one line, so the loop ends with the text.
    while (true) {
      readFreeValues(source, slots.targets);
      for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (slots.texts[i]) {
          require(characterCount(slots.texts[i]->str()) == slots.texts[i]->length());
        }
      }
      checkReadsBack(slots, kinds);
    }
  } catch (const FatalError& fatal) {
    require(fatal.code() == ErrorCode::kEndOfFile || fatal.code() == ErrorCode::kListSyntax ||
            fatal.code() == ErrorCode::kInputConversion);
  }
  return 0;
}
