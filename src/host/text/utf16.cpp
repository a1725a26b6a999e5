#include "host/text/utf16.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "host/text/code_page.h"

namespace lotrano {
namespace {

constexpr std::size_t kMarkBytes = 2;
constexpr char16_t kFirstHighSurrogate = 0xD800;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastLowSurrogate = 0xDFFF;

bool isHighSurrogate(char16_t unit) {
  return unit >= kFirstHighSurrogate && unit < kFirstLowSurrogate;
}
bool isLowSurrogate(char16_t unit) {
  return unit >= kFirstLowSurrogate && unit <= kLastLowSurrogate;
}

}  // namespace

std::optional<Utf16Order> utf16ByteOrder(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf16Order::kLittleEndian;
  if (bytes.starts_with("\xFE\xFF")) return Utf16Order::kBigEndian;
  return std::nullopt;
}

void Utf16Decoder::add(std::string_view bytes, std::string& utf8) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!oddByte_) {
      oddByte_ = byte;
      continue;
    }
    const auto first = static_cast<char16_t>(*oddByte_);
    const auto second = static_cast<char16_t>(byte);
    oddByte_.reset();
    addUnit(static_cast<char16_t>(order_ == Utf16Order::kLittleEndian ? second << 8 | first
                                                                      : first << 8 | second),
            utf8);
  }
}

void Utf16Decoder::addUnit(char16_t unit, std::string& utf8) {
  if (highSurrogate_) {
    const char16_t high = *highSurrogate_;
    highSurrogate_.reset();
    if (isLowSurrogate(unit)) {
      appendUtf8(utf8, 0x10000 + ((char32_t{high} - kFirstHighSurrogate) << 10) +
                           (char32_t{unit} - kFirstLowSurrogate));
      return;
    }
    appendUtf8(utf8, kReplacementCharacter);
  }
  if (isHighSurrogate(unit)) {
    highSurrogate_ = unit;
  } else {
    appendUtf8(utf8, isLowSurrogate(unit) ? kReplacementCharacter : char32_t{unit});
  }
}

void Utf16Decoder::finish(std::string& utf8) {
  if (highSurrogate_) appendUtf8(utf8, kReplacementCharacter);
  if (oddByte_) appendUtf8(utf8, kReplacementCharacter);
  highSurrogate_.reset();
  oddByte_.reset();
}

std::string utf16ToUtf8(std::string_view bytes, Utf16Order order) {
  std::string utf8;
  utf8.reserve(bytes.size());
  Utf16Decoder decoder(order);
  if (utf16ByteOrder(bytes)) bytes.remove_prefix(kMarkBytes);
  decoder.add(bytes, utf8);
  decoder.finish(utf8);
  return utf8;
}

LineSource utf16Lines(BlockReader read, std::function<bool()> failed, Utf16Order order,
                      std::string name, LongLines longLines) {
  // The reader is copied around as a std::function; what it has read and
  // converted so far is one and the same.
  struct State {
    explicit State(Utf16Order byteOrder) : decoder(byteOrder) {}
    Utf16Decoder decoder;
    std::string utf8;  // converted, not yet handed out
    std::size_t next = 0;
    std::size_t markLeft = kMarkBytes;  // bytes of the mark not yet passed over
    bool ended = false;
    bool failed = false;
  };
  auto state = std::make_shared<State>(order);
  return LineSource(
      [read = std::move(read), failed = std::move(failed), state, longLines](std::string& line) {
        const auto get = [&]() -> int {
          while (state->next == state->utf8.size()) {
            if (state->ended) return EOF;
            state->utf8.clear();
            state->next = 0;
            std::array<char, 4096> block;
            const std::size_t count = read(block.data(), block.size());
            std::string_view piece(block.data(), count);
            const std::size_t mark = std::min(state->markLeft, piece.size());
            piece.remove_prefix(mark);
            state->markLeft -= mark;
            if (count == 0) {
              state->decoder.finish(state->utf8);
              state->ended = true;
              state->failed = failed();
            } else {
              state->decoder.add(piece, state->utf8);
            }
          }
          return static_cast<unsigned char>(state->utf8[state->next++]);
        };
        return collectLine(get, line, state->failed, longLines);
      },
      std::move(name));
}

}  // namespace lotrano
