#include "host/text/text_stream.h"

#include <cstdio>
#include <istream>
#include <ostream>

#include "host/text/characters.h"
#include "host/text/fatal_error.h"
#include "host/text/interruption.h"

namespace lotrano {
TextSink::TextSink(Writer writer, std::string name, std::string_view lineEnd, Flusher flusher)
    : writer_(std::move(writer)),
      flusher_(std::move(flusher)),
      name_(std::move(name)),
      lineEnd_(lineEnd) {}

void TextSink::put(std::string_view bytes) {
  if (writer_(bytes)) return;
  // A write to a pipe or a terminal that an interrupt cut short failed for it.
  throwIfInterrupted();
  throw FatalError(ErrorCode::kWriteError, name_);
}

void TextSink::flush() {
  if (!flusher_ || flusher_()) return;
  throwIfInterrupted();
  throw FatalError(ErrorCode::kWriteError, name_);
}

void TextSink::write(std::string_view text, bool endLine) {
  throwIfInterrupted();
  if (endLine) {
    line_.assign(text);
    line_ += lineEnd_;
    put(line_);
    lineOpen_ = false;
    openColumns_ = 0;
  } else {
    put(text);
    lineOpen_ = true;
    openColumns_ += characterCount(text);
  }
}

void TextSink::endLineAfterInput(bool echoed) {
  if (!lineOpen_) return;
  if (!echoed) put(lineEnd_);
  lineOpen_ = false;
  openColumns_ = 0;
}

TextSink streamSink(std::ostream& out, std::string name, std::string_view lineEnd) {
  auto writer = [&out](std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
  };
  return TextSink(writer, std::move(name), lineEnd);
}

TextSink discardingSink(std::string name, std::string_view lineEnd) {
  return TextSink([](std::string_view) { return true; }, std::move(name), lineEnd);
}

LineSource::LineSource(Reader reader, std::string name)
    : reader_(std::move(reader)), name_(std::move(name)) {}

ReadStatus LineSource::next(std::string& line) { return reader_(line); }

std::string LineSource::nextOrFail() {
  std::string line;
  switch (next(line)) {
    case ReadStatus::kLine:
      return line;
    case ReadStatus::kEnd:
      throw FatalError(ErrorCode::kEndOfFile, name_);
    case ReadStatus::kError:
    case ReadStatus::kTooLong:
      throw FatalError(ErrorCode::kReadError, name_);
  }
  return line;
}

ReadStatus readStreamLine(std::istream& in, std::string& line) {
  bool failed = false;
  auto get = [&]() -> int {
    const auto c = in.get();
    if (c == std::istream::traits_type::eof()) {
      failed = in.bad();
      return EOF;
    }
    return static_cast<unsigned char>(c);
  };
  return collectLine(get, line, failed, LongLines::kRefuse);
}

LineSource textSource(std::string text, std::string name) {
  auto reader = [text = std::move(text), pos = std::size_t{0}](std::string& line) mutable {
    if (pos >= text.size()) return ReadStatus::kEnd;
    const std::size_t end = text.find('\n', pos);
    const std::size_t stop = end == std::string::npos ? text.size() : end;
    line = text.substr(pos, stop - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end == std::string::npos ? text.size() : end + 1;
    return ReadStatus::kLine;
  };
  return LineSource(reader, std::move(name));
}

LineSource bytesSource(std::string_view bytes, std::string name, LongLines longLines,
                       bool failedAtEnd) {
  auto reader = [bytes, pos = std::size_t{0}, longLines, failedAtEnd](std::string& line) mutable {
    bool failed = false;
    auto get = [&]() -> int {
      if (pos < bytes.size()) return static_cast<unsigned char>(bytes[pos++]);
      failed = failedAtEnd;
      return EOF;
    };
    return collectLine(get, line, failed, longLines);
  };
  return LineSource(reader, std::move(name));
}

}  // namespace lotrano
