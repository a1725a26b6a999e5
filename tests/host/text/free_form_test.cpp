#include "host/text/free_form.h"

#include <gtest/gtest.h>

#include "support/fatal_matchers.h"

namespace lotrano {
namespace {

struct TwoIntegers {
  std::int32_t first = 0;
  std::int32_t second = 0;
};

TwoIntegers readTwo(const std::string& input, TwoIntegers start = {-5, -6}) {
  LineSource source = textSource(input, "console");
  readFreeValues(source, {&start.first, &start.second});
  return start;
}

TEST(FreeForm, ReadsTwoIntegersAcrossSeparatorsLinesAndNulls) {
  const struct {
    const char* input;
    std::int32_t first, second;
  } cases[] = {
      {"3,5\n", 3, 5},
      {"3 5\n", 3, 5},
      {"3\t5\n", 3, 5},
      {"  3 ,  5  \n", 3, 5},
      {"3\n5\n", 3, 5},
      {"3\n\n\n5\n", 3, 5},  // empty lines are passed over
      {"\n  \n3 5\n", 3, 5},
      {"3\r\n5\r\n", 3, 5},  // lines from Windows
      {"3/\n5\n", 3, -6},    // a slash ends the read
      {"/\n", -5, -6},
      {",5\n", -5, 5},  // a leading comma is a null value
      {"3,,\n", 3, -6},
      {" , , 7\n", -5, -6},  // two nulls fill both targets
      {"2*9\n", 9, 9},       // r*v
      {"2*\n", -5, -6},      // r* nulls
      {"1*,4\n", -5, 4},
      {"+12 -2147483648\n", 12, -2147483648},
      {"2147483647 0\n", 2147483647, 0},
      {"1 2 3 4\n9 9\n", 1, 2},  // the rest of the line is skipped
      {"3\n5", 3, 5},            // a last line without its line end
  };
  for (const auto& c : cases) {
    const TwoIntegers got = readTwo(c.input);
    EXPECT_EQ(got.first, c.first) << c.input;
    EXPECT_EQ(got.second, c.second) << c.input;
  }
}

TEST(FreeForm, NextReadStartsOnANewLine) {
  LineSource source = textSource("1 2 3\n4\n", "console");
  std::int32_t a = 0, b = 0;
  readFreeValues(source, {&a});
  readFreeValues(source, {&b});
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 4);
}

TEST(FreeForm, BadIntegersAreFatal) {
  const struct {
    const char* input;
    ErrorCode code;
  } cases[] = {
      {"abc\n", ErrorCode::kListSyntax},
      {"'12'\n", ErrorCode::kListSyntax},
      {"x5\n", ErrorCode::kListSyntax},
      {"12a\n", ErrorCode::kInputConversion},
      {"1.5\n", ErrorCode::kInputConversion},
      {"-\n", ErrorCode::kInputConversion},
      {"2147483648\n", ErrorCode::kInputConversion},
      {"-2147483649\n", ErrorCode::kInputConversion},
      {"99999999999999999999999\n", ErrorCode::kInputConversion},
      {"0*5\n", ErrorCode::kListSyntax},
      {"", ErrorCode::kEndOfFile},
      {"\n\n", ErrorCode::kEndOfFile},
      {"7\n", ErrorCode::kEndOfFile},  // the second value never comes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_FATAL(readTwo(c.input), c.code, "console");
  }
}

TEST(FreeForm, ReadsTextsQuotedAndUnquoted) {
  const struct {
    const char* input;
    const char* text;  // 15 characters
  } cases[] = {
      {"Grupa 331\n", "Grupa          "},
      {"'Grupa 331'\n", "Grupa 331      "},
      {"\"Grupa, 1/2\"\n", "Grupa, 1/2     "},
      {"'it''s'\n", "it's           "},
      {"\"say \"\"hi\"\"\"\n", "say \"hi\"       "},
      {"abcdefghijklmnopqrst\n", "abcdefghijklmno"},
      {"1234\n", "1234           "},
      {"a,b\n", "a              "},
      {"a/b\n", "a              "},
      {"a\tb\n", "a              "},
      {"'open quote\n", "open quote     "},  // ends at the end of its line
      {"Ştefănescu\n", "Ştefănescu     "},
  };
  for (const auto& c : cases) {
    LineSource source = textSource(c.input, "console");
    FixedText text(15);
    readFreeValues(source, {&text});
    EXPECT_EQ(text.str(), c.text) << c.input;
  }
}

TEST(FreeForm, NullOrSlashLeavesTheTextAsItWas) {
  for (const char* input : {",\n", "/\n"}) {
    LineSource source = textSource(input, "console");
    FixedText text(15);
    readFreeValues(source, {&text});
    EXPECT_EQ(text.str(), std::string(15, ' ')) << input;
  }
}

TEST(FreeForm, SeedEntryLabelThenPair) {
  LineSource source = textSource(
      " seed_1:\r\n   123456789  1987654321\r\n anything at all\r\n 5 6\r\n", "Seed.dat");
  for (const auto& [first, second] : {std::pair{123456789, 1987654321}, std::pair{5, 6}}) {
    FixedText label(80);
    std::int32_t a = 0, b = 0;
    readFreeValues(source, {&label});
    readFreeValues(source, {&a, &b});
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, second);
  }
  FixedText label(80);
  EXPECT_FATAL(readFreeValues(source, {&label}), ErrorCode::kEndOfFile, "Seed.dat");
}

TEST(FixedWidthReads, TextLinesAreCutOrFilled) {
  LineSource source =
      textSource("0123456789\n" + std::string(100, 'x') + "\n\nR and more\n", "Dat/g.dat");
  EXPECT_EQ(readFixedText(source, 80).str(), "0123456789" + std::string(70, ' '));
  EXPECT_EQ(readFixedText(source, 80).str(), std::string(80, 'x'));
  EXPECT_EQ(readFixedText(source, 1).str(), " ");
  EXPECT_EQ(readFixedText(source, 1).str(), "R");
  EXPECT_FALSE(tryReadFixedText(source, 80).has_value());
  EXPECT_FATAL(readFixedText(source, 80), ErrorCode::kEndOfFile, "Dat/g.dat");
}

TEST(FixedWidthReads, IntegerFromText) {
  const struct {
    const char* text;
    std::size_t width;
    std::int32_t value;
  } cases[] = {{" ", 1, 0},     {"7", 1, 7},     {"9]", 1, 9},
               {" 1 2", 4, 12}, {"-3  ", 4, -3}, {"+8", 2, 8}};
  for (const auto& c : cases)
    EXPECT_EQ(readIntegerFromText(c.text, FieldWidth{c.width}, "name"), c.value) << c.text;
  EXPECT_FATAL(readIntegerFromText("x", FieldWidth{1}, "name"), ErrorCode::kInputConversion,
               "name");
  EXPECT_FATAL(readIntegerFromText("]", FieldWidth{1}, "name"), ErrorCode::kInputConversion,
               "name");

  EXPECT_EQ(readIntegerFromText("1231", kFreeForm, "Dat/g.dat"), 1231);
  EXPECT_FATAL(readIntegerFromText("", kFreeForm, "Dat/g.dat"), ErrorCode::kEndOfFile, "Dat/g.dat");
  EXPECT_FATAL(readIntegerFromText("99999999999", kFreeForm, "Dat/g.dat"),
               ErrorCode::kInputConversion, "Dat/g.dat");
}

}  // namespace
}  // namespace lotrano
