#include "host/text_stream.h"

#include <cerrno>
#include <filesystem>
#include <istream>
#include <ostream>

#include "host/characters.h"
#include "host/fatal_error.h"
#include "host/platform.h"

namespace lotrano {

TextSink::TextSink(Writer writer, std::string name, std::string_view lineEnd,
                   std::ostream& diagnostics)
    : writer_(std::move(writer)),
      name_(std::move(name)),
      lineEnd_(lineEnd),
      diagnostics_(diagnostics) {}

void TextSink::put(std::string_view bytes) {
  if (!writer_(bytes)) throw FatalError(ErrorCode::kWriteError, name_);
}

void TextSink::write(std::string_view text, bool endLine) {
  if (endLine) {
    std::string line(text);
    line += lineEnd_;
    put(line);
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

TextSink streamSink(std::ostream& out, std::string name, std::string_view lineEnd,
                    std::ostream& diagnostics) {
  auto writer = [&out](std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
  };
  return TextSink(writer, std::move(name), lineEnd, diagnostics);
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
      throw FatalError(ErrorCode::kReadError, name_);
  }
  return line;
}

namespace {

// Collects one line from a character supplier; `get` returns EOF at the end.
template <typename Get>
ReadStatus collectLine(Get get, std::string& line, bool& failed) {
  line.clear();
  bool any = false;
  for (int c = get(); c != EOF; c = get()) {
    any = true;
    if (c == '\n') break;
    // Refused rather than cut, so that no value is silently taken from a
    // shortened line; reading stops here, so an endless line cannot hold us.
    // One byte beyond the limit is room for the CR of a CR LF.
    if (line.size() > kMaxLineBytes) return ReadStatus::kError;
    line.push_back(static_cast<char>(c));
  }
  if (failed) return ReadStatus::kError;
  if (!any) return ReadStatus::kEnd;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line.size() > kMaxLineBytes ? ReadStatus::kError : ReadStatus::kLine;
}

}  // namespace

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
  return collectLine(get, line, failed);
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

TextFile::TextFile(TextFile&& other) noexcept : file_(other.file_), name_(std::move(other.name_)) {
  other.file_ = nullptr;
}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = other.file_;
    name_ = std::move(other.name_);
    other.file_ = nullptr;
  }
  return *this;
}

TextFile::~TextFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void TextFile::close() {
  if (file_ == nullptr) return;
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) throw FatalError(ErrorCode::kWriteError, name_);
}

std::optional<TextFile> openForReading(const std::string& path) {
  // A folder is no text file: refuse it here rather than fail at its first read.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    errno = EISDIR;
    return std::nullopt;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  return TextFile(file, path);
}

std::optional<TextFile> createNewFile(const std::string& path) {
  std::FILE* file = createFileExclusively(path);
  if (file == nullptr) return std::nullopt;
  return TextFile(file, path);
}

std::optional<TextFile> openForRewriting(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return std::nullopt;
  return TextFile(file, path);
}

TextSink fileSink(TextFile& file, std::ostream& diagnostics) {
  auto writer = [&file](std::string_view bytes) {
    std::FILE* handle = file.handle();
    if (handle == nullptr) return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), handle) == bytes.size() &&
           std::fflush(handle) == 0;
  };
  return TextSink(writer, file.name(), kFileLineEnd, diagnostics);
}

LineSource fileSource(TextFile& file) {
  auto reader = [&file](std::string& line) {
    std::FILE* handle = file.handle();
    if (handle == nullptr) return ReadStatus::kError;
    bool failed = false;
    auto get = [&]() -> int {
      const int c = std::fgetc(handle);
      if (c == EOF) failed = std::ferror(handle) != 0;
      return c;
    };
    return collectLine(get, line, failed);
  };
  return LineSource(reader, file.name());
}

}  // namespace lotrano
