// L'Ecuyer's (1988) combined multiplicative congruential generator.
//
// Two Lehmer components, w1 <- 40014 w1 mod 2147483563 and
// w2 <- 40692 w2 mod 2147483399, combined by difference into a uniform in
// (0, 1). An allocation is reproduced from its stored seed pair, so every step
// is exact 32-bit integer arithmetic and the one rounding to float is fixed.
//
// The value type GeneratorState and the pure functions on it let a caller run
// a stretch of draws locally; the process-wide functions at the end wrap one
// shared state behind a lock.
#pragma once

#include <cstdint>
#include <functional>

namespace lotrano {

// The two words stored with an allocation. Any 32-bit values are accepted;
// putState brings each word into its component's range.
struct SeedPair {
  std::int32_t first = 0;
  std::int32_t second = 0;
  friend bool operator==(const SeedPair&, const SeedPair&) = default;
};

inline constexpr std::int32_t kSeedPairWords = 2;  // number of words in a SeedPair

// Largest value of each state word (its modulus minus one); the smallest is 1.
inline constexpr std::int32_t kFirstWordMax = 2147483562;
inline constexpr std::int32_t kSecondWordMax = 2147483398;

// A generator state. Invariant: 1 <= w1 <= kFirstWordMax, 1 <= w2 <= kSecondWordMax
// (build one from arbitrary words with stateFromWords). Default-constructed, it is
// the state the process starts in before any seeding.
struct GeneratorState {
  std::int32_t w1 = kFirstWordMax;
  std::int32_t w2 = kSecondWordMax;
  friend bool operator==(const GeneratorState&, const GeneratorState&) = default;
};

// Each word, read as unsigned 32-bit v, brought into 1..L of its component:
// 0 -> L; 1..L -> v; L+1..2L -> v - L; above 2L -> v - 2L.
SeedPair reduceSeedPair(SeedPair words);
GeneratorState stateFromWords(SeedPair words);  // reduceSeedPair, as a state
SeedPair wordsOf(GeneratorState state);         // (w1, w2)

// Steps both components once and returns the combined value
// z = w1 - w2, plus kFirstWordMax when that is <= 0; 1 <= z <= kFirstWordMax.
std::int32_t nextCombined(GeneratorState& state);

// z * 2^-31 rounded once to float, to nearest with ties to even.
// For 1 <= z <= kFirstWordMax the result lies in [2^-31, 1 - 2^-24].
float uniformFromCombined(std::int32_t z);

// uniformFromCombined(nextCombined(state)).
float nextUniform(GeneratorState& state);

// The words seedFromClock puts, before reduction. x = t + e wrapped to a signed
// 32-bit sum; w1 = (x << 16) | (x >> 16), w2 = (w1 << 4) | (w1 >> 28), where the
// left shifts drop the bits shifted out and the right shifts fill with the sign.
SeedPair clockSeedWords(std::int64_t secondsSince1970, std::int64_t millisecondsSinceStart);

// --- Process-wide generator, shared by all threads; each call takes the lock once.

void putState(SeedPair words);  // the pair, reduced, becomes the state
SeedPair getState();
void seedFromClock(std::int64_t secondsSince1970, std::int64_t millisecondsSinceStart);

// Runs work on the process-wide state with the lock held throughout, so a batch
// of draws takes one unbroken stretch of the sequence. work must not call the
// process-wide functions above: the lock is not recursive.
void withGenerator(const std::function<void(GeneratorState&)>& work);

}  // namespace lotrano
