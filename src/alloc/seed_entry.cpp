#include "alloc/seed_entry.h"

#include <string>

#include "host/text/fixed_text.h"
#include "host/text/free_form.h"
#include "host/text/text_layout.h"

namespace lotrano {
namespace {

// A label line is read as one text of this length and ignored.
constexpr std::size_t kSeedLabelLength = 80;

const TextLayout kSeedLabelLine = {item::text()};
const TextLayout kSeedWordsLine = {item::integer(kSeedWordWidth), item::integer(kSeedWordWidth)};

}  // namespace

void writeSeedEntries(TextSink& sink, std::span<const SeedEntry> entries) {
  for (const SeedEntry& entry : entries) {
    std::string label(kSeedLabelStart);
    label += std::to_string(entry.batch);
    label += kSeedLabelEnd;
    writeLine(sink, kSeedLabelLine, {label});
    writeLine(sink, kSeedWordsLine, {entry.pair.first, entry.pair.second});
  }
}

std::string seedWordsText(SeedPair pair) {
  return applyLayout(kSeedWordsLine, {pair.first, pair.second}).lines.front();
}

SeedPair readSeedEntry(LineSource& seedFile) {
  FixedText label(kSeedLabelLength);
  readFreeValues(seedFile, {&label});
  SeedPair pair;
  readFreeValues(seedFile, {&pair.first, &pair.second});
  return pair;
}

}  // namespace lotrano
