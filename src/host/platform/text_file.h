// Text files on disk: opening an existing file for reading, creating a new
// one that never replaces anything, replacing a file as a whole, and the
// sinks and sources of the text layer over them. Lines written to a file are
// held in the stream's buffer until the sink is flushed or the file closed.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "host/text/text_stream.h"

namespace lotrano {

// An open C stream: a text file as the program reads and writes it. Closing
// is explicit so that a failed close can be reported; the destructor closes
// silently.
class TextFile {
 public:
  TextFile() = default;
  TextFile(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
  TextFile(TextFile&& other) noexcept;
  TextFile& operator=(TextFile&& other) noexcept;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  bool isOpen() const { return file_ != nullptr; }
  const std::string& name() const { return name_; }

  // Reads the next line into `line`, without its line end; a line longer
  // than kMaxLineBytes is refused (kTooLong) or cut as `longLines` says. A
  // file that is not open reads as a failure.
  ReadStatus readLine(std::string& line, LongLines longLines);
  // Reads up to `size` bytes into `buffer`; their count, 0 at the end of the
  // file or when the read failed.
  std::size_t read(char* buffer, std::size_t size);
  // True when a read has failed since the file was opened or last rewound
  // (a file that is not open reads as a failure).
  bool readFailed() const;
  // Goes back to the file's first byte and forgets an earlier failure.
  void rewind();
  // Writes the bytes; false when the write failed or the file is not open.
  bool write(std::string_view bytes);
  // Pushes the buffered bytes to the operating system; false when that failed.
  bool flush();

  // Pushes what the stream holds to the operating system and asks it to put
  // the file's content on the disk; a failure is the fatal "error during
  // write". Nothing happens to a file that is not open.
  void syncToDisk();

  // Closes the file; a failed close of a file written to is the fatal
  // "error during write".
  void close();

  // Gathers what is written in a buffer of `bytes` (owned by this object)
  // before it goes to the system; call before the first write.
  void bufferWrites(std::size_t bytes);

 private:
  std::FILE* file_ = nullptr;
  std::string name_;
  std::unique_ptr<char[]> buffer_;  // outlives the stream, which is closed first
};

// The file calls below are the operating system's own, one set per system
// (platform_linux.cpp, platform_win32.cpp), as are the ones this module's
// files are made with (platform_common.h). Each takes a name as UTF-8 and
// hands it to the system without converting it any other way, so that a name
// created by one of them is the very name the others find.

// True when the folder holds an entry of that name, of any kind: a file, a
// folder, a link (even one that leads nowhere). An entry that cannot be
// examined counts as absent; creating it will tell.
bool entryExists(const std::string& path);

// Removes a file; false with `error` set when it could not be removed.
bool removeFile(const std::string& path, std::error_code& error);

// Opens an existing file for reading; nullopt with `error` set when it does
// not open. A folder does not open.
std::optional<TextFile> openForReading(const std::string& path, std::error_code& error);

// Creates a new file for writing; never opens a file that already exists.
// nullopt with `error` set (std::errc::file_exists for an existing file) when
// it is not created.
std::optional<TextFile> createNewFile(const std::string& path, std::error_code& error);

// Creates a file, or replaces an earlier one of that name, as a whole: `write`
// fills a new file beside it (the TextFile carries `path` as its name), which
// is put on the disk and takes the name only once it is complete and closed. A
// failed write leaves the earlier file as it was and no new one; a symbolic
// link of that name is replaced, never followed. An earlier file that may not
// be written (read-only, a folder) is refused before anything is written: the
// fatal diagnostic of its open. Whatever fails, no part file is left behind.
void replaceWholeFile(const std::string& path, const std::function<void(TextFile& file)>& write);

// A sink that writes through the file's buffer; its flush pushes the buffer
// to the operating system.
TextSink fileSink(TextFile& file);
LineSource fileSource(TextFile& file, LongLines longLines = LongLines::kRefuse);

}  // namespace lotrano
