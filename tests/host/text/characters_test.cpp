#include "host/text/characters.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

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

TEST(Characters, Utf8CheckerTakesTextInPiecesCutAnywhere) {
  const struct {
    const char* what;
    std::string text;
    bool valid;
  } cases[] = {
      {"ASCII", "Grupa 311 AC\r\n1 Ana\r\n", true},
      {"letters of two, three and four bytes", "Ștefan – Țăranu 😀 ăâîșț", true},
      {"empty", "", true},
      {"a Windows-1250 letter", "1 \xAAtefan", false},
      {"a character cut at the end", "Ana \xC8", false},
      {"four bytes cut after three", "x \xF0\x9F\x98", false},
      {"overlong form", "\xC0\x80", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"a lead byte that no character has", "a\xF8\x88\x80\x80\x80", false},
      {"a continuation byte alone",
       "a\x80"
       "b",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(isValidUtf8(c.text), c.valid);
    // Every way of cutting the text into two and into three pieces.
    for (std::size_t first = 0; first <= c.text.size(); ++first) {
      for (std::size_t second = first; second <= c.text.size(); ++second) {
        Utf8Checker checker;
        checker.add(std::string_view(c.text).substr(0, first));
        checker.add(std::string_view(c.text).substr(first, second - first));
        checker.add(std::string_view(c.text).substr(second));
        EXPECT_EQ(checker.valid(), c.valid) << first << " " << second;
      }
    }
  }
}

}  // namespace
}  // namespace lotrano
