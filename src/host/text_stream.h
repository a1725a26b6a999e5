// Where lines go and where they come from: the console and text files as
// sequences of lines. A TextSink writes finished or open lines; a LineSource
// hands out lines one at a time without their line ends (CR LF or LF).
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace lotrano {

// Files travel between Windows and Linux machines, so they always get CR LF;
// the console gets the platform's own line end.
inline constexpr std::string_view kFileLineEnd = "\r\n";
inline constexpr std::string_view kConsoleLineEnd = "\n";

class TextSink {
 public:
  // Writes bytes; returns false when the write failed.
  using Writer = std::function<bool(std::string_view bytes)>;

  TextSink(Writer writer, std::string name, std::string_view lineEnd, std::ostream& diagnostics);

  // Appends text to the current line; ends the line when `endLine` is true.
  // A failed write is the fatal "error during write" naming this sink.
  void write(std::string_view text, bool endLine);

  // True while a line written with endLine false is waiting to be continued.
  bool lineOpen() const { return lineOpen_; }
  // Columns already written on the open line (0 when no line is open).
  std::size_t openColumns() const { return openColumns_; }

  // An answer typed after an open prompt ends the prompt's line: on a
  // terminal the echo of Enter did it (`echoed` true), otherwise the sink
  // writes the line end itself.
  void endLineAfterInput(bool echoed);

  const std::string& name() const { return name_; }
  std::ostream& diagnostics() const { return diagnostics_; }

 private:
  void put(std::string_view bytes);

  Writer writer_;
  std::string name_;
  std::string lineEnd_;
  std::ostream& diagnostics_;
  bool lineOpen_ = false;
  std::size_t openColumns_ = 0;
};

// A sink that writes to a stream (the console, or a string stream in tests).
TextSink streamSink(std::ostream& out, std::string name, std::string_view lineEnd,
                    std::ostream& diagnostics);

enum class ReadStatus { kLine, kEnd, kError };

class LineSource {
 public:
  // Reads the next line into `line` (without its line end).
  using Reader = std::function<ReadStatus(std::string& line)>;

  LineSource(Reader reader, std::string name);

  // The next line, or the reason there is none.
  ReadStatus next(std::string& line);
  // The next line; the end of the data is the fatal "end-of-file during
  // read" and a failed read the fatal "error during read".
  std::string nextOrFail();

  const std::string& name() const { return name_; }

 private:
  Reader reader_;
  std::string name_;
};

// Longest line read from the console or a file (its CR not counted); a
// longer one is refused or cut (LongLines), so that no input, however made,
// can exhaust memory or hold the program. Every line the program looks at is
// far shorter.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// What a source does with a line longer than kMaxLineBytes: refuse it as a
// failed read (where values are read from the whole line), or cut it to that
// length and pass over the rest (where only the line's first characters
// count, as in fixed-width reads).
enum class LongLines { kRefuse, kCut };

// Reads one line from a stream, dropping a CR before the LF.
ReadStatus readStreamLine(std::istream& in, std::string& line);

// A source over fixed text, split at its line ends (for reads from a text and
// for tests).
LineSource textSource(std::string text, std::string name);

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
  std::FILE* handle() const { return file_; }

  // Closes the file; a failed close of a file written to is the fatal
  // "error during write".
  void close();

 private:
  std::FILE* file_ = nullptr;
  std::string name_;
};

// Opens an existing file for reading; nullopt (with errno set) when it does
// not open. A folder does not open.
std::optional<TextFile> openForReading(const std::string& path);

// Creates a new file for writing; never opens a file that already exists.
// nullopt (with errno set, EEXIST for an existing file) when it is not created.
std::optional<TextFile> createNewFile(const std::string& path);

// Creates a file, or replaces an earlier one of that name, as a whole: `write`
// fills a new file beside it (the TextFile carries `path` as its name), which
// takes the name only once it is complete and closed. A failed write leaves
// the earlier file as it was and no new one; a symbolic link of that name is
// replaced, never followed. An earlier file that may not be written (read-only,
// a folder) is refused before anything is written: the fatal diagnostic of
// its open.
void replaceWholeFile(const std::string& path, const std::function<void(TextFile& file)>& write);

TextSink fileSink(TextFile& file, std::ostream& diagnostics);
LineSource fileSource(TextFile& file, LongLines longLines = LongLines::kRefuse);

}  // namespace lotrano
