#include "host/platform/text_file.h"

#include "host/platform/platform_common.h"
#include "host/text/fatal_error.h"

namespace lotrano {
namespace {

// Names tried for the new content of a replaced file (".part", ".part1", ...);
// more are only taken by runs that stopped midway or write at the same time.
constexpr int kPartFileAttempts = 10;

constexpr std::size_t kWriteBufferBytes = 64 * 1024;

}  // namespace

TextFile::TextFile(TextFile&& other) noexcept
    : file_(other.file_), name_(std::move(other.name_)), buffer_(std::move(other.buffer_)) {
  other.file_ = nullptr;
}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = other.file_;
    name_ = std::move(other.name_);
    buffer_ = std::move(other.buffer_);
    other.file_ = nullptr;
  }
  return *this;
}

void TextFile::bufferWrites(std::size_t bytes) {
  if (file_ == nullptr) return;
  buffer_ = std::make_unique<char[]>(bytes);
  std::setvbuf(file_, buffer_.get(), _IOFBF, bytes);
}

TextFile::~TextFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void TextFile::syncToDisk() {
  if (file_ == nullptr) return;
  if (std::fflush(file_) != 0 || !syncStreamToDisk(file_)) {
    throw FatalError(ErrorCode::kWriteError, name_);
  }
}

ReadStatus TextFile::readLine(std::string& line, LongLines longLines) {
  if (file_ == nullptr) return ReadStatus::kError;
  bool failed = false;
  auto get = [&]() -> int {
    const int c = std::fgetc(file_);
    if (c == EOF) failed = std::ferror(file_) != 0;
    return c;
  };
  return collectLine(get, line, failed, longLines);
}

std::size_t TextFile::read(char* buffer, std::size_t size) {
  if (file_ == nullptr) return 0;
  return std::fread(buffer, 1, size, file_);
}

bool TextFile::readFailed() const { return file_ == nullptr || std::ferror(file_) != 0; }

void TextFile::rewind() {
  if (file_ != nullptr) std::rewind(file_);
}

bool TextFile::write(std::string_view bytes) {
  if (file_ == nullptr) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool TextFile::flush() { return file_ != nullptr && std::fflush(file_) == 0; }

void TextFile::close() {
  if (file_ == nullptr) return;
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) throw FatalError(ErrorCode::kWriteError, name_);
}

std::optional<TextFile> openForReading(const std::string& path, std::error_code& error) {
  // A folder is no text file: it is refused here rather than fail at its
  // first read.
  std::FILE* file = openExistingFile(path, error);
  if (file == nullptr) return std::nullopt;
  return TextFile(file, path);
}

std::optional<TextFile> createNewFile(const std::string& path, std::error_code& error) {
  std::FILE* file = createFileExclusively(path, error);
  if (file == nullptr) return std::nullopt;
  TextFile created(file, path);
  // A report of thousands of lines goes to the system in a few writes.
  created.bufferWrites(kWriteBufferBytes);
  return created;
}

void replaceWholeFile(const std::string& path, const std::function<void(TextFile& file)>& write) {
  std::error_code error;
  // An earlier file must be one we could rewrite in place, so that a
  // read-only one is still refused.
  if (!mayReplace(path, error)) throwOpenError(error, path);
  // The new content goes to a fresh file of its own, beside the old one,
  // created, renamed and removed by the same system calls.
  std::string partName;
  std::FILE* part = nullptr;
  for (int attempt = 0; part == nullptr && attempt < kPartFileAttempts; ++attempt) {
    partName = path + ".part" + (attempt == 0 ? std::string() : std::to_string(attempt));
    part = createFileExclusively(partName, error);
    if (part == nullptr && error != std::errc::file_exists) throwOpenError(error, path);
  }
  if (part == nullptr) throwOpenError(std::make_error_code(std::errc::file_exists), path);
  TextFile file(part, path);
  try {
    write(file);
    file.syncToDisk();
    file.close();
  } catch (...) {
    file = TextFile();
    removeFile(partName, error);
    throw;
  }
  if (!renameReplacing(partName, path, error)) {
    const std::string reason = error.message();
    removeFile(partName, error);
    throw FatalError(ErrorCode::kWriteError, path, reason);
  }
  syncFolderOf(path);
}

TextSink fileSink(TextFile& file) {
  return TextSink([&file](std::string_view bytes) { return file.write(bytes); }, file.name(),
                  kFileLineEnd, [&file] { return file.flush(); });
}

LineSource fileSource(TextFile& file, LongLines longLines) {
  return LineSource(
      [&file, longLines](std::string& line) { return file.readLine(line, longLines); },
      file.name());
}

}  // namespace lotrano
