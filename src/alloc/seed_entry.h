// The entries of a seed file: the state each batch of an allocation started
// from, so that the allocation can be drawn again, number for number. The
// main program's seed-file writer writes them and the draw of a
// re-allocation (problem_draw.h) reads them back, both through this module.
//
// Layout, one entry per batch drawn, in batch order:
//    seed_1:
//   123456789  1987654321
// the label " seed_<k>:" (k the batch's number) on a line of its own, then
// the batch's pair, each word right-aligned in 12 columns. Nothing else is in
// the file. The reader takes the label line as a text and ignores it, and
// reads the two words in free form.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "alloc/uniform_generator.h"
#include "host/text/text_stream.h"

namespace lotrano {

inline constexpr std::string_view kSeedLabelStart = " seed_";
inline constexpr std::string_view kSeedLabelEnd = ":";
inline constexpr int kSeedWordWidth = 12;

struct SeedEntry {
  std::int32_t batch = 0;  // the batch's number, 1 to 3
  SeedPair pair;           // the state the batch's draws started from
};

// Writes the text of a seed file holding these entries, in their order.
void writeSeedEntries(TextSink& sink, std::span<const SeedEntry> entries);

// An entry's two words as its second line holds them, without the line end.
std::string seedWordsText(SeedPair pair);

// Reads the next entry: its label line, whatever it holds, then the two words.
// A seed file that runs out or holds no integers is the fatal error of the
// failed read.
SeedPair readSeedEntry(LineSource& seedFile);

}  // namespace lotrano
