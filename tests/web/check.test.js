// The page's check of a report against its seed file, on the worked examples
// of docs/draw.md: the verdicts, the first differing line, the causes with
// lotrano-verify's statuses, the pairing of files by name, and the CSV.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { check } = require('../../web/check.js');
const { text } = require('../../web/text.js');

// A file's lines as the program writes them: CR LF after each.
const file = (lines) => lines.map((line) => `${line}\r\n`).join('');

const REPORT = 'Probleme Examen Nr_2 (1-6) Grupa 1234.rez';
const SEED = 'Seed_2 (1-6) Grupa 1234.dat';
const SEED_TEXT = file([' seed_1:', '   271828182   314159265', ' seed_2:', '   161803398   141421356']);
// The worked example without names: eight students over 1..6, two batches.
const TYPED = [
  ' Grupa: 1234',
  ' Numar de Studenti:   8',
  '',
  ' Problema de Examen Nr.: 2',
  '',
  ' Set de Probleme: #1',
  ' Numere Probleme: 1-6  (6 probleme)',
  '',
  ' Nr_crt   Numar_Problema_Examen',
  '',
  '   1       1',
  '   2       3',
  '   3       5',
  '   4       6',
  '   5       4',
  '   6       2',
  '   7       2',
  '   8       6',
  '',
  '',
  ' Probleme dublate',
  ' Nr_crt     Numar_Problema_Examen',
  '',
  '   4   8:   6',
  '   6   7:   2',
  ' (Numar de probleme dublate: 2)',
  '',
  ' 2026-12-10   15:01:02',
  '',
  ' [Re-alocare, cu: "old.dat"]',
];

// The worked example with names, in UTF-8: five names of 9, 25, 35, 36 and
// 37 characters over 1..10, from the pair (12007, 4242).
const NAMED_REPORT = 'Probleme Examen Nr_1 (1-10) Grupa 311 AC.rez';
const NAMED_SEED = 'Seed_1 (1-10) Grupa 311 AC.dat';
const NAMES = [
  'Alfa Beta',
  'Ştefănescu Ioana Mădălina',
  'Lambda-Omicron Niu Xi Sigma Pi Rhoa',
  'Lambda-Omicron Niu Xi Sigma Pi Rhoan',
  'Lambda-Omicron Niu Xi Sigma Pi Rhoana',
];
const NAMED = [
  ' Grupa: 311 AC',
  ' Numar de Studenti:   5',
  '',
  ' Problema de Examen Nr.: 1',
  '',
  ' Set de Probleme: #3',
  ' Numere Probleme: 1-10  (10 probleme)',
  '',
  ' Nr_crt  Nume Student                        Numar_Problema_Examen',
  '',
  '   1     Alfa Beta                            2',
  '   2     Ştefănescu Ioana Mădălina            4',
  '   3     Lambda-Omicron Niu Xi Sigma Pi Rhoa  3',
  '   4     Lambda-Omicron Niu Xi Sigma Pi Rhoan   6',
  '   5     Lambda-Omicron Niu Xi Sigma Pi Rhoana  5',
  '',
  '',
  ' Probleme ne-alocate',
  '    1    7    8    9   10',
  ' (Numar de probleme: 5)',
  '',
  ' 2026-12-10   15:01:02',
].map(text.utf8Bytes);

const utf8File = (lines) => text.utf8Bytes(file(lines));

function checkOne(reportLines, extra = {}) {
  const files = [
    { name: REPORT, bytes: file(reportLines) },
    { name: SEED, bytes: SEED_TEXT },
    ...Object.entries(extra).map(([name, bytes]) => ({ name, bytes })),
  ];
  const results = check.checkFiles(files);
  assert.equal(results.length, 1);
  return results[0];
}

test('the worked examples match, the date and the note aside', () => {
  const typed = checkOne(TYPED);
  assert.equal(typed.verdict, 'match', typed.cause);
  assert.equal(typed.seed, SEED);
  const other = TYPED.slice(0, 27).concat([' 1999-01-01   00:00:00']);
  assert.equal(checkOne(other).verdict, 'match');
  // LF line ends read the same.
  const lf = check.checkFiles([
    { name: REPORT, bytes: TYPED.join('\n') + '\n' },
    { name: SEED, bytes: SEED_TEXT.replace(/\r/g, '') },
  ]);
  assert.equal(lf[0].verdict, 'match');

  const named = check.checkFiles([
    { name: NAMED_REPORT, bytes: file(NAMED) },
    { name: NAMED_SEED, bytes: file([' seed_1:', '       12007        4242']) },
  ])[0];
  assert.equal(named.verdict, 'match', named.cause);
  assert.equal(named.namesFromReport, true);
  assert.deepEqual(
    named.rows.map((row) => [row.name, row.problem, row.round]),
    NAMES.map((name, k) => [name, [2, 4, 3, 6, 5][k], 1]),
  );
});

test('the names checked against a group file, in UTF-8 or Windows-1250', () => {
  const seed = { name: NAMED_SEED, bytes: file([' seed_1:', '       12007        4242']) };
  const report = { name: NAMED_REPORT, bytes: file(NAMED) };
  const list = ['Grupa 311 AC', 'Nr. Nume', ...NAMES.map((name, k) => `${k + 1}. ${name}`)];
  const utf8 = { name: 'grupa_311.txt', bytes: utf8File(list) };
  const withMark = { name: 'grupa_311.txt', bytes: '\xEF\xBB\xBF' + utf8File(list) };
  // Ş is 0xAA in Windows-1250, ă 0xE3.
  const cp1250 = { name: 'grupa_311.txt', bytes: file(list).replace(/Ş/g, '\xAA').replace(/ă/g, '\xE3') };
  for (const group of [utf8, withMark, cp1250]) {
    const result = check.checkFiles([report, seed, group])[0];
    assert.equal(result.verdict, 'match', result.cause);
    assert.equal(result.namesChecked, true);
    assert.equal(result.groupFile, 'grupa_311.txt');
  }
  // Two names swapped in the list: the first row differs.
  const swapped = [list[0], list[1], `1. ${NAMES[1]}`, `2. ${NAMES[0]}`, ...list.slice(4)];
  const result = check.checkFiles([report, seed, { name: 'g.txt', bytes: utf8File(swapped) }])[0];
  assert.equal(result.verdict, 'mismatch');
  assert.equal(result.line, 11);
  assert.equal(text.display(result.rebuilt), '   1     Ştefănescu Ioana Mădălina            2');
});

test('a changed report points at its first differing line', () => {
  const cases = [
    { what: 'a problem changed', edit: (l) => (l[12] = '   3       6'), line: 13 },
    { what: 'the range changed', edit: (l) => (l[6] = ' Numere Probleme: 1-7  (6 probleme)'), line: 7 },
    { what: 'a repeat left out', edit: (l) => l.splice(24, 1), line: 25 },
    { what: 'a row added', edit: (l) => l.splice(18, 0, '   9       3'), line: 19 },
    { what: 'the set changed', edit: (l) => (l[5] = ' Set de Probleme: #2'), line: null },
    { what: 'the note dropped: a new allocation', edit: (l) => l.splice(28, 2), line: null },
    { what: 'a repeat added', edit: (l) => l.splice(25, 0, '   6   8:   6'), line: 26 },
  ];
  for (const c of cases) {
    const lines = TYPED.slice();
    c.edit(lines);
    const result = checkOne(lines);
    if (c.line === null) {
      // The set is read from the report, and a report without the note is
      // a new allocation: both match themselves.
      assert.equal(result.verdict, 'match', c.what);
      continue;
    }
    assert.equal(result.verdict, 'mismatch', c.what);
    assert.equal(result.line, c.line, c.what);
    assert.equal(result.status, 2);
  }
});

test('what cannot be checked says why, with the status lotrano-verify gives', () => {
  const cases = [
    { what: 'no report at all', report: file(['Lista de cumparaturi', 'paine']), status: 64, cause: /linia 1/ },
    { what: 'an empty file', report: '', status: 24, cause: /linia 1/ },
    { what: 'cut after row 3', report: file(TYPED.slice(0, 13)), status: 24, cause: /linia 14: .*data/ },
    {
      what: 'more students than the range holds',
      report: file([TYPED[0], ' Numar de Studenti:  25', ...TYPED.slice(2)]),
      status: 64,
      cause: /linia 2/,
    },
    { what: 'a range of more than five characters', report: file(TYPED.map((l) => l.replace('1-6  (6', '1-10000  (10000'))), status: 64, cause: /linia 7/ },
    { what: 'no seed file', report: file(TYPED), seed: null, status: 29, cause: /Seed_2 \(1-6\) Grupa 1234\.dat/ },
    { what: 'a seed file with one entry', report: file(TYPED), seed: file([' seed_1:', ' 271828182 314159265']), status: 24 },
    { what: 'a word in the seed file', report: file(TYPED), seed: file([' seed_1:', ' doisprezece 12']), status: 59 },
    { what: 'a broken number in the seed file', report: file(TYPED), seed: file([' seed_1:', ' 12a 12']), status: 64 },
    { what: 'a number too large', report: file(TYPED), seed: file([' seed_1:', ' 2147483648 12']), status: 64 },
  ];
  for (const c of cases) {
    const files = [{ name: REPORT, bytes: c.report }];
    if (c.seed !== null) files.push({ name: SEED, bytes: c.seed === undefined ? SEED_TEXT : c.seed });
    const [result] = check.checkFiles(files);
    assert.equal(result.verdict, 'error', c.what);
    assert.equal(result.status, c.status, `${c.what}: ${result.cause}`);
    if (c.cause) assert.match(result.cause, c.cause, c.what);
  }
  // The seed file's words on two lines, or apart by a comma, read the same.
  for (const seed of [
    file([' seed_1:', '   271828182', '', '   314159265', ' seed_2:', '161803398,141421356 rest']),
    file(['', ' seed_1:', '271828182 , 314159265', ' seed_2:', '\t161803398\t141421356']),
  ]) {
    assert.equal(checkOne(TYPED).verdict, 'match');
    const [result] = check.checkFiles([{ name: REPORT, bytes: file(TYPED) }, { name: SEED, bytes: seed }]);
    assert.equal(result.verdict, 'match', result.cause);
  }
});

test('seed files are found under the current name, then the older one', () => {
  const exam = { text: '1', rangeText: '1-6' };
  const cases = [
    ['Probleme Examen Nr_1 (1-6) Gr. 311 AC[2].rez', ['Seed_1 (1-6) Gr. 311 AC[2].dat', 'Seed_1 (1-6) Gr.dat']],
    ['Probleme Examen Nr_1 (1-6) Grupa 1231[2].rez', ['Seed_1 (1-6) Grupa 1231[2].dat']],
    ['Probleme Examen Nr_1 (1-6) Sem. 2, Grupa 1231.rez', ['Seed_1 (1-6) Sem. 2, Grupa 1231.dat', 'Seed_1 (1-6) .dat']],
    ['Probleme Examen Nr_1 (1-6) grupa 311.rez', ['Seed_1 (1-6) grupa 311.dat']],
    ['copie.rez', ['Seed_1 (1-6) .dat']],
  ];
  for (const [report, names] of cases) assert.deepEqual(check.seedFileNames(report, exam), names, report);

  // A report of the older naming finds its seed file under the older name.
  const older = 'Probleme Examen Nr_2 (1-6) Gr. 1234.rez';
  const [result] = check.checkFiles([
    { name: older, bytes: file(TYPED) },
    { name: 'Seed_2 (1-6) Gr.dat', bytes: SEED_TEXT },
  ]);
  assert.equal(result.verdict, 'match', result.cause);
  assert.equal(result.seed, 'Seed_2 (1-6) Gr.dat');
});

test('the CSV: byte order mark, CR LF, ";", quoted names, the round of each row', () => {
  const typed = checkOne(TYPED);
  assert.equal(
    typed.csv,
    '\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n' +
      '1;;1;1\r\n2;;3;1\r\n3;;5;1\r\n4;;6;1\r\n5;;4;1\r\n6;;2;1\r\n7;;2;2\r\n8;;6;2\r\n',
  );
  const group = {
    fromFile: true,
    names: ['Popescu; Ion', 'Ana "Mica"', text.utf8Bytes('Ţurcanu Ştefan'), '\xAAerban'].map((n) => text.padOrCut(n, 37)),
  };
  assert.equal(
    check.allocationCsv(group, [[4, 1], [], [2, 3]]),
    '\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n' +
      '1;"Popescu; Ion";4;1\r\n2;"Ana ""Mica""";1;1\r\n' +
      `3;${text.utf8Bytes('Ţurcanu Ştefan')};2;3\r\n4;${text.utf8Bytes('Şerban')};3;3\r\n`,
  );
});

test('files are told apart by their content, and each report takes its own group file', () => {
  const seed311 = { name: NAMED_SEED, bytes: file([' seed_1:', '       12007        4242']) };
  const list311 = ['Grupa 311 AC', 'Nr. Nume', ...NAMES.map((name, k) => `${k + 1}. ${name}`)];
  const cases = [
    // A group file named .dat is still a group file; a seed file is one by its label.
    [{ name: 'grupa_311.dat', bytes: utf8File(list311) }, 'group'],
    [{ name: 'copie.dat', bytes: SEED_TEXT }, 'seed'],
    [{ name: 'raport.txt', bytes: file(TYPED) }, 'report'],
    [{ name: 'altceva.rez', bytes: 'nimic' }, 'report'],
    // Files of no lotrano kind are left aside, not taken for a group file.
    [{ name: 'Probleme Examen Nr_1 (1-6) Grupa 311 AC.csv', bytes: '\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n1;;2;1\r\n' }, 'other'],
    [{ name: 'lotrano.html', bytes: '<!doctype html>' }, 'other'],
    [{ name: 'poza', bytes: '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' }, 'other'],
  ];
  for (const [given, kind] of cases) assert.equal(check.kindOf(given.name, given.bytes), kind, given.name);

  // Two groups' reports and both lists at once.
  const list1234 = file(['Grupa 1234', '1 Ana', '2 Bogdan']);
  const results = check.checkFiles([
    { name: NAMED_REPORT, bytes: file(NAMED) },
    seed311,
    { name: REPORT, bytes: file(TYPED) },
    { name: SEED, bytes: SEED_TEXT },
    { name: 'grupa_311.dat', bytes: utf8File(list311) },
    { name: 'grupa_1234.txt', bytes: list1234 },
    { name: 'tabel.csv', bytes: 'Nr;Nume;Problema;Runda\r\n' },
  ]);
  const byName = Object.fromEntries(results.map((result) => [result.report, result]));
  assert.equal(byName[NAMED_REPORT].verdict, 'match', byName[NAMED_REPORT].cause);
  assert.equal(byName[NAMED_REPORT].groupFile, 'grupa_311.dat');
  // The typed group's report checked against a list of names: the column
  // heads differ, as with lotrano-verify --group.
  assert.equal(byName[REPORT].groupFile, 'grupa_1234.txt');
  assert.equal(byName[REPORT].verdict, 'mismatch');
  assert.equal(byName[REPORT].line, 2);
});
