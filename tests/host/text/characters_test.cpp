#include "host/text/characters.h"

#include <gtest/gtest.h>

namespace lotrano {
namespace {

TEST(Characters, CountsUtf8OnlyWhenTheWholeTextIsValid) {
  EXPECT_EQ(characterCount("abc"), 3u);
  EXPECT_EQ(characterCount("Țară"), 4u);
  EXPECT_EQ(characterCount("\xD5\xE3ra"), 4u);    // single-byte code page
  EXPECT_EQ(characterCount("\xC0\x80"), 2u);      // overlong form is no UTF-8
  EXPECT_EQ(characterCount("\xED\xA0\x80"), 3u);  // surrogate
  EXPECT_EQ(characterRange("Țară mea", 2, 4), "ară");
  EXPECT_EQ(characterRange("abc", 4, 9), "");
  EXPECT_EQ(leadingCharacters("Ștefan", 2), "Șt");
}

}  // namespace
}  // namespace lotrano
