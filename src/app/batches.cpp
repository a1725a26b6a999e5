#include "app/batches.h"

#include <algorithm>
#include <limits>

#include "alloc/problem_mapping.h"

namespace lotrano {

BatchSizes batchSizes(std::int32_t studentCount, std::int32_t problemCount) {
  const std::int64_t n = studentCount;
  const std::int64_t m = problemCount;
  if (n <= m) return {studentCount, 0, 0};
  // N > M here, so D = N - M is positive; 64-bit keeps it exact for any pair.
  // D - M leaves the 32-bit range only for an empty or reversed range, whose
  // third batch can never be drawn anyway: it is held at the largest value.
  const std::int64_t d = n - m;
  if (d > m) {
    const std::int64_t s3 = std::min<std::int64_t>(d - m, std::numeric_limits<std::int32_t>::max());
    return {problemCount, problemCount, static_cast<std::int32_t>(s3)};
  }
  return {problemCount, static_cast<std::int32_t>(d), 0};
}

std::int32_t batchSize(const BatchSizes& sizes, std::size_t k) {
  switch (k) {
    case 0:
      return sizes.s1;
    case 1:
      return sizes.s2;
    default:
      return sizes.s3;
  }
}

bool batchIsDrawn(const BatchSizes& sizes, std::size_t k) {
  return k == 0 || batchSize(sizes, k) > 0;
}

bool batchesCanBeDrawn(const BatchSizes& sizes, std::int32_t problemCount) {
  const std::int32_t most = distinctValueCount(problemCount);
  for (const std::int32_t size : {sizes.s1, sizes.s2, sizes.s3}) {
    if (size > most) return false;
  }
  return true;
}

}  // namespace lotrano
