#include "alloc/problem_mapping.h"

namespace lotrano {
namespace {

// p rounded to the nearest integer, halves away from zero: llround's result,
// without its library call (a large draw maps tens of thousands of uniforms).
// For |p| <= 2^31 the truncation toward zero fits 64 bits and is a float
// itself, and p minus it is exact: p itself when it is 0, and otherwise, p and
// its integer part lying within a factor of 2 of each other, a difference
// that Sterbenz's lemma makes exact.
// The halves are added as truth values, not branched on: the fractions of a
// draw are random, and a branch on them would be mispredicted half the time.
std::int64_t roundHalfAwayFromZero(float p) {
  const auto whole = static_cast<std::int64_t>(p);
  const float fraction = p - static_cast<float>(whole);
  return whole + std::int64_t{fraction >= 0.5f} - std::int64_t{fraction <= -0.5f};
}

}  // namespace

std::int32_t mapUniform(float u, const ProblemRange& range) {
  // A float expression assigned to a float: with SSE arithmetic (x86-64) the product
  // is rounded once to single precision, and ISO mode (no GNU extensions) makes even
  // x87 builds drop excess precision on assignment.
  const float p = u * static_cast<float>(range.ProblemCount);
  // |p| <= 2^31 for 0 <= u <= 1, so k is exact in 64 bits; the float itself is
  // rounded, halves away from zero, with no intermediate p + 0.5 to round again.
  const std::int64_t k = roundHalfAwayFromZero(p);
  // |start + k| < 2^32 and the shift by start - end keeps |v| < 2^34.
  std::int64_t v = std::int64_t{range.Numar_Start_Problema} + k;
  if (v < range.Numar_Start_Problema) v = range.Numar_Start_Problema;
  if (v > range.Numar_End_Problema) v = v + range.Numar_Start_Problema - range.Numar_End_Problema;
  return static_cast<std::int32_t>(v);  // modulo 2^32 (C++20)
}

std::int32_t distinctValueCount(std::int32_t count) {
  if (count >= 2) return count;
  return count == 1 ? 2 : 1;
}

}  // namespace lotrano
