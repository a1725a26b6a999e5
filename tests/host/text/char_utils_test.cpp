#include "host/text/char_utils.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace lotrano {
namespace {

TEST(CharUtils, LetterTestKnowsOnlyAsciiLetters) {
  for (int code = 0; code < 256; ++code) {
    const bool letter = (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
    EXPECT_EQ(isLetter(static_cast<char>(code)), letter ? -1 : 0) << "code " << code;
  }
}

TEST(CharUtils, DigitTestKnowsOnlyAsciiDigits) {
  for (int code = 0; code < 256; ++code) {
    const bool digit = code >= '0' && code <= '9';
    EXPECT_EQ(isDigit(static_cast<char>(code)), digit ? -1 : 0) << "code " << code;
  }
}

TEST(CharUtils, DecimalWidthIsExactAcrossTheRange) {
  const struct {
    std::int32_t value;
    std::int32_t width;
  } cases[] = {
      {0, 1},         {9, 1},           {10, 2},          {-1, 2},           {-10, 3},
      {99, 2},        {100, 3},         {-9, 2},          {9999999, 7},      {10000000, 8},
      {999999999, 9}, {1000000000, 10}, {2147483647, 10}, {-2147483647, 11}, {-2147483648, 11},
  };
  for (const auto& c : cases) EXPECT_EQ(decimalWidth(c.value), c.width) << c.value;
}

}  // namespace
}  // namespace lotrano
