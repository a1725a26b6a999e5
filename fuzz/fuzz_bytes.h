// Taking a fuzzer's input apart into the arguments of the code under test.
//
// Every target reads a few leading bytes as its choices (how many targets, a
// width, a layout) and keeps the rest as text. A byte asked for after the
// input has run out reads as 0, so every input, even an empty one, decodes to
// some call; libFuzzer then learns which bytes matter from the coverage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace lotrano::fuzz {

class FuzzBytes {
 public:
  FuzzBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  // A value in lo..hi, from one byte (two when the span needs it).
  int inRange(int lo, int hi) {
    const auto span = static_cast<unsigned>(hi - lo) + 1;
    unsigned raw = byte();
    if (span > 256) raw = raw << 8 | byte();
    return lo + static_cast<int>(raw % span);
  }

  // Four bytes, first byte lowest.
  std::int32_t int32() {
    std::uint32_t raw = 0;
    for (int shift = 0; shift < 32; shift += 8) raw |= std::uint32_t{byte()} << shift;
    return static_cast<std::int32_t>(raw);
  }

  // The next `length` bytes (fewer when the input ends first).
  std::string text(std::size_t length) {
    const std::size_t taken = length < size_ - pos_ ? length : size_ - pos_;
    std::string result(reinterpret_cast<const char*>(data_ + pos_), taken);
    pos_ += taken;
    return result;
  }

  // Everything not yet taken.
  std::string rest() { return text(size_ - pos_); }

  bool empty() const { return pos_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A finding: an invariant that the input broke. The trap makes libFuzzer keep
// the input and stop, as a crash would.
inline void require(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace lotrano::fuzz
