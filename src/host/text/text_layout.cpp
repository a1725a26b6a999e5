#include "host/text/text_layout.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <stdexcept>

#include "host/text/char_utils.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

// One line under construction. Columns count from 1 and each holds one
// character. While every character placed is a single byte (ASCII, or a text
// that is not UTF-8) the line is kept as its bytes; the first character of
// several bytes turns it into a row of cells, one character each.
class LineBuilder {
 public:
  explicit LineBuilder(std::size_t startColumn) : base_(startColumn) {}

  void place(std::string_view text) {
    const std::size_t count = characterCount(text);
    const std::size_t end = column_ + count;
    if (!wide_ && count == text.size()) {
      if (end > bytes_.size()) bytes_.resize(end, ' ');
      bytes_.replace(column_, count, text);
      column_ = end;
      return;
    }
    if (!wide_) {
      wide_ = true;
      cells_.resize(bytes_.size());
      for (std::size_t k = 0; k < bytes_.size(); ++k) cells_[k].assign(bytes_.substr(k, 1));
    }
    if (end > cells_.size()) cells_.resize(end);
    forEachCharacter(text,
                     [this](std::string_view character) { cells_[column_++].assign(character); });
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
  std::string take() {
    std::string line;
    if (wide_) {
      for (const Cell& cell : cells_) line.append(cell.bytes.data(), cell.size);
    } else {
      line.swap(bytes_);
    }
    bytes_.clear();
    cells_.clear();
    wide_ = false;
    column_ = 0;
    base_ = 0;
    return line;
  }

 private:
  // A character in place: a UTF-8 sequence, four bytes at most; a blank
  // until something is written there.
  struct Cell {
    std::array<char, 4> bytes{' '};
    std::uint8_t size = 1;
    void assign(std::string_view character) {
      const std::size_t length = std::min(character.size(), bytes.size());
      std::copy_n(character.begin(), length, bytes.begin());
      size = static_cast<std::uint8_t>(length);
    }
  };

  std::size_t base_;
  std::size_t column_ = 0;
  bool wide_ = false;
  std::string bytes_;
  std::vector<Cell> cells_;
};

std::string integerField(std::int32_t value, const LayoutItem& it, bool& overflow) {
  std::string digits = decimalText(value);
  if (it.size == kMinimalWidth) return digits;
  const auto w = static_cast<std::size_t>(it.size);
  if (digits.size() > w) {
    if (it.widens) return digits;
    overflow = true;
    return std::string(w, '*');
  }
  return std::string(w - digits.size(), ' ') + digits;
}

std::string textField(const std::string& text, int width) {
  if (width == kNaturalWidth) return text;
  const auto w = static_cast<std::size_t>(width);
  const std::size_t length = characterCount(text);
  // The cut goes through padOrCut: the first w bytes of a text that is not
  // UTF-8 may read as UTF-8 on their own, and so as fewer than w characters.
  if (length >= w) return padOrCut(text, w);
  return std::string(w - length, ' ') + text;
}

bool takesValue(const LayoutItem& it) {
  return it.kind == LayoutItem::Kind::kText || it.kind == LayoutItem::Kind::kInteger;
}

// A field width below the smallest meaningful one would otherwise be taken as
// an enormous unsigned width.
void checkWidths(const TextLayout& layout) {
  for (const LayoutItem& it : layout) {
    const int smallest = it.kind == LayoutItem::Kind::kText ? kNaturalWidth : kMinimalWidth;
    if (takesValue(it) && it.size < smallest) {
      throw std::invalid_argument("layout: negative field width");
    }
  }
}

}  // namespace

LaidOutLines applyLayout(const TextLayout& layout, const LayoutValues& values,
                         std::size_t startColumn) {
  checkWidths(layout);
  LaidOutLines result;
  LineBuilder line(startColumn);
  std::size_t next = 0;
  // A layout without a value item never consumes values, so it never starts over.
  const bool consumesValues = std::any_of(layout.begin(), layout.end(), takesValue);
  while (true) {
    bool ranOut = false;
    result.lastLineOpen = false;
    for (const LayoutItem& it : layout) {
      // Only an open-line marker that stands last leaves the line open.
      result.lastLineOpen = it.kind == LayoutItem::Kind::kOpenLine;
      // A value item, or the stop marker, ends the layout once no value is left.
      if ((takesValue(it) || it.kind == LayoutItem::Kind::kStop) && next == values.size()) {
        ranOut = true;
        result.lastLineOpen = false;
        break;
      }
      switch (it.kind) {
        case LayoutItem::Kind::kText: {
          const auto* text = std::get_if<std::string>(&values[next++]);
          if (text == nullptr) throw std::invalid_argument("layout: text item given an integer");
          line.place(textField(*text, it.size));
          break;
        }
        case LayoutItem::Kind::kInteger: {
          const auto* number = std::get_if<std::int32_t>(&values[next++]);
          if (number == nullptr) throw std::invalid_argument("layout: integer item given a text");
          line.place(integerField(*number, it, result.conversionOverflow));
          break;
        }
        case LayoutItem::Kind::kTab:
          line.tabTo(it.size);
          break;
        case LayoutItem::Kind::kSkip:
          line.skip(it.size);
          break;
        case LayoutItem::Kind::kLineBreak:
          result.lines.push_back(line.take());
          break;
        case LayoutItem::Kind::kOpenLine:
        case LayoutItem::Kind::kStop:
          break;
      }
    }
    // Values left over: the line ends and the layout starts over on a new line.
    if (ranOut || next == values.size() || !consumesValues) break;
    result.lines.push_back(line.take());
  }
  result.lines.push_back(line.take());
  return result;
}

namespace {

void reportConversionOverflow(std::ostream& diagnostics, const std::string& name) {
  diagnostics << diagnosticLine(ErrorCode::kOutputConversion, name) << '\n';
  diagnostics.flush();
}

}  // namespace

void writeLine(TextSink& sink, const TextLayout& layout, const LayoutValues& values) {
  const LaidOutLines laid = applyLayout(layout, values, sink.openColumns());
  for (std::size_t i = 0; i < laid.lines.size(); ++i) {
    const bool last = i + 1 == laid.lines.size();
    sink.write(laid.lines[i], !(last && laid.lastLineOpen));
  }
  if (laid.conversionOverflow) reportConversionOverflow(sink.diagnostics(), sink.name());
}

void writeFree(TextSink& sink, std::string_view text) {
  std::string line = " ";
  line += text;
  sink.write(line, true);
}

void formatIntoText(FixedText& target, const TextLayout& layout, const LayoutValues& values,
                    std::ostream& diagnostics, const std::string& context) {
  const LaidOutLines laid = applyLayout(layout, values);
  if (laid.lines.size() != 1 || characterCount(laid.lines.front()) > target.length()) {
    throw FatalError(ErrorCode::kRecordOverflow, context);
  }
  target.assign(laid.lines.front());
  if (laid.conversionOverflow) reportConversionOverflow(diagnostics, context);
}

}  // namespace lotrano
