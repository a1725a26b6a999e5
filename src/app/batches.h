// How a group is split into up to three allocation batches: a problem number
// goes to at most one student within a batch, and a group larger than the
// range receives problems again in the second and third batches.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lotrano {

struct BatchSizes {
  std::int32_t s1 = 0;
  std::int32_t s2 = 0;
  std::int32_t s3 = 0;
  friend bool operator==(const BatchSizes&, const BatchSizes&) = default;
};

// N students over M problems: N <= M gives (N, 0, 0); otherwise S1 = M and,
// with D = N - M, (M, M, D - M) when D > M, else (M, D, 0). S3 is not capped.
BatchSizes batchSizes(std::int32_t studentCount, std::int32_t problemCount);

// The number of batches an allocation has at most.
inline constexpr std::size_t kBatchCount = 3;

// The size of batch k (0 for S1, 1 for S2, 2 for S3).
std::int32_t batchSize(const BatchSizes& sizes, std::size_t k);

// Whether batch k is drawn: batch 1 always, even empty, a later one only when
// it has students. Each drawn batch has its entry in the seed file.
bool batchIsDrawn(const BatchSizes& sizes, std::size_t k);

// True when every batch with students can be drawn without repeats, that is
// holds at most as many students as the range mapping yields different numbers.
bool batchesCanBeDrawn(const BatchSizes& sizes, std::int32_t problemCount);

}  // namespace lotrano
