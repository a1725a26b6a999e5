#include "host/text/fixed_text.h"

#include "host/text/characters.h"

namespace lotrano {

FixedText::FixedText(std::size_t length, std::string_view text) : length_(length) { assign(text); }

void FixedText::assign(std::string_view text) { text_ = padOrCut(text, length_); }

std::string_view FixedText::trimmed() const { return withoutTrailingBlanks(text_); }

std::string padOrCut(std::string_view text, std::size_t length) {
  const std::string_view kept = leadingCharacters(text, length);
  std::string result(kept);
  result.append(length - characterCount(kept), ' ');
  return result;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::size_t usedLength(std::string_view text) {
  // Counting the characters of the trimmed bytes would misjudge a UTF-8 text
  // whose trailing blanks follow bytes that are only valid with them.
  const auto characters = splitCharacters(text);
  std::size_t used = characters.size();
  while (used > 0 && characters[used - 1] == " ") --used;
  return used;
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
