#include "app/range_text.h"

#include "host/text/fixed_text.h"

namespace lotrano {

std::optional<RangeWithText> rangeFromEnds(std::int32_t start, std::int32_t end) {
  std::string text = decimalText(start) + "-" + decimalText(end);
  if (text.size() > kRangeTextLength) return std::nullopt;
  // Five characters, the dash among them, hold ends of at most four
  // characters each, so the count is far inside 32 bits.
  return RangeWithText{{start, end, end - start + 1}, std::move(text)};
}

}  // namespace lotrano
