#include "host/fixed_text.h"

#include <gtest/gtest.h>

#include "host/characters.h"
#include "host/path_split.h"

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

TEST(PathSplit, SplitsDriveDirectoryNameAndExtension) {
  const struct {
    const char* path;
    const char* cwd;
    const char* drive;
    const char* directory;
    const char* name;
    const char* extension;
    std::size_t result;
  } cases[] = {
      {"D:\\Dat\\Seed_1 (2) 3.dat", "", "D:", "\\Dat\\", "Seed_1 (2) 3", ".dat", 5},
      {"/home/prof/Dat/Seed_1 (1-6) Grupa 311 AC.dat   ", "", "", "/home/prof/Dat/",
       "Seed_1 (1-6) Grupa 311 AC", ".dat", 15},
      {"Seed_2 (1-6) Grupa 1234.dat", "/exams", "", "/exams/", "Seed_2 (1-6) Grupa 1234", ".dat",
       7},
      {"Dat/a.b.dat", "/x/", "", "/x/Dat/", "a.b", ".dat", 7},
      {"/x/noext", "", "", "/x/", "noext", "", 3},
      {"relative.dat", "", "", "", "", "", 0},  // cannot be made absolute
  };
  for (const auto& c : cases) {
    FixedText drive(3), directory(256), name(256), extension(5);
    EXPECT_EQ(splitPath(c.path, c.cwd, drive, directory, name, extension), c.result) << c.path;
    EXPECT_EQ(drive.trimmed(), c.drive) << c.path;
    EXPECT_EQ(directory.trimmed(), c.directory) << c.path;
    EXPECT_EQ(name.trimmed(), c.name) << c.path;
    EXPECT_EQ(extension.trimmed(), c.extension) << c.path;
  }
  FixedText drive(3), directory(4), name(3), extension(2);
  EXPECT_EQ(splitPath("/long/dir/abcdef.dat", "", drive, directory, name, extension), 10u);
  EXPECT_EQ(directory.str(), "/lon");
  EXPECT_EQ(name.str(), "abc");
  EXPECT_EQ(extension.str(), ".d");
}

}  // namespace
}  // namespace lotrano
