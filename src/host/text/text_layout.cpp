#include "host/text/text_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <stdexcept>

#include "host/text/char_utils.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

// One line under construction, as a row of character cells; columns count
// from 1 and a cell holds the bytes of one character. While every character
// placed is a single byte (ASCII, or a text that is not UTF-8) the row is kept
// as those bytes, one per column; the first character of several bytes turns
// it into cells of their own. Report lines are ASCII but for some names, so
// most lines never leave the byte row.
class LineBuilder {
 public:
  // Begins a layout on a line that already holds `startColumn` columns.
  void start(std::size_t startColumn) {
    clear();
    base_ = startColumn;
  }

  void place(std::string_view text) {
    if (inCells_ || !isSingleByteText(text)) {
      toCells();
      for (const std::string_view character : splitCharacters(text)) placeCell(character);
      return;
    }
    placeSingleBytes(text);
  }
  // A text known to hold single-byte characters only (digits).
  void placeSingleBytes(std::string_view text) {
    if (inCells_) {
      for (const char byte : text) placeCell(std::string_view(&byte, 1));
      return;
    }
    std::copy(text.begin(), text.end(), columnsFor(text.size()));
  }
  // The next `count` columns, to be filled with single-byte characters by
  // the caller; nullptr once the line is in cells.
  char* byteColumns(std::size_t count) { return inCells_ ? nullptr : columnsFor(count); }
  // `count` copies of a single-byte character: blanks before a number,
  // asterisks for one too wide.
  void placeRepeated(char byte, std::size_t count) {
    if (inCells_) {
      for (std::size_t k = 0; k < count; ++k) placeCell(std::string_view(&byte, 1));
      return;
    }
    std::fill_n(columnsFor(count), count, byte);
  }
  // Column n of the line; columns already written before this layout began
  // cannot be revisited, so a tab into them goes to the first free column.
  void tabTo(int column) {
    const std::size_t wanted = column > 0 ? static_cast<std::size_t>(column) - 1 : 0;
    column_ = wanted > base_ ? wanted - base_ : 0;
  }
  void skip(int columns) {
    if (columns > 0) column_ += static_cast<std::size_t>(columns);
  }
  // The line as it stands; valid until the next change.
  std::string_view text() {
    if (!inCells_) return std::string_view(row_.data(), length_);
    joined_.clear();
    for (const Cell& cell : cells_) joined_.append(cell.bytes.data(), cell.size);
    return joined_;
  }
  // Starts the next line, at its first column.
  void clear() {
    length_ = 0;
    cells_.clear();
    inCells_ = false;
    column_ = 0;
    base_ = 0;
  }

 private:
  // Every character of the text is one byte: it has no byte above 127, or
  // it is not UTF-8 and so is read byte by byte.
  static bool isSingleByteText(std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii || !isValidUtf8(text);
  }

  // The bytes of the next `count` columns of the byte row, from the current
  // column on, which then moves past them. The row grows to hold them; a gap
  // before them (a tab or a skip past the end) becomes blanks.
  char* columnsFor(std::size_t count) {
    const std::size_t end = column_ + count;
    if (end > row_.size()) row_.resize(std::max(end, 2 * row_.size()));
    if (column_ > length_)
      std::fill(row_.begin() + static_cast<std::ptrdiff_t>(length_),
                row_.begin() + static_cast<std::ptrdiff_t>(column_), ' ');
    length_ = std::max(length_, end);
    char* first = row_.data() + column_;
    column_ = end;
    return first;
  }

  // One character: a byte, or the two to four bytes of a UTF-8 sequence.
  struct Cell {
    std::array<char, 4> bytes{' '};
    std::uint8_t size = 1;
  };

  void toCells() {
    if (inCells_) return;
    inCells_ = true;
    cells_.resize(length_);
    for (std::size_t k = 0; k < length_; ++k) cells_[k].bytes[0] = row_[k];
  }

  void placeCell(std::string_view character) {
    if (column_ >= cells_.size()) cells_.resize(column_ + 1);
    Cell& cell = cells_[column_++];
    cell.size = static_cast<std::uint8_t>(std::min(character.size(), cell.bytes.size()));
    std::copy_n(character.begin(), cell.size, cell.bytes.begin());
  }

  std::size_t base_ = 0;
  std::size_t column_ = 0;
  bool inCells_ = false;
  // The byte row: its first length_ bytes; kept, and grown, from line to line.
  std::string row_;
  std::size_t length_ = 0;
  std::vector<Cell> cells_;  // once a character of several bytes is placed
  std::string joined_;       // the cells as one text
};

// An integer right-aligned in its field, or in its own width; asterisks fill
// a field it does not fit, unless the field widens to the digits instead.
void placeInteger(LineBuilder& line, std::int32_t value, int width, bool widens, bool& overflow) {
  // The digits as decimalText gives them, "-" first, here without a text of
  // their own: a report writes thousands of them.
  char digits[12];  // "-2147483648"
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
  const auto count = static_cast<std::size_t>(end - digits);
  const auto w = static_cast<std::size_t>(width);
  if (width == kMinimalWidth || (widens && count > w)) {
    line.placeSingleBytes(std::string_view(digits, count));
    return;
  }
  if (count > w) {
    overflow = true;
    line.placeRepeated('*', w);
    return;
  }
  char* field = line.byteColumns(w);
  if (field == nullptr) {
    line.placeRepeated(' ', w - count);
    line.placeSingleBytes(std::string_view(digits, count));
    return;
  }
  // Filled in place, blanks first: the fields are a few columns wide.
  const std::size_t blanks = w - count;
  for (std::size_t k = 0; k < blanks; ++k) field[k] = ' ';
  for (std::size_t k = 0; k < count; ++k) field[blanks + k] = digits[k];
}

void placeText(LineBuilder& line, const std::string& text, int width) {
  if (width == kNaturalWidth) {
    line.place(text);
    return;
  }
  const auto w = static_cast<std::size_t>(width);
  const std::size_t length = characterCount(text);
  // The cut goes through padOrCut: the first w bytes of a text that is not
  // UTF-8 may read as UTF-8 on their own, and so as fewer than w characters.
  if (length >= w) {
    line.place(padOrCut(text, w));
    return;
  }
  line.placeRepeated(' ', w - length);
  line.place(text);
}

bool takesValue(const LayoutItem& it) {
  return it.kind == LayoutItem::Kind::kText || it.kind == LayoutItem::Kind::kInteger;
}

// A field width below the smallest meaningful one would otherwise be taken as
// an enormous unsigned width. True when the layout has a value item at all.
bool checkWidths(const TextLayout& layout) {
  bool consumesValues = false;
  for (const LayoutItem& it : layout) {
    if (!takesValue(it)) continue;
    consumesValues = true;
    const int smallest = it.kind == LayoutItem::Kind::kText ? kNaturalWidth : kMinimalWidth;
    if (it.size < smallest) throw std::invalid_argument("layout: negative field width");
  }
  return consumesValues;
}

// Applies the layout, handing each line to `emit(text, ended)` as soon as it
// is complete: `ended` is false only for a last line that the open-line
// marker leaves open. True when some integer did not fit its field.
template <typename Emit>
bool layOut(const TextLayout& layout, std::span<const LayoutValue> values, std::size_t startColumn,
            Emit emit) {
  // A layout without a value item never consumes values, so it never starts over.
  const bool consumesValues = checkWidths(layout);
  bool overflow = false;
  bool lastLineOpen = false;
  // Kept from one layout to the next, so that a line's bytes take no new
  // memory once a line as long has been laid out. Layouts do not nest.
  thread_local LineBuilder line;
  line.start(startColumn);
  const auto endLine = [&] {
    emit(line.text(), true);
    line.clear();
  };
  std::size_t next = 0;
  while (true) {
    bool ranOut = false;
    lastLineOpen = false;
    for (const LayoutItem& it : layout) {
      // Only an open-line marker that stands last leaves the line open.
      lastLineOpen = it.kind == LayoutItem::Kind::kOpenLine;
      // A value item, or the stop marker, ends the layout once no value is left.
      if ((takesValue(it) || it.kind == LayoutItem::Kind::kStop) && next == values.size()) {
        ranOut = true;
        lastLineOpen = false;
        break;
      }
      switch (it.kind) {
        case LayoutItem::Kind::kText: {
          const auto* text = std::get_if<std::string>(&values[next++]);
          if (text == nullptr) throw std::invalid_argument("layout: text item given an integer");
          placeText(line, *text, it.size);
          break;
        }
        case LayoutItem::Kind::kInteger: {
          const auto* number = std::get_if<std::int32_t>(&values[next++]);
          if (number == nullptr) throw std::invalid_argument("layout: integer item given a text");
          placeInteger(line, *number, it.size, it.widens, overflow);
          break;
        }
        case LayoutItem::Kind::kTab:
          line.tabTo(it.size);
          break;
        case LayoutItem::Kind::kSkip:
          line.skip(it.size);
          break;
        case LayoutItem::Kind::kLineBreak:
          endLine();
          break;
        case LayoutItem::Kind::kOpenLine:
        case LayoutItem::Kind::kStop:
          break;
      }
    }
    // Values left over: the line ends and the layout starts over on a new line.
    if (ranOut || next == values.size() || !consumesValues) break;
    endLine();
  }
  emit(line.text(), !lastLineOpen);
  return overflow;
}

}  // namespace

LaidOutLines applyLayout(const TextLayout& layout, const LayoutValues& values,
                         std::size_t startColumn) {
  LaidOutLines result;
  result.conversionOverflow =
      layOut(layout, values, startColumn, [&result](std::string_view text, bool ended) {
        result.lines.emplace_back(text);
        result.lastLineOpen = !ended;
      });
  return result;
}

namespace {

void writeValues(TextSink& sink, const TextLayout& layout, std::span<const LayoutValue> values) {
  // Each line goes to the sink as soon as it is laid out: the sink counts the
  // columns of an open line itself.
  layOut(layout, values, sink.openColumns(),
         [&sink](std::string_view text, bool ended) { sink.write(text, ended); });
}

}  // namespace

void writeLine(TextSink& sink, const TextLayout& layout, const LayoutValues& values) {
  writeValues(sink, layout, values);
}

void writeLine(TextSink& sink, const TextLayout& layout,
               std::initializer_list<LayoutValue> values) {
  writeValues(sink, layout, std::span<const LayoutValue>(values.begin(), values.size()));
}

void writeFree(TextSink& sink, std::string_view text) {
  std::string line = " ";
  line += text;
  sink.write(line, true);
}

void formatIntoText(FixedText& target, const TextLayout& layout, const LayoutValues& values,
                    const std::string& context) {
  const LaidOutLines laid = applyLayout(layout, values);
  if (laid.lines.size() != 1 || characterCount(laid.lines.front()) > target.length()) {
    throw FatalError(ErrorCode::kRecordOverflow, context);
  }
  target.assign(laid.lines.front());
}

}  // namespace lotrano
