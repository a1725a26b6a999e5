// The seed words of a public text against the table of known answers in
// tests/data, which the page's and the re-checker's derivations are held to
// too; and the seed file that lotrano-verify writes for a text.
#include "verify/public_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/text/code_page.h"
#include "host/text/sha256.h"
#include "support/table_file.h"

namespace lotrano {
namespace {

const char* const kTablePath = LOTRANO_SOURCE_DIR "/tests/data/public_text_known_answers.tsv";

struct KnownAnswer {
  int line = 0;
  std::string name;
  std::string text;        // as given, UTF-8 (a lone surrogate as its three bytes)
  std::string normalized;  // as the table writes it: "-", "!empty", "!invalid" or the text
  std::string sha256;
  std::string entries;
};

// A text of the table in UTF-8: "\u{HEX}" is the code point HEX, "\\" a
// backslash, every other character itself.
std::string unescaped(const std::string& written, int line) {
  std::string text;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] != '\\') {
      text += written[i];
    } else if (written.compare(i, 2, "\\\\") == 0) {
      text += '\\';
      ++i;
    } else if (written.compare(i, 3, "\\u{") == 0 && written.find('}', i) != std::string::npos) {
      const std::size_t close = written.find('}', i);
      appendUtf8(text, static_cast<char32_t>(
                           std::stoul(written.substr(i + 3, close - i - 3), nullptr, 16)));
      i = close;
    } else {
      throw std::invalid_argument("a lone backslash on line " + std::to_string(line));
    }
  }
  return text;
}

std::vector<KnownAnswer> readTable() {
  std::vector<KnownAnswer> table;
  for (const TableRow& row : readTableRows(kTablePath, 6)) {
    const auto& columns = row.columns;
    std::string text;
    const std::string once = unescaped(columns[1], row.line);
    for (int k = std::stoi(columns[2]); k > 0; --k) text += once;
    const bool refused = columns[3].starts_with("!") || columns[3] == "-";
    table.push_back({row.line, columns[0], text,
                     refused ? columns[3] : unescaped(columns[3], row.line), columns[4],
                     columns[5]});
  }
  return table;
}

// The entries in the table's notation, "W1 W2; W1 W2; W1 W2".
std::string listed(const std::array<SeedEntry, kBatchCount>& entries) {
  std::string text;
  for (const SeedEntry& entry : entries) {
    if (!text.empty()) text += "; ";
    text += std::to_string(entry.pair.first) + " " + std::to_string(entry.pair.second);
  }
  return text;
}

TEST(PublicText, EveryKnownAnswerOfTheTable) {
  const std::vector<KnownAnswer> table = readTable();
  ASSERT_FALSE(table.empty()) << "no cases read from " << kTablePath;
  for (const KnownAnswer& answer : table) {
    SCOPED_TRACE("line " + std::to_string(answer.line) + ": " + answer.name);
    const auto normalized = normalizePublicText(answer.text);
    if (answer.normalized == "!empty" || answer.normalized == "!invalid") {
      const auto* fault = std::get_if<PublicTextFault>(&normalized);
      ASSERT_NE(fault, nullptr) << "refused in the table, taken here";
      EXPECT_EQ(*fault, answer.normalized == "!empty" ? PublicTextFault::kEmpty
                                                      : PublicTextFault::kNotUtf8);
      continue;
    }
    const auto* text = std::get_if<std::string>(&normalized);
    ASSERT_NE(text, nullptr) << "refused here";
    if (answer.normalized != "-") {
      EXPECT_EQ(*text, answer.normalized);
    }
    EXPECT_EQ(sha256Hex(*text), answer.sha256);
    EXPECT_EQ(listed(publicTextEntries(*text)), answer.entries);
  }
}

// The table holds texts of code points; bytes that are no UTF-8 at all come
// only from a command line.
TEST(PublicText, BytesThatAreNoUtf8AreRefused) {
  for (const char* bytes : {"Loto \xAA 6/49", "\xC0\xA0Loto", "Loto \xE2\x80", "\xFF"}) {
    const auto normalized = normalizePublicText(bytes);
    ASSERT_TRUE(std::holds_alternative<PublicTextFault>(normalized)) << bytes;
    EXPECT_EQ(std::get<PublicTextFault>(normalized), PublicTextFault::kNotUtf8) << bytes;
  }
}

TEST(PublicText, TheSeedFileIsLaidOutAsTheProgramWritesSeedFiles) {
  EXPECT_EQ(publicTextSeedFile("Loto 6/49, 14.12.2026: 3 7 19 24 33 41"),
            " seed_1:\r\n"
            "  1604280731  1781708175\r\n"
            " seed_2:\r\n"
            "   945810223  1895868140\r\n"
            " seed_3:\r\n"
            "  1102859197  1798828672\r\n");
}

}  // namespace
}  // namespace lotrano
