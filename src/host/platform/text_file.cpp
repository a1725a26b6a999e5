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

TextSink fileSink(TextFile& file, std::ostream& diagnostics) {
  auto writer = [&file](std::string_view bytes) {
    std::FILE* handle = file.handle();
    if (handle == nullptr) return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), handle) == bytes.size();
  };
  auto flusher = [&file] {
    std::FILE* handle = file.handle();
    return handle != nullptr && std::fflush(handle) == 0;
  };
  return TextSink(writer, file.name(), kFileLineEnd, diagnostics, flusher);
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
