// Fuzzes the line layouts: writeLine on arbitrary layouts and values, two
// lines after one another on one sink (so that an open line is continued),
// and formatIntoText into a text of any length.
//
// Input: byte 0 picks the number of items (0 to 8); each item takes one byte
// for its kind (text, integer, tab, skip, line break, open-line marker, stop
// marker, widening integer) and one for its size (-3 to 64, beyond every
// width and column of the program's layouts; for a text -1 is its natural
// width, for an integer 0 is the minimal width). Then one byte gives the
// number of values (0 to 12); the values follow, each of the kind of the
// value item that takes it (the k-th value goes with the k-th value item,
// counting round the layout): an integer is four bytes, a text a length byte
// (0 to 40) and its bytes. A last byte gives the length of the text to format
// into (0 to 300).
//
// Findings besides crashes: a layout with a negative field width (other than
// the natural width of a text) that is not refused as a programming error, a
// fixed-width field that does not have exactly its width (a widening one: its
// width or the value's, whichever is more), an integer that neither reads
// back from its field nor turns it into asterisks with the overflow noted (a
// widening one always reads back), a fatal error from writing to a sink that
// cannot fail, and a formatted text that is not exactly its length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_bytes.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"
#include "host/text/text_layout.h"

namespace {

using namespace lotrano;
using fuzz::require;

constexpr int kMaxItems = 8;
constexpr int kMinSize = -3;
constexpr int kMaxSize = 64;
constexpr int kMaxValues = 12;
constexpr int kMaxTextValue = 40;
constexpr int kMaxTargetLength = 300;

bool takesValue(const LayoutItem& it) {
  return it.kind == LayoutItem::Kind::kText || it.kind == LayoutItem::Kind::kInteger;
}

bool hasNegativeWidth(const TextLayout& layout) {
  for (const LayoutItem& it : layout) {
    if (it.kind == LayoutItem::Kind::kText && it.size < kNaturalWidth) return true;
    if (it.kind == LayoutItem::Kind::kInteger && it.size < kMinimalWidth) return true;
  }
  return false;
}

template <typename Call>
bool refused(Call call) {
  try {
    call();
  } catch (const std::invalid_argument&) {
    return true;
  }
  return false;
}

// One value item alone, with its value: the field has its width, and an
// integer either reads back from it or fills it with asterisks.
void checkField(const LayoutItem& it, const LayoutValue& value) {
  const LaidOutLines laid = applyLayout({it}, {value});
  require(laid.lines.size() == 1 && !laid.lastLineOpen);
  const std::string& field = laid.lines.front();
  if (it.kind == LayoutItem::Kind::kText) {
    const auto& text = std::get<std::string>(value);
    const std::size_t width =
        it.size == kNaturalWidth ? characterCount(text) : static_cast<std::size_t>(it.size);
    require(characterCount(field) == width);
    return;
  }
  const std::int32_t number = std::get<std::int32_t>(value);
  const std::size_t digits = decimalText(number).size();
  std::size_t width = it.size == kMinimalWidth ? digits : static_cast<std::size_t>(it.size);
  if (it.widens) width = std::max(width, digits);
  require(field.size() == width);
  if (field.find_first_not_of('*') == std::string::npos && !field.empty()) {
    require(laid.conversionOverflow && !it.widens && digits > width);
  } else {
    require(!laid.conversionOverflow);
    require(readIntegerFromText(field, FieldWidth{width}, "field") == number);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzBytes in(data, size);
  TextLayout layout(static_cast<std::size_t>(in.inRange(0, kMaxItems)));
  std::vector<LayoutItem::Kind> valueKinds;
  for (LayoutItem& it : layout) {
    // The seven kinds, and an eighth choice for a widening integer.
    const int kind = in.inRange(0, 7);
    it.kind = kind == 7 ? LayoutItem::Kind::kInteger : static_cast<LayoutItem::Kind>(kind);
    it.widens = kind == 7;
    it.size = in.inRange(kMinSize, kMaxSize);
    if (takesValue(it)) valueKinds.push_back(it.kind);
  }
  LayoutValues values(static_cast<std::size_t>(in.inRange(0, kMaxValues)));
  for (std::size_t k = 0; k < values.size(); ++k) {
    const bool integer = valueKinds.empty()
                             ? in.byte() % 2 == 0
                             : valueKinds[k % valueKinds.size()] == LayoutItem::Kind::kInteger;
    if (integer) {
      values[k] = in.int32();
    } else {
      values[k] = in.text(static_cast<std::size_t>(in.inRange(0, kMaxTextValue)));
    }
  }
  FixedText target(static_cast<std::size_t>(in.inRange(0, kMaxTargetLength)));

  std::ostringstream bytes;
  TextSink sink = streamSink(bytes, "report.rez", kFileLineEnd);
  if (hasNegativeWidth(layout)) {
    require(refused([&] { writeLine(sink, layout, values); }));
    require(bytes.str().empty());
    require(refused([&] { formatIntoText(target, layout, values); }));
    return 0;
  }
  // Every value meets an item of its kind, so neither call may refuse them.
  writeLine(sink, layout, values);
  writeLine(sink, layout, values);

  std::size_t next = 0;
  for (const LayoutItem& it : layout) {
    if (takesValue(it) && next < values.size()) checkField(it, values[next++]);
  }

  try {
    formatIntoText(target, layout, values);
    require(characterCount(target.str()) == target.length());
  } catch (const FatalError& fatal) {
    require(fatal.code() == ErrorCode::kRecordOverflow);
  }
  return 0;
}
