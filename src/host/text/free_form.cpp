#include "host/text/free_form.h"

#include <limits>

#include "host/text/characters.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool endsUnquoted(char c) { return isBlank(c) || c == ',' || c == '/'; }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// One value as it stood in the input, before it meets its target.
struct Token {
  bool quoted = false;
  std::string text;
};

// Parses a signed decimal integer in the 32-bit range; nullopt when the text
// is not one. `malformed` tells a broken number from something else entirely.
std::optional<std::int32_t> parseInteger(std::string_view text, bool& malformed) {
  malformed = false;
  std::size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos == text.size()) {
    malformed = true;  // a lone sign
    return std::nullopt;
  }
  if (!isAsciiDigit(text[pos])) {
    malformed = pos > 0;
    return std::nullopt;
  }
  std::int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    if (!isAsciiDigit(text[pos])) {
      malformed = true;
      return std::nullopt;
    }
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
      malformed = true;  // out of range; stop before the product could overflow
      return std::nullopt;
    }
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    malformed = true;
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

void store(const FreeTarget& target, const Token& token, const std::string& sourceName) {
  if (auto* text = std::get_if<FixedText*>(&target)) {
    (*text)->assign(token.text);
    return;
  }
  bool malformed = false;
  const auto value = token.quoted ? std::nullopt : parseInteger(token.text, malformed);
  if (!value) {
    throw FatalError(malformed ? ErrorCode::kInputConversion : ErrorCode::kListSyntax, sourceName);
  }
  *std::get<std::int32_t*>(target) = *value;
}

// Walks the lines of a source, value by value.
class FreeReader {
 public:
  FreeReader(LineSource& source, const std::vector<FreeTarget>& targets)
      : source_(source), targets_(targets) {}

  void run() {
    line_ = source_.nextOrFail();
    while (filled_ < targets_.size()) {
      if (pos_ >= line_.size()) {
        // The end of a line ends a value; reading goes on with the next line.
        line_ = source_.nextOrFail();
        pos_ = 0;
        continue;
      }
      const char c = line_[pos_];
      if (isBlank(c)) {
        ++pos_;
      } else if (c == '/') {
        return;
      } else if (c == ',') {
        ++pos_;
        if (!afterValue_) ++filled_;  // null value: the target keeps its value
        afterValue_ = false;
      } else {
        readValue();
        afterValue_ = true;
      }
    }
  }

 private:
  void readValue() {
    // A repeat count: digits directly followed by an asterisk.
    std::size_t end = pos_;
    while (end < line_.size() && isAsciiDigit(line_[end])) ++end;
    std::size_t repeat = 1;
    if (end > pos_ && end < line_.size() && line_[end] == '*') {
      bool malformed = false;
      const auto count = parseInteger(std::string_view(line_).substr(pos_, end - pos_), malformed);
      if (!count || *count == 0) throw FatalError(ErrorCode::kListSyntax, source_.name());
      repeat = static_cast<std::size_t>(*count);
      pos_ = end + 1;
      if (pos_ >= line_.size() || endsUnquoted(line_[pos_])) {
        filled_ += std::min(repeat, targets_.size() - filled_);  // r null values
        return;
      }
    }
    const Token token = readToken();
    for (std::size_t i = 0; i < repeat && filled_ < targets_.size(); ++i) {
      store(targets_[filled_++], token, source_.name());
    }
  }

  Token readToken() {
    Token token;
    const char quote = line_[pos_];
    if (quote == '\'' || quote == '"') {
      token.quoted = true;
      ++pos_;
      // A missing closing quote ends the text at the end of its line.
      while (pos_ < line_.size()) {
        if (line_[pos_] == quote) {
          if (pos_ + 1 < line_.size() && line_[pos_ + 1] == quote) {
            token.text += quote;
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        token.text += line_[pos_++];
      }
      return token;
    }
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !endsUnquoted(line_[pos_])) ++pos_;
    token.text = line_.substr(start, pos_ - start);
    return token;
  }

  LineSource& source_;
  const std::vector<FreeTarget>& targets_;
  std::string line_;
  std::size_t pos_ = 0;
  std::size_t filled_ = 0;
  bool afterValue_ = false;
};

}  // namespace

void readFreeValues(LineSource& source, const std::vector<FreeTarget>& targets) {
  if (targets.empty()) return;
  FreeReader(source, targets).run();
}

FixedText readFixedText(LineSource& source, std::size_t width) {
  return FixedText(width, source.nextOrFail());
}

std::optional<FixedText> tryReadFixedText(LineSource& source, std::size_t width) {
  std::string line;
  if (source.next(line) != ReadStatus::kLine) return std::nullopt;
  return FixedText(width, line);
}

std::int32_t readIntegerFromText(std::string_view text, FieldWidth width,
                                 const std::string& context) {
  std::string digits;
  for (const char c : leadingCharacters(text, width.columns)) {
    if (c != ' ') digits += c;
  }
  if (digits.empty()) return 0;
  bool malformed = false;
  const auto value = parseInteger(digits, malformed);
  if (!value) throw FatalError(ErrorCode::kInputConversion, context);
  return *value;
}

std::int32_t readIntegerFromText(std::string_view text, FreeForm, const std::string& context) {
  LineSource source = textSource(std::string(text), context);
  std::int32_t value = 0;
  readFreeValues(source, {&value});
  return value;
}

}  // namespace lotrano
