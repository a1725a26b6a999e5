#include "host/text_stream.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <istream>
#include <ostream>

#include "host/characters.h"
#include "host/fatal_error.h"
#include "host/platform.h"

namespace lotrano {
namespace {

// Names tried for the new content of a replaced file (".part", ".part1", ...);
// more are only taken by runs that stopped midway or write at the same time.
constexpr int kPartFileAttempts = 10;

}  // namespace

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
ReadStatus collectLine(Get get, std::string& line, bool& failed, LongLines longLines) {
  line.clear();
  bool any = false;
  bool cut = false;
  for (int c = get(); c != EOF; c = get()) {
    any = true;
    if (c == '\n') break;
    // One byte beyond the limit is room for the CR of a CR LF.
    if (line.size() > kMaxLineBytes) {
      // Refused rather than cut, so that no value is silently taken from a
      // shortened line; reading stops here, so an endless line cannot hold us.
      if (longLines == LongLines::kRefuse) return ReadStatus::kError;
      // Cut: the rest of the line is passed over without being kept.
      cut = true;
      continue;
    }
    line.push_back(static_cast<char>(c));
  }
  if (failed) return ReadStatus::kError;
  if (!any) return ReadStatus::kEnd;
  if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() <= kMaxLineBytes) return ReadStatus::kLine;
  if (longLines == LongLines::kRefuse) return ReadStatus::kError;
  line.resize(kMaxLineBytes);
  return ReadStatus::kLine;
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

void replaceWholeFile(const std::string& path, const std::function<void(TextFile& file)>& write) {
  namespace fs = std::filesystem;
  std::error_code error;
  const auto status = fs::symlink_status(path, error);
  if (fs::is_directory(status)) throwOpenError(EISDIR, path);
  // An earlier file must be one we could rewrite in place (opened without
  // being emptied), so that a read-only one is still refused.
  if (fs::is_regular_file(status)) {
    std::FILE* earlier = std::fopen(path.c_str(), "r+b");
    if (earlier == nullptr) throwOpenError(errno, path);
    std::fclose(earlier);
  }
  // The new content goes to a fresh file of its own, beside the old one.
  std::string partName;
  std::FILE* part = nullptr;
  for (int attempt = 0; part == nullptr && attempt < kPartFileAttempts; ++attempt) {
    partName = path + ".part" + (attempt == 0 ? std::string() : std::to_string(attempt));
    part = createFileExclusively(partName);
    if (part == nullptr && errno != EEXIST) throwOpenError(errno, path);
  }
  if (part == nullptr) throwOpenError(EEXIST, path);
  TextFile file(part, path);
  try {
    write(file);
    file.close();
  } catch (...) {
    file = TextFile();
    fs::remove(partName, error);
    throw;
  }
  fs::rename(partName, path, error);
  if (error) {
    fs::remove(partName, error);
    throw FatalError(ErrorCode::kWriteError, path, error.message());
  }
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

LineSource fileSource(TextFile& file, LongLines longLines) {
  auto reader = [&file, longLines](std::string& line) {
    std::FILE* handle = file.handle();
    if (handle == nullptr) return ReadStatus::kError;
    bool failed = false;
    auto get = [&]() -> int {
      const int c = std::fgetc(handle);
      if (c == EOF) failed = std::ferror(handle) != 0;
      return c;
    };
    return collectLine(get, line, failed, longLines);
  };
  return LineSource(reader, file.name());
}

}  // namespace lotrano
