// A first check, made by the page on itself while it waits for files: a
// report of 600 named students over 0 to 199 (three rounds) is written with
// the page's own rebuild, read back with its seed file and group list, and
// must match. It shows that the page's reading and checking agree with its
// writing, and it leaves the browser's compiled code ready, so that the
// verdict on a large report given next comes without the wait of a first
// run.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const { rebuildReport } = lotrano.rebuild || require('./rebuild.js').rebuild;
  const { checkFiles } = lotrano.roles || require('./roles.js').roles;
  const { allocationOf } = lotrano.check || require('./check.js').check;

  const STUDENTS = 600;
  const PAIRS = [
    [12345, 67890],
    [271828182, 314159265],
    [-1, 2147483647],
  ];

  // The verdict of the page on its own report: 'match' when all is well.
  function selfCheck() {
    const names = [];
    for (let k = 1; k <= STUDENTS; ++k) names.push(text.padOrCut(text.utf8Bytes(`Ștefănescu Țurcanu Nr ${k}`), 37));
    const group = { fromFile: true, text: '1 Proba', students: STUDENTS, names };
    const exam = { text: '1', set: 1, start: 0, end: 199, count: 200, rangeText: '0-199' };
    const lines = rebuildReport({ exam, reallocationLine: 0 }, group, (batch) => PAIRS[batch - 1], []);
    const seed = PAIRS.map(([a, b], k) => ` seed_${k + 1}:\r\n${String(a).padStart(12)}${String(b).padStart(12)}\r\n`).join('');
    const list = ['Grupa 1 Proba', ...names.map((name, k) => `${k + 1}. ${text.withoutTrailingBlanks(name)}`)];
    const outcome = checkFiles([
      { name: 'Probleme Examen Nr_1 (0-199) Grupa 1 Proba.rez', bytes: lines.map((line) => `${line}\r\n`).join('') },
      { name: 'Seed_1 (0-199) Grupa 1 Proba.dat', bytes: seed },
      { name: 'lista.txt', bytes: list.map((line) => `${line}\r\n`).join('') },
    ]);
    const result = outcome.results[0];
    if (result.verdict === 'match') allocationOf(result).csv();
    return result.verdict === 'match' && result.groupFile === 'lista.txt' ? 'match' : `${result.verdict} ${result.line || ''} ${result.cause || ''}`;
  }

  lotrano.warmUp = { selfCheck };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
