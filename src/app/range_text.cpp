#include "app/range_text.h"

#include "host/text/char_utils.h"
#include "host/text/fixed_text.h"

namespace lotrano {

std::optional<RangeWithText> rangeFromEnds(std::int32_t start, std::int32_t end) {
  // The decimal widths of the two ends and the dash between them.
  const std::int64_t length = std::int64_t{decimalWidth(start)} + 1 + decimalWidth(end);
  if (length > static_cast<std::int64_t>(kRangeTextLength)) return std::nullopt;
  // Five characters, the dash among them, hold ends of at most four
  // characters each, so the count is far inside 32 bits.
  return RangeWithText{{start, end, end - start + 1}, decimalText(start) + "-" + decimalText(end)};
}

}  // namespace lotrano
