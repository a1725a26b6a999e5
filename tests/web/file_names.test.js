// The names a checker reads: the seed file a report's name calls for, now
// and in earlier versions, and a report's place in its series.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { fileNames } = require('../../web/file_names.js');
const { words } = require('../../web/words.js');

test('seed files are looked for under the current name, then the older one', () => {
  const exam = { text: '1', rangeText: '1-6' };
  const cases = [
    ['Probleme Examen Nr_1 (1-6) Gr. 311 AC[2].rez', ['Seed_1 (1-6) Gr. 311 AC[2].dat', 'Seed_1 (1-6) Gr.dat']],
    ['Probleme Examen Nr_1 (1-6) Grupa 1231[2].rez', ['Seed_1 (1-6) Grupa 1231[2].dat']],
    ['Probleme Examen Nr_1 (1-6) Sem. 2, Grupa 1231.rez', ['Seed_1 (1-6) Sem. 2, Grupa 1231.dat', 'Seed_1 (1-6) .dat']],
    ['Probleme Examen Nr_1 (1-6) grupa 311.rez', ['Seed_1 (1-6) grupa 311.dat']],
    ['Probleme_Examen_Nr_1_(1-6)_Grupa_311.rez', ['Seed_1 (1-6) Grupa_311.dat']],
    ['copie.rez', ['Seed_1 (1-6) .dat']],
  ];
  for (const [report, names] of cases) assert.deepEqual(fileNames.seedFileNames(report, exam), names, report);
});

test('a report name shows how many names of its series were taken before it', () => {
  const cases = [
    ['Probleme Examen Nr_1 (1-40) Grupa 311 AC.rez', 0],
    ['Probleme Examen Nr_1 (1-40) Grupa 311 AC[1].rez', 1],
    ['Probleme Examen Nr_1 (1-40) Grupa 311 AC[9].rez', 9],
    ['Probleme Examen Nr_1 (1-40) Gr[2].rez', 2],
    ['Probleme Examen Nr_1 (1-40) Grupa 311 AC[3] (1).rez', 3],
    ['Probleme Examen Nr_1 (1-40) Grupa 311 AC (1).rez', 0],
    ['Probleme_Examen_Nr_1_(1-40)_Grupa_311_AC[2].rez', 2],
    ['copie[2].rez', null],
    ['Probleme Examen Nr_1 (1-40) Grupa 311 AC.rez.txt', null],
  ];
  for (const [name, place] of cases) assert.equal(fileNames.placeInSeries(name), place, name);
});

test('Romanian numbers: the noun after the number, points between thousands', () => {
  const cases = [
    [0, '0 rapoarte'],
    [1, '1 raport'],
    [2, '2 rapoarte'],
    [19, '19 rapoarte'],
    [20, '20 de rapoarte'],
    [101, '101 rapoarte'],
    [120, '120 de rapoarte'],
    [65536, '65.536 de rapoarte'],
  ];
  for (const [n, expected] of cases) assert.equal(words.counted(n, 'raport', 'rapoarte', 'de rapoarte'), expected);
  assert.equal(words.listed(['a', 'b', 'c']), '„a”, „b” și „c”');
});
