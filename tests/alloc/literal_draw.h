// The batch draw done the plain way: after every replacement the scan for an
// equal pair starts again from the first pair. Quadratic per scan; the reference
// that drawBatch is checked against, in the tests and the benchmark.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "alloc/batch_draw.h"
#include "alloc/problem_mapping.h"
#include "alloc/uniform_generator.h"

namespace lotrano::literal {

// The first (i, j), i < j, with numbers[i] == numbers[j], scanning by i then by j.
inline std::optional<std::pair<std::size_t, std::size_t>> firstEqualPair(
    const std::vector<std::int32_t>& numbers) {
  for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
    for (std::size_t j = i + 1; j < numbers.size(); ++j) {
      if (numbers[i] == numbers[j]) return std::pair{i, j};
    }
  }
  return std::nullopt;
}

// Same contract as drawBatch for calls that can end (n <= distinctValueCount(count)):
// all n uniforms are drawn before any is mapped.
inline BatchDraw drawBatch(std::int32_t n, const ProblemRange& range, GeneratorState& state) {
  BatchDraw out;
  if (n <= 0) return out;
  std::vector<float> uniforms;
  for (std::int32_t i = 0; i < n; ++i) uniforms.push_back(nextUniform(state));
  for (const float u : uniforms) out.numbers.push_back(mapUniform(u, range));
  out.uniformsUsed = n;
  while (const auto pair = firstEqualPair(out.numbers)) {
    out.numbers[pair->second] = mapUniform(nextUniform(state), range);
    ++out.uniformsUsed;
  }
  return out;
}

}  // namespace lotrano::literal
