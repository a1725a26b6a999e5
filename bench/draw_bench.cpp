// One batch of 1000 students over problems 1..1000 from a fixed seed pair, three ways:
// the literal rescanning draw, drawBatch, and the bare generating and mapping of as
// many uniforms as the draw consumes (the work no way of drawing can avoid).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "alloc/batch_draw.h"
#include "alloc/literal_draw.h"
#include "alloc/problem_mapping.h"
#include "alloc/uniform_generator.h"

namespace lotrano {
namespace {

constexpr std::int32_t kStudents = 1000;
constexpr ProblemRange kRange{1, 1000, 1000};
constexpr SeedPair kSeed{12007, 4242};

std::int64_t uniformsPerBatch() {
  GeneratorState state = stateFromWords(kSeed);
  return drawBatch(kStudents, kRange, state).uniformsUsed;
}

void setCounters(benchmark::State& state, std::int64_t uniforms) {
  state.counters["uniforms"] = static_cast<double>(uniforms);
}

void BM_LiteralDraw(benchmark::State& state) {
  std::int64_t uniforms = 0;
  for (auto _ : state) {
    GeneratorState generator = stateFromWords(kSeed);
    BatchDraw result = literal::drawBatch(kStudents, kRange, generator);
    uniforms = result.uniformsUsed;
    benchmark::DoNotOptimize(result.numbers.data());
  }
  setCounters(state, uniforms);
}

void BM_FastDraw(benchmark::State& state) {
  std::int64_t uniforms = 0;
  for (auto _ : state) {
    GeneratorState generator = stateFromWords(kSeed);
    BatchDraw result = drawBatch(kStudents, kRange, generator);
    uniforms = result.uniformsUsed;
    benchmark::DoNotOptimize(result.numbers.data());
  }
  setCounters(state, uniforms);
}

void BM_BareUniforms(benchmark::State& state) {
  const std::int64_t uniforms = uniformsPerBatch();
  for (auto _ : state) {
    GeneratorState generator = stateFromWords(kSeed);
    std::int32_t sum = 0;
    for (std::int64_t i = 0; i < uniforms; ++i) sum += mapUniform(nextUniform(generator), kRange);
    benchmark::DoNotOptimize(sum);
  }
  setCounters(state, uniforms);
}

BENCHMARK(BM_LiteralDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareUniforms)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lotrano
