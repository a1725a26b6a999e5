// Fuzzes the fixed-width line reader on arbitrary files, as group-file lines
// (80 characters) and the answer to the allocation question (1 character)
// are read.
//
// Input: byte 0 picks the width (0 to 120: the program reads 80 and 1, and a
// wider field only pads more); the rest is the file's content.
//
// Lines just under, at and over the longest line read (kMaxLineBytes), which
// take tens of kilobytes each, are read once as the fuzzer starts, with every
// width and line end that matters after them, rather than by the fuzzer's
// inputs: a run of one costs as much as hundreds of short inputs, and the
// fuzzer would pick them over and over for the rare paths they reach.
//
// The same bytes are read line by line three ways: from a real file (the
// reader of group and seed files), from a stream (the console's reader) and
// from a text held in memory (the reader tests and the free-form integer of
// a group title use). Findings besides crashes: the three disagree on a line,
// a line's text is not its line's first characters padded to exactly the
// width, or a line over the limit is not refused by the file and the stream.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "fuzz_bytes.h"
#include "host/platform/text_file.h"
#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"
#include "host/text/text_stream.h"

namespace {

using namespace lotrano;
using fuzz::require;

constexpr int kMaxWidth = 120;

// An open file holding the content, kept in memory.
TextFile fileHolding(std::string& content) {
  std::FILE* file = fmemopen(content.data(), content.size(), "rb");
  require(file != nullptr);
  return TextFile(file, "grupa.txt");
}

// The line cut or padded to the width, as the reader must give it.
void checkField(const FixedText& field, const std::string& line, std::size_t width) {
  require(field.length() == width);
  require(characterCount(field.str()) == width);
  const std::string_view kept = leadingCharacters(line, width);
  require(std::string_view(field.str()).substr(0, kept.size()) == kept);
  require(field.str().find_first_not_of(' ', kept.size()) == std::string::npos);
}

// Reads the content line by line the three ways and checks each line.
void readThreeWays(std::string content, std::size_t width) {
  LineSource memory = textSource(content, "memory");
  TextFile file = fileHolding(content);
  LineSource fromFile = fileSource(file);
  std::istringstream stream(content);
  LineSource fromStream([&stream](std::string& line) { return readStreamLine(stream, line); },
                        std::string(kConsoleName));

  while (true) {
    std::string line;
    const ReadStatus status = memory.next(line);
    require(status != ReadStatus::kError);
    const auto fileField = tryReadFixedText(fromFile, width);
    if (status == ReadStatus::kEnd) {
      require(!fileField);
      try {
        readFixedText(fromStream, width);
        require(false);
      } catch (const FatalError& fatal) {
        require(fatal.code() == ErrorCode::kEndOfFile && fatal.file() == kConsoleName);
      }
      break;
    }
    if (line.size() > kMaxLineBytes) {
      // Refused, and the reading ends there: the rest of the line is unread.
      require(!fileField);
      try {
        readFixedText(fromStream, width);
        require(false);
      } catch (const FatalError& fatal) {
        require(fatal.code() == ErrorCode::kReadError && fatal.file() == kConsoleName);
      }
      break;
    }
    require(fileField.has_value());
    checkField(*fileField, line, width);
    require(readFixedText(fromStream, width) == *fileField);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (std::size_t extra = 0; extra < 8; ++extra) {
    for (const char* after : {"", "\r", "\r\nshort\nline\n"}) {
      for (const std::size_t width : {0u, 80u, 120u}) {
        readThreeWays(std::string(kMaxLineBytes - 4 + extra, 'x') + after, width);
      }
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzBytes in(data, size);
  const auto width = static_cast<std::size_t>(in.inRange(0, kMaxWidth));
  readThreeWays(in.rest(), width);
  return 0;
}
