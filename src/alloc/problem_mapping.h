// Turning a uniform into a problem number of a range.
#pragma once

#include <cstdint>

namespace lotrano {

// Problems start..end. count = end - start + 1 is worked out once by whoever builds
// the range; the mapping uses the stored count as it is.
struct ProblemRange {
  std::int32_t Numar_Start_Problema = 0;
  std::int32_t Numar_End_Problema = 0;
  std::int32_t ProblemCount = 0;
  friend bool operator==(const ProblemRange&, const ProblemRange&) = default;
};

// For 0 <= u <= 1: p = u * count as a single-precision product (rounded once, to
// nearest even); k = p rounded to the nearest integer, halves away from zero;
// v = start + k; if v < start, v = start; if v > end, v = v + start - end.
// k = count gives end + 1, which becomes start + 1.
// The arithmetic is exact; the result is then wrapped to 32 bits, which matters only
// for start = end = INT32_MAX, where start + 1 comes out as INT32_MIN.
std::int32_t mapUniform(float u, const ProblemRange& range);

// How many different numbers mapUniform can yield for a range of this count:
// count when count >= 2, 2 when count == 1 (start and start + 1), 1 when count <= 0.
std::int32_t distinctValueCount(std::int32_t count);

}  // namespace lotrano
