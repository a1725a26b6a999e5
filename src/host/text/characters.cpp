#include "host/text/characters.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lotrano {
namespace {

// Length of the well-formed UTF-8 sequence at text[pos], or 0 if there is none
// (overlong forms, surrogates and code points above U+10FFFF are refused).
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(pos);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t min = 0;
  std::uint32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// The number of ASCII bytes at text[pos], eight at a time, up to the first
// byte that is not ASCII or the last whole eight: most texts are ASCII
// throughout, and every line read is walked several times.
std::size_t asciiRun(std::string_view text, std::size_t pos) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t run = 0;
  while (text.size() - pos - run >= sizeof(std::uint64_t)) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + pos + run, sizeof word);
    if ((word & kHighBits) != 0) break;
    run += sizeof word;
  }
  return run;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    pos += asciiRun(text, pos);
    if (pos == text.size()) break;
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t length = utf8SequenceLength(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string withVisibleControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
      shown += "\\x";
      shown += kHex[code >> 4];
      shown += kHex[code & 0x0F];
    } else {
      shown += c;
    }
  }
  return shown;
}

void Utf8Checker::add(std::string_view piece) {
  if (!valid_) return;
  std::string text = pending_ + std::string(piece);
  // A lead byte among the last three whose character needs more bytes than
  // are there: the character goes on in the next piece.
  std::size_t complete = text.size();
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    if (needed > back) complete = text.size() - back;
    break;
  }
  pending_ = text.substr(complete);
  valid_ = isValidUtf8(std::string_view(text).substr(0, complete));
}

std::size_t characterLengthAt(std::string_view text, std::size_t pos, bool utf8) {
  if (!utf8) return 1;
  // The lead byte of a well-formed sequence tells its length.
  const auto lead = static_cast<unsigned char>(text[pos]);
  return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

std::vector<std::string_view> splitCharacters(std::string_view text) {
  std::vector<std::string_view> characters;
  characters.reserve(text.size());
  if (!isValidUtf8(text)) {
    for (std::size_t pos = 0; pos < text.size(); ++pos) characters.push_back(text.substr(pos, 1));
    return characters;
  }
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8SequenceLength(text, pos);
    characters.push_back(text.substr(pos, length));
    pos += length;
  }
  return characters;
}

std::size_t characterCount(std::string_view text) {
  // One walk: a sequence that is not UTF-8 makes every byte a character.
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t ascii = asciiRun(text, pos);
    pos += ascii;
    count += ascii;
    if (pos == text.size()) break;
    const std::size_t length =
        static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : utf8SequenceLength(text, pos);
    if (length == 0) return text.size();
    pos += length;
    ++count;
  }
  return count;
}

std::optional<std::u32string> utf8CodePoints(std::string_view text) {
  std::u32string codes;
  codes.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8SequenceLength(text, pos);
    if (length == 0) return std::nullopt;
    // A well-formed sequence: the lead byte's bits, then six from each
    // continuation byte.
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(text[pos]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
      code = code << 6 | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    }
    codes += code;
    pos += length;
  }
  return codes;
}

std::string_view characterRange(std::string_view text, std::size_t first, std::size_t last) {
  if (first == 0) first = 1;
  if (last < first) return {};
  // One walk over the text, with no list of its characters: a long line is
  // cut to its first few characters at every read.
  if (!isValidUtf8(text)) {
    if (first > text.size()) return {};
    return text.substr(first - 1, std::min(last, text.size()) - (first - 1));
  }
  std::size_t begin = text.size();
  std::size_t pos = 0;
  for (std::size_t index = 1; pos < text.size(); ++index) {
    if (index == first) begin = pos;
    pos += utf8SequenceLength(text, pos);
    if (index == last) break;
  }
  if (begin == text.size()) return {};
  return text.substr(begin, pos - begin);
}

std::string_view leadingCharacters(std::string_view text, std::size_t count) {
  if (count == 0) return {};
  return characterRange(text, 1, count);
}

}  // namespace lotrano
