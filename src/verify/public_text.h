// The seed words of a public text: a text that nobody controls and that is
// named before anyone can know it (the numbers of a lottery draw on a given
// date, digits called out by students at the start of the exam). Anyone can
// compute from it the seed file that the draw was made from. The text is
// normalised, so that the same words typed in another way (with ş for ș, with
// a combining accent, with other blanks or line ends) give the same seed; its
// UTF-8 bytes are hashed with SHA-256; and each entry's two words are read
// from the digest and brought into the generator's ranges, as a draw brings
// the words it reads from a seed file. docs/draw.md writes the rules down.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>

#include "alloc/seed_entry.h"
#include "app/batches.h"

namespace lotrano {

// What makes a text unfit to be a public text.
enum class PublicTextFault {
  kNotUtf8,  // its bytes are not valid UTF-8
  kEmpty,    // nothing is left once it is normalised
};

// The text normalised, in this order: every U+FEFF removed; s S t T followed
// by U+0326 (comma below) or U+0327 (cedilla) joined into ș Ș ț Ț, a A
// followed by U+0306 into ă Ă, a A i I followed by U+0302 into â Â î Î, every
// other sequence left as it is; ş Ş ţ Ţ made ș Ș ț Ț; every run of white
// space made one blank, and the blanks at both ends removed. Letter case is
// kept. The fault instead for a text that is not UTF-8 or leaves nothing.
std::variant<std::string, PublicTextFault> normalizePublicText(std::string_view text);

// Whether a code point is white space in a public text: U+0009 to U+000D,
// U+0020, U+0085, U+00A0, U+1680, U+2000 to U+200A, U+2028, U+2029, U+202F,
// U+205F and U+3000.
bool isPublicTextSpace(char32_t code);

// The entries of a normalised text, one for each batch a draw can have: with
// d its SHA-256, entry k (1 to 3) starts from the big-endian 32-bit words in
// bytes 8k-8 to 8k-5 and 8k-4 to 8k-1 of d, each brought into its range, so
// that it is the state the batch's draw starts from.
std::array<SeedEntry, kBatchCount> publicTextEntries(std::string_view normalized);

// The seed file of a normalised text, laid out as the program writes seed
// files: its three entries, lines ending in CR LF.
std::string publicTextSeedFile(std::string_view normalized);

}  // namespace lotrano
