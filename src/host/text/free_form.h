// Reading typed answers and file lines: the free-form reader, the fixed-width
// text reader, and integers read from a piece of text.
//
// Free form: values are separated by blanks, tabs, or one comma with optional
// blanks around it; the end of a line ends a value and reading goes on with
// the next line (empty lines are passed over). A slash ends the read. A comma
// after a comma, or before the first value, is a null value: its target keeps
// what it held. "r*v" stands for r copies of v, "r*" for r null values.
// Texts are quoted ('...' or "...", the quote doubled inside) or unquoted
// (ending at a blank, tab, comma, slash or the line's end). After the last
// value needed the rest of its line is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "host/text/fixed_text.h"
#include "host/text/text_stream.h"

namespace lotrano {

using FreeTarget = std::variant<std::int32_t*, FixedText*>;

// Reads values into the targets, in order. Fatal errors, naming the source:
// "end-of-file during read" when the input ends first; for an integer target,
// "list-directed I/O syntax error" for a value that is no number at all (a
// word, a quoted text) and "input conversion error" for a malformed number
// (such as 12a or a lone sign) or one outside the signed 32-bit range.
void readFreeValues(LineSource& source, const std::vector<FreeTarget>& targets);

// The next line as a text of `width` characters: cut, or filled with blanks.
// The end of the data is fatal.
FixedText readFixedText(LineSource& source, std::size_t width);

// As readFixedText, but the end of the data or a failed read gives nullopt.
std::optional<FixedText> tryReadFixedText(LineSource& source, std::size_t width);

// The two rules an integer is read from a text by, named at every call: a
// field of so many columns, or one value in free form.
struct FieldWidth {
  std::size_t columns = 0;
};
struct FreeForm {};
inline constexpr FreeForm kFreeForm{};

// Reads an integer from the first `width.columns` characters of a text:
// blanks are ignored, all blanks read as 0, a leading sign and digits are
// accepted; any other character is the fatal "input conversion error" naming
// `context`.
std::int32_t readIntegerFromText(std::string_view text, FieldWidth width,
                                 const std::string& context);

// Reads one free-form integer from a piece of text, as readFreeValues would
// from a line holding that text.
std::int32_t readIntegerFromText(std::string_view text, FreeForm, const std::string& context);

}  // namespace lotrano
