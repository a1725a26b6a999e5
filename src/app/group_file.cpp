#include "app/group_file.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "host/platform/text_file.h"
#include "host/text/char_utils.h"
#include "host/text/characters.h"
#include "host/text/code_page.h"
#include "host/text/fixed_text.h"
#include "host/text/free_form.h"
#include "host/text/text_layout.h"
#include "host/text/utf16.h"

namespace lotrano {
namespace {

constexpr std::string_view kGroupLabel = " Grupa: ";
constexpr std::string_view kStudentCountLabel = " Numar studenti:";
constexpr int kStudentCountWidth = 4;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Latin letters with diacritics, from Latin-1 Supplement to Latin Extended-B.
constexpr char32_t kFirstLatinLetter = 0x00C0;
constexpr char32_t kLastLatinLetter = 0x024F;
constexpr char32_t kMultiplicationSign = 0x00D7;
constexpr char32_t kDivisionSign = 0x00F7;

const TextLayout& groupLineLayout() {
  static const TextLayout layout{item::text(), item::text()};
  return layout;
}

const TextLayout& studentCountLayout() {
  // A count too large for its columns is shown whole, never as asterisks.
  static const TextLayout layout{item::text(), item::widening(kStudentCountWidth),
                                 item::lineBreak()};
  return layout;
}

bool isTrue(std::int32_t truth) { return (truth & 1) != 0; }

bool isStudentLine(const FixedText& record) { return isTrue(isDigit(record.str().front())); }

// The letters of a name in a UTF-8 line: the ASCII ones, and the Latin
// letters with diacritics, all of which take two bytes in UTF-8.
bool isUtf8NameLetter(std::string_view character) {
  if (character.size() == 1) return isTrue(isLetter(character.front()));
  if (character.size() != 2) return false;
  const auto lead = static_cast<unsigned char>(character[0]);
  const auto trail = static_cast<unsigned char>(character[1]);
  const char32_t code = (char32_t{lead} & 0x1Fu) << 6 | (char32_t{trail} & 0x3Fu);
  return code >= kFirstLatinLetter && code <= kLastLatinLetter && code != kMultiplicationSign &&
         code != kDivisionSign;
}

FixedText studentName(const FixedText& record) {
  const std::string& line = record.str();
  const std::size_t used = usedLength(line);
  if (isValidUtf8(line)) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < used; ++i) {
      const std::size_t length = characterLengthAt(line, pos, true);
      if (isUtf8NameLetter(std::string_view(line).substr(pos, length))) {
        return FixedText(kNameLength, characterRange(line, i + 1, used));
      }
      pos += length;
    }
    return FixedText(kNameLength);
  }
  // A single-byte code page: bytes are characters. The cut is made here, in
  // bytes, so that the name is the line's 37 bytes even where two of them
  // happen to read as one UTF-8 character.
  for (std::size_t i = 0; i < used; ++i) {
    if (isTrue(isLetter(line[i]))) {
      return FixedText(kNameLength,
                       std::string_view(line).substr(i, std::min(used - i, kNameLength)));
    }
  }
  return FixedText(kNameLength);
}

// The group number check: the title's first run of digits read as one
// free-form integer. With no digit the piece is empty and the read meets the
// end of its data, which is fatal; the number itself is not kept.
// Returns the position of the first digit (0 when there is none).
std::size_t checkGroupNumber(const FixedText& title, std::size_t used, const std::string& context) {
  const auto characters = splitCharacters(title.str());
  const auto digitAt = [&](std::size_t position) {
    const std::string_view character = characters[position - 1];
    return character.size() == 1 && isTrue(isDigit(character.front()));
  };
  std::size_t first = 1;
  while (first <= used && !digitAt(first)) ++first;
  std::size_t last = first;
  if (first > used) {
    first = 0;
  } else {
    while (last < used && digitAt(last + 1)) ++last;
  }
  const std::string_view piece =
      first == 0 ? std::string_view{} : characterRange(title.str(), first, last);
  readIntegerFromText(piece, kFreeForm, context);
  return first;
}

// Editors on Windows often begin a UTF-8 file with a byte order mark. It is
// no part of the title, and kept it would stand, unseen, in the result file's
// name.
std::string_view withoutByteOrderMark(std::string_view line) {
  if (line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
  return line;
}

// How a group file's bytes become the UTF-8 lines that the reader takes.
enum class Encoding { kUtf8, kWindows1250, kUtf16LittleEndian, kUtf16BigEndian };

// A file that begins with the mark of UTF-16 is UTF-16; any other is UTF-8
// when all of it is valid UTF-8, and Windows-1250 otherwise. A UTF-8 mark
// before bytes that are no UTF-8 changes nothing: such a file is read as it
// would be without the mark (an editor's mark put before an older list).
Encoding encodingOf(std::string_view start, bool validUtf8) {
  if (const auto order = utf16ByteOrder(start)) {
    return *order == Utf16Order::kLittleEndian ? Encoding::kUtf16LittleEndian
                                               : Encoding::kUtf16BigEndian;
  }
  return validUtf8 ? Encoding::kUtf8 : Encoding::kWindows1250;
}

Utf16Order utf16Order(Encoding encoding) {
  return encoding == Encoding::kUtf16LittleEndian ? Utf16Order::kLittleEndian
                                                  : Utf16Order::kBigEndian;
}

// Reads the whole file once for its encoding (its first bytes alone for a
// UTF-16 mark), and goes back to its start. A read error ends the look; the
// reads of the group meet it again.
Encoding fileEncoding(TextFile& file) {
  std::string start;
  Utf8Checker checker;
  std::array<char, 64 * 1024> block;
  std::size_t count = 0;
  while ((count = file.read(block.data(), block.size())) > 0) {
    const std::string_view piece(block.data(), count);
    if (start.size() < kByteOrderMark.size()) {
      start += piece.substr(0, kByteOrderMark.size() - start.size());
      if (utf16ByteOrder(start)) break;
    }
    checker.add(piece);
  }
  file.rewind();
  return encodingOf(start, checker.valid());
}

// The lines of `lines` with a UTF-8 mark taken off the first one.
LineSource withoutLeadingMark(LineSource lines) {
  auto shared = std::make_shared<LineSource>(std::move(lines));
  auto first = std::make_shared<bool>(true);
  std::string name = shared->name();
  return LineSource(
      [shared, first](std::string& line) {
        const ReadStatus status = shared->next(line);
        if (status == ReadStatus::kLine && *first) line = withoutByteOrderMark(line);
        *first = false;
        return status;
      },
      std::move(name));
}

}  // namespace

Group readGroup(const std::function<LineSource()>& openLines, TextSink& console) {
  Group group;
  group.GroupFromFile = true;

  LineSource firstPass = openLines();
  group.GroupTitle = FixedText(kTitleLength, withoutByteOrderMark(firstPass.nextOrFail()));
  const std::size_t used = usedLength(group.GroupTitle.str());
  const std::size_t firstDigit = checkGroupNumber(group.GroupTitle, used, firstPass.name());
  group.GroupText = std::string(characterRange(group.GroupTitle.str(), firstDigit, used));

  // The end of the file and a read error both end the list.
  while (const auto record = tryReadFixedText(firstPass, kTitleLength)) {
    if (isStudentLine(*record)) ++group.StudentCount;
  }

  // The values are named rather than temporaries: GCC 12 at -O3 takes the
  // destruction of a temporary list of texts and integers for a use of
  // uninitialized memory (-Wmaybe-uninitialized).
  const LayoutValues groupLine{std::string(kGroupLabel), group.GroupText};
  const LayoutValues countLine{std::string(kStudentCountLabel), group.StudentCount};
  writeLine(console, groupLineLayout(), groupLine);
  writeLine(console, studentCountLayout(), countLine);

  group.StudentNames.assign(static_cast<std::size_t>(group.StudentCount), FixedText(kNameLength));
  LineSource secondPass = openLines();
  readFixedText(secondPass, kTitleLength);
  std::size_t filled = 0;
  // The list never grows: should the file have gained student lines since the
  // first pass, the extra ones are left out.
  while (filled < group.StudentNames.size()) {
    const auto record = tryReadFixedText(secondPass, kTitleLength);
    if (!record) break;
    if (isStudentLine(*record)) group.StudentNames[filled++] = studentName(*record);
  }
  return group;
}

std::optional<Group> readGroupFile(const std::string& path, TextSink& console) {
  std::error_code error;
  auto file = openForReading(path, error);
  if (!file) return std::nullopt;
  const Encoding encoding = fileEncoding(*file);
  Group group = readGroup(
      [&file, encoding]() -> LineSource {
        file->rewind();
        // Only a line's first 80 characters count, however long it is: a
        // long line must not end the student list as a failed read would.
        switch (encoding) {
          case Encoding::kUtf8:
            return fileSource(*file, LongLines::kCut);
          case Encoding::kWindows1250:
            return windows1250Lines(withoutLeadingMark(fileSource(*file, LongLines::kCut)));
          case Encoding::kUtf16LittleEndian:
          case Encoding::kUtf16BigEndian:
            break;
        }
        return utf16Lines(
            [&file](char* buffer, std::size_t size) { return file->read(buffer, size); },
            [&file] { return file->readFailed(); }, utf16Order(encoding), file->name(),
            LongLines::kCut);
      },
      console);
  file->close();
  return group;
}

Group readGroupText(const std::string& content, const std::string& name, TextSink& console) {
  const Encoding encoding = encodingOf(content, isValidUtf8(content));
  std::string utf8;
  switch (encoding) {
    case Encoding::kUtf8:
      utf8 = content;
      break;
    case Encoding::kWindows1250:
      utf8 = windows1250ToUtf8(withoutByteOrderMark(content));
      break;
    case Encoding::kUtf16LittleEndian:
    case Encoding::kUtf16BigEndian:
      utf8 = utf16ToUtf8(content, utf16Order(encoding));
      break;
  }
  return readGroup([&] { return textSource(utf8, name); }, console);
}

}  // namespace lotrano
