#include "host/text/fixed_text.h"

#include <gtest/gtest.h>

namespace lotrano {
namespace {

TEST(FixedText, PadsCutsAndTrims) {
  const struct {
    std::size_t length;
    const char* text;
    const char* field;
    std::size_t used;
  } cases[] = {
      {5, "ab", "ab   ", 2},       {5, "abcdefg", "abcde", 5},
      {5, "", "     ", 0},         {6, " a b  ", " a b  ", 4},
      {3, "ăîș", "ăîș", 3},  // UTF-8: three characters, six bytes
      {4, "Ștefan", "Ște\x66", 4}, {4, "\xC3\xA9\xFF", "\xC3\xA9\xFF ", 3},  // not UTF-8: bytes
  };
  for (const auto& c : cases) {
    const FixedText field(c.length, c.text);
    EXPECT_EQ(field.str(), c.field) << c.text;
    EXPECT_EQ(usedLength(field.str()), c.used) << c.text;
  }
  FixedText destination(10);
  EXPECT_EQ(trimmedCopy(destination, "abc   "), 3u);
  EXPECT_EQ(destination.str(), "abc       ");
}

TEST(FixedText, FindAnyOfAndDecimalText) {
  EXPECT_EQ(findAnyOf("Grupa 1.rez", "."), 8u);
  EXPECT_EQ(findAnyOf("Grupa 1.rez", "["), 0u);
  EXPECT_EQ(findAnyOf("Grupa 1.rez", "[."), 8u);
  EXPECT_EQ(findAnyOf("", "."), 0u);
  EXPECT_EQ(findAnyOf("a.b", ""), 0u);
  EXPECT_EQ(findAnyOf("Ș.G", "G"), 3u);
  EXPECT_EQ(decimalText(0), "0");
  EXPECT_EQ(decimalText(2013), "2013");
  EXPECT_EQ(decimalText(-2147483647 - 1), "-2147483648");
}

}  // namespace
}  // namespace lotrano
