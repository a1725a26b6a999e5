#include "host/text/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "host/text/characters.h"

namespace lotrano {
namespace {

// One byte as the C library's own Windows-1250 converter reads it: its UTF-8
// form, or nothing when the byte stands for no character.
std::string byLibrary(unsigned char byte) {
  const iconv_t converter = iconv_open("UTF-8", "WINDOWS-1250");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "<no converter>";
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inAt = in;
  char* outAt = out;
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  const std::size_t done = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
  iconv_close(converter);
  if (done == static_cast<std::size_t>(-1)) return {};
  return std::string(out, sizeof out - outLeft);
}

TEST(CodePage, EveryByteAsTheCLibraryReadsIt) {
  const std::string replacement = "\xEF\xBF\xBD";
  int undefined = 0;
  for (int code = 0; code < 256; ++code) {
    const auto byte = static_cast<unsigned char>(code);
    const std::string converted = windows1250ToUtf8(std::string(1, static_cast<char>(byte)));
    const std::string expected = byLibrary(byte);
    SCOPED_TRACE(code);
    if (expected.empty()) {
      ++undefined;
      EXPECT_EQ(converted, replacement);
      EXPECT_EQ(windows1250Character(byte), kReplacementCharacter);
    } else {
      EXPECT_EQ(converted, expected);
    }
    EXPECT_TRUE(isValidUtf8(converted));
  }
  // 0x81, 0x83, 0x88, 0x90 and 0x98.
  EXPECT_EQ(undefined, 5);
}

TEST(CodePage, RomanianLettersAndWholeTexts) {
  const struct {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"\xAA\xBA\xDE\xFE", "ŞşŢţ"},
      {"\xC3\xE3\xC2\xE2\xCE\xEE", "ĂăÂâÎî"},
      {"1. \xAAtef\xE3nescu Ioana", "1. Ştefănescu Ioana"},
      {"Grupa 1231 Automatic\xE3", "Grupa 1231 Automatică"},
      {"plain ASCII, 0-9 and ~", "plain ASCII, 0-9 and ~"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\x80 \x96 \x84\x93", "€ – „“"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(windows1250ToUtf8(c.bytes), c.text) << c.text;
}

TEST(CodePage, Utf8FormOfEachLength) {
  const struct {
    char32_t character;
    std::string bytes;
  } cases[] = {
      {U'A', "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {U'ș', "\xC8\x99"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {U'€', "\xE2\x82\xAC"},
      {0xFFFD, "\xEF\xBF\xBD"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    std::string text;
    appendUtf8(text, c.character);
    EXPECT_EQ(text, c.bytes) << static_cast<std::uint32_t>(c.character);
  }
}

TEST(CodePage, LinesOfASourceAreConvertedOneByOne) {
  LineSource lines =
      windows1250Lines(textSource("Grupa 1\r\n1 \xDEurcanu Ion\r\n\r\n2 Ana", "lista.txt"));
  EXPECT_EQ(lines.name(), "lista.txt");
  EXPECT_EQ(lines.nextOrFail(), "Grupa 1");
  EXPECT_EQ(lines.nextOrFail(), "1 Ţurcanu Ion");
  EXPECT_EQ(lines.nextOrFail(), "");
  EXPECT_EQ(lines.nextOrFail(), "2 Ana");
  std::string line;
  EXPECT_EQ(lines.next(line), ReadStatus::kEnd);
}

}  // namespace
}  // namespace lotrano
