// Seeded mutations of real reports, seed files and group lists, for the
// differential run of the page against lotrano-verify (differential.js):
// bytes changed, inserted and deleted; lines dropped, doubled and swapped;
// byte order marks; every line-end style; renamed files; extra files of
// other kinds; seed notations; words longer than lotrano reads. Files are
// byte strings (one code unit a byte), as the page holds them.
'use strict';

// A small seeded generator (mulberry32): the same seed, the same cases.
function generator(seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const int = (n) => Math.floor(next() * n);
  return {
    int,
    chance: (p) => next() < p,
    pick: (list) => list[int(list.length)],
    weighted(entries) {
      const total = entries.reduce((sum, [weight]) => sum + weight, 0);
      let at = next() * total;
      for (const [weight, value] of entries) {
        if ((at -= weight) < 0) return value;
      }
      return entries[entries.length - 1][1];
    },
  };
}

const BOM = '\xEF\xBB\xBF';
const CRLF = '\r\n';

// Lines of a file written with CR LF, and back.
const linesOf = (bytes) => bytes.split(CRLF);
const joined = (lines) => lines.join(CRLF);

// A byte that mutations like to put in: the ones the readers decide by.
function someByte(rng) {
  return rng.pick(['0', '1', '7', '9', ' ', ' ', '\t', '\r', '\n', ',', '/', '*', '-', '+', ':', "'", 'a', 'Z', '\0', '\xC8', '\x9B', '\xFF']);
}

// The files of a case: [{ name, bytes, role }], `role` being what the file
// was made as ('report', 'seed', 'list', 'extra').
function target(rng, files, roles) {
  const candidates = files.filter((file) => roles.includes(file.role));
  return candidates.length === 0 ? null : rng.pick(candidates);
}

function words(bytes) {
  return linesOf(bytes).filter((line) => /\d/.test(line) && !/seed_/.test(line));
}

const SEED_NOTATIONS = [
  (a, b) => `${a} ${b} / rest`,
  (a, b) => `${a},${b},x`,
  (a, b) => `1*${a} ${b}`,
  (a, b) => `2*${a}`,
  (a, b) => `${a},,${b}`,
  (a, b) => `,${a} ${b}`,
  (a, b) => `${a}${CRLF}${CRLF}${b}`,
  (a, b) => `${a} , ${b}`,
  (a, b) => `\t${a}\t${b}\t`,
  (a, b) => `+000${a} 0${b}`,
  (a, b) => `'${a}' ${b}`,
  (a, b) => `"${a}" ${b}`,
  (a) => `${a} /`,
  () => '/',
  (a, b) => `0*${a} ${b}`,
  (a, b) => `2147483648*${a} ${b}`,
  (a, b) => `${a} ${b}junk`,
  (a, b) => `${a} ${b};x`,
  (a, b) => `${a} -${b}`,
  (a) => `${a} 2147483648`,
  (a) => `${a} -2147483648`,
  (a, b) => `${a} + ${b}`,
  (a, b) => `${a}. ${b}`,
  (a, b) => `${a} 1e5 ${b}`,
  (a, b) => `${a}, ${b}, 7, 8`,
  (a, b) => `3*`,
  (a, b) => `1* ${a} ${b}`,
  (a, b) => `${a} 2*`,
  (a, b) => `${a} '${b}`,
  (a, b) => `${a}/${b}`,
  (a, b) => `${a},${CRLF},${b}`,
  (a, b) => `${a}${CRLF},${b}`,
];

const SEED_LABELS = ['x', '', ' seed_9:', 'Tragerea 1', "'eticheta, cu virgula'", '0*x', '2*', '/', ',', 'seed_1', '\t', '   12 13', '1*x y', '"neinchis'];

// Words longer than lotrano reads, around its limit of 65536 bytes a line.
const HUGE_LENGTHS = [65534, 65535, 65536, 65537, 65538, 70000, 200000];

const EXTRA_FILES = {
  notes: () => ({ name: 'notite.txt', bytes: `Sala 2, etaj 1${CRLF}` }),
  readme: () => ({ name: 'citeste.txt', bytes: `Verificarea tragerii${CRLF}1. Deschideti pagina${CRLF}2. Alegeti fisierele${CRLF}` }),
  csv: () => ({ name: 'tabel.csv', bytes: `${BOM}Nr;Nume;Problema;Runda${CRLF}1;Ana;4;1${CRLF}` }),
  html: () => ({ name: 'lotrano.html', bytes: `<!doctype html>${CRLF}<html lang="ro">${CRLF}</html>${CRLF}` }),
  binary: () => ({ name: 'poza.png', bytes: '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10' }),
  empty: () => ({ name: 'gol.txt', bytes: '' }),
  otherList: () => ({ name: 'grupa_312.txt', bytes: joined(['Grupa 312 AC', '1. Ionescu Ana', '2. Pop Vlad', '']) }),
  utf16List: (rng, base) => ({ name: 'lista_unicode.txt', bytes: base.list ? utf16(base.list.bytes) : utf16(joined(['Grupa 311', '1 Ana', ''])) }),
  numbers: () => ({ name: 'numere.txt', bytes: joined(['Note', '10 9', '']) }),
};

function utf16(bytes) {
  let out = '\xFF\xFE';
  for (const c of bytes) out += c + '\0';
  return out;
}

// Latin letters of UTF-8 names as their Windows-1250 bytes (ș, ț with the
// cedilla, as that code page has them).
function toWindows1250(bytes) {
  const table = { 'Ș': '\xAA', 'ș': '\xBA', 'Ş': '\xAA', 'ş': '\xBA', 'Ț': '\xDE', 'ț': '\xFE', 'Ţ': '\xDE', 'ţ': '\xFE', 'ă': '\xE3', 'Ă': '\xC3', 'â': '\xE2', 'Â': '\xC2', 'î': '\xEE', 'Î': '\xCE' };
  const text = Buffer.from(bytes, 'latin1').toString('utf8');
  return Array.from(text, (c) => table[c] || (c.charCodeAt(0) < 0x80 ? c : '?')).join('');
}

// The mutations, each (rng, files, context) -> a short description, or
// null when it found nothing to change.
const MUTATIONS = [
  [3, 'byte changed', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file || file.bytes.length === 0) return null;
    const at = rng.int(file.bytes.length);
    file.bytes = file.bytes.slice(0, at) + someByte(rng) + file.bytes.slice(at + 1);
    return `${file.role}: byte ${at} changed`;
  }],
  [2, 'bytes inserted', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    const at = rng.int(file.bytes.length + 1);
    const count = 1 + rng.int(3);
    let piece = '';
    for (let k = 0; k < count; ++k) piece += someByte(rng);
    file.bytes = file.bytes.slice(0, at) + piece + file.bytes.slice(at);
    return `${file.role}: ${count} bytes inserted at ${at}`;
  }],
  [2, 'bytes deleted', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file || file.bytes.length === 0) return null;
    const at = rng.int(file.bytes.length);
    const count = 1 + rng.int(4);
    file.bytes = file.bytes.slice(0, at) + file.bytes.slice(at + count);
    return `${file.role}: ${count} bytes deleted at ${at}`;
  }],
  [2, 'line dropped', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    const at = rng.int(lines.length);
    lines.splice(at, 1);
    file.bytes = joined(lines);
    return `${file.role}: line ${at + 1} dropped`;
  }],
  [2, 'line doubled', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    const at = rng.int(lines.length);
    lines.splice(at, 0, lines[at]);
    file.bytes = joined(lines);
    return `${file.role}: line ${at + 1} doubled`;
  }],
  [2, 'lines swapped', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    if (lines.length < 2) return null;
    const a = rng.int(lines.length - 1);
    const b = rng.chance(0.6) ? a + 1 : rng.int(lines.length);
    [lines[a], lines[b]] = [lines[b], lines[a]];
    file.bytes = joined(lines);
    return `${file.role}: lines ${a + 1} and ${b + 1} swapped`;
  }],
  [1.5, 'byte order mark', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    file.bytes = BOM + file.bytes;
    return `${file.role}: byte order mark`;
  }],
  [2.5, 'line ends', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    const style = rng.pick(['LF', 'CR CR LF', 'CR', 'mixed', 'no last', 'CR CR LF last']);
    const lines = linesOf(file.bytes);
    if (style === 'LF') file.bytes = lines.join('\n');
    else if (style === 'CR CR LF') file.bytes = lines.join('\r\r\n');
    else if (style === 'CR') file.bytes = lines.join('\r');
    else if (style === 'mixed') file.bytes = lines.map((line, k) => line + (k === lines.length - 1 ? '' : rng.pick(['\n', '\r\n', '\r\r\n']))).join('');
    else if (style === 'no last') file.bytes = file.bytes.replace(/\r\n$/, '');
    else file.bytes = file.bytes.replace(/\r\n$/, '\r\r\n');
    return `${file.role}: line ends ${style}`;
  }],
  [2, 'renamed', (rng, files) => {
    const file = target(rng, files, ['report', 'seed', 'list']);
    if (!file) return null;
    const dot = file.name.lastIndexOf('.');
    const stem = file.name.slice(0, dot);
    const extension = file.name.slice(dot);
    const style = rng.pick(['download', 'underscores', 'lower', 'other extension', 'second download']);
    if (style === 'download') file.name = `${stem} (1)${extension}`;
    else if (style === 'second download') file.name = `${stem} (2)${extension}`;
    else if (style === 'underscores') file.name = file.name.replace(/ /g, '_');
    else if (style === 'lower') file.name = file.name.toLowerCase();
    else file.name = `${stem}${file.role === 'report' ? '.rez.txt' : '.txt'}`;
    return `${file.role}: renamed (${style}) to ${file.name}`;
  }],
  [2, 'extra file', (rng, files, context) => {
    const kind = rng.pick(Object.keys(EXTRA_FILES).concat(['otherSeed', 'otherPair', 'listCopy', 'seriesCopy']));
    const taken = new Set(files.map((file) => file.name));
    const add = (file, role) => {
      if (taken.has(file.name)) return;
      files.push({ ...file, role });
      taken.add(file.name);
    };
    const other = rng.pick(context.bases.filter((base) => base !== context.base));
    if (kind === 'otherSeed') add({ name: rng.pick([other.seed.name, 'alt.dat', `Seed_altul (${rng.int(9)}).dat`]), bytes: other.seed.bytes }, 'extra');
    else if (kind === 'otherPair') {
      add({ name: other.report.name, bytes: other.report.bytes }, 'report');
      if (rng.chance(0.7)) add({ name: other.seed.name, bytes: other.seed.bytes }, 'seed');
    } else if (kind === 'seriesCopy') {
      // The next report of the series, without a seed file of its own name.
      const report = context.base.report;
      const lines = linesOf(report.bytes);
      if (rng.chance(0.5) && lines.length > 11) lines[10] = lines[10].replace(/\d+$/, (n) => String(Number(n) + 1));
      add({ name: report.name.replace(/\.rez$/, '[1].rez'), bytes: joined(lines) }, 'report');
    } else if (kind === 'listCopy') {
      if (!context.base.list) return null;
      add({ name: 'copie lista.txt', bytes: rng.chance(0.5) ? context.base.list.bytes : context.base.list.bytes.replace(/\n(\d)/, '\n$1 ') }, 'list');
    } else add(EXTRA_FILES[kind](rng, context.base), 'extra');
    return `extra file: ${kind}`;
  }],
  [3, 'seed notation', (rng, files) => {
    const file = target(rng, files, ['seed']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    const wordLines = lines.map((line, k) => k).filter((k) => /\d/.test(lines[k]) && !/seed_/.test(lines[k]));
    if (wordLines.length === 0) return null;
    const at = rng.pick(wordLines);
    const [a, b] = lines[at].trim().split(/\s+/);
    const notation = rng.int(SEED_NOTATIONS.length);
    lines[at] = SEED_NOTATIONS[notation](a, b || '1');
    file.bytes = joined(lines);
    return `seed: notation ${notation} on line ${at + 1}`;
  }],
  [1, 'seed label', (rng, files) => {
    const file = target(rng, files, ['seed']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    const labels = lines.map((line, k) => k).filter((k) => /seed_/.test(lines[k]));
    if (labels.length === 0) return null;
    const at = rng.pick(labels);
    lines[at] = rng.pick(SEED_LABELS);
    if (rng.chance(0.3)) lines.splice(at, 0, '', '  ');
    file.bytes = joined(lines);
    return `seed: label of line ${at + 1} changed`;
  }],
  [0.6, 'huge word', (rng, files) => {
    const file = target(rng, files, ['seed', 'report', 'list']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    const at = rng.int(lines.length);
    const length = rng.pick(HUGE_LENGTHS);
    const word = rng.pick(['1', '9', 'x']).repeat(length - (rng.chance(0.3) ? 1 : 0)) + (rng.chance(0.3) ? '\r' : '');
    lines[at] = rng.chance(0.5) ? word : `${lines[at]} ${word}`;
    file.bytes = joined(lines);
    return `${file.role}: a word of ${length} bytes on line ${at + 1}`;
  }],
  [1.5, 'list changed', (rng, files) => {
    const file = target(rng, files, ['list']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    const style = rng.pick(['title', 'title CR', 'name', 'student added', 'student removed', 'Windows-1250', 'UTF-16', 'no title digit']);
    if (style === 'title') lines[0] = lines[0].replace(/\d/, (d) => String((Number(d) + 1) % 10));
    else if (style === 'title CR') lines[0] += '\r';
    else if (style === 'name') {
      const students = lines.map((line, k) => k).filter((k) => k > 0 && /^\d/.test(lines[k]));
      if (students.length === 0) return null;
      const at = rng.pick(students);
      lines[at] = lines[at].replace(/[A-Za-z]/, 'Q');
    } else if (style === 'student added') lines.splice(1 + rng.int(lines.length - 1), 0, '99. Nou Student');
    else if (style === 'student removed') {
      const at = lines.findIndex((line, k) => k > 0 && /^\d/.test(line));
      if (at < 0) return null;
      lines.splice(at, 1);
    } else if (style === 'Windows-1250') {
      file.bytes = toWindows1250(file.bytes);
      return 'list: Windows-1250';
    } else if (style === 'UTF-16') {
      file.bytes = utf16(file.bytes);
      return 'list: UTF-16';
    } else lines[0] = lines[0].replace(/\d/g, '');
    file.bytes = joined(lines);
    return `list: ${style}`;
  }],
  [2, 'report value', (rng, files) => {
    const file = target(rng, files, ['report']);
    if (!file) return null;
    const lines = linesOf(file.bytes);
    if (lines.length < 11) return null;
    const style = rng.pick(['count', 'set', 'range start', 'range end', 'problem', 'name', 'widened', 'exam']);
    const bump = (line, pattern) => line.replace(pattern, (n) => String(Number(n) + rng.pick([-1, 1, 7, 100, 2147483647])));
    if (style === 'count') lines[1] = bump(lines[1], /\d+$/);
    else if (style === 'set') lines[5] = bump(lines[5], /\d+$/);
    else if (style === 'range start') lines[6] = bump(lines[6], /-?\d+(?=-)/);
    else if (style === 'range end') lines[6] = bump(lines[6], /\d+(?=  \()/);
    else if (style === 'exam') lines[3] = lines[3].replace(/\d$/, rng.pick(['2', '1', '3', '12']));
    else {
      const rows = lines.map((line, k) => k).filter((k) => k >= 10 && /^ +\d+ /.test(lines[k]));
      if (rows.length === 0) return null;
      const at = rng.pick(rows);
      if (style === 'problem') lines[at] = bump(lines[at], /\d+$/);
      else if (style === 'name') lines[at] = lines[at].replace(/[A-Za-z]/, '\xC8\x98');
      else lines[at] = lines[at].replace(/ (\d+)$/, (all, n) => String(Number(n) + 1000));
    }
    file.bytes = joined(lines);
    return `report: ${style} changed`;
  }],
  [0.5, 'seed left out', (rng, files) => {
    const at = files.findIndex((file) => file.role === 'seed');
    if (at < 0) return null;
    files.splice(at, 1);
    return 'seed left out';
  }],
];

// One case: the files of a base report, changed by one to three mutations.
function mutatedCase(rng, bases) {
  const base = rng.pick(bases);
  const files = [
    { name: base.report.name, bytes: base.report.bytes, role: 'report' },
    { name: base.seed.name, bytes: base.seed.bytes, role: 'seed' },
  ];
  if (base.list && rng.chance(0.5)) files.push({ name: base.list.name, bytes: base.list.bytes, role: 'list' });
  const context = { base, bases };
  const done = [];
  const count = rng.weighted([[5, 1], [3, 2], [1, 3]]);
  for (let tries = 0; done.length < count && tries < 10; ++tries) {
    const [, , mutation] = rng.weighted(MUTATIONS.map((entry) => [entry[0], entry]));
    const what = mutation(rng, files, context);
    if (what) done.push(what);
  }
  // A later file of a name replaces an earlier one on the page; the files
  // of a case have different names, as in one folder.
  const seen = new Set();
  const unique = files.filter((file) => !seen.has(file.name) && seen.add(file.name));
  if (rng.chance(0.3)) unique.reverse();
  return { base: base.key, mutations: done, files: unique.map(({ name, bytes }) => ({ name, bytes })) };
}

module.exports = { generator, mutatedCase };
