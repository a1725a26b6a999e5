// Character tests and the decimal width of an integer. The tests answer with
// the truth values -1 (true) and 0 (false); callers look at the lowest bit.
// Characters are single bytes taken as unsigned codes; no locale is consulted.
#pragma once

#include <cstdint>

namespace lotrano {

inline constexpr std::int32_t kTrue = -1;
inline constexpr std::int32_t kFalse = 0;

// -1 for "A".."Z" and "a".."z" (codes 65-90, 97-122), 0 for every other code.
std::int32_t isLetter(char c);

// -1 for "0".."9" (codes 48-57), 0 otherwise.
std::int32_t isDigit(char c);

// Number of characters of the decimal text of n: the digits of its magnitude,
// plus one for the "-" of a negative n. Exact for every 32-bit value.
std::int32_t decimalWidth(std::int32_t n);

}  // namespace lotrano
