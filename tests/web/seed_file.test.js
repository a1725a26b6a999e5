// The seed file's entries, read in turn as a re-allocation reads them, the
// sentences that name its faults, and the texts taken for seed files
// whatever their names.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { seedFile } = require('../../web/seed_file.js');
const { file, SEED_TEXT, LIST } = require('./examples.js');

const entries = (bytes, count) => {
  const next = seedFile.seedReader(bytes, 'S.dat');
  return Array.from({ length: count }, (_, k) => next(k + 1));
};

test('entries read in batch order, whatever their labels, with any line ends', () => {
  const expected = [
    [271828182, 314159265],
    [161803398, 141421356],
  ];
  const cases = [
    SEED_TEXT,
    SEED_TEXT.replace(/\r\n/g, '\n'),
    '\xEF\xBB\xBF' + SEED_TEXT,
    file(['', ' seed_9:', '271828182 , 314159265', 'Tragerea a doua', '\t161803398\t141421356']),
    file([' seed_1:', '   271828182', '', '   314159265', ' seed_2:', '161803398,141421356 rest']),
    file(["'eticheta, cu virgula'", '271828182 314159265', ',', '161803398 141421356']),
  ];
  for (const bytes of cases) assert.deepEqual(entries(bytes, 2), expected, JSON.stringify(bytes));
  // A file with more entries than batches is read only as far as needed.
  assert.deepEqual(entries(SEED_TEXT + 'junk', 1), [expected[0]]);
});

test('a fault names the file, the line and the round, with the status', () => {
  const cases = [
    ['', 24, 'fișierul seed „S.dat” este gol'],
    [file([' seed_1:', '1 2']), 24, 'se termină înainte de perechea de numere a rundei 2'],
    [SEED_TEXT.replace(/\r\n/g, '\r\r\n'), 64, 'se termină în CR CR LF'],
    [file([' seed_1:', '1 doi', ' seed_2:', '3 4']), 59, 'fișierul seed „S.dat”, rândul 2: „doi” stă unde trebuia un număr'],
    [file([' seed_1:', "1 '2'"]), 59, 'textul între ghilimele „2”'],
    [file([' seed_1:', '1 2x']), 64, '„2x” nu este un număr întreg între -2147483648 și 2147483647'],
    [file(['0*x', '1 2']), 59, '„0*” nu este o repetare'],
    [file([' seed_1:', `${'7'.repeat(20 * 1024 * 1024)} 2`]), 39, 'rândul 2 din fișierul seed „S.dat” are 20.971.522 de octeți, mai mult decât citește lotrano (cel mult 65.536)'],
  ];
  for (const [bytes, status, words] of cases) {
    assert.throws(
      () => entries(bytes, 2),
      (error) => error.status === status && error.message.includes(words) && error.message.length < 300,
      `${status} ${words}`,
    );
  }
});

test('a text is a seed file by what it holds', () => {
  const cases = [
    [SEED_TEXT, true],
    ['\xEF\xBB\xBF' + SEED_TEXT, true],
    [SEED_TEXT.replace(/\r\n/g, '\r\r\n'), true],
    [SEED_TEXT.replace(/\r\n/g, '\r'), true],
    [file([' SEED_1:', `${'1'.repeat(100000)} 2`]), true],
    [file(['Tragerea 1', '12007 4242', 'Tragerea 2', '1,2']), true],
    [file(['Grupa 311 AC', '1. Popescu Ion', '2. Dumitrescu Oana']), false],
    [file(LIST), false],
    [file(['Note', '10 9', 'Sala 2']), false],
    [file(['Sala 2, etaj 1']), false],
    [file([' Grupa: 1234', ' Numar de Studenti:   8']), false],
    ['', false],
  ];
  for (const [bytes, expected] of cases) assert.equal(seedFile.isSeedFileText(bytes), expected, JSON.stringify(bytes.slice(0, 60)));
});
