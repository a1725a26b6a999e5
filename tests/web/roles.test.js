// Every file given gets its role by what it holds, and every report is
// paired with the files it is checked against: the ways students give
// files (a whole folder, notes beside, a renamed download, a seed file
// saved again in Notepad) and what the page makes of each.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { roles } = require('../../web/roles.js');
const { draw } = require('../../web/draw.js');
const ex = require('./examples.js');

const R = { name: ex.NAMED_REPORT, bytes: ex.file(ex.NAMED) };
const S = { name: ex.NAMED_SEED, bytes: ex.NAMED_SEED_TEXT };
const LIST = { name: 'grupa_311.txt', bytes: ex.utf8File(ex.LIST) };
const T = { name: ex.REPORT, bytes: ex.file(ex.TYPED) };
const ST = { name: ex.SEED, bytes: ex.SEED_TEXT };
const NOTES = { name: 'notite.txt', bytes: ex.file(['Sala 2, etaj 1']) };
const OTHER_LIST = { name: 'grupa_312.txt', bytes: ex.file(['Grupa 312', '1. Ionescu Ana', '2. Pop Vlad']) };
const as = (file, name, bytes = file.bytes) => ({ name, bytes });
// The named report with its third row's problem changed from 3 to 9.
const TAMPERED = { name: R.name, bytes: ex.file(ex.NAMED.map((line, k) => (k === 12 ? line.replace(/3$/, '9') : line))) };
const seedWith = (words) => ({ name: S.name, bytes: ex.file([' seed_1:', words]) });
// The named report with its second student's name changed.
const TAMPERED_NAME = { name: R.name, bytes: ex.utf8File(ex.NAMED.map((line, k) => (k === 11 ? line.replace('Ioana', 'Ilona') : line))) };
// A UTF-8 text in UTF-16 ('le' or 'be'), with or without the mark.
const utf16 = (utf8, order, mark) => {
  const units = Buffer.from(Buffer.from(utf8, 'latin1').toString('utf8'), 'utf16le');
  if (order === 'be') units.swap16();
  return (mark ? (order === 'le' ? '\xFF\xFE' : '\xFE\xFF') : '') + units.toString('latin1');
};

test('reports are paired and judged as lotrano-verify judges them', () => {
  const cases = [
    {
      what: 'a whole folder: two reports, their seed files, lists and other files',
      files: [R, S, LIST, NOTES, OTHER_LIST, T, ST, { name: 'tabel.csv', bytes: '\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n1;;2;1\r\n' }, { name: 'lotrano.html', bytes: '<!doctype html>\r\n' }],
      results: { [R.name]: ['match', 0, null, S.name, 'name', LIST.name], [T.name]: ['match', 0, null, ST.name, 'name', null] },
      roles: { [LIST.name]: 'group', [NOTES.name]: 'ignored', [OTHER_LIST.name]: 'ignored', 'tabel.csv': 'ignored', 'lotrano.html': 'ignored' },
    },
    {
      what: "another group's list alone is left aside",
      files: [R, S, OTHER_LIST],
      results: { [R.name]: ['match', 0, null, S.name, 'name', null] },
      roles: { [OTHER_LIST.name]: 'ignored' },
    },
    {
      what: 'a seed file with a byte order mark is a seed file, never a list',
      files: [R, as(S, S.name, '\xEF\xBB\xBF' + S.bytes), LIST],
      results: { [R.name]: ['match', 0, null, S.name, 'name', LIST.name] },
      roles: { [S.name]: 'seed' },
    },
    {
      what: 'a tampered report beside a seed file with a byte order mark',
      files: [TAMPERED, as(S, S.name, '\xEF\xBB\xBF' + S.bytes)],
      results: { [R.name]: ['mismatch', 2, 13, S.name, 'name', null] },
    },
    {
      what: "a browser's second download of the seed file",
      files: [R, as(S, 'Seed_1 (1-10) Grupa 311 AC (1).dat')],
      results: { [R.name]: ['match', 0, null, 'Seed_1 (1-10) Grupa 311 AC (1).dat', 'match', null] },
    },
    {
      what: 'blanks made "_" in both names',
      files: [as(R, R.name.replace(/ /g, '_')), as(S, S.name.replace(/ /g, '_'))],
      results: { [R.name.replace(/ /g, '_')]: ['match', 0, null, S.name.replace(/ /g, '_'), 'match', null] },
    },
    {
      what: 'a seed file of another name that does not reproduce the report, given alone',
      files: [R, as(ST, 'alt.dat')],
      results: { [R.name]: ['mismatch', 2, 13, 'alt.dat', 'single', null] },
    },
    {
      what: 'several seed files, none reproducing the report',
      files: [R, as(ST, 'a.dat'), as(seedWith('1 2'), 'b.dat')],
      results: { [R.name]: ['error', 29, null, null, null, null] },
      roles: { 'a.dat': 'ignored', 'b.dat': 'ignored' },
      cause: /lipsește fișierul seed „Seed_1 \(1-10\) Grupa 311 AC\.dat”; niciunul dintre fișierele seed date, „a\.dat” și „b\.dat”, nu reproduce raportul/,
    },
    {
      what: "another report's own seed file is tried, but never judges a report it does not reproduce",
      files: [T, ST, as(R, 'Probleme Examen Nr_1 (1-10) Grupa 311 AC[1].rez')],
      results: { [T.name]: ['match', 0, null, ST.name, 'name', null], 'Probleme Examen Nr_1 (1-10) Grupa 311 AC[1].rez': ['error', 29, null, null, null, null] },
    },
    {
      what: 'two reports of a dotted title share their seed file under its older name, as lotrano-verify finds it',
      files: [as(T, 'Probleme Examen Nr_2 (1-6) Gr. 1234.rez'), as(T, 'Probleme Examen Nr_2 (1-6) Gr. 1234[1].rez', ex.file(ex.TYPED.map((l) => l.replace('   2       3', '   2       4')))), as(ST, 'Seed_2 (1-6) Gr.dat')],
      results: {
        'Probleme Examen Nr_2 (1-6) Gr. 1234.rez': ['match', 0, null, 'Seed_2 (1-6) Gr.dat', 'name', null],
        'Probleme Examen Nr_2 (1-6) Gr. 1234[1].rez': ['mismatch', 2, 12, 'Seed_2 (1-6) Gr.dat', 'name', null],
      },
      notes: { 'Seed_2 (1-6) Gr.dat': /al rapoartelor/ },
    },
    {
      what: 'notations lotrano reads: "/", "1*", words after a comma',
      files: [R, seedWith('12007 4242 / rest')],
      results: { [R.name]: ['match', 0, null, S.name, 'name', null] },
    },
    {
      what: 'two commas make the second word a null value, 0',
      files: [R, seedWith('12007,,4242')],
      results: { [R.name]: ['mismatch', 2, 11, S.name, 'name', null] },
    },
    {
      what: 'CR CR LF line ends',
      files: [R, as(S, S.name, S.bytes.replace(/\r\n/g, '\r\r\n'))],
      results: { [R.name]: ['error', 64, null, S.name, 'name', null] },
      cause: /CR CR LF/,
    },
    {
      what: 'an empty seed file',
      files: [R, as(S, S.name, '')],
      results: { [R.name]: ['error', 24, null, S.name, 'name', null] },
      cause: /este gol/,
    },
    {
      what: 'a word of 20 MB',
      files: [R, seedWith(`${'1'.repeat(20 * 1024 * 1024)} 2`)],
      results: { [R.name]: ['error', 39, null, S.name, 'name', null] },
    },
    {
      what: 'a list of the group beside a report of the typed group is left aside',
      files: [T, ST, { name: 'grupa_1234.txt', bytes: ex.file(['Grupa 1234', '1 Ana', '2 Bogdan']) }],
      results: { [T.name]: ['match', 0, null, ST.name, 'name', null] },
      roles: { 'grupa_1234.txt': 'ignored' },
      notes: { 'grupa_1234.txt': /introdusă de la tastatură/ },
    },
    {
      what: 'of two lists of the group, the one that matches',
      files: [R, S, { name: 'veche.txt', bytes: ex.utf8File([...ex.LIST.slice(0, 2), '1. Altcineva', ...ex.LIST.slice(3)]) }, LIST],
      results: { [R.name]: ['match', 0, null, S.name, 'name', LIST.name] },
      roles: { 'veche.txt': 'ignored', [LIST.name]: 'group' },
    },
    {
      what: 'files of no kind lotrano reads',
      files: [R, S, as(LIST, 'unicode.txt', utf16(LIST.bytes, 'le', false)), { name: 'poza.png', bytes: '\x89PNG\r\n\x1a\n\0\0' }, { name: 'gol.txt', bytes: '' }, as(LIST, 'crcrlf.txt', LIST.bytes.replace(/\r\n/g, '\r\r\n'))],
      results: { [R.name]: ['match', 0, null, S.name, 'name', null] },
      notes: { 'unicode.txt': /^lista grupei 311 AC, dar salvată în UTF-16 fără semnul \(BOM\)/, 'poza.png': /nu este un fișier text/, 'gol.txt': /gol/, 'crcrlf.txt': /CR CR LF/ },
      leftAside: { [R.name]: ['unicode.txt', 'crcrlf.txt'] },
    },
    {
      what: "a list saved by Notepad as \"Unicode\" (UTF-16 with its mark) is a list as any other",
      files: [R, S, as(LIST, 'unicode.txt', utf16(LIST.bytes, 'le', true))],
      results: { [R.name]: ['match', 0, null, S.name, 'name', 'unicode.txt'] },
      roles: { 'unicode.txt': 'group' },
    },
    {
      what: 'so is one in UTF-16 big endian, and its names are checked',
      files: [TAMPERED_NAME, S, as(LIST, 'unicode_be.txt', utf16(LIST.bytes, 'be', true))],
      results: { [R.name]: ['mismatch', 2, 12, S.name, 'name', 'unicode_be.txt'] },
      roles: { 'unicode_be.txt': 'group' },
    },
    {
      what: 'a notes file in UTF-16 with its mark is left aside as any notes',
      files: [R, S, as(NOTES, NOTES.name, utf16(NOTES.bytes, 'le', true))],
      results: { [R.name]: ['match', 0, null, S.name, 'name', null] },
      notes: { [NOTES.name]: /^nu este un raport, un fișier seed sau o listă a grupei$/ },
    },
    {
      what: 'files that could not be read',
      files: [{ name: R.name, failure: { status: 29, cause: 'fișierul nu mai este acolo' } }, { name: ST.name, failure: { status: 39, cause: 'citirea a eșuat' } }, T, { name: 'x.txt', failure: { status: 39, cause: 'citirea a eșuat' } }],
      results: { [R.name]: ['error', 29, null, null, null, null], [T.name]: ['error', 39, null, ST.name, 'name', null] },
      roles: { 'x.txt': 'ignored', [ST.name]: 'seed' },
      notes: { 'x.txt': /^nu poate fi citit: citirea a eșuat$/ },
    },
    {
      what: 'a later file of a name replaces the earlier one',
      files: [R, seedWith('1 2'), S],
      results: { [R.name]: ['match', 0, null, S.name, 'name', null] },
    },
  ];
  for (const c of cases) {
    const outcome = roles.checkFiles(c.files);
    const shown = Object.fromEntries(outcome.results.map((r) => [r.report, [r.verdict, r.status, r.verdict === 'mismatch' ? r.line : null, r.seed, r.seedChoice, r.groupFile]]));
    assert.deepEqual(shown, c.results, c.what);
    const roleOf = Object.fromEntries(outcome.files.map((file) => [file.name, file]));
    assert.deepEqual(Object.keys(roleOf).sort(), Array.from(new Set(c.files.map((file) => file.name))).sort(), `${c.what}: every file listed once`);
    for (const [name, role] of Object.entries(c.roles || {})) assert.equal(roleOf[name].role, role, `${c.what}: ${name}`);
    for (const [name, note] of Object.entries(c.notes || {})) assert.match(roleOf[name].note, note, `${c.what}: ${name}`);
    for (const file of outcome.files) if (file.role === 'ignored') assert.ok(file.note, `${c.what}: ${file.name} ignored without a reason`);
    if (c.cause) assert.match(outcome.results[0].cause, c.cause, c.what);
    for (const [report, names] of Object.entries(c.leftAside || {})) {
      assert.deepEqual(outcome.results.find((r) => r.report === report).listsLeftAside, names, c.what);
    }
  }
});

test('the reasons beside lists left aside name both groups', () => {
  const outcome = roles.checkFiles([R, S, OTHER_LIST, NOTES]);
  const note = (name) => outcome.files.find((file) => file.name === name).note;
  assert.equal(note(OTHER_LIST.name), 'lista grupei 312, raportul este al grupei 311 AC');
  assert.equal(note(NOTES.name), 'nu este un raport, un fișier seed sau o listă a grupei');
  assert.match(note(S.name), /al raportului „Probleme Examen Nr_1 \(1-10\) Grupa 311 AC\.rez”/);
});

test("a fault of the page's own is the report's verdict, never a verdict left unsaid", () => {
  const original = draw.drawAllocation;
  draw.drawAllocation = () => {
    throw new TypeError('forced');
  };
  try {
    const outcome = roles.checkFiles([R, S, T, ST]);
    for (const result of outcome.results) {
      assert.equal(result.verdict, 'error');
      assert.equal(result.status, 1);
      assert.match(result.cause, /TypeError: forced/);
    }
  } finally {
    draw.drawAllocation = original;
  }
});

// The text is judged after the pairing, which it never changes: the seed
// file that reproduces a report is the one judged against the text, as
// lotrano-verify --seed THAT_FILE --public-text judges it.
test('a public text is judged with the files each report was paired with', async () => {
  const { publicText } = require('../../web/public_text.js');
  const fromText = await publicText.derive('Loto 6/49, 14.12.2026: 3 7 19 24 33 41');
  const OWN = [1604280731, 1781708175].map((w) => String(w).padStart(12)).join('');
  const cases = [
    // [what, files, text, {report: [verdict, status, seed, seedChoice, public entry or null]}]
    ['no text', [T, ST], null, { [T.name]: ['match', 0, ST.name, 'name', null] }],
    ['a seed file not from the text', [T, ST], fromText, { [T.name]: ['mismatch', 2, ST.name, 'name', 1] }],
    ['renamed, still the one that reproduces the report', [T, as(ST, 'Seed_public.dat'), seedWith(OWN)], fromText, { [T.name]: ['mismatch', 2, 'Seed_public.dat', 'match', 1] }],
    ['a report that cannot be checked', [T], fromText, { [T.name]: ['error', 29, null, null, null] }],
  ];
  for (const [what, files, text, expected] of cases) {
    const outcome = roles.checkFiles(files, text);
    for (const [report, [verdict, status, seed, choice, entry]] of Object.entries(expected)) {
      const result = outcome.results.find((r) => r.report === report);
      assert.deepEqual(
        [result.verdict, result.status, result.seed, result.seedChoice, result.publicText ? result.publicText.entry : null],
        [verdict, status, seed, choice, entry],
        what,
      );
    }
  }
});
