#include "host/text/fixed_text.h"

#include <algorithm>

#include "host/text/characters.h"

namespace lotrano {

FixedText::FixedText(std::size_t length, std::string_view text) : length_(length) { assign(text); }

void FixedText::assign(std::string_view text) { text_ = padOrCut(text, length_); }

std::string_view FixedText::trimmed() const { return withoutTrailingBlanks(text_); }

std::string padOrCut(std::string_view text, std::size_t length) {
  const std::string_view kept = leadingCharacters(text, length);
  const std::size_t padding = length - characterCount(kept);
  std::string result;
  result.reserve(kept.size() + padding);
  result.append(kept).append(padding, ' ');
  return result;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::size_t usedLength(std::string_view text) {
  // Whether the text is UTF-8 is judged on the whole text, trailing blanks
  // included: counting the characters of the trimmed bytes alone would
  // misjudge a text whose trailing blanks follow bytes that are only valid
  // with them. The trimmed part of a UTF-8 text ends with a whole character.
  const std::string_view used = withoutTrailingBlanks(text);
  if (!isValidUtf8(text)) return used.size();
  // A valid text: its characters are its bytes that start a sequence.
  return static_cast<std::size_t>(std::count_if(used.begin(), used.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::size_t trimmedCopy(FixedText& destination, std::string_view text) {
  destination.assign(withoutTrailingBlanks(text));
  return usedLength(text);
}

std::size_t findAnyOf(std::string_view text, std::string_view set) {
  if (text.empty() || set.empty()) return 0;
  const auto characters = splitCharacters(text);
  const auto members = splitCharacters(set);
  for (std::size_t i = 0; i < characters.size(); ++i) {
    for (const std::string_view member : members) {
      if (characters[i] == member) return i + 1;
    }
  }
  return 0;
}

std::string decimalText(std::int32_t n) { return std::to_string(n); }

}  // namespace lotrano
