// The draw of lotrano, as docs/draw.md writes it down: L'Ecuyer's combined
// generator, the mapping of a uniform to a problem number, the removal of
// repeats (in its one-sweep form) and the split of a group into batches.
// Single-precision steps go through Math.fround; 32-bit words through |0 and
// >>>0. Every integer here stays below 2^53, so plain numbers hold them
// exactly.
(function (lotrano) {
  'use strict';

  const M1 = 2147483563;
  const M2 = 2147483399;
  const A1 = 40014;
  const A2 = 40692;
  // The largest value of each word's range.
  const L1 = M1 - 1;
  const L2 = M2 - 1;
  const TWO_TO_MINUS_31 = 1 / 2147483648;

  // A word as a seed file may hold it (any 32-bit integer), brought into the
  // range 1..largest: read as unsigned, then L taken off once or twice.
  function intoRange(word, largest) {
    const v = word >>> 0;
    if (v === 0) return largest;
    if (v <= largest) return v;
    if (v <= 2 * largest) return v - largest;
    return v - 2 * largest;
  }

  // The generator's state from a seed file's pair of words.
  function generator(first, second) {
    return { w1: intoRange(first, L1), w2: intoRange(second, L2) };
  }

  // One step: both words move on, and their difference gives the uniform,
  // rounded once to single precision. The products stay below 2^47.
  function nextUniform(state) {
    state.w1 = (A1 * state.w1) % M1;
    state.w2 = (A2 * state.w2) % M2;
    let z = state.w1 - state.w2;
    if (z <= 0) z += L1;
    return Math.fround(z * TWO_TO_MINUS_31);
  }

  // The integer nearest to a single-precision value, halves away from zero.
  // |p| + 0.5 is exact in double precision for every single below 2^52.
  function nearestAwayFromZero(p) {
    const k = Math.floor(Math.abs(p) + 0.5);
    return p < 0 ? -k : k;
  }

  // A uniform as a problem number of start..end. The sums are worked out
  // wide and the result taken as a 32-bit integer, as the program's own
  // arithmetic wraps.
  function problemNumber(u, start, end) {
    const count = end - start + 1;
    const p = Math.fround(u * Math.fround(count));
    const k = nearestAwayFromZero(p);
    let v = start + k;
    if (v < start) v = start;
    if (v > end) v = v + start - end;
    return v | 0;
  }

  // How many different numbers the mapping can give over a range of `count`.
  function distinctNumbers(count) {
    if (count >= 2) return count;
    return count === 1 ? 2 : 1;
  }

  // One batch of n students: n uniforms mapped in order, then every repeat
  // replaced by the sweep: at each position i, every later position holding
  // i's number is drawn again until it holds a number that is neither that
  // one nor one of the positions before i.
  function drawBatch(state, n, start, end) {
    const numbers = [];
    for (let k = 0; k < n; ++k) numbers.push(nextUniform(state));
    for (let k = 0; k < n; ++k) numbers[k] = problemNumber(numbers[k], start, end);
    const settled = new Set();
    for (let i = 0; i < n; ++i) {
      const v = numbers[i];
      for (let j = i + 1; j < n; ++j) {
        if (numbers[j] !== v) continue;
        let w;
        do {
          w = problemNumber(nextUniform(state), start, end);
        } while (w === v || settled.has(w));
        numbers[j] = w;
      }
      settled.add(v);
    }
    return numbers;
  }

  // The batch sizes of N students over `count` problems (three entries; the
  // later ones 0 when not drawn). Batch 1 is drawn even without students.
  function batchSizes(students, count) {
    if (students <= count) return [students, 0, 0];
    const d = students - count;
    if (d <= count) return [count, d, 0];
    return [count, count, d - count];
  }

  // Whether every batch can find its different numbers in the range.
  function batchesCanBeDrawn(sizes, count) {
    const most = distinctNumbers(count);
    return sizes.every((size) => size <= most);
  }

  // The whole allocation: the numbers of each of the three batches (empty
  // for one not drawn), each batch drawn from its own pair of words, taken in
  // batch order from `nextPair(batch)` (which returns [first, second]): batch 1
  // always, batches 2 and 3 only when they have students. Null when the
  // batches cannot be drawn over the range.
  function drawAllocation(students, start, end, nextPair) {
    const count = end - start + 1;
    const sizes = batchSizes(students, count);
    if (!batchesCanBeDrawn(sizes, count)) return null;
    const batches = [[], [], []];
    for (let k = 0; k < 3; ++k) {
      if (k > 0 && sizes[k] <= 0) continue;
      const [first, second] = nextPair(k + 1);
      batches[k] = drawBatch(generator(first, second), sizes[k], start, end);
    }
    return batches;
  }

  lotrano.draw = {
    generator,
    nextUniform,
    problemNumber,
    drawBatch,
    batchSizes,
    batchesCanBeDrawn,
    drawAllocation,
  };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
