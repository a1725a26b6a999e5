// What counts as one character of a text. A byte is one character, except in
// a text that is valid UTF-8, where one encoded character (2 to 4 bytes) is
// one character and takes one column. For ASCII and single-byte code pages
// both readings agree; for UTF-8 names from Linux machines this keeps columns
// aligned and never cuts a character in half.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lotrano {

bool isValidUtf8(std::string_view text);

// Checks a text that arrives in pieces (a file read block by block) for valid
// UTF-8; a character may be split between two pieces.
class Utf8Checker {
 public:
  void add(std::string_view piece);
  // True when everything added so far is valid UTF-8 with no character left
  // unfinished.
  bool valid() const { return valid_ && pending_.empty(); }

 private:
  bool valid_ = true;
  std::string pending_;  // the start of a character cut at the end of a piece
};

// The text's characters, in order, each as a view into `text`.
std::vector<std::string_view> splitCharacters(std::string_view text);

std::size_t characterCount(std::string_view text);

// The text's Unicode code points, in order; nothing when it is not valid
// UTF-8 (an overlong form, a surrogate, a character cut short).
std::optional<std::u32string> utf8CodePoints(std::string_view text);

// The first `count` characters of the text (all of it when it is shorter).
std::string_view leadingCharacters(std::string_view text, std::size_t count);

// The byte length of the character at byte `pos` of a text (pos below its
// size): of its UTF-8 sequence when `utf8` (the text is valid UTF-8, as
// isValidUtf8 tells), else 1.
std::size_t characterLengthAt(std::string_view text, std::size_t pos, bool utf8);

// The characters from position `first` (from 1) to `last` inclusive; empty
// when the range is empty or lies beyond the text.
std::string_view characterRange(std::string_view text, std::size_t first, std::size_t last);

}  // namespace lotrano
