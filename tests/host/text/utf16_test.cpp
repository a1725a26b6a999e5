#include "host/text/utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace lotrano {
namespace {

// The bytes of UTF-16 code units in one byte order.
std::string bytesOf(const std::u16string& units, Utf16Order order) {
  std::string bytes;
  for (const char16_t unit : units) {
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    bytes += order == Utf16Order::kLittleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

constexpr Utf16Order kOrders[] = {Utf16Order::kLittleEndian, Utf16Order::kBigEndian};

TEST(Utf16, OnlyAByteOrderMarkMakesATextUtf16) {
  const struct {
    std::string start;
    std::optional<Utf16Order> order;
  } cases[] = {
      {"\xFF\xFEG\0", Utf16Order::kLittleEndian},
      {std::string("\xFE\xFF\0G", 4), Utf16Order::kBigEndian},
      {"\xFF\xFE", Utf16Order::kLittleEndian},
      {"\xEF\xBB\xBFGrupa", std::nullopt},       // UTF-8's mark
      {std::string("G\0r\0", 4), std::nullopt},  // UTF-16 without a mark is not guessed
      {"\xFF", std::nullopt},                    // half a mark
      {"\xFE\xFE", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    EXPECT_EQ(utf16ByteOrder(c.start), c.order);
  }
}

TEST(Utf16, TextsAsUtf8InEitherByteOrder) {
  const struct {
    const char* what;
    std::u16string units;
    std::string utf8;
  } cases[] = {
      {"Romanian letters", u"Grupa 311 Ștefan Țăranu îâ", "Grupa 311 Ștefan Țăranu îâ"},
      {"line ends and a NUL stay", std::u16string(u"a\r\nb\0c", 6), std::string("a\r\nb\0c", 6)},
      {"a pair: one character of four bytes", u"x\U0001F600y", "x\xF0\x9F\x98\x80y"},
      {"a lone high surrogate",
       u"a\xD83D"
       u"b",
       "a\uFFFDb"},
      {"a lone low surrogate",
       u"a\xDE00"
       u"b",
       "a\uFFFDb"},
      {"two high surrogates, then a low one", u"\xD83D\xD83D\xDE00", "\uFFFD\U0001F600"},
      {"a high surrogate last", u"ab\xD83D", "ab\uFFFD"},
      {"a mark inside the text is a character",
       u"a\xFEFF"
       u"b",
       "a\uFEFFb"},
  };
  for (const auto& c : cases) {
    for (const Utf16Order order : kOrders) {
      SCOPED_TRACE(std::string(c.what) + (order == Utf16Order::kLittleEndian ? ", LE" : ", BE"));
      const std::string mark = order == Utf16Order::kLittleEndian ? "\xFF\xFE" : "\xFE\xFF";
      // The text's own mark is left out.
      EXPECT_EQ(utf16ToUtf8(mark + bytesOf(c.units, order), order), c.utf8);
      EXPECT_EQ(utf16ToUtf8(bytesOf(c.units, order), order), c.utf8);
    }
  }
  // A last byte without its partner is not dropped unseen.
  EXPECT_EQ(utf16ToUtf8(std::string("\xFF\xFEG\0r", 5), Utf16Order::kLittleEndian), "G\uFFFD");
}

TEST(Utf16, TextCutIntoPiecesAnywhereDecodesTheSame) {
  const std::u16string units = u"Ştefan \U0001F600 Ţ";
  for (const Utf16Order order : kOrders) {
    const std::string bytes = bytesOf(units, order);
    const std::string whole = utf16ToUtf8(bytes, order);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      SCOPED_TRACE(cut);
      Utf16Decoder decoder(order);
      std::string utf8;
      decoder.add(std::string_view(bytes).substr(0, cut), utf8);
      decoder.add(std::string_view(bytes).substr(cut), utf8);
      decoder.finish(utf8);
      EXPECT_EQ(utf8, whole);
    }
  }
}

// A reader that hands out a text `step` bytes at a time, and fails at its
// end when told to.
struct PieceReader {
  std::string bytes;
  std::size_t step;
  bool failAtEnd = false;
  std::size_t at = 0;

  std::size_t read(char* buffer, std::size_t size) {
    const std::size_t count = std::min({size, step, bytes.size() - at});
    std::memcpy(buffer, bytes.data() + at, count);
    at += count;
    return count;
  }
  bool failed() const { return failAtEnd && at == bytes.size(); }
};

std::vector<std::string> linesOf(PieceReader& reader, Utf16Order order, LongLines longLines,
                                 ReadStatus& last) {
  LineSource source =
      utf16Lines([&reader](char* b, std::size_t n) { return reader.read(b, n); },
                 [&reader] { return reader.failed(); }, order, "lista.txt", longLines);
  EXPECT_EQ(source.name(), "lista.txt");
  std::vector<std::string> lines;
  std::string line;
  while ((last = source.next(line)) == ReadStatus::kLine) lines.push_back(line);
  return lines;
}

TEST(Utf16, LinesOfAFileInUtf8WithoutTheirMarkOrLineEnds) {
  const std::u16string units = u"\xFEFFGrupa 311 AC\r\n1. Ştefan Ţăranu\n\r\n2 Ana\U0001F600";
  const std::vector<std::string> lines = {"Grupa 311 AC", "1. Ştefan Ţăranu", "",
                                          "2 Ana\U0001F600"};
  for (const Utf16Order order : kOrders) {
    for (const std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
      SCOPED_TRACE(std::to_string(step) + (order == Utf16Order::kLittleEndian ? " LE" : " BE"));
      PieceReader reader{bytesOf(units, order), step};
      ReadStatus last = ReadStatus::kLine;
      EXPECT_EQ(linesOf(reader, order, LongLines::kCut, last), lines);
      EXPECT_EQ(last, ReadStatus::kEnd);
    }
  }
}

TEST(Utf16, LongLinesAreCutOrRefusedAndAFailedReadIsAnError) {
  const std::u16string longLine = std::u16string(kMaxLineBytes + 10, u'x') + u"\n2 Ana\n";
  for (const Utf16Order order : kOrders) {
    PieceReader cut{bytesOf(u"\xFEFF" + longLine, order), 4096};
    ReadStatus last = ReadStatus::kLine;
    const auto lines = linesOf(cut, order, LongLines::kCut, last);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(kMaxLineBytes, 'x'));
    EXPECT_EQ(lines[1], "2 Ana");

    PieceReader refused{bytesOf(u"\xFEFF" + longLine, order), 4096};
    EXPECT_TRUE(linesOf(refused, order, LongLines::kRefuse, last).empty());
    EXPECT_EQ(last, ReadStatus::kTooLong);

    PieceReader failing{bytesOf(u"\xFEFFGrupa 1\n1 Ana", order), 4096, true};
    EXPECT_EQ(linesOf(failing, order, LongLines::kCut, last), std::vector<std::string>{"Grupa 1"});
    EXPECT_EQ(last, ReadStatus::kError);
  }
}

}  // namespace
}  // namespace lotrano
