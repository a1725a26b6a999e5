#include "host/text/char_utils.h"

namespace lotrano {

std::int32_t isLetter(char c) {
  const unsigned code = static_cast<unsigned char>(c);
  return ((code >= 65 && code <= 90) || (code >= 97 && code <= 122)) ? kTrue : kFalse;
}

std::int32_t isDigit(char c) {
  const unsigned code = static_cast<unsigned char>(c);
  return (code >= 48 && code <= 57) ? kTrue : kFalse;
}

std::int32_t decimalWidth(std::int32_t n) {
  if (n == 0) return 1;
  // The magnitude as unsigned, so that -2147483648 has 2147483648 digits' worth.
  std::uint32_t magnitude =
      n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
  std::int32_t width = n < 0 ? 1 : 0;
  while (magnitude != 0) {
    magnitude /= 10;
    ++width;
  }
  return width;
}

}  // namespace lotrano
