// Drawing the problem numbers of a batch of students, no two alike.
#pragma once

#include <cstdint>
#include <vector>

#include "alloc/problem_mapping.h"
#include "alloc/uniform_generator.h"

namespace lotrano {

struct BatchDraw {
  std::vector<std::int32_t> numbers;  // one per student, in student order
  std::int64_t uniformsUsed = 0;      // how far the generator was stepped
};

// Draws n uniforms from state and maps each (numbers[i] = mapUniform(u_i, range)).
// Then, while two entries are equal, the first equal pair (i < j) in scan order
// (by i, then by j) has entry j replaced by mapping one more uniform. The result
// and the uniforms consumed are those of rescanning from the start after every
// replacement, found in about linear time.
// n <= 0: no numbers, nothing drawn. Throws std::invalid_argument, drawing nothing,
// when n > distinctValueCount(range.ProblemCount) (the duplicates could never all go), or
// when n >= 2 and range.ProblemCount != end - start + 1 (that count is what makes the
// first check sound).
BatchDraw drawBatch(std::int32_t n, const ProblemRange& range, GeneratorState& state);

// drawBatch on the process-wide generator, holding its lock for the whole batch.
std::vector<std::int32_t> drawBatchNumbers(std::int32_t n, const ProblemRange& range);

}  // namespace lotrano
