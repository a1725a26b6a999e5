#include "host/text/text_layout.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "support/fatal_matchers.h"

namespace lotrano {
namespace {

using namespace item;

// A sink writing "file" lines with a visible line end, so that every expected
// text shows where each line stops.
struct CapturedFile {
  std::ostringstream bytes;
  TextSink sink = streamSink(bytes, "report.rez", "|\n");
};

TEST(TextLayout, PlacesIntegersTextsAndColumns) {
  const std::string name37 = "Lambda-Omicron Niu Xi Sigma Pi Rhoana";
  ASSERT_EQ(name37.size(), 37u);
  const struct {
    const char* what;
    TextLayout layout;
    LayoutValues values;
    const char* expected;
  } cases[] = {
      {"int 4 of 7", {integer(4)}, {7}, "   7|\n"},
      {"int 4 of -7", {integer(4)}, {-7}, "  -7|\n"},
      {"int 4 of 0", {integer(4)}, {0}, "   0|\n"},
      {"minimal of -12", {minimal()}, {-12}, "-12|\n"},
      {"widening 2 of a value that fits", {widening(2)}, {7}, " 7|\n"},
      {"widening 2 of 100 takes three columns", {widening(2)}, {100}, "100|\n"},
      {"widening 1 of -1 takes two columns",
       {text(), widening(1)},
       {std::string("#"), -1},
       "#-1|\n"},
      {"widened row number and problem",
       {widening(4), tab(10), widening(3)},
       {12345, 1000},
       "12345    1000|\n"},
      {"default width",
       {defaultInteger(), defaultInteger()},
       {123456789, -1},
       "   123456789          -1|\n"},
      {"text of width 3 cuts", {text(3)}, {std::string("abcdef")}, "abc|\n"},
      {"text of width 6 pads in front", {text(6)}, {std::string("abc")}, "   abc|\n"},
      {"tab over a text",
       {text(), tab(10), text(), tab(46), integer(2)},
       {std::string("   2"), name37, 7},
       "   2     Lambda-Omicron Niu Xi Sigma Pi Rhoan 7|\n"},
      {"skip",
       {lineBreak(), text(), skip(3), text()},
       {std::string("a"), std::string("b")},
       "|\na   b|\n"},
      {"tab 2 gives one leading blank",
       {lineBreak(), tab(2), text(), skip(3), text()},
       {std::string("2013-03-05"), std::string("09:05:07")},
       "|\n 2013-03-05   09:05:07|\n"},
      {"line break first gives an empty line before",
       {lineBreak(), text()},
       {std::string("x")},
       "|\nx|\n"},
      {"line break last gives an empty line after",
       {text(), integer(4), lineBreak()},
       {std::string(" n:"), 5},
       " n:   5|\n|\n"},
      {"two line breaks first",
       {lineBreak(), lineBreak(), text()},
       {std::string("h")},
       "|\n|\nh|\n"},
      {"text with no value is an empty line", {text()}, {}, "|\n"},
      {"values left over restart the layout",
       {integer(4), integer(4), text(), integer(4)},
       {1, 2, std::string(":"), 3, 4, 5, std::string(":"), 6},
       "   1   2:   3|\n   4   5:   6|\n"},
      {"stop marker before a line break",
       {text(), stop(), lineBreak(), text()},
       {std::string("a")},
       "a|\n"},
      {"no stop marker: the line break is still carried out",
       {text(), lineBreak(), text()},
       {std::string("a")},
       "a|\n|\n"},
      {"stop marker ends the layout when values run out",
       {text(), stop(), text()},
       {std::string("a")},
       "a|\n"},
      {"without the stop marker the text after it still needs its value",
       {text(), tab(5), text()},
       {std::string("a")},
       "a|\n"},
  };
  for (const auto& c : cases) {
    CapturedFile file;
    writeLine(file.sink, c.layout, c.values);
    EXPECT_EQ(file.bytes.str(), c.expected) << c.what;
    EXPECT_FALSE(applyLayout(c.layout, c.values).conversionOverflow) << c.what;
  }
}

TEST(TextLayout, TooWideIntegerBecomesAsterisksAndIsFlagged) {
  const TextLayout wide = {text(), integer(2), text()};
  const LayoutValues tooWide = {std::string(" p:"), 100, std::string(" end")};
  CapturedFile file;
  writeLine(file.sink, wide, tooWide);
  EXPECT_EQ(file.bytes.str(), " p:** end|\n");
  EXPECT_TRUE(applyLayout(wide, tooWide).conversionOverflow);

  CapturedFile negative;
  writeLine(negative.sink, {text(), integer(1)}, {std::string(" Set de Probleme: #"), -1});
  EXPECT_EQ(negative.bytes.str(), " Set de Probleme: #*|\n");

  FixedText digit(1);
  formatIntoText(digit, {integer(1)}, {12});
  EXPECT_EQ(digit.str(), "*");
}

TEST(TextLayout, OpenLineIsContinuedByTheNextLayout) {
  CapturedFile file;
  for (const int number : {3, 4, 17}) writeLine(file.sink, {integer(5), openLine()}, {number});
  EXPECT_EQ(file.bytes.str(), "    3    4   17");
  writeLine(file.sink, {lineBreak(), text(), minimal(), text()},
            {std::string(" (Numar de probleme: "), 3, std::string(")")});
  EXPECT_EQ(file.bytes.str(), "    3    4   17|\n (Numar de probleme: 3)|\n");
}

TEST(TextLayout, ColumnsCountUtf8CharactersNotBytes) {
  CapturedFile file;
  const std::string name = padOrCut("Ștefan Ţăranu", 37);
  writeLine(file.sink, {integer(4), tab(10), text(), tab(46), integer(2)}, {1, name, 14});
  // Same columns as the ASCII spelling of the name.
  const std::string ascii = "   1     Stefan Taranu                       14|\n";
  const std::string expected = "   1     Ștefan Ţăranu                       14|\n";
  ASSERT_EQ(expected.substr(expected.find("u ")), ascii.substr(ascii.find("u ")));
  EXPECT_EQ(file.bytes.str(), expected);
}

TEST(TextLayout, TextsOverwriteWholeCharactersWhateverTheirBytes) {
  const struct {
    const char* what;
    LayoutValues values;
    const char* expected;
  } cases[] = {
      {"ASCII over ASCII",
       {std::string("abcdef"), std::string("X"), std::string("y")},
       "aycXef|\n"},
      {"a UTF-8 letter over ASCII, then ASCII beside it",
       {std::string("abcdef"), std::string("\xC8\x98"), std::string("y")},
       "ayc\xC8\x98"
       "ef|\n"},
      {"ASCII over UTF-8 letters",
       {std::string("\xC8\x98\xC5\xA2\xC4\x83\xC3\xAE"), std::string("X"), std::string("y")},
       "\xC8\x98y\xC4\x83X|\n"},
      {"bytes of a text that is not UTF-8 are characters each",
       {std::string("\xAA\xBA\xDE\xFE"), std::string("\xDE"), std::string("y")},
       "\xAAy\xDE\xDE|\n"},
      {"a gap before a UTF-8 letter is filled with blanks",
       {std::string("a"), std::string("\xC8\x98"), std::string("")},
       "a  \xC8\x98|\n"},
  };
  for (const auto& c : cases) {
    CapturedFile file;
    writeLine(file.sink, {text(), tab(4), text(), tab(2), text()}, c.values);
    EXPECT_EQ(file.bytes.str(), c.expected) << c.what;
  }
}

// Found by fuzzing: the text is not UTF-8 as a whole (the byte F2 breaks
// it), so its characters are bytes, but its first three bytes alone read as
// two UTF-8 characters. The field still takes its three columns.
TEST(TextLayout, CutTextFieldKeepsItsWidthWhenItsFirstBytesReadAsUtf8) {
  CapturedFile file;
  const std::string broken(
      "\x07\xC8\x98te\xF2"
      "an\0\t",
      10);
  writeLine(file.sink, {text(6), text(3), integer(2)}, {std::string("\xC8\x98te"), broken, 7});
  EXPECT_EQ(file.bytes.str(), "   \xC8\x98te\x07\xC8\x98  7|\n");
}

// Found by fuzzing: a negative width was taken as an enormous unsigned one.
TEST(TextLayout, NegativeFieldWidthIsRefusedBeforeAnythingIsWritten) {
  const struct {
    const char* what;
    TextLayout layout;
    LayoutValues values;
  } cases[] = {
      {"integer", {text(), integer(-7)}, {std::string("a"), 5}},
      {"text below the natural width", {text(-2)}, {std::string("a")}},
      {"item that gets no value", {text(), stop(), integer(-1)}, {std::string("a")}},
  };
  for (const auto& c : cases) {
    CapturedFile file;
    EXPECT_THROW(writeLine(file.sink, c.layout, c.values), std::invalid_argument) << c.what;
    EXPECT_EQ(file.bytes.str(), "") << c.what;
    FixedText target(20);
    EXPECT_THROW(formatIntoText(target, c.layout, c.values), std::invalid_argument) << c.what;
  }
}

TEST(TextLayout, ConsolePromptStaysOpenUntilTheAnswerEndsIt) {
  std::ostringstream out;
  TextSink console = streamSink(out, "console", "\n");
  writeLine(console, {text(), openLine()}, {std::string(" Grupa: ")});
  EXPECT_TRUE(console.lineOpen());
  console.endLineAfterInput(/*echoed=*/false);
  writeLine(console, {lineBreak(), text()}, {std::string(" Mesaj")});
  EXPECT_EQ(out.str(), " Grupa: \n\n Mesaj\n");

  std::ostringstream terminalOut;
  TextSink terminal = streamSink(terminalOut, "console", "\n");
  writeLine(terminal, {text(), openLine()}, {std::string(" Grupa: ")});
  terminal.endLineAfterInput(/*echoed=*/true);  // the terminal echoed the Enter
  writeFree(terminal, "Press any key");
  EXPECT_EQ(terminalOut.str(), " Grupa:  Press any key\n");
}

TEST(TextLayout, FormatIntoTextFillsOrOverflows) {
  const TextLayout range = {minimal(), text(1), minimal()};
  const struct {
    std::int32_t start, end;
    const char* text;
  } fits[] = {
      {1, 30, "1-30 "}, {10, 99, "10-99"}, {1, 100, "1-100"}, {5, 9, "5-9  "}, {-9, 99, "-9-99"}};
  for (const auto& c : fits) {
    FixedText field(5);
    formatIntoText(field, range, {c.start, std::string("-"), c.end});
    EXPECT_EQ(field.str(), c.text);
  }
  FixedText field(5);
  EXPECT_FATAL(formatIntoText(field, range, {1, std::string("-"), 1000}, "range text"),
               ErrorCode::kRecordOverflow, "range text");
  EXPECT_FATAL(formatIntoText(field, range, {10, std::string("-"), 100}, "range text"),
               ErrorCode::kRecordOverflow, "range text");
  FixedText digit(1);
  formatIntoText(digit, {integer(1)}, {2});
  EXPECT_EQ(digit.str(), "2");
}

TEST(TextLayout, FailedWriteIsFatalNamingTheTarget) {
  TextSink broken([](std::string_view) { return false; }, "full.rez", kFileLineEnd);
  EXPECT_FATAL(writeLine(broken, {text()}, {std::string("x")}), ErrorCode::kWriteError, "full.rez");
}

}  // namespace
}  // namespace lotrano
