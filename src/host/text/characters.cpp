#include "host/text/characters.h"

#include <cstdint>

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

}  // namespace

bool isValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8SequenceLength(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
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
  if (!isValidUtf8(text)) return text.size();
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string_view characterRange(std::string_view text, std::size_t first, std::size_t last) {
  if (first == 0) first = 1;
  if (last < first) return {};
  const auto characters = splitCharacters(text);
  if (first > characters.size()) return {};
  if (last > characters.size()) last = characters.size();
  const std::size_t begin = static_cast<std::size_t>(characters[first - 1].data() - text.data());
  const std::size_t end = static_cast<std::size_t>(characters[last - 1].data() - text.data()) +
                          characters[last - 1].size();
  return text.substr(begin, end - begin);
}

std::string_view leadingCharacters(std::string_view text, std::size_t count) {
  if (count == 0) return {};
  return characterRange(text, 1, count);
}

}  // namespace lotrano
