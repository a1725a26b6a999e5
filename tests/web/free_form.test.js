// The free-form read of two integers, as lotrano reads a seed file's words:
// the notations docs/draw.md lists, with the values lotrano takes from them,
// and every fault with lotrano-verify's status.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { freeForm } = require('../../web/free_form.js');

// Two integer targets that start at 0, read from the text's first line on.
function pair(bytes) {
  const targets = [
    { integer: true, value: 0 },
    { integer: true, value: 0 },
  ];
  freeForm.readFreeValues(freeForm.lineSource(bytes), targets);
  return targets.map((target) => target.value);
}

test('notations read as lotrano reads them', () => {
  const cases = [
    ['12007 4242', [12007, 4242]],
    ['   12007        4242\r\n', [12007, 4242]],
    ['12007 4242 junk', [12007, 4242]],
    ['12007 4242,junk', [12007, 4242]],
    ['12007,4242,x', [12007, 4242]],
    ['12007 , 4242', [12007, 4242]],
    ['\t12007\t4242\t', [12007, 4242]],
    ['12007\r\n\r\n   \r\n4242', [12007, 4242]],
    ['+00012007 -04242', [12007, -4242]],
    ['-2147483648 2147483647', [-2147483648, 2147483647]],
    ['12007 /', [12007, 0]],
    ['/ 12007 4242', [0, 0]],
    ['12007 4242 / rest', [12007, 4242]],
    ['2*12007', [12007, 12007]],
    ['1*12007 4242', [12007, 4242]],
    ['3*5', [5, 5]],
    ['2*', [0, 0]],
    ['1* 4242', [0, 4242]],
    ['12007 , , 4242', [12007, 0]],
    ['12007,,4242', [12007, 0]],
    [',12007 4242', [0, 12007]],
    ['12007\r\n,4242', [12007, 4242]],
    ['12007,\r\n,4242', [12007, 0]],
  ];
  for (const [bytes, expected] of cases) assert.deepEqual(pair(bytes), expected, JSON.stringify(bytes));
});

test('faults stop the read with lotrano-verify status', () => {
  const cases = [
    ['12007 4242junk', 64, 'badNumber'],
    ['12007 4242;x', 64, 'badNumber'],
    ['12007 4242\r\r\n', 64, 'badNumber'],
    ['12007 2147483648', 64, 'badNumber'],
    ['12007 -', 64, 'badNumber'],
    ['12007 +x', 64, 'badNumber'],
    ['12007 1e5', 64, 'badNumber'],
    ['12007. 4242', 64, 'badNumber'],
    ['12007 doisprezece', 59, 'word'],
    ["'12007' 4242", 59, 'word'],
    ['12007 "4242', 59, 'word'],
    ['0*12007 4242', 59, 'badRepeat'],
    ['2147483648*5', 59, 'badRepeat'],
    ['12007', 24, 'end'],
    ['', 24, 'end'],
    ['\r\n  \r\n', 24, 'end'],
  ];
  for (const [bytes, status, kind] of cases) {
    assert.throws(() => pair(bytes), (error) => error.status === status && error.kind === kind, JSON.stringify(bytes));
  }
});

test('a line longer than 65536 bytes is refused where the read reaches it', () => {
  const word = (length) => '1'.repeat(length);
  // Exactly the limit, with or without its CR, reads; one byte more does not.
  assert.deepEqual(pair(`1 2${' '.repeat(65533)}`), [1, 2]);
  assert.deepEqual(pair(`1 2${' '.repeat(65533)}\r\n`), [1, 2]);
  assert.throws(() => pair(`1 2${' '.repeat(65534)}`), (error) => error.status === 39 && error.kind === 'tooLong');
  for (const [line, status] of [
    [`1 ${word(65534)}`, 64],
    [`1 ${word(65534)}\r`, 64],
    [`1 ${word(65535)}`, 39],
    [`1 ${word(65535)}\r\r`, 39],
    [`${word(20 * 1024 * 1024)} 2`, 39],
  ]) {
    assert.throws(() => pair(line), (error) => error.status === status, `${line.length} bytes`);
  }
  // A long line after the values needed is never read.
  assert.deepEqual(pair(`1 2\r\n${word(100000)}`), [1, 2]);
  const started = Date.now();
  assert.throws(() => pair(`${word(20 * 1024 * 1024)}`), (error) => error.status === 39 && error.bytes === 20 * 1024 * 1024);
  assert.ok(Date.now() - started < 1000, 'a 20 MB word is refused at once');
});
