// The range of problems as a run holds it: its two ends and their count, and
// its text "start-end" (each end at its own width, no blanks), which the
// result file's name carries and which must fit in five characters. Built
// once, here, for the dialogue and for the report reader alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "alloc/problem_mapping.h"

namespace lotrano {

// The length of the range's text field.
inline constexpr std::size_t kRangeTextLength = 5;

struct RangeWithText {
  ProblemRange range;     // Numar_Start_Problema, Numar_End_Problema, ProblemCount
  std::string RangeText;  // e.g. 1-30
};

// The range from `start` to `end`: ProblemCount = end - start + 1 and its
// text. nullopt when the text is longer than kRangeTextLength characters
// (the range 10-100, say); within it the count cannot overflow.
std::optional<RangeWithText> rangeFromEnds(std::int32_t start, std::int32_t end);

}  // namespace lotrano
