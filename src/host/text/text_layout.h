// Line layouts: how every console and file line is written. A TextLayout is
// an ordered list of items (texts, integers in a fixed, widening, minimal or
// default width, column tabs and skips, line breaks, the open-line and stop
// markers) applied to an ordered list of values.
//
// Applying a layout: items are taken in order, each value item consuming the
// next value. The layout ends at a value item when no value is left, at a
// stop marker when no value is left, or at its end. At its end the line is
// ended unless the layout ends with the open-line marker; if values are left
// over, the line is ended and the layout starts over on a new line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "host/text/fixed_text.h"
#include "host/text/text_stream.h"

namespace lotrano {

struct LayoutItem {
  enum class Kind { kText, kInteger, kTab, kSkip, kLineBreak, kOpenLine, kStop };
  Kind kind;
  // Text: width, or kNaturalWidth. Integer: width, or kMinimalWidth.
  // Tab: the column. Skip: the number of columns.
  int size = 0;
  // Integer of a fixed width only: a value too wide for the field takes the
  // columns it needs instead of becoming asterisks.
  bool widens = false;
};

inline constexpr int kNaturalWidth = -1;
inline constexpr int kMinimalWidth = 0;
inline constexpr int kDefaultIntegerWidth = 12;

// Item makers, so that layouts read like the lines they describe.
namespace item {
inline LayoutItem text() { return {LayoutItem::Kind::kText, kNaturalWidth}; }
inline LayoutItem text(int width) { return {LayoutItem::Kind::kText, width}; }
inline LayoutItem integer(int width) { return {LayoutItem::Kind::kInteger, width}; }
// Right-aligned in `width` columns like integer(width), but never asterisks:
// a wider value is written whole, in as many columns as it needs.
inline LayoutItem widening(int width) { return {LayoutItem::Kind::kInteger, width, true}; }
inline LayoutItem minimal() { return {LayoutItem::Kind::kInteger, kMinimalWidth}; }
inline LayoutItem defaultInteger() { return {LayoutItem::Kind::kInteger, kDefaultIntegerWidth}; }
inline LayoutItem tab(int column) { return {LayoutItem::Kind::kTab, column}; }
inline LayoutItem skip(int columns) { return {LayoutItem::Kind::kSkip, columns}; }
inline LayoutItem lineBreak() { return {LayoutItem::Kind::kLineBreak, 0}; }
inline LayoutItem openLine() { return {LayoutItem::Kind::kOpenLine, 0}; }
inline LayoutItem stop() { return {LayoutItem::Kind::kStop, 0}; }
}  // namespace item

using TextLayout = std::vector<LayoutItem>;
using LayoutValue = std::variant<std::int32_t, std::string>;
using LayoutValues = std::vector<LayoutValue>;

// The lines a layout produces, as they would be written.
struct LaidOutLines {
  std::vector<std::string> lines;   // every line; the last one may be open
  bool lastLineOpen = false;        // the layout ended with the open-line marker
  bool conversionOverflow = false;  // some integer did not fit and became asterisks
};

// Applies a layout to values; `startColumn` is the number of columns already
// written on the line it continues (0 for a new line). A value of the wrong
// kind for its item, and a field width below kNaturalWidth (texts) or
// kMinimalWidth (integers), are programming errors (std::invalid_argument).
LaidOutLines applyLayout(const TextLayout& layout, const LayoutValues& values,
                         std::size_t startColumn = 0);

// Writes the values to the sink as the layout says, each line as soon as it
// is laid out. An integer too wide for its field (other than a widening one)
// is written as asterisks; the program's own fixed fields are all wide
// enough for what they hold. The second form takes the values as written at
// the call, without a list of its own.
void writeLine(TextSink& sink, const TextLayout& layout, const LayoutValues& values);
void writeLine(TextSink& sink, const TextLayout& layout, std::initializer_list<LayoutValue> values);

// The free-form line: one blank, the text, the line end.
void writeFree(TextSink& sink, std::string_view text);

// Fills the text as one line of its length would be, blank-padded; an
// integer too wide for its field becomes asterisks, as for writeLine. A
// layout that needs more columns (or more than one line) is the fatal
// "output statement overflows record" naming `context`.
void formatIntoText(FixedText& target, const TextLayout& layout, const LayoutValues& values,
                    const std::string& context = "internal text");

}  // namespace lotrano
