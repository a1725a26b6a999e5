// The worked examples of docs/draw.md as files, shared by the page's tests:
// the report without names (eight students over 1..6, two batches, a
// re-allocation) with its seed file, and the report with names (five names
// of 9, 25, 35, 36 and 37 characters over 1..10) with its seed file and list.
'use strict';
const { text } = require('../../web/text.js');

// A file's lines as the program writes them: CR LF after each.
const file = (lines) => lines.map((line) => `${line}\r\n`).join('');
const utf8File = (lines) => text.utf8Bytes(file(lines));

const REPORT = 'Probleme Examen Nr_2 (1-6) Grupa 1234.rez';
const SEED = 'Seed_2 (1-6) Grupa 1234.dat';
const SEED_TEXT = file([' seed_1:', '   271828182   314159265', ' seed_2:', '   161803398   141421356']);
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

const NAMED_REPORT = 'Probleme Examen Nr_1 (1-10) Grupa 311 AC.rez';
const NAMED_SEED = 'Seed_1 (1-10) Grupa 311 AC.dat';
const NAMED_SEED_TEXT = file([' seed_1:', '       12007        4242']);
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
const LIST = ['Grupa 311 AC', 'Nr. Nume', ...NAMES.map((name, k) => `${k + 1}. ${name}`)];

module.exports = {
  file,
  utf8File,
  REPORT,
  SEED,
  SEED_TEXT,
  TYPED,
  NAMED_REPORT,
  NAMED_SEED,
  NAMED_SEED_TEXT,
  NAMES,
  NAMED,
  LIST,
};
