// Fuzzes the fixed-width line reader on arbitrary files, as group-file lines
// (80 characters) and the answer to the allocation question (1 character)
// are read.
//
// Input: bytes 0-1 pick the width (0 to 300). Byte 2, when its five high bits
// are all set, puts kMaxLineBytes - 4 + (its low 3 bits) letters before the
// first line, so that lines just under, at and over the longest line read are
// tried (rarely: such a run is slow). The rest is the file's content.
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

constexpr int kMaxWidth = 300;
constexpr std::uint8_t kLongLineFlag = 0xF8;

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzBytes in(data, size);
  const auto width = static_cast<std::size_t>(in.inRange(0, kMaxWidth));
  const std::uint8_t longLine = in.byte();
  std::string content;
  if ((longLine & kLongLineFlag) == kLongLineFlag)
    content.assign(kMaxLineBytes - 4 + (longLine & 7), 'x');
  content += in.rest();

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
  return 0;
}
