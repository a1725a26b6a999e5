// The draw against the table of known answers in tests/data, which
// tools/redraw.py is held against too: each case is drawn as a re-allocation
// does it, batch by batch from the entries of a seed file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "alloc/problem_draw.h"
#include "app/batches.h"
#include "host/text/sha256.h"
#include "support/table_file.h"

namespace lotrano {
namespace {

const char* const kTablePath = LOTRANO_SOURCE_DIR "/tests/data/draw_known_answers.tsv";

struct KnownAnswer {
  int line = 0;
  std::string name;
  std::vector<SeedPair> pairs;  // one per batch drawn
  std::int32_t students = 0;
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::string numbers;  // as the table writes them
};

std::int32_t int32Of(const std::string& text) {
  std::size_t used = 0;
  const long long value = std::stoll(text, &used);
  if (used != text.size() || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw std::invalid_argument("not a 32-bit integer: " + text);
  }
  return static_cast<std::int32_t>(value);
}

std::vector<KnownAnswer> readTable() {
  std::vector<KnownAnswer> table;
  for (const TableRow& row : readTableRows(kTablePath, 6)) {
    const auto& columns = row.columns;
    KnownAnswer answer{
        row.line,  columns[0], {}, int32Of(columns[2]), int32Of(columns[3]), int32Of(columns[4]),
        columns[5]};
    for (const std::string& pair : splitAt(columns[1], "; ")) {
      const auto words = splitAt(pair, " ");
      if (words.size() != 2)
        throw std::invalid_argument("pair on line " + std::to_string(row.line));
      answer.pairs.push_back({int32Of(words[0]), int32Of(words[1])});
    }
    table.push_back(answer);
  }
  return table;
}

// The entries of a seed file as the program writes them.
std::string seedFileText(const std::vector<SeedPair>& pairs) {
  std::string text;
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    char entry[64];
    std::snprintf(entry, sizeof entry, " seed_%zu:\r\n%12d%12d\r\n", k + 1, pairs[k].first,
                  pairs[k].second);
    text += entry;
  }
  return text;
}

// The numbers in the table's notation: blank-separated, or "none".
std::string listed(const std::vector<std::int32_t>& numbers) {
  std::string text;
  for (const std::int32_t n : numbers) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text.empty() ? "none" : text;
}

std::string digestOf(const std::vector<std::int32_t>& numbers) {
  std::string lines;
  for (const std::int32_t n : numbers) lines += std::to_string(n) + "\n";
  return "sha256:" + sha256Hex(lines);
}

TEST(KnownAnswers, TheDrawGivesEveryNumberOfTheTable) {
  const std::vector<KnownAnswer> table = readTable();
  ASSERT_FALSE(table.empty()) << "no cases read from " << kTablePath;
  for (const KnownAnswer& answer : table) {
    SCOPED_TRACE("line " + std::to_string(answer.line) + ": " + answer.name);
    const std::int64_t count = std::int64_t{answer.end} - answer.start + 1;
    ASSERT_LE(count, std::numeric_limits<std::int32_t>::max());
    const ProblemRange range{answer.start, answer.end, static_cast<std::int32_t>(count)};
    const BatchSizes sizes = batchSizes(answer.students, range.ProblemCount);
    ASSERT_TRUE(batchesCanBeDrawn(sizes, range.ProblemCount)) << "the program draws no such group";

    std::ostringstream console;
    TextSink sink = streamSink(console, "console", "\n");
    LineSource seedFile = textSource(seedFileText(answer.pairs), "seed file");
    const NewAllocation fromSeedFile(seedFile);

    std::vector<std::int32_t> rows;
    std::size_t batchesDrawn = 0;
    for (const std::int32_t size : {sizes.s1, sizes.s2, sizes.s3}) {
      // Batch 1 is drawn even when empty; the others only with students.
      if (batchesDrawn > 0 && size <= 0) continue;
      ++batchesDrawn;
      SeedPair used, read;
      std::vector<std::int32_t> problems;
      ProblemDraw(fromSeedFile, used, read, size, problems, range, sink);
      EXPECT_EQ(read, answer.pairs.at(batchesDrawn - 1));
      rows.insert(rows.end(), problems.begin(), problems.end());
    }
    EXPECT_EQ(batchesDrawn, answer.pairs.size()) << "one pair per batch drawn";
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(std::max(answer.students, 0)));
    if (answer.numbers.starts_with("sha256:")) {
      EXPECT_EQ(digestOf(rows), answer.numbers) << "drawn: " << listed(rows);
    } else {
      EXPECT_EQ(listed(rows), answer.numbers);
    }
  }
}

}  // namespace
}  // namespace lotrano
