// A report read back: its values, and the refusals of what is no report the
// program writes, each at its line with lotrano-verify's status.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { report } = require('../../web/report.js');
const { file, TYPED, NAMED, NAMES } = require('./examples.js');
const { text } = require('../../web/text.js');

test('the worked examples read back: header values, names, date and note', () => {
  const typed = report.readReport(file(TYPED));
  assert.deepEqual(typed.group, { fromFile: false, text: '1234', students: 8, names: [] });
  assert.deepEqual(typed.exam, { text: '2', set: 1, start: 1, end: 6, count: 6, rangeText: '1-6' });
  assert.equal(typed.dateLine, 28);
  assert.equal(typed.reallocationLine, 30);
  const named = report.readReport(file(NAMED));
  assert.equal(named.group.fromFile, true);
  assert.deepEqual(named.group.names.map((name) => text.display(name).trimEnd()), NAMES);
  assert.equal(named.reallocationLine, 0);
  // LF line ends read the same.
  assert.deepEqual(report.readReport(TYPED.join('\n')).lines, typed.lines);
});

test('what is no report is refused at its line', () => {
  const cases = [
    ['another text', file(['Lista de cumparaturi', 'paine']), 64, 'rândul 1 nu este rândul „ Grupa: …”'],
    ['a byte order mark first', '\xEF\xBB\xBF' + file(TYPED), 64, 'rândul 1 începe cu un semn BOM'],
    ['an empty file', '', 24, 'la rândul 1'],
    ['CR CR LF line ends', TYPED.join('\r\r\n'), 64, 'rândul 2'],
    ['cut after row 3', file(TYPED.slice(0, 13)), 24, 'la rândul 14) fără rândul cu data și ora'],
    // Nothing follows the stamp of a report lotrano wrote.
    ['an empty line after the date', file(TYPED.slice(0, 29)), 64, 'rândul 29 vine după data și ora tragerii'],
    ['an empty line after the note', file([...TYPED, '']), 64, 'rândul 31 vine după data și ora tragerii'],
    ['two lines after the note', file([...TYPED, 'x', '']), 64, 'rândul 31 vine după'],
    ['cut in the header', file(TYPED.slice(0, 8)), 24, 'înainte de capul tabelului'],
    ['more students than the range holds', file([TYPED[0], ' Numar de Studenti:  25', ...TYPED.slice(2)]), 64, 'rândul 2 spune 25 de studenți'],
    ['a range of more than five characters', file(TYPED.map((l) => l.replace('1-6  (6', '1-10000  (10000'))), 64, 'rândul 7 dă intervalul 1-10000'],
    ['an exam problem 3', file(TYPED.map((l) => l.replace('Nr.: 2', 'Nr.: 3'))), 64, 'rândul 4'],
    ['other column heads', file(TYPED.map((l, k) => (k === 8 ? l + ' ' : l))), 64, 'rândul 9'],
    ['a line longer than any report has', file([...TYPED.slice(0, 12), 'x'.repeat(16 * 1024 + 1), ...TYPED.slice(12)]), 64, 'rândul 13 este mai lung'],
  ];
  for (const [what, bytes, status, words] of cases) {
    assert.throws(() => report.readReport(bytes), (error) => error.status === status && error.message.includes(words), what);
  }
});

test('a text begins as a report, a byte order mark aside', () => {
  assert.equal(report.startsAsReport(file(TYPED)), true);
  assert.equal(report.startsAsReport('\xEF\xBB\xBF' + file(TYPED)), true);
  assert.equal(report.startsAsReport(file(['Grupa 1234'])), false);
  assert.equal(report.startsAsReport(''), false);
});
