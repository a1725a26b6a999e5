#include "alloc/batch_draw.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <unordered_map>

// How the first equal pair is found without rescanning.
//
// Write a[0..n-1] for the numbers. The sweep below stands at a position i with
//   (I) every value at a position < i occurs exactly once in the whole list.
// (I) holds at i = 0.
//
// (a) Under (I) no equal pair starts before i, and v = a[i] occurs nowhere before i.
//     So a pair starts at i exactly when v occurs again later, and the first pair is
//     then (i, j) with j the next position holding v. When v does not occur again,
//     (I) holds at i + 1.
// (b) The scan replaces a[j] by a new value w. Only pairs that involve j change.
//     - If w is the value at some position p < i (the only position holding it, by
//       (I)), every pair (x, y) with x < p is still unequal (a[x] occurs once, and
//       a[x] != w since p is w's only position before i), and (p, j) is the only
//       equal pair starting at p: it is the new first pair, and j is replaced again.
//     - If w == v, (i, j) is equal again and still first: j is replaced again.
//     In both cases positions 0..i are untouched, so the same test decides the next
//     replacement of j: the scan keeps redrawing j while the value drawn is held by a
//     position <= i.
//     - Otherwise no position <= i holds w, every value before i still occurs once,
//       and (I) holds at i: back to (a), with j gone from v's positions and added to
//       w's.
// Each replacement the scan makes consumes one uniform, and so does each redraw
// here, so both consume the same uniforms in the same order and end with the same
// list. The sweep visits each position once; each draw costs one look-up of w's
// smallest position ("held by a position <= i" is "smallest position <= i"), and
// each kept value one insertion into a short sorted list.

namespace lotrano {
namespace {

constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();  // above every position

// Spans up to this many values always get a flat table; larger ones get one only when
// it is at most kFlatSlotsPerNumber entries per number drawn.
constexpr std::int64_t kFlatSlotsAlways = std::int64_t{1} << 16;
constexpr std::int64_t kFlatSlotsPerNumber = 16;

// Smallest position holding each value, or kNone. Mapped values lie in
// start .. start + max(count, 2) - 1 (modulo 2^32); when that span is small they index a
// flat table by value - start, otherwise a hash map holds them.
struct HeadTable {
  std::uint32_t base = 0;
  std::vector<std::int32_t> flat;
  std::unordered_map<std::int32_t, std::int32_t> spill;
};

HeadTable makeHeadTable(const ProblemRange& range, std::int32_t n) {
  HeadTable table;
  table.base = static_cast<std::uint32_t>(range.Numar_Start_Problema);
  const std::int64_t span = std::max<std::int64_t>(range.ProblemCount, 2);
  if (span <= std::max(kFlatSlotsAlways, kFlatSlotsPerNumber * n)) {
    table.flat.assign(static_cast<std::size_t>(span), kNone);
  } else {
    table.spill.reserve(static_cast<std::size_t>(n) * 2);
  }
  return table;
}

std::uint32_t offsetOf(const HeadTable& table, std::int32_t value) {
  return static_cast<std::uint32_t>(value) - table.base;  // modulo 2^32
}

std::int32_t headOf(const HeadTable& table, std::int32_t value) {
  const std::uint32_t offset = offsetOf(table, value);
  if (offset < table.flat.size()) return table.flat[offset];
  const auto found = table.spill.find(value);
  return found == table.spill.end() ? kNone : found->second;
}

std::int32_t& headSlot(HeadTable& table, std::int32_t value) {
  const std::uint32_t offset = offsetOf(table, value);
  if (offset < table.flat.size()) return table.flat[offset];
  return table.spill.try_emplace(value, kNone).first->second;
}

// Positions are signed, since kNone marks the end of a list, but are never
// negative where they index.
template <typename T>
T& at(std::vector<T>& values, std::int32_t position) {
  return values[static_cast<std::size_t>(position)];
}

// Links position pos into the ascending list of positions holding value.
void insertPosition(HeadTable& heads, std::vector<std::int32_t>& nextSame, std::int32_t value,
                    std::int32_t pos) {
  std::int32_t& head = headSlot(heads, value);
  if (pos < head) {
    at(nextSame, pos) = head;
    head = pos;
    return;
  }
  std::int32_t before = head;
  while (at(nextSame, before) < pos) before = at(nextSame, before);
  at(nextSame, pos) = at(nextSame, before);
  at(nextSame, before) = pos;
}

void checkBatch(std::int32_t n, const ProblemRange& range) {
  if (n > distinctValueCount(range.ProblemCount)) {
    throw std::invalid_argument("more students than distinct problem numbers");
  }
  if (n >= 2 && std::int64_t{range.ProblemCount} !=
                    std::int64_t{range.Numar_End_Problema} - range.Numar_Start_Problema + 1) {
    throw std::invalid_argument("problem range count is not end - start + 1");
  }
}

}  // namespace

BatchDraw drawBatch(std::int32_t n, const ProblemRange& range, GeneratorState& state) {
  checkBatch(n, range);
  BatchDraw out;
  if (n <= 0) return out;

  GeneratorState local = state;  // kept in registers; written back once at the end
  std::vector<std::int32_t>& a = out.numbers;
  a.resize(static_cast<std::size_t>(n));
  for (std::int32_t& number : a) number = mapUniform(nextUniform(local), range);
  std::int64_t used = n;

  // nextSame[p]: the next position after p holding a[p], or kNone.
  HeadTable heads = makeHeadTable(range, n);
  std::vector<std::int32_t> nextSame(static_cast<std::size_t>(n));
  for (std::int32_t p = n - 1; p >= 0; --p) {
    std::int32_t& head = headSlot(heads, at(a, p));
    at(nextSame, p) = head;
    head = p;
  }

  for (std::int32_t i = 0; i < n; ++i) {
    // (I) holds here, and a[i] is the smallest position of its value.
    for (std::int32_t j = at(nextSame, i); j != kNone; j = at(nextSame, i)) {
      at(nextSame, i) = at(nextSame, j);  // j leaves the list of at(a, i): it follows i directly
      std::int32_t w = 0;
      do {
        w = mapUniform(nextUniform(local), range);
        ++used;
      } while (headOf(heads, w) <= i);
      at(a, j) = w;
      insertPosition(heads, nextSame, w, j);
    }
  }

  out.uniformsUsed = used;
  state = local;
  return out;
}

std::vector<std::int32_t> drawBatchNumbers(std::int32_t n, const ProblemRange& range) {
  std::vector<std::int32_t> numbers;
  withGenerator([&](GeneratorState& state) { numbers = drawBatch(n, range, state).numbers; });
  return numbers;
}

}  // namespace lotrano
