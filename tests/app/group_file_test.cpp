#include "app/group_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/text/characters.h"
#include "host/text/fixed_text.h"
#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSourceName = "grupa.txt";

// The console as the program writes it.
struct CapturedConsole {
  std::ostringstream out;
  TextSink sink = streamSink(out, "console", kConsoleLineEnd);
};

Group readFromText(const std::string& content, CapturedConsole& console) {
  return readGroup([&content] { return textSource(content, kSourceName); }, console.sink);
}

std::vector<std::string> namesOf(const Group& group) {
  std::vector<std::string> names;
  for (const auto& name : group.StudentNames) names.push_back(name.str());
  return names;
}

// The example list of a group: a heading, blank and indented lines, a mark
// after a name and a student line with no name at all.
constexpr const char* kExampleLines[] = {
    "Grupa 1231 - anul II",  // the title
    "Nr. Nume si prenume",   // ignored: begins with a letter
    "1. Alfa Beta",          // student 1
    "",                      // ignored
    "2 Gama Delta 9.50",     // student 2, the mark belongs to the name
    " 3. Epsilon Zeta",      // ignored: begins with a blank
    "4",                     // student 3, blank name
};

std::string joinLines(const std::string& lineEnd) {
  std::string content;
  for (const char* line : kExampleLines) content += std::string(line) + lineEnd;
  return content;
}

// What the example list gives: the group, its names and the two console lines.
void expectExampleGroup(const Group& group, const CapturedConsole& console) {
  EXPECT_TRUE(group.GroupFromFile);
  EXPECT_EQ(group.GroupTitle.str(),
            "Grupa 1231 - anul II                                            "
            "                ");
  EXPECT_EQ(group.GroupText, "1231 - anul II");
  EXPECT_EQ(group.StudentCount, 3);
  EXPECT_EQ(namesOf(group), (std::vector<std::string>{
                                "Alfa Beta                            ",
                                "Gama Delta 9.50                      ",
                                "                                     ",
                            }));
  EXPECT_EQ(console.out.str(),
            " Grupa: 1231 - anul II\n"
            " Numar studenti:   3\n"
            "\n");
}

TEST(GroupFile, ReadsTheExampleListWithEitherLineEnd) {
  for (const std::string lineEnd : {"\n", "\r\n"}) {
    SCOPED_TRACE(lineEnd == "\n" ? "LF" : "CR LF");
    CapturedConsole console;
    expectExampleGroup(readFromText(joinLines(lineEnd), console), console);
  }
}

TEST(GroupFile, GroupTextRunsFromTheFirstDigitToTheLastNonBlank) {
  const std::string overlong = "Grupa 1 " + std::string(80, 'x');
  const struct {
    std::string title;
    std::string groupText;
  } cases[] = {
      {"Grupa 1231", "1231"},                                   // the plain form
      {"Grupa 1231B anul 2", "1231B anul 2"},                   // everything from the digit on
      {"Grupa X7", "7"},                                        // the only digit is the last
      {"Grupa 007   ", "007"},                                  // trailing blanks dropped
      {"331", "331"},                                           // the digit is first
      {"Anul 3, grupa 2 (seria B)  ", "3, grupa 2 (seria B)"},  // the first run of digits
      {"G-5 \t  x", "5 \t  x"},                                 // a tab inside is kept
      {"Grupă 1231 – anul ÎI", "1231 – anul ÎI"},               // UTF-8 counts characters
      {overlong, "1 " + std::string(72, 'x')},                  // only 80 characters count
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    CapturedConsole console;
    const Group group = readFromText(c.title + "\n", console);
    EXPECT_EQ(group.GroupText, c.groupText);
    EXPECT_EQ(group.GroupTitle.str(), padOrCut(c.title, 80));
    const std::string expected = " Grupa: " + c.groupText + "\n" +
                                 " Numar studenti:   0\n"
                                 "\n";
    EXPECT_EQ(console.out.str(), expected);
  }
}

TEST(GroupFile, ByteOrderMarkIsNoPartOfTheTitle) {
  CapturedConsole console;
  const Group group = readFromText("\xEF\xBB\xBFGrupa 311 AC\r\n1. Alfa Beta\r\n", console);
  EXPECT_EQ(group.GroupTitle.str(), padOrCut("Grupa 311 AC", 80));
  EXPECT_EQ(group.GroupText, "311 AC");
  EXPECT_EQ(group.StudentCount, 1);
}

TEST(GroupFile, TitleWithoutAUsableGroupNumberIsFatal) {
  const std::string eightyLetters(80, 'G');
  const struct {
    const char* what;
    std::string content;
    ErrorCode code;
  } cases[] = {
      {"empty file", "", ErrorCode::kEndOfFile},
      {"title without digits", "Grupa A\n1 Alfa Beta\n", ErrorCode::kEndOfFile},
      {"blank title", "     \n1 Alfa Beta\n", ErrorCode::kEndOfFile},
      {"empty first line", "\n1 Alfa Beta\n", ErrorCode::kEndOfFile},
      {"the only digit lies beyond column 80", eightyLetters + "1\n", ErrorCode::kEndOfFile},
      {"group number one past the 32-bit range", "Grupa 2147483648\n", ErrorCode::kInputConversion},
      {"group number far too large", "Grupa 99999999999999999999\n", ErrorCode::kInputConversion},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CapturedConsole console;
    EXPECT_FATAL(readFromText(c.content, console), c.code, kSourceName);
    EXPECT_EQ(console.out.str(), "") << "nothing is shown before the title is accepted";
  }
}

TEST(GroupFile, LargestGroupNumberIsAccepted) {
  CapturedConsole console;
  EXPECT_EQ(readFromText("Grupa 2147483647 B\n", console).GroupText, "2147483647 B");
}

TEST(GroupFile, StudentLinesAndNames) {
  const std::string longLine = "8" + std::string(70, ' ') + "Ionescu Popescu";  // name at column 72
  const std::string lateLetter = "9" + std::string(80, ' ') + "Ion";  // letter after column 80
  const struct {
    const char* what;
    std::string line;
    std::optional<std::string> name;  // nullopt: not a student line
  } cases[] = {
      {"digit and dot", "1. Alfa Beta", "Alfa Beta                            "},
      {"name starts at the first letter", "12 -- (Beta)", "Beta)                                "},
      {"remarks after the name belong to it", "2 Gama Delta  9.50  absent",
       "Gama Delta  9.50  absent             "},
      {"longer than 37 keeps its first 37", "3 Popescu-Ionescu Alexandru Constantin Mihai",
       "Popescu-Ionescu Alexandru Constantin "},
      {"no letter gives a blank name", "4  9.50", "                                     "},
      {"only the first 80 characters count", longLine, "Ionescu P                            "},
      {"a letter after column 80 is not seen", lateLetter, "                                     "},
      {"blank first", " 3. Epsilon Zeta", std::nullopt},
      {"tab first", "\t3 Epsilon Zeta", std::nullopt},
      {"letter first", "Nr3 Epsilon Zeta", std::nullopt},
      {"sign first", "-3 Epsilon Zeta", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CapturedConsole console;
    const Group group = readFromText("Grupa 331\n" + c.line + "\n", console);
    if (c.name) {
      EXPECT_EQ(group.StudentCount, 1);
      EXPECT_EQ(namesOf(group), std::vector<std::string>{*c.name});
    } else {
      EXPECT_EQ(group.StudentCount, 0);
      EXPECT_TRUE(group.StudentNames.empty());
    }
  }
}

TEST(GroupFile, Utf8NamesKeepTheirRomanianLettersAndCountCharacters) {
  // Written on Linux: a Romanian first letter starts the name, and the cuts
  // at 37 and 80 count characters, so no letter is lost or split.
  const std::string pastColumn80 = "7" + std::string(59, ' ') + "Ștefan Țăranu Ăăîâșț absent";
  const struct {
    const char* what;
    std::string line;
    const char* name;
  } cases[] = {
      {"comma below and cedilla", "1 Ștefan Ţăranu", "Ștefan Ţăranu                        "},
      {"capital I with circumflex first", "2. Îonescu Ana",
       "Îonescu Ana                          "},
      {"lower case letters first", "3 ăâîșț Maria", "ăâîșț Maria                          "},
      {"cedilla forms", "4 Şerban Ţepeş", "Şerban Ţepeş                         "},
      {"40 characters cut to 37", "5 Ștefănescu-Țăranu Ălexandra Îoana Șerbăn",
       "Ștefănescu-Țăranu Ălexandra Îoana Șer"},
      {"the multiplication sign is no letter", "6 ×Ion", "Ion                                  "},
      {"80 characters, not 80 bytes", pastColumn80, "Ștefan Țăranu Ăăîâșț                 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CapturedConsole console;
    const Group group = readFromText("Grupa 331\n" + c.line + "\n", console);
    EXPECT_EQ(namesOf(group), std::vector<std::string>{c.name});
  }
}

TEST(GroupFile, SingleByteNamesAreReadByteByByte) {
  // Latin-2, as written on Windows: 0xAA is Ş, 0xDE is Ţ, 0xC3 is Ă. Such a
  // line is no UTF-8, so only ASCII letters start a name and 37 bytes are kept.
  const struct {
    const char* what;
    std::string line;
    std::string name;
  } cases[] = {
      {"a first letter outside ASCII is passed over", "1 \xAAtefan Popescu",
       "tefan Popescu                        "},
      {"letters outside ASCII inside the name stay", "2 Ionescu \xAAtefan \xDE\xC3ranu",
       "Ionescu \xAAtefan \xDE\xC3ranu                "},
      {"cut at 37 bytes", "3 Ana \xDE\xC3ranu-\xAAtef\xC3nescu Popescu Ionescu Maria",
       "Ana \xDE\xC3ranu-\xAAtef\xC3nescu Popescu Ionescu"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.name.size(), 37u);
    CapturedConsole console;
    const Group group = readFromText("Grupa 331\n" + c.line + "\n", console);
    EXPECT_EQ(namesOf(group), std::vector<std::string>{c.name});
  }

  // Two Latin-2 letters that happen to form a UTF-8 sequence (0xC2 0xAA is
  // ÂŞ): the line as a whole is no UTF-8, so the name is still cut at 37 bytes.
  CapturedConsole console;
  const Group group = readFromText(
      "Grupa 331\n1 \xAAtefan \xC2\xAA"
      "erban Popescu Ionescu Maria Elena\n",
      console);
  ASSERT_EQ(group.StudentNames.size(), 1u);
  EXPECT_EQ(group.StudentNames[0].trimmed(),
            "tefan \xC2\xAA"
            "erban Popescu Ionescu Maria E");
}

TEST(GroupFile, StudentCountFieldHoldsFourDigitsAndWidensBeyond) {
  const struct {
    int students;
    const char* countLine;
  } cases[] = {
      {0, " Numar studenti:   0\n"},
      {9999, " Numar studenti:9999\n"},
      // Shown whole, not as asterisks, and with no diagnostic.
      {10000, " Numar studenti:10000\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.students);
    std::string content = "Grupa 1231\r\n";
    for (int i = 1; i <= c.students; ++i) content += std::to_string(i) + " Student\r\n";
    CapturedConsole console;
    const Group group = readFromText(content, console);
    EXPECT_EQ(group.StudentCount, c.students);
    EXPECT_EQ(group.StudentNames.size(), static_cast<std::size_t>(c.students));
    if (c.students > 0) {
      EXPECT_EQ(group.StudentNames.back().trimmed(), "Student");
    }
    EXPECT_EQ(console.out.str(), " Grupa: 1231\n" + std::string(c.countLine) + "\n");
  }
}

TEST(GroupFile, SecondPassNeverGrowsTheListAndLeavesMissingNamesBlank) {
  // A file that changes between the passes: the list keeps the first pass's
  // count whatever the second pass finds.
  const struct {
    const char* what;
    std::string firstRead;
    std::string secondRead;
    std::vector<std::string> names;
  } cases[] = {
      {"lines added",
       "Grupa 1\n1 Ana\n",
       "Grupa 1\n1 Ana\n2 Bogdan\n",
       {"Ana                                  "}},
      {"lines gone",
       "Grupa 1\n1 Ana\n2 Bogdan\n",
       "Grupa 1\n1 Ana\n",
       {"Ana                                  ", "                                     "}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    int opened = 0;
    CapturedConsole console;
    const Group group = readGroup(
        [&] { return textSource(++opened == 1 ? c.firstRead : c.secondRead, kSourceName); },
        console.sink);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(namesOf(group), c.names);
  }
}

// A scratch folder of its own, removed afterwards.
class GroupFileOnDisk : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    const fs::path path = folder_ / name;
    writeWholeFile(path, bytes);
    return path.string();
  }

  ScratchDirectory scratch_{ScratchDirectory::kStayOutside};
  const fs::path& folder_ = scratch_.path();
};

TEST_F(GroupFileOnDisk, ReadsAFileAndReadsItTwice) {
  const std::string path = write("grupa1231.txt", joinLines("\r\n"));
  CapturedConsole console;
  const auto group = readGroupFile(path, console.sink);
  ASSERT_TRUE(group.has_value());
  expectExampleGroup(*group, console);
}

// One list as a teacher may have it: typed on Linux (UTF-8), saved by a newer
// Windows editor (UTF-8 with a byte order mark), by an older one in the
// Romanian ANSI code page (Windows-1250, which has ş and ţ, not ș and ț), or
// by Notepad as "Unicode" (UTF-16, little or big endian, with its mark).
struct ListLine {
  std::string utf8;
  std::string windows1250;
};

// A UTF-8 text as UTF-16 bytes in one byte order (every character of the
// lists here lies below U+10000).
std::string utf16Bytes(const std::string& utf8, bool littleEndian) {
  std::string bytes;
  const std::u32string codes = utf8CodePoints(utf8).value();
  for (const char32_t code : codes) {
    const auto low = static_cast<char>(code & 0xFF);
    const auto high = static_cast<char>(code >> 8 & 0xFF);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

const ListLine kRomanianList[] = {
    {"Grupa 1231 Automatică şi Calculatoare", "Grupa 1231 Automatic\xE3 \xBAi Calculatoare"},
    {"Nr. Nume şi prenume", "Nr. Nume \xBAi prenume"},
    {"1. Ştefănescu Ioana", "1. \xAAtef\xE3nescu Ioana"},
    {"2. Ţurcanu Ion", "2. \xDEurcanu Ion"},
    {"3 Popescu Dănuţ 9,50", "3 Popescu D\xE3nu\xFE 9,50"},
    {"4. Îonescu Ana-Maria", "4. \xCEonescu Ana-Maria"},
    {"5. ăşţâî Mihai", "5. \xE3\xBA\xFE\xE2\xEE Mihai"},
    {"6. Ţepeş-Ştefănescu Alexandra Ioana Mădălina Ţâţu",
     "6. \xDE"
     "epe\xBA-\xAAtef\xE3nescu Alexandra Ioana M\xE3"
     "d\xE3lina \xDE\xE2\xFEu"},
};

TEST_F(GroupFileOnDisk, EveryEncodingAndLineEndGivesTheSameGroup) {
  const std::vector<std::string> names = {
      padOrCut("Ştefănescu Ioana", 37),   padOrCut("Ţurcanu Ion", 37),
      padOrCut("Popescu Dănuţ 9,50", 37), padOrCut("Îonescu Ana-Maria", 37),
      padOrCut("ăşţâî Mihai", 37),        "Ţepeş-Ştefănescu Alexandra Ioana Mădă",
  };
  const auto asIs = [](const std::string& text) { return text; };
  const struct {
    const char* what;
    std::string start;
    std::string ListLine::*text;
    std::function<std::string(const std::string&)> encode;
  } encodings[] = {
      {"UTF-8", "", &ListLine::utf8, asIs},
      {"UTF-8 with a byte order mark", "\xEF\xBB\xBF", &ListLine::utf8, asIs},
      {"Windows-1250", "", &ListLine::windows1250, asIs},
      // An editor's mark before bytes that are no UTF-8 is passed over.
      {"Windows-1250 after a UTF-8 byte order mark", "\xEF\xBB\xBF", &ListLine::windows1250, asIs},
      {"UTF-16 little endian", "\xFF\xFE", &ListLine::utf8,
       [](const std::string& text) { return utf16Bytes(text, true); }},
      {"UTF-16 big endian", "\xFE\xFF", &ListLine::utf8,
       [](const std::string& text) { return utf16Bytes(text, false); }},
  };
  for (const auto& encoding : encodings) {
    for (const std::string lineEnd : {"\r\n", "\n"}) {
      SCOPED_TRACE(std::string(encoding.what) + (lineEnd == "\n" ? ", LF" : ", CR LF"));
      std::string content = encoding.start;
      for (const ListLine& line : kRomanianList) {
        content += encoding.encode(line.*encoding.text + lineEnd);
      }
      const std::string path = write("grupa.txt", content);
      CapturedConsole console;
      const auto group = readGroupFile(path, console.sink);
      ASSERT_TRUE(group.has_value());
      EXPECT_EQ(group->GroupTitle.str(), padOrCut(kRomanianList[0].utf8, 80));
      EXPECT_EQ(group->GroupText, "1231 Automatică şi Calculatoare");
      EXPECT_EQ(namesOf(*group), names);
      EXPECT_EQ(console.out.str(),
                " Grupa: 1231 Automatică şi Calculatoare\n"
                " Numar studenti:   6\n"
                "\n");
      CapturedConsole again;
      const Group fromText = readGroupText(content, path, again.sink);
      EXPECT_EQ(namesOf(fromText), names);
      EXPECT_EQ(fromText.GroupTitle, group->GroupTitle);
      EXPECT_EQ(again.out.str(), console.out.str());
    }
  }
}

TEST_F(GroupFileOnDisk, OneByteThatIsNoUtf8MakesTheWholeFileWindows1250) {
  const struct {
    const char* what;
    std::string content;
    std::string title;
    std::vector<std::string> names;
  } cases[] = {
      // Lines that would pass for UTF-8 alone are read as Windows-1250 too:
      // 0xC3 0xA2 is "Ă˘" there, not "â".
      {"the only such byte in the last line",
       "Grupa 7 \xC3\xA2\r\n1 Ana\r\n2 Ion \xAA\r\n",
       "Grupa 7 Ă˘",
       {padOrCut("Ana", 37), padOrCut("Ion Ş", 37)}},
      // The bytes that Windows-1250 leaves undefined become U+FFFD.
      {"bytes that stand for no character",
       "Grupa 8\n1 \x81"
       "Ana\x98\n",
       "Grupa 8",
       {padOrCut("Ana\uFFFD", 37)}},
      // A UTF-8 byte order mark before bytes that are no UTF-8 is taken off
      // and the rest read as Windows-1250, lines that would pass for UTF-8
      // included ("Ş" in UTF-8 is "Ĺž" there).
      {"a UTF-8 byte order mark before bytes that are no UTF-8",
       "\xEF\xBB\xBFGrupa 9\n1 \xAAtefan\n2 Ştefan\n",
       "Grupa 9",
       {padOrCut("Ştefan", 37), padOrCut("Ĺžtefan", 37)}},
      // UTF-16 is known by its mark alone; odd bytes after it read as U+FFFD.
      {"UTF-16 with a last byte alone",
       std::string("\xFF\xFEG\0r\0 \0"
                   "1\0\n\0"
                   "1\0 \0A\0n\0a",
                   21),
       "Gr 1",
       {padOrCut("An\uFFFD", 37)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CapturedConsole console;
    const auto group = readGroupFile(write("lista.dat", c.content), console.sink);
    ASSERT_TRUE(group.has_value());
    EXPECT_EQ(group->GroupTitle.trimmed(), c.title);
    EXPECT_EQ(namesOf(*group), c.names);
  }
}

TEST_F(GroupFileOnDisk, AFileThatDoesNotOpenGivesNothingAndSaysNothing) {
  fs::create_directories(folder_ / "lista.dat");
  for (const fs::path& path : {folder_ / "lipsa.dat", folder_ / "lista.dat"}) {
    SCOPED_TRACE(path.string());
    CapturedConsole console;
    EXPECT_FALSE(readGroupFile(path.string(), console.sink).has_value());
    EXPECT_EQ(console.out.str(), "");
  }
}

TEST_F(GroupFileOnDisk, FatalErrorsNameTheFile) {
  const std::string empty = write("gol.txt", "");
  const std::string noDigit = write("fara_numar.txt", "Grupa\r\n1 Ana\r\n");
  CapturedConsole console;
  EXPECT_FATAL(readGroupFile(empty, console.sink), ErrorCode::kEndOfFile, empty);
  EXPECT_FATAL(readGroupFile(noDigit, console.sink), ErrorCode::kEndOfFile, noDigit);
}

}  // namespace
}  // namespace lotrano
