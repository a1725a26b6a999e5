// Fuzzes the group-file reader on arbitrary files: titles with and without a
// group number, student lines, blank and indented lines, names in UTF-8, in
// single-byte code pages and in UTF-16 after its mark, line ends of Linux and
// Windows.
//
// Input: the whole input is the file's content, read from a real file by
// path as the program reads a chosen group file. (It is read once: that the
// file reader and a reader of the same bytes in memory give the same lines,
// line ends and long lines included, is fixed_text_fuzz's finding to make.)
//
// Findings besides crashes: a fatal error other than a missing or oversized
// group number (or a title line over the longest line read); a
// student count other than the number of lines after the title that begin
// with a digit; a name list of another size, or a name not of exactly 37
// characters; a group text that does not begin with the title's first digit.
// Where a line's first 80 bytes are ASCII, its meaning is also worked out here
// from the file format alone (the group text and whether the group number
// reads; a student's name) and must match what the reader made of it.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/group_file.h"
#include "fuzz_bytes.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/text_stream.h"
#include "host/text/utf16.h"

namespace {

using namespace lotrano;
using fuzz::require;

// A private folder for the group file, made once per fuzzing process in
// memory (/dev/shm) where there is one, so that each run costs no disk write,
// and removed when the process ends normally.
std::string groupFolder;

void removeGroupFolder() { std::filesystem::remove_all(groupFolder); }

const std::string& groupFilePath() {
  static const std::string path = [] {
    std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    folder += "/lotrano-group-fuzz-XXXXXX";
    require(mkdtemp(folder.data()) != nullptr);
    groupFolder = folder;
    std::atexit(removeGroupFolder);
    return folder + "/grupa.txt";
  }();
  return path;
}

struct Outcome {
  std::optional<Group> group;
  std::optional<ErrorCode> error;
  std::string console;
};

template <typename Read>
Outcome readOnce(Read read) {
  Outcome outcome;
  TextSink console(
      [&outcome](std::string_view bytes) {
        outcome.console += bytes;
        return true;
      },
      std::string(kConsoleName), kConsoleLineEnd);
  try {
    outcome.group = read(console);
  } catch (const FatalError& fatal) {
    outcome.error = fatal.code();
  }
  return outcome;
}

bool isAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool isDigitByte(char c) { return c >= '0' && c <= '9'; }
bool isLetterByte(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The first 80 bytes of a line, without trailing blanks.
std::string_view usedRecord(std::string_view line) {
  line = line.substr(0, 80);
  const std::size_t last = line.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : line.substr(0, last + 1);
}

// What the title of an ASCII file means: the group text, or the fatal error.
struct TitleMeaning {
  std::string groupText;
  std::optional<ErrorCode> error;
};

TitleMeaning meaningOfTitle(std::string_view title) {
  const std::string_view used = usedRecord(title);
  const auto first =
      static_cast<std::size_t>(std::find_if(used.begin(), used.end(), isDigitByte) - used.begin());
  if (first == used.size()) return {{}, ErrorCode::kEndOfFile};
  std::int64_t number = 0;
  for (std::size_t i = first; i < used.size() && isDigitByte(used[i]); ++i) {
    number = number * 10 + (used[i] - '0');
    if (number > std::numeric_limits<std::int32_t>::max()) return {{}, ErrorCode::kInputConversion};
  }
  return {std::string(used.substr(first)), std::nullopt};
}

// A student's name, from the first letter of the line's first 80 bytes to
// their last non-blank one, cut or padded to 37.
std::string nameOf(std::string_view line) {
  const std::string_view used = usedRecord(line);
  const auto first =
      static_cast<std::size_t>(std::find_if(used.begin(), used.end(), isLetterByte) - used.begin());
  std::string name(used.substr(first, 37));
  return name.append(37 - name.size(), ' ');
}

// What the lines of a file say, line by line: the student lines counted, and
// for those that are ASCII the expected name; the title's meaning if it is
// ASCII; whether some line is longer than the file reader takes.
struct LineFacts {
  std::int32_t studentLines = 0;
  std::vector<std::optional<std::string>> names;
  std::optional<TitleMeaning> title;
  bool overlong = false;
};

LineFacts factsOf(std::string_view content) {
  LineFacts facts;
  bool title = true;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLineBytes) facts.overlong = true;
    if (title) {
      if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
      if (isAscii(line.substr(0, 80))) facts.title = meaningOfTitle(line);
    } else if (!line.empty() && isDigitByte(line.front())) {
      ++facts.studentLines;
      facts.names.push_back(isAscii(line.substr(0, 80)) ? std::optional(nameOf(line))
                                                        : std::nullopt);
    }
    title = false;
  }
  return facts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const std::string& path = groupFilePath();
  // The file stays open for writing from one input to the next: each input
  // is written over the last and the file cut to its length, two system
  // calls and no stream.
  static const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  require(file >= 0);
  require(pwrite(file, content.data(), content.size(), 0) == static_cast<ssize_t>(content.size()));
  require(ftruncate(file, static_cast<off_t>(content.size())) == 0);
  const Outcome read = readOnce([&path](TextSink& console) {
    auto group = readGroupFile(path, console);
    require(group.has_value());
    return *group;
  });

  // A file that begins with the mark of UTF-16 holds the lines of the UTF-8
  // text it stands for; any other, its own (a conversion from Windows-1250
  // keeps every ASCII byte, and so every fact gathered here).
  const auto order = utf16ByteOrder(content);
  const LineFacts facts = factsOf(order ? utf16ToUtf8(content, *order) : content);
  if (facts.overlong) {
    // An overlong title is a failed read; an overlong later line is cut, and
    // only its first 80 characters count.
    require(!read.error || *read.error == ErrorCode::kReadError ||
            *read.error == ErrorCode::kEndOfFile || *read.error == ErrorCode::kInputConversion);
    return 0;
  }
  if (facts.title) require(read.error == facts.title->error);
  if (read.error) {
    require(*read.error == ErrorCode::kEndOfFile || *read.error == ErrorCode::kInputConversion);
    return 0;
  }
  const Group& group = *read.group;
  require(group.StudentCount == facts.studentLines);
  require(group.StudentNames.size() == static_cast<std::size_t>(group.StudentCount));
  for (const FixedText& name : group.StudentNames) require(characterCount(name.str()) == 37);
  require(!group.GroupText.empty() && group.GroupText.front() >= '0' &&
          group.GroupText.front() <= '9');
  require(read.console.starts_with(" Grupa: " + group.GroupText + "\n Numar studenti:"));
  if (facts.title) require(group.GroupText == facts.title->groupText);
  for (std::size_t k = 0; k < facts.names.size(); ++k) {
    if (facts.names[k]) require(group.StudentNames[k].str() == *facts.names[k]);
  }
  return 0;
}
