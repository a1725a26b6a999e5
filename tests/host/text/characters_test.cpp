#include "host/text/characters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

TEST(Characters, CodePointsOfValidUtf8Only) {
  EXPECT_EQ(utf8CodePoints(""), std::u32string());
  EXPECT_EQ(utf8CodePoints("a\x7F"), U"a\x7F");
  EXPECT_EQ(utf8CodePoints("Ș\u0080\u07FF\u0800\uFEFF\U00010000\U0010FFFF"),
            U"Ș\u0080\u07FF\u0800\uFEFF\U00010000\U0010FFFF");
  EXPECT_EQ(utf8CodePoints("s\u0326 t\u0327"), U"s\u0326 t\u0327");
  for (const char* invalid :
       {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "Ana \xC8", "1 \xAAtefan", "\x80"}) {
    EXPECT_EQ(utf8CodePoints(invalid), std::nullopt) << invalid;
  }
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

// The walks over a text (counting, cutting, visiting) take eight ASCII bytes
// at a time and judge the whole text first; the list of characters is the
// reference they must agree with, whatever stands where.
TEST(Characters, EveryWalkAgreesWithTheListOfCharacters) {
  const char* inserts[] = {"\xC8\x9A", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xAA", "\xC8", " "};
  for (const char* insert : inserts) {
    for (std::size_t at = 0; at <= 20; ++at) {
      std::string text(20, 'a');
      text.insert(at, insert);
      text += "  ";
      SCOPED_TRACE(::testing::Message() << "at " << at << ": " << text);
      const auto characters = splitCharacters(text);
      EXPECT_EQ(characterCount(text), characters.size());
      for (std::size_t first = 1; first <= characters.size() + 1; first += 3) {
        for (std::size_t last = first; last <= characters.size() + 2; last += 5) {
          std::string expected;
          for (std::size_t k = first; k <= std::min(last, characters.size()); ++k) {
            expected += characters[k - 1];
          }
          EXPECT_EQ(characterRange(text, first, last), expected) << first << ".." << last;
        }
      }
    }
  }
}

}  // namespace
}  // namespace lotrano
