// The page's draw against the known answers that the program's and the
// re-checker's draws are held to, and against the worked steps of
// docs/draw.md.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');
const { draw } = require('../../web/draw.js');

function knownAnswers() {
  const file = path.join(__dirname, '..', 'data', 'draw_known_answers.tsv');
  return fs
    .readFileSync(file, 'utf8')
    .split('\n')
    .filter((line) => line !== '' && !line.startsWith('#'))
    .map((line) => {
      const [name, pairs, students, start, end, numbers] = line.split('\t');
      return {
        name,
        pairs: pairs.split('; ').map((pair) => pair.split(' ').map(Number)),
        students: Number(students),
        start: Number(start),
        end: Number(end),
        numbers,
      };
    });
}

test('the known answers', async (t) => {
  const cases = knownAnswers();
  assert.ok(cases.length > 0, 'no case read from the table');
  for (const c of cases) {
    await t.test(c.name, () => {
      let taken = 0;
      const batches = draw.drawAllocation(c.students, c.start, c.end, () => {
        assert.ok(taken < c.pairs.length, 'asked for more pairs than the table holds');
        return c.pairs[taken++];
      });
      assert.notEqual(batches, null);
      assert.equal(taken, c.pairs.length, 'pairs taken');
      const numbers = batches.flat();
      if (c.numbers === 'none') {
        assert.deepEqual(numbers, []);
      } else if (c.numbers.startsWith('sha256:')) {
        const text = numbers.map((n) => `${n}\n`).join('');
        const digest = crypto.createHash('sha256').update(text).digest('hex');
        assert.equal(`sha256:${digest}`, c.numbers);
      } else {
        assert.deepEqual(numbers, c.numbers.split(' ').map(Number));
      }
    });
  }
});

test('the worked steps: words, uniforms and their bits', () => {
  const state = draw.generator(12345, 67890);
  const bits = [];
  const words = [];
  for (let k = 0; k < 6; ++k) {
    const u = draw.nextUniform(state);
    const view = new DataView(new ArrayBuffer(4));
    view.setFloat32(0, u);
    bits.push(view.getUint32(0).toString(16).toUpperCase());
    words.push([state.w1, state.w2]);
  }
  assert.deepEqual(bits, ['3F718F99', '3F688795', '3E163555', '3F03C381', '3ECFC647', '3F3BDB1F']);
  assert.deepEqual(words[0], [493972830, 615096481]);
  assert.deepEqual(words[5], [1103021545, 1674655231]);
});

test('words brought into range', () => {
  const cases = [
    [[0, 0], [2147483562, 2147483398]],
    [[-1, -1], [171, 499]],
    [[2147483563, 2147483399], [1, 1]],
    [[2147483647, 2147483647], [85, 249]],
    [[-2147483648, -2147483648], [86, 250]],
    [[12007, 4242], [12007, 4242]],
  ];
  for (const [[first, second], expected] of cases) {
    const state = draw.generator(first, second);
    assert.deepEqual([state.w1, state.w2], expected, `${first} ${second}`);
  }
});

test('mapping: single-precision roundings and the top of the range', () => {
  const uniform = (first, second) => draw.nextUniform(draw.generator(first, second));
  // Words whose first step gives the uniforms named in docs/draw.md.
  const cases = [
    // u = 0.949999988: u x 10 rounds to the single 9.5, so k = 10 -> 2.
    { words: [1051037405, 1481316021], start: 1, end: 10, expected: 2 },
    // z = 2^30 - 32: the tie goes to 0.5, and one problem 7 gives 8.
    { words: [1395134427, 1481316021], start: 7, end: 7, expected: 8 },
    // u = 0.49999997 exactly gives 7.
    { words: [1341144112, 1481316021], start: 7, end: 7, expected: 7 },
  ];
  for (const c of cases) {
    const u = uniform(...c.words);
    assert.equal(draw.problemNumber(u, c.start, c.end), c.expected, c.words.join(' '));
  }
  // The empty range gives 2 x start - end for every uniform; the top of
  // start = end = 2^31 - 1 wraps to -2^31.
  assert.equal(draw.problemNumber(0.75, 5, 4), 6);
  assert.equal(draw.problemNumber(0.999, 5, 2), 8);
  assert.equal(draw.problemNumber(0.75, 2147483647, 2147483647), -2147483648);
  assert.equal(draw.problemNumber(0.25, 2147483647, 2147483647), 2147483647);
});

test('batches of a group', () => {
  const cases = [
    [25, 30, [25, 0, 0]],
    [8, 6, [6, 2, 0]],
    [15, 6, [6, 6, 3]],
    [45, 20, [20, 20, 5]],
    [1, 0, [0, 0, 1]],
    [3000, 1000, [1000, 1000, 1000]],
  ];
  for (const [students, count, sizes] of cases) {
    assert.deepEqual(draw.batchSizes(students, count), sizes, `${students} over ${count}`);
  }
  assert.equal(draw.batchesCanBeDrawn(draw.batchSizes(25, 6), 6), false);
  assert.equal(draw.batchesCanBeDrawn(draw.batchSizes(2, 1), 1), true);
  assert.equal(draw.batchesCanBeDrawn(draw.batchSizes(4, 1), 1), true);
  assert.equal(draw.batchesCanBeDrawn(draw.batchSizes(5, 1), 1), false);
  assert.equal(draw.drawAllocation(25, 1, 6, () => [1, 2]), null);
});
