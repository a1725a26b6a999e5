// One check of a report against one seed file (and a list), on the worked
// examples of docs/draw.md: the verdicts, the first differing line, the
// statuses, and the CSV that lotrano-verify --csv writes.
'use strict';
const { test, describe } = require('node:test');
const assert = require('node:assert/strict');
const { check } = require('../../web/check.js');
const { report } = require('../../web/report.js');
const { groupList } = require('../../web/group_list.js');
const { csv } = require('../../web/csv.js');
const { text } = require('../../web/text.js');
const { warmUp } = require('../../web/warm_up.js');
const ex = require('./examples.js');

const read = (lines) => ({ name: 'r.rez', read: report.readReport(ex.file(lines)) });
const seed = (bytes = ex.SEED_TEXT) => ({ name: 's.dat', bytes });

test('the worked examples match, the date and the note aside', () => {
  assert.equal(check.checkReport(read(ex.TYPED), seed(), null).verdict, 'match');
  const otherDate = ex.TYPED.slice(0, 27).concat([' 1999-01-01   00:00:00']);
  assert.equal(check.checkReport(read(otherDate), seed(), null).verdict, 'match');
  const named = check.checkReport(read(ex.NAMED), seed(ex.NAMED_SEED_TEXT), null);
  assert.equal(named.verdict, 'match');
  assert.deepEqual(
    check.allocationOf(named).rows.map((row) => [row.name, row.problem, row.round]),
    ex.NAMES.map((name, k) => [name, [2, 4, 3, 6, 5][k], 1]),
  );
});

test('a changed report is caught at its first differing line', () => {
  const cases = [
    { what: 'a problem changed', edit: (l) => (l[12] = '   3       6'), line: 13 },
    { what: 'the range changed', edit: (l) => (l[6] = ' Numere Probleme: 1-7  (6 probleme)'), line: 7 },
    { what: 'a repeat left out', edit: (l) => l.splice(24, 1), line: 25 },
    { what: 'a row added', edit: (l) => l.splice(18, 0, '   9       3'), line: 19 },
    { what: 'a repeat added', edit: (l) => l.splice(25, 0, '   6   8:   6'), line: 26 },
    // The set is read from the report, and one without the note is a new
    // allocation: both match themselves.
    { what: 'the set changed', edit: (l) => (l[5] = ' Set de Probleme: #2'), line: null },
    { what: 'the note dropped', edit: (l) => l.splice(28, 2), line: null },
  ];
  for (const c of cases) {
    const lines = ex.TYPED.slice();
    c.edit(lines);
    const result = check.checkReport(read(lines), seed(), null);
    assert.equal(result.verdict, c.line === null ? 'match' : 'mismatch', c.what);
    if (c.line !== null) {
      assert.equal(result.line, c.line, c.what);
      assert.equal(result.status, 2);
    }
  }
});

test('the names checked against a list', () => {
  const list = (lines) => ({ name: 'g.txt', group: groupList.readGroupList(ex.utf8File(lines)) });
  assert.equal(check.checkReport(read(ex.NAMED), seed(ex.NAMED_SEED_TEXT), list(ex.LIST)).verdict, 'match');
  // Two names swapped in the list: the first row differs.
  const swapped = [ex.LIST[0], ex.LIST[1], `1. ${ex.NAMES[1]}`, `2. ${ex.NAMES[0]}`, ...ex.LIST.slice(4)];
  const result = check.checkReport(read(ex.NAMED), seed(ex.NAMED_SEED_TEXT), list(swapped));
  assert.equal(result.verdict, 'mismatch');
  assert.equal(result.line, 11);
  assert.equal(text.display(result.rebuilt), '   1     Ştefănescu Ioana Mădălina            2');
});

test('a list of another size than the report: the seed file ending before its entries is the list\'s fault', () => {
  const list = (count) => ({
    name: 'g.txt',
    group: groupList.readGroupList(ex.utf8File(['Grupa 311 AC', ...Array.from({ length: count }, (_, k) => `${k + 1} Student`)])),
  });
  // Eleven students over 1..10 need a second entry; the report's five took one.
  const longer = check.checkReport(read(ex.NAMED), seed(ex.NAMED_SEED_TEXT), list(11));
  assert.equal(longer.verdict, 'error');
  assert.equal(longer.status, 24);
  assert.equal(longer.cause, 'lista grupei „g.txt” are 11 studenți, raportul 5, iar fișierul seed se termină înainte de perechile de numere de care au nevoie');
  // One entry suffices for seven or three: the counts differ on line 2.
  for (const count of [7, 3]) {
    const result = check.checkReport(read(ex.NAMED), seed(ex.NAMED_SEED_TEXT), list(count));
    assert.deepEqual([result.verdict, result.line], ['mismatch', 2], String(count));
  }
  // A seed file short of the report's own entries stays the seed file's fault.
  const typedList = { name: 'g.txt', group: { ...read(ex.TYPED).read.group, students: 9 } };
  const short = check.checkReport(read(ex.TYPED), seed(ex.file([' seed_1:', '   271828182   314159265'])), typedList);
  assert.equal(short.status, 24);
  assert.match(short.cause, /^fișierul seed „s\.dat” se termină/);
});

test('a seed file that cannot be read gives its status', () => {
  const cases = [
    [ex.file([' seed_1:', ' 271828182 314159265']), 24],
    [ex.file([' seed_1:', ' doisprezece 12']), 59],
    [ex.file([' seed_1:', ' 12a 12']), 64],
    [ex.file([' seed_1:', ' 2147483648 12']), 64],
  ];
  for (const [bytes, status] of cases) {
    const result = check.checkReport(read(ex.TYPED), seed(bytes), null);
    assert.equal(result.verdict, 'error');
    assert.equal(result.status, status, result.cause);
  }
});

test('the CSV: byte order mark, CR LF, ";", quoted names, the round of each row', () => {
  const typed = check.checkReport(read(ex.TYPED), seed(), null);
  assert.equal(
    check.allocationOf(typed).csv(),
    '\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n' + '1;;1;1\r\n2;;3;1\r\n3;;5;1\r\n4;;6;1\r\n5;;4;1\r\n6;;2;1\r\n7;;2;2\r\n8;;6;2\r\n',
  );
  const group = {
    fromFile: true,
    names: ['Popescu; Ion', 'Ana "Mica"', text.utf8Bytes('Ţurcanu Ştefan'), '\xAAerban'].map((n) => text.padOrCut(n, 37)),
  };
  assert.equal(
    csv.allocationCsv(group, [[4, 1], [], [2, 3]]),
    '\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n' +
      '1;"Popescu; Ion";4;1\r\n2;"Ana ""Mica""";1;1\r\n' +
      `3;${text.utf8Bytes('Ţurcanu Ştefan')};2;3\r\n4;${text.utf8Bytes('Şerban')};3;3\r\n`,
  );
});

test("the page's check of a report of its own making matches", () => {
  assert.equal(warmUp.selfCheck(), 'match');
});

// A typed group of 70 over 1..30 (three batches) drawn, by the page's own
// writer, from the entries of a seed file; judged as lotrano-verify
// --public-text judges it.
describe('against a public text', () => {
  const { publicText } = require('../../web/public_text.js');
  const { rebuild } = require('../../web/rebuild.js');
  const { seedFile } = require('../../web/seed_file.js');
  const { draw } = require('../../web/draw.js');
  const TEXT = 'Loto 6/49, 14.12.2026: 3 7 19 24 33 41';
  const EXAM = { text: '1', set: 2, start: 1, end: 30, count: 30, rangeText: '1-30' };
  const seedOf = (pairs) => ex.file(pairs.flatMap(([a, b], k) => [` seed_${k + 1}:`, `${String(a).padStart(12)}${String(b).padStart(12)}`]));
  const linesFrom = (seedBytes, students = 70) => {
    const group = { fromFile: false, text: '70 P', students, names: [] };
    return rebuild.rebuildReport({ exam: EXAM, reallocationLine: 0 }, group, seedFile.seedReader(seedBytes, 's.dat'), []);
  };
  const asRead = (lines) => ({ name: 'r.rez', read: report.readReport(ex.file(lines)) });
  const drawnFrom = (seedBytes, students) => asRead(linesFrom(seedBytes, students));
  const judged = (reportRead, seedBytes, derived) =>
    check.againstPublicText(check.checkReport(reportRead, { name: 's.dat', bytes: seedBytes }, null), derived);

  test('the verdict, and the first entry that is not the text\'s', async () => {
    const derived = await publicText.derive(TEXT);
    const other = await publicText.derive(TEXT.replace('41', '42'));
    const [e1, e2, e3] = derived.entries;
    // The digest's own words of this text, before they are brought into range.
    const asInDigest = [[-543203003, 1781708175], [-1201673511, -251615758], [1102859197, -348655226]];
    const fromText = derived.seedFile;
    const cases = [
      { what: 'the seed file of the text', report: drawnFrom(fromText), seed: fromText, text: derived, verdict: 'match', entry: 0 },
      { what: 'the same text with other blanks and a line end', report: drawnFrom(fromText), seed: fromText, text: await publicText.derive(' Loto 6/49,\r\n14.12.2026: 3 7 19 24 33 41 '), verdict: 'match', entry: 0 },
      { what: 'the text\'s words as the digest holds them', report: drawnFrom(seedOf(asInDigest)), seed: seedOf(asInDigest), text: derived, verdict: 'match', entry: 0 },
      { what: 'one batch reads the first entry alone', report: drawnFrom(seedOf([e1]), 30), seed: seedOf([e1]), text: derived, verdict: 'match', entry: 0 },
      { what: 'a text differing by one character', report: drawnFrom(fromText), seed: fromText, text: other, verdict: 'mismatch', entry: 1 },
      { what: 'the second entry not the text\'s', report: drawnFrom(seedOf([e1, [e2[0], 77], e3])), seed: seedOf([e1, [e2[0], 77], e3]), text: derived, verdict: 'mismatch', entry: 2 },
      // Shown as the draw takes them: -1 is 171 and 0 is 2147483398.
      { what: 'words out of range', report: drawnFrom(seedOf([e1, [-1, 0], e3])), seed: seedOf([e1, [-1, 0], e3]), text: derived, verdict: 'mismatch', entry: 2, inSeedFile: [171, 2147483398] },
      { what: 'the third entry not the text\'s', report: drawnFrom(seedOf([e1, e2, [1, 2]])), seed: seedOf([e1, e2, [1, 2]]), text: derived, verdict: 'mismatch', entry: 3 },
      // A group of 30 over 30 problems reads one entry: the others may be anything.
      { what: 'entries past the batches drawn', report: drawnFrom(seedOf([e1, [1, 2]]), 30), seed: seedOf([e1, [1, 2]]), text: derived, verdict: 'match', entry: 0 },
    ];
    for (const c of cases) {
      const result = judged(c.report, c.seed, c.text);
      assert.equal(result.verdict, c.verdict, c.what);
      assert.equal(result.status, c.verdict === 'match' ? 0 : 2, c.what);
      assert.equal(result.line, undefined, c.what);
      assert.equal(result.publicText.text, c.text.normalized, c.what);
      assert.equal(result.publicText.entry, c.entry, c.what);
      if (c.entry === 0) continue;
      // Both sides as the draw takes them, brought into range.
      const nextPair = seedFile.seedReader(c.seed, 's.dat');
      let pair;
      for (let k = 1; k <= c.entry; k++) pair = nextPair(k);
      const inRange = draw.generator(pair[0], pair[1]);
      assert.deepEqual(result.publicText.inSeedFile, c.inSeedFile || [inRange.w1, inRange.w2], c.what);
      assert.deepEqual(result.publicText.fromText, c.text.entries[c.entry - 1], c.what);
    }
  });

  test('a changed report, a seed file that cannot be read, a text that gives no entries', async () => {
    const derived = await publicText.derive(TEXT);
    // Row 3 given another problem.
    const changed = asRead(linesFrom(derived.seedFile).map((line, k) => (k === 12 ? line.replace(/\d+$/, (n) => String((Number(n) % 30) + 1)) : line)));
    // The report's own line first; the text's verdict beside it.
    const both = judged(changed, derived.seedFile, derived);
    assert.deepEqual([both.verdict, both.status, both.line, both.publicText.entry], ['mismatch', 2, 13, 0]);
    const neither = judged(changed, derived.seedFile, await publicText.derive('alt text'));
    assert.deepEqual([neither.verdict, neither.status, neither.line, neither.publicText.entry], ['mismatch', 2, 13, 1]);
    // A report that cannot be checked says nothing of the text.
    const unread = judged(drawnFrom(derived.seedFile), ex.file([' seed_1:', ' 12a 12']), derived);
    assert.deepEqual([unread.verdict, unread.status, unread.publicText], ['error', 64, undefined]);
    // A text with no entries leaves the verdict, and says why it was not used.
    for (const fault of [{ fault: 'notUnicode' }, { failure: new TypeError('forced') }]) {
      const result = judged(drawnFrom(derived.seedFile), derived.seedFile, fault);
      assert.equal(result.verdict, 'match');
      assert.deepEqual(result.publicText, { unchecked: fault });
    }
  });
});
