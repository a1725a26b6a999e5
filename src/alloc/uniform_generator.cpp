#include "alloc/uniform_generator.h"

#include <mutex>

namespace lotrano {
namespace {

// One Lehmer component w <- a w mod m, stepped by Schrage's decomposition
// m = a q + r (r < q): a (w mod q) - r (w div q) is a w mod m, less m at most
// once, and no intermediate leaves signed 32 bits.
struct Component {
  std::int32_t multiplier;
  std::int32_t modulus;
  std::int32_t quotient;
  std::int32_t remainder;
};

constexpr Component kFirst{40014, 2147483563, 53668, 12211};
constexpr Component kSecond{40692, 2147483399, 52774, 3791};

static_assert(kFirst.modulus == kFirst.multiplier * kFirst.quotient + kFirst.remainder);
static_assert(kSecond.modulus == kSecond.multiplier * kSecond.quotient + kSecond.remainder);
static_assert(kFirstWordMax == kFirst.modulus - 1 && kSecondWordMax == kSecond.modulus - 1);

// For 1 <= w <= m - 1: q <= 40014 (first) or 40692 (second) and 0 <= r < quotient,
// so a r <= 40014 * 53667 = 2147431338 or 40692 * 52773 = 2147438916, and
// remainder * q <= 12211 * 40014 = 488610954 or 3791 * 40692 = 154263372.
// The result is a w mod m, which is never 0 because m is prime.
std::int32_t step(std::int32_t w, const Component& c) {
  const std::int32_t q = w / c.quotient;
  const std::int32_t r = w - c.quotient * q;
  std::int32_t next = c.multiplier * r - c.remainder * q;
  if (next < 0) next += c.modulus;
  return next;
}

// v read as unsigned; 2 * max <= 4294967124 fits, and above 2 * max the result is at
// most 2^32 - 1 - 2 * max (171 for the first word, 499 for the second).
std::int32_t reduceWord(std::int32_t word, std::int32_t max) {
  const auto v = static_cast<std::uint32_t>(word);
  const auto limit = static_cast<std::uint32_t>(max);
  if (v == 0) return max;
  if (v <= limit) return static_cast<std::int32_t>(v);
  if (v <= 2 * limit) return static_cast<std::int32_t>(v - limit);
  return static_cast<std::int32_t>(v - 2 * limit);
}

// Right shift with sign fill, on the bits of a 32-bit word (defined in C++20).
std::uint32_t shiftRightSignFill(std::uint32_t bits, int count) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(bits) >> count);
}

std::mutex sharedMutex;
GeneratorState sharedState;

}  // namespace

SeedPair reduceSeedPair(SeedPair words) {
  return {reduceWord(words.first, kFirstWordMax), reduceWord(words.second, kSecondWordMax)};
}

GeneratorState stateFromWords(SeedPair words) {
  const SeedPair reduced = reduceSeedPair(words);
  return {reduced.first, reduced.second};
}

SeedPair wordsOf(GeneratorState state) { return {state.w1, state.w2}; }

std::int32_t nextCombined(GeneratorState& state) {
  state.w1 = step(state.w1, kFirst);
  state.w2 = step(state.w2, kSecond);
  // w1 - w2 lies in [1 - kSecondWordMax, kFirstWordMax - 1]; lifted, in [165, kFirstWordMax].
  std::int32_t z = state.w1 - state.w2;
  if (z <= 0) z += kFirstWordMax;
  return z;
}

float uniformFromCombined(std::int32_t z) {
  // z has at most 31 significant bits, so the double product is exact and the
  // conversion to float is the only rounding.
  return static_cast<float>(static_cast<double>(z) * 0x1p-31);
}

float nextUniform(GeneratorState& state) { return uniformFromCombined(nextCombined(state)); }

SeedPair clockSeedWords(std::int64_t secondsSince1970, std::int64_t millisecondsSinceStart) {
  // The sum is taken modulo 2^32, as a 32-bit machine adding the two would.
  const auto x = static_cast<std::uint32_t>(static_cast<std::uint64_t>(secondsSince1970) +
                                            static_cast<std::uint64_t>(millisecondsSinceStart));
  const std::uint32_t w1 = (x << 16) | shiftRightSignFill(x, 16);
  const std::uint32_t w2 = (w1 << 4) | shiftRightSignFill(w1, 28);
  return {static_cast<std::int32_t>(w1), static_cast<std::int32_t>(w2)};
}

void putState(SeedPair words) {
  const GeneratorState state = stateFromWords(words);
  const std::lock_guard<std::mutex> lock(sharedMutex);
  sharedState = state;
}

SeedPair getState() {
  const std::lock_guard<std::mutex> lock(sharedMutex);
  return wordsOf(sharedState);
}

void seedFromClock(std::int64_t secondsSince1970, std::int64_t millisecondsSinceStart) {
  putState(clockSeedWords(secondsSince1970, millisecondsSinceStart));
}

void withGenerator(const std::function<void(GeneratorState&)>& work) {
  const std::lock_guard<std::mutex> lock(sharedMutex);
  work(sharedState);
}

}  // namespace lotrano
