// Fixed-length texts and the small text services around them. A FixedText is
// a field of a declared length in characters, filled with blanks after its
// text: the lines of a group file, the students' names, the file names and
// the texts read in fixed widths are held in them; other texts (the group as
// shown, the range text, labels) are plain strings. Lengths and positions
// count characters (see characters.h) and positions count from 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lotrano {

class FixedText {
 public:
  explicit FixedText(std::size_t length, std::string_view text = {});

  // Assigns a text: a shorter one is filled with blanks, a longer one keeps
  // its leftmost characters.
  void assign(std::string_view text);

  std::size_t length() const { return length_; }
  // The whole field, padding included.
  const std::string& str() const { return text_; }
  // The field cut to its used length (without trailing blanks).
  std::string_view trimmed() const;

  friend bool operator==(const FixedText&, const FixedText&) = default;

 private:
  std::size_t length_;
  std::string text_;
};

// The text padded with blanks or cut to exactly `length` characters.
std::string padOrCut(std::string_view text, std::size_t length);

// Position of the last non-blank character; 0 for an all-blank text.
std::size_t usedLength(std::string_view text);

// The text without its trailing blanks.
std::string_view withoutTrailingBlanks(std::string_view text);

// Copies the text cut to its used length into the destination; returns that
// used length.
std::size_t trimmedCopy(FixedText& destination, std::string_view text);

// Position of the first character of `text` that is one of `set`'s
// characters; 0 when there is none or when either text is empty.
std::size_t findAnyOf(std::string_view text, std::string_view set);

// The decimal digits of n, "-" first when negative.
std::string decimalText(std::int32_t n);

}  // namespace lotrano
