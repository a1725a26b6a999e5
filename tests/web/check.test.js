// One check of a report against one seed file (and a list), on the worked
// examples of docs/draw.md: the verdicts, the first differing line, the
// statuses, and the CSV that lotrano-verify --csv writes.
'use strict';
const test = require('node:test');
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
