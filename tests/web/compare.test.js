// The differing piece of the first differing line, as a narrow screen shows
// it: the words that differ on each side, their differing characters marked,
// with what stands before them as context.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { compare } = require('../../web/compare.js');

const side = (piece) => (piece === null ? null : `${piece.before}[${piece.marked}]${piece.after}`);

test('the differing words side by side', () => {
  const cases = [
    // A problem number in a row with a name: 1 against 27.
    ['   5     Dumitrescu Oana                      1', '   5     Dumitrescu Oana                     27', '5 Dumitrescu Oana', '[1]', '[27]', false],
    ['   3   14:   7', '   3   14:  17', '3 14:', '[]7', '[1]7', false],
    ['   1     Popescu Ion                         25', '   1     Dumitrescu Oana                     25', '1', '[Popescu Ion]', '[Dumitrescu Oana]', false],
    [' Numar de Studenti:   2', ' Numar de Studenti:  2', 'Numar de', 'Studenti:  [ ]2', 'Studenti:  []2', true],
    ['12\r', '12', '', '12[\\x0D]', '12[]', false],
    ['   2     Rest', null, '', '[   2     Rest]', null, false],
  ];
  for (const [inReport, rebuilt, context, report, redrawn, blanksOnly] of cases) {
    const piece = compare.differingPiece(inReport, rebuilt);
    assert.deepEqual([piece.context, side(piece.report), side(piece.rebuilt), piece.blanksOnly], [context, report, redrawn, blanksOnly], inReport);
  }
});

test('the first differing line skips the date line and the note only where both stand', () => {
  const report = { lines: ['a', 'b', ' 2026-12-10   15:01:02', '', 'note'], dateLine: 3, reallocationLine: 5 };
  assert.equal(compare.firstDifference(report, ['a', 'b', ' 0-00-00      00:00:00', '', 'other']), null);
  assert.deepEqual(compare.firstDifference(report, ['a', 'c', 'x', '', 'y']), { line: 2, inReport: 'b', rebuilt: 'c' });
  assert.deepEqual(compare.firstDifference(report, ['a', 'b', 'x', '', 'y', 'z']), { line: 3, inReport: ' 2026-12-10   15:01:02', rebuilt: 'x' });
});
