#include "verify/public_text.h"

#include <cstdint>
#include <optional>

#include "alloc/uniform_generator.h"
#include "host/text/characters.h"
#include "host/text/code_page.h"
#include "host/text/sha256.h"
#include "host/text/text_stream.h"

namespace lotrano {
namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr char32_t kBlank = 0x20;

// A letter and the combining mark after it, written as the one code point
// that Romanian texts use for them.
struct JoinedLetter {
  char32_t letter;
  char32_t mark;
  char32_t joined;
};

constexpr char32_t kCommaBelow = 0x0326;
constexpr char32_t kCedilla = 0x0327;
constexpr char32_t kBreve = 0x0306;
constexpr char32_t kCircumflex = 0x0302;

constexpr JoinedLetter kJoinedLetters[] = {
    {U's', kCommaBelow, U'ș'}, {U'S', kCommaBelow, U'Ș'}, {U't', kCommaBelow, U'ț'},
    {U'T', kCommaBelow, U'Ț'}, {U's', kCedilla, U'ș'},    {U'S', kCedilla, U'Ș'},
    {U't', kCedilla, U'ț'},    {U'T', kCedilla, U'Ț'},    {U'a', kBreve, U'ă'},
    {U'A', kBreve, U'Ă'},      {U'a', kCircumflex, U'â'}, {U'A', kCircumflex, U'Â'},
    {U'i', kCircumflex, U'î'}, {U'I', kCircumflex, U'Î'},
};

// The cedilla letters that older keyboards and code pages give for the
// Romanian letters with a comma below.
struct CommaForm {
  char32_t cedilla;
  char32_t comma;
};

constexpr CommaForm kCommaForms[] = {{U'ş', U'ș'}, {U'Ş', U'Ș'}, {U'ţ', U'ț'}, {U'Ţ', U'Ț'}};

std::optional<char32_t> joined(char32_t letter, char32_t mark) {
  for (const JoinedLetter& j : kJoinedLetters) {
    if (j.letter == letter && j.mark == mark) return j.joined;
  }
  return std::nullopt;
}

char32_t commaForm(char32_t code) {
  for (const CommaForm& form : kCommaForms) {
    if (form.cedilla == code) return form.comma;
  }
  return code;
}

// A word of the digest: four bytes from `at`, big-endian, as a signed
// 32-bit integer (two's complement).
std::int32_t digestWord(const Sha256Digest& digest, std::size_t at) {
  const std::uint32_t bits = static_cast<std::uint32_t>(digest[at]) << 24 |
                             static_cast<std::uint32_t>(digest[at + 1]) << 16 |
                             static_cast<std::uint32_t>(digest[at + 2]) << 8 | digest[at + 3];
  return static_cast<std::int32_t>(bits);
}

}  // namespace

bool isPublicTextSpace(char32_t code) {
  return (code >= 0x09 && code <= 0x0D) || code == 0x20 || code == 0x85 || code == 0xA0 ||
         code == 0x1680 || (code >= 0x2000 && code <= 0x200A) || code == 0x2028 || code == 0x2029 ||
         code == 0x202F || code == 0x205F || code == 0x3000;
}

std::variant<std::string, PublicTextFault> normalizePublicText(std::string_view text) {
  const std::optional<std::u32string> given = utf8CodePoints(text);
  if (!given) return PublicTextFault::kNotUtf8;

  // The byte order marks go first, so that one between a letter and its
  // mark, or between two blanks, keeps them apart no longer.
  std::u32string codes;
  for (const char32_t code : *given) {
    if (code != kByteOrderMark) codes += code;
  }

  std::u32string letters;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (i + 1 < codes.size()) {
      if (const auto letter = joined(codes[i], codes[i + 1])) {
        letters += *letter;
        ++i;
        continue;
      }
    }
    letters += commaForm(codes[i]);
  }

  // Each run of white space one blank, none at either end.
  std::string normalized;
  bool spaceBefore = false;
  for (const char32_t code : letters) {
    if (isPublicTextSpace(code)) {
      spaceBefore = true;
      continue;
    }
    if (spaceBefore && !normalized.empty()) appendUtf8(normalized, kBlank);
    spaceBefore = false;
    appendUtf8(normalized, code);
  }
  if (normalized.empty()) return PublicTextFault::kEmpty;
  return normalized;
}

std::array<SeedEntry, kBatchCount> publicTextEntries(std::string_view normalized) {
  const Sha256Digest digest = sha256(normalized);
  std::array<SeedEntry, kBatchCount> entries;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const SeedPair words = {digestWord(digest, 8 * k), digestWord(digest, 8 * k + 4)};
    entries[k] = {static_cast<std::int32_t>(k + 1), reduceSeedPair(words)};
  }
  return entries;
}

std::string publicTextSeedFile(std::string_view normalized) {
  std::string text;
  TextSink sink(
      [&text](std::string_view bytes) {
        text += bytes;
        return true;
      },
      "seed file", kFileLineEnd);
  writeSeedEntries(sink, publicTextEntries(normalized));
  return text;
}

}  // namespace lotrano
