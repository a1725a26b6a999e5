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

#include "host/text/interruption.h"

namespace lotrano {

// Files travel between Windows and Linux machines, so they always get CR LF;
// the console gets the platform's own line end.
inline constexpr std::string_view kFileLineEnd = "\r\n";
inline constexpr std::string_view kConsoleLineEnd = "\n";

class TextSink {
 public:
  // Writes bytes; returns false when the write failed.
  using Writer = std::function<bool(std::string_view bytes)>;
  // Pushes bytes held in a buffer out to their destination; false when that
  // failed. A sink without one writes straight through.
  using Flusher = std::function<bool()>;

  TextSink(Writer writer, std::string name, std::string_view lineEnd, Flusher flusher = {});

  // Appends text to the current line; ends the line when `endLine` is true.
  // A failed write is the fatal "error during write" naming this sink. An
  // interrupt noted before the write stops it here, so that a long run of
  // lines ends at a line boundary; a write that an interrupt cut short
  // reports the interrupt.
  void write(std::string_view text, bool endLine);

  // Pushes every line written so far to its destination; a failure is the
  // fatal "error during write" naming this sink. Whoever writes to another
  // destination next (the console after the report) flushes first, so that a
  // failed write stops the program before anything that follows it.
  void flush();

  // True while a line written with endLine false is waiting to be continued.
  bool lineOpen() const { return lineOpen_; }
  // Columns already written on the open line (0 when no line is open).
  std::size_t openColumns() const { return openColumns_; }

  // An answer typed after an open prompt ends the prompt's line: on a
  // terminal the echo of Enter did it (`echoed` true), otherwise the sink
  // writes the line end itself.
  void endLineAfterInput(bool echoed);

  const std::string& name() const { return name_; }

 private:
  void put(std::string_view bytes);

  Writer writer_;
  Flusher flusher_;
  std::string name_;
  std::string lineEnd_;
  std::string line_;  // a line and its end, handed to the writer in one piece
  bool lineOpen_ = false;
  std::size_t openColumns_ = 0;
};

// A sink that writes to a stream (the console, or a string stream in tests).
TextSink streamSink(std::ostream& out, std::string name, std::string_view lineEnd);

// A sink whose lines go nowhere: the console of a draw whose lines nobody
// reads (a report drawn again to be compared).
TextSink discardingSink(std::string name, std::string_view lineEnd);

// What a read gave: a line, the end of the data, a failed read, or a line
// longer than kMaxLineBytes that the source refuses (LongLines::kRefuse).
enum class ReadStatus { kLine, kEnd, kError, kTooLong };

class LineSource {
 public:
  // Reads the next line into `line` (without its line end).
  using Reader = std::function<ReadStatus(std::string& line)>;

  LineSource(Reader reader, std::string name);

  // The next line, or the reason there is none.
  ReadStatus next(std::string& line);
  // The next line; the end of the data is the fatal "end-of-file during
  // read" and a failed read (a refused long line among them) the fatal
  // "error during read".
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

// What a source does with a line longer than kMaxLineBytes: refuse it
// (ReadStatus::kTooLong, where values are read from the whole line), or cut
// it to that length and pass over the rest (where only the line's first
// characters count, as in fixed-width reads).
enum class LongLines { kRefuse, kCut };

// Collects one line from a byte supplier: `get` returns the next byte (0 to
// 255) or EOF, and sets `failed` when the EOF stands for a failed read. The
// line end (LF, or CR LF) is not kept; a line over kMaxLineBytes is refused or
// cut as `longLines` says. The byte readers of the console and of files share
// it. A read cut short by an interrupt, or any read while one is noted, throws
// the interrupt instead (interruption.h).
template <typename Get>
ReadStatus collectLine(Get get, std::string& line, const bool& failed, LongLines longLines);

// Reads one line from a stream, dropping a CR before the LF.
ReadStatus readStreamLine(std::istream& in, std::string& line);

// A source over fixed text, split at its line ends (for reads from a text and
// for tests).
LineSource textSource(std::string text, std::string name);

// A source over bytes already read (a whole file), split into lines exactly
// as a file's are read: the line ends, a long line as `longLines` says, and
// with `failedAtEnd` a read that failed after the last byte (the line it cut
// short is then a failed read). The bytes must outlive the source.
LineSource bytesSource(std::string_view bytes, std::string name, LongLines longLines,
                       bool failedAtEnd = false);

template <typename Get>
ReadStatus collectLine(Get get, std::string& line, const bool& failed, LongLines longLines) {
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
      if (longLines == LongLines::kRefuse) return ReadStatus::kTooLong;
      // Cut: the rest of the line is passed over without being kept.
      cut = true;
      continue;
    }
    line.push_back(static_cast<char>(c));
  }
  // Checked after every line, so that reading a long file stops too.
  throwIfInterrupted();
  if (failed) return ReadStatus::kError;
  if (!any) return ReadStatus::kEnd;
  if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() <= kMaxLineBytes) return ReadStatus::kLine;
  if (longLines == LongLines::kRefuse) return ReadStatus::kTooLong;
  line.resize(kMaxLineBytes);
  return ReadStatus::kLine;
}

}  // namespace lotrano
