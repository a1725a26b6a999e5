// Text in UTF-16, as Windows Notepad saves it when told "Unicode" (little
// endian) or "Unicode big endian": two bytes a code unit, a byte order mark
// first. Inside the program every text is UTF-8; such text is converted as
// it is read. Only a text that begins with its mark is taken for UTF-16:
// without one, nothing tells it from any other bytes.
//
// A code unit that is half of a pair without its other half (a lone
// surrogate), and a last byte without its partner, become U+FFFD, the
// replacement character, so that nothing is dropped unseen.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "host/text/text_stream.h"

namespace lotrano {

enum class Utf16Order { kLittleEndian, kBigEndian };

// The byte order that a UTF-16 byte order mark (FF FE or FE FF) at the start
// of `bytes` gives; nullopt when they do not begin with one.
std::optional<Utf16Order> utf16ByteOrder(std::string_view bytes);

// Turns UTF-16 bytes that arrive in pieces (a file read block by block) into
// UTF-8; a code unit or a pair may be split between two pieces. The mark is
// converted as any character; callers that keep it out pass it over first.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(Utf16Order order) : order_(order) {}

  // Appends to `utf8` the characters that `bytes` completes.
  void add(std::string_view bytes, std::string& utf8);
  // Ends the text: whatever is left unfinished becomes U+FFFD.
  void finish(std::string& utf8);

 private:
  void addUnit(char16_t unit, std::string& utf8);

  Utf16Order order_;
  std::optional<unsigned char> oddByte_;   // the first byte of a unit cut in two
  std::optional<char16_t> highSurrogate_;  // the first unit of a pair
};

// The UTF-8 form of a whole UTF-16 text; its byte order mark is not part of
// it.
std::string utf16ToUtf8(std::string_view bytes, Utf16Order order);

// Hands out up to `size` bytes into `buffer`, as fread does: their count, 0
// at the end of the data or when the read failed.
using BlockReader = std::function<std::size_t(char* buffer, std::size_t size)>;

// A source of the lines of a UTF-16 text read through `read` from its start,
// which is its byte order mark (passed over), each line in UTF-8 without
// its line end (LF, or CR LF); a line longer than kMaxLineBytes in UTF-8 is
// refused or cut as `longLines` says. `failed` tells whether a read that
// gave 0 bytes failed. The source is named `name`.
LineSource utf16Lines(BlockReader read, std::function<bool()> failed, Utf16Order order,
                      std::string name, LongLines longLines);

}  // namespace lotrano
