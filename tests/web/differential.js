#!/usr/bin/env node
// The page against lotrano-verify, without a browser: the page's reading and
// checking modules (web/*.js under Node) and lotrano-verify judge the same
// files, on reports, seed files and group lists written by the real program
// and on seeded mutations of them (mutations.js). For every report the page
// finds, lotrano-verify is run with the pairing the page chose (its own seed
// file by name, or --seed with the one the page named; --group with the
// list the page used), and the two must give the same verdict, first
// differing line and status. Some cases carry a public text (the text their
// seed file was made from, the same spelt otherwise, one differing by a
// character, another text): the page checks against it and lotrano-verify
// is given --public-text, and whether the seed file comes from the text,
// the text as both quote it and the first entry that does not (with both
// pairs of words) must be the same too. Every case that ever differed is
// kept as a fixture in tests/web/differential/ (its files, its public text
// and lotrano-verify's verdict in case.json) and judged again on every run.
//
//   node tests/web/differential.js BUILD_DIR [--mutations N] [--seed S] [--jobs J]
//
// BUILD_DIR holds lotrano and lotrano-verify. A case that differs is
// written to tests/web/differential/found-<hash>/ and the run fails.
'use strict';

const childProcess = require('node:child_process');
const crypto = require('node:crypto');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { generator, mutatedCase } = require('./mutations.js');
const { roles } = require('../../web/roles.js');
const { publicText } = require('../../web/public_text.js');

const FIXTURES = path.join(__dirname, 'differential');
const ROLES = new Set(['report', 'seed', 'group', 'ignored']);

function options(argv) {
  const given = { build: null, mutations: 3000, seed: 27, jobs: Math.max(1, Math.min(2, os.cpus().length)) };
  for (let k = 0; k < argv.length; ++k) {
    const flag = argv[k];
    if (flag === '--mutations') given.mutations = Number(argv[++k]);
    else if (flag === '--seed') given.seed = Number(argv[++k]);
    else if (flag === '--jobs') given.jobs = Number(argv[++k]);
    else if (given.build === null) given.build = path.resolve(flag);
    else throw new Error(`unknown argument ${flag}`);
  }
  if (given.build === null || !(given.mutations >= 0) || !(given.jobs >= 1)) {
    throw new Error('usage: differential.js BUILD_DIR [--mutations N] [--seed S] [--jobs J]');
  }
  return given;
}

// Thousands of small files are made and removed: in memory when the
// machine has a memory file system for that.
function scratchRoot() {
  try {
    fs.accessSync('/dev/shm', fs.constants.W_OK);
    return '/dev/shm';
  } catch (error) {
    return os.tmpdir();
  }
}

const bytesOf = (file) => fs.readFileSync(file).toString('latin1');
const write = (file, bytes) => fs.writeFileSync(file, Buffer.from(bytes, 'latin1'));

// The public texts that base cases are drawn from, and the texts a case may
// be checked against: each as drawn, spelt otherwise (cedillas, blanks, a
// line end), one character changed; and a text nothing was drawn from.
const PUBLIC_TEXTS = {
  loto: 'Loto 6/49, 14.12.2026: 3 7 19 24 33 41',
  students: 'Cifrele spuse de Ștefan și Țuțu la începutul examenului: 1234 5678',
};
function textsFor(drawnFrom) {
  const text = PUBLIC_TEXTS[drawnFrom] || PUBLIC_TEXTS.loto;
  return [
    text,
    ` ${text.replace(/ș/g, 'ş').replace(/Ț/g, 'Ţ').replace(/ț/g, 'ţ').replace(/: /, ':\r\n\t')}  `,
    text.replace(/\d(?=\D*$)/, (d) => String((Number(d) + 1) % 10)),
    'Extragerea din 21.01.2027: 5 11 23 30 38 44',
  ];
}

// The base cases: reports written by lotrano, their seed files and lists.
// One new allocation, the rest re-allocations from seed files written here
// (no clock, no wait), so that the reports are the same on every run.
function baseCases(build, scratch) {
  const folder = path.join(scratch, 'base');
  fs.mkdirSync(path.join(folder, 'Dat'), { recursive: true });
  const list = (name, title, names, encoding = 'utf8', bom = false) => {
    const text = [title, 'Nr. Nume si prenume', ...names.map((n, k) => `${k + 1}. ${n}`)].join('\r\n') + '\r\n';
    const bytes = Buffer.concat([Buffer.from(bom ? '\ufeff' : ''), Buffer.from(text, encoding)]);
    fs.writeFileSync(path.join(folder, 'Dat', name), bytes);
  };
  const seedFile = (name, pairs) =>
    write(path.join(folder, name), pairs.map(([a, b], k) => ` seed_${k + 1}:\r\n${String(a).padStart(12)}${String(b).padStart(12)}\r\n`).join(''));
  const last = ['Popescu', 'Țurcanu', 'Știrbu', 'Mărgărit', 'Dumitrescu', 'Stănescu', 'Vâlcu', 'Bîrsan', 'Căpraru', 'Ionescu'];
  const first = ['Ștefan', 'Ioana', 'Mădălina', 'Răzvan', 'Andreea', 'Tudor', 'Ilinca', 'Bogdan', 'Oana', 'Cătălin'];
  const names = (n) => Array.from({ length: n }, (_, k) => `${last[k % 10]} ${first[(k * 3 + Math.floor(k / 10)) % 10]}`);
  list('g.txt', 'Grupa 311 AC', ['Popescu Ion', 'Dumitrescu Oana']);
  list('grupa_30.txt', 'Grupa 312', names(30), 'utf8', true);
  list('lungi.txt', 'Grupa 5 lungi', ['Alfa Beta', 'Lambda-Omicron Niu Xi Sigma Pi Rhoa', 'Lambda-Omicron Niu Xi Sigma Pi Rhoan', 'Lambda-Omicron Niu Xi Sigma Pi Rhoana', 'Lambda-Omicron Niu Xi Sigma Pi Rhoana Extra Lung']);
  fs.writeFileSync(path.join(folder, 'Dat', 'vechi.txt'), Buffer.from(['Grupa 412 (lista veche)', '1 Mandru Ion', '2 Balasescu Irina', '3 Cirstea Pascu'].join('\r\n') + '\r\n', 'latin1'));
  list('dotted.txt', 'Gr. 311 AC', ['Ana Pop', 'Ion Vlad', 'Oana Stan']);
  list('stiinte.txt', 'Științe, grupa 7', names(4));
  const cp1250 = Buffer.from('Grupa 413\r\n1 \xAAerban \xDEi\xFEeica\r\n2 B\xE3l\xE3\xBAescu Irina\r\n3 \xCEndrie\xBA Vlad\r\n', 'latin1');
  fs.writeFileSync(path.join(folder, 'Dat', 'cp1250.txt'), cp1250);
  // The same list after an editor's UTF-8 mark, and lists saved by Notepad as
  // "Unicode" (UTF-16 with its mark, either byte order).
  fs.writeFileSync(path.join(folder, 'Dat', 'cp1250_bom.txt'), Buffer.concat([Buffer.from('\xEF\xBB\xBF', 'latin1'), cp1250]));
  const utf16 = (text, bigEndian) => {
    const units = Buffer.from('\ufeff' + text, 'utf16le');
    return bigEndian ? units.swap16() : units;
  };
  const unicodeList = ['Grupa 414 Științe', 'Nr. Nume și prenume', ...names(5).map((n, k) => `${k + 1}. ${n}`)].join('\r\n') + '\r\n';
  fs.writeFileSync(path.join(folder, 'Dat', 'unicode.txt'), utf16(unicodeList, false));
  fs.writeFileSync(path.join(folder, 'Dat', 'unicode_be.txt'), utf16(unicodeList.replace('414', '415'), true));
  seedFile('s30.dat', [[1357409051, 243708341]]);
  seedFile('s3.dat', [[271828182, 314159265], [161803398, 141421356], [-1, 0]]);
  seedFile('s2.dat', [[12007, 4242], [2147483647, -2147483648]]);
  for (const [key, text] of Object.entries(PUBLIC_TEXTS)) {
    const made = childProcess.spawnSync(path.join(build, 'lotrano-verify'), ['--seed-from-text', text], { timeout: 60000 });
    if (made.status !== 0) throw new Error(`lotrano-verify --seed-from-text: ${made.stderr}`);
    fs.writeFileSync(path.join(folder, `public_${key}.dat`), made.stdout);
  }

  const runs = [
    { key: 'two-new', answers: 'g.txt\n1\n3\n1 40\n\n', list: 'g.txt' },
    { key: 'thirty', answers: 'grupa_30.txt\n2\n4\n1 40\nr\ns30.dat\n', list: 'grupa_30.txt' },
    { key: 'three-batches', answers: '\n1234\n15\n2\n7\n1 6\nr\ns3.dat\n', list: null },
    { key: 'long-names', answers: 'lungi.txt\n1\n3\n1 10\nr\ns30.dat\n', list: 'lungi.txt' },
    { key: 'windows-1250', answers: 'cp1250.txt\n1\n12\n1 3\nr\ns2.dat\n', list: 'cp1250.txt' },
    { key: 'negative', answers: '\nNeg\n40\n1\n2\n-9 20\nr\ns2.dat\n', list: null },
    { key: 'old-list', answers: 'vechi.txt\n2\n1\n1 4\nr\ns3.dat\n', list: 'vechi.txt' },
    // Its seed file kept under the name earlier versions gave it.
    { key: 'dotted-title', answers: 'dotted.txt\n1\n2\n1 6\nr\ns30.dat\n', list: 'dotted.txt', olderSeed: 'Seed_1 (1-6) Gr.dat' },
    { key: 'romanian-title', answers: 'stiinte.txt\n2\n5\n1 9\nr\ns2.dat\n', list: 'stiinte.txt' },
    { key: 'windows-1250-after-a-mark', answers: 'cp1250_bom.txt\n2\n12\n1 3\nr\ns3.dat\n', list: 'cp1250_bom.txt' },
    { key: 'utf-16', answers: 'unicode.txt\n1\n1\n1 5\nr\ns3.dat\n', list: 'unicode.txt' },
    { key: 'utf-16-big-endian', answers: 'unicode_be.txt\n1\n1\n1 2\nr\ns3.dat\n', list: 'unicode_be.txt' },
    // Drawn from the seed files of public texts: one batch, and three.
    { key: 'public-30', answers: 'grupa_30.txt\n1\n3\n1 30\nr\npublic_students.dat\n', list: 'grupa_30.txt', publicText: 'students' },
    { key: 'public-70', answers: '\n70 P\n70\n1\n2\n1 30\nr\npublic_loto.dat\n', list: null, publicText: 'loto' },
  ];
  const env = { ...process.env };
  delete env.DISPLAY;
  delete env.WAYLAND_DISPLAY;
  const made = runs.map((run) => {
    const before = new Set(fs.readdirSync(folder));
    const done = childProcess.spawnSync(path.join(build, 'lotrano'), [], { cwd: folder, input: run.answers, env, timeout: 60000 });
    if (done.status !== 0) throw new Error(`lotrano (${run.key}): ${done.stderr}`);
    const report = fs.readdirSync(folder).find((name) => !before.has(name) && name.endsWith('.rez'));
    const seed = 'Seed_' + report.slice('Probleme Examen Nr_'.length, -4) + '.dat';
    return {
      key: run.key,
      publicText: run.publicText || null,
      report: { name: report, bytes: bytesOf(path.join(folder, report)) },
      seed: { name: run.olderSeed || seed, bytes: bytesOf(path.join(folder, seed)) },
      list: run.list ? { name: run.list, bytes: bytesOf(path.join(folder, 'Dat', run.list)) } : null,
    };
  });
  // A report as an editor saves it again, an empty line added at its end;
  // and a list of the group with more students than the report, which take
  // an entry of the seed file that the report never took.
  const thirty = made.find((base) => base.key === 'thirty');
  made.push({ ...thirty, key: 'empty-line-after-the-stamp', report: { ...thirty.report, bytes: thirty.report.bytes + '\r\n' } });
  const two = made.find((base) => base.key === 'two-new');
  const longer = ['Grupa 311 AC', ...names(41).map((n, k) => `${k + 1}. ${n}`)].join('\r\n') + '\r\n';
  made.push({ ...two, key: 'longer-list', list: { name: 'g41.txt', bytes: Buffer.from(longer, 'utf8').toString('latin1') } });
  return made;
}

// The fixtures kept from earlier runs: { name, files, expected }.
function fixtures() {
  if (!fs.existsSync(FIXTURES)) return [];
  return fs
    .readdirSync(FIXTURES)
    .filter((name) => fs.existsSync(path.join(FIXTURES, name, 'case.json')))
    .sort()
    .map((name) => {
      const kept = JSON.parse(fs.readFileSync(path.join(FIXTURES, name, 'case.json'), 'utf8'));
      return {
        name,
        mutations: kept.mutations || [],
        files: kept.files.map((file) => ({ name: file, bytes: bytesOf(path.join(FIXTURES, name, 'files', file)) })),
        publicText: kept.publicText || null,
        expected: kept.expected,
      };
    });
}

// A verdict as the two are compared: { verdict, line, status, public }, with
// `public` null without a text, else { said: 'match' | 'mismatch', text,
// entry, inSeedFile, fromText } (the last three for a mismatch alone, the
// words as lotrano-verify writes them).
const seedWords = (pair) => pair.map((word) => String(word).padStart(12)).join('');

// lotrano-verify's verdicts on a list of reports, from one run: one entry
// per report, in order.
function parseVerdicts(output, reports) {
  const lines = output.split('\n');
  const verdicts = [];
  let at = 0;
  for (const report of reports) {
    while (at < lines.length && !/^(POTRIVIRE|NEPOTRIVIRE|EROARE): /.test(lines[at])) ++at;
    const line = lines[at++] || '';
    const fromText = /; fisierul seed (nu )?vine din textul public "(.*)"$/.exec(line);
    const said = fromText && { said: fromText[1] ? 'mismatch' : 'match', text: fromText[2], entry: 0, inSeedFile: null, fromText: null };
    if (line.startsWith(`POTRIVIRE: ${report} `)) verdicts.push({ verdict: 'match', line: null, status: 0, public: said });
    else if (line.startsWith(`NEPOTRIVIRE: ${report} `)) {
      const differing = /^ {2}prima linie diferita: (\d+)$/.exec(lines[at] || '');
      if (differing) at += 3;
      if (said && said.said === 'mismatch') {
        const entry = /^ {2}prima intrare diferita: (\d+)$/.exec(lines[at] || '');
        const inSeedFile = /^ {2}in fisierul seed: {2}(.*)$/.exec(lines[at + 1] || '');
        const fromWords = /^ {2}din textul public: (.*)$/.exec(lines[at + 2] || '');
        if (!entry || !inSeedFile || !fromWords) return null;
        Object.assign(said, { entry: Number(entry[1]), inSeedFile: inSeedFile[1], fromText: fromWords[1] });
        at += 3;
      }
      if (!differing && !said) return null;
      verdicts.push({ verdict: 'mismatch', line: differing ? Number(differing[1]) : null, status: 2, public: said });
    } else if (line.startsWith(`EROARE: ${report}: `)) {
      const status = /\(error (\d+)\)/.exec(line.slice(`EROARE: ${report}: `.length));
      if (!status) return null;
      verdicts.push({ verdict: 'error', line: null, status: Number(status[1]), public: null });
    } else return null;
  }
  return verdicts;
}

// A text as lotrano-verify's verdict quotes it: control characters as \xNN.
const quotedText = (text) => text.replace(/[\x00-\x1f\x7f]/g, (c) => `\\x${c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0')}`);

// A word as the shell reads it back, whatever it holds.
const quoted = (word) => `'${word.replace(/'/g, "'\\''")}'`;
const MARK = '@@@lotrano-differential@@@';

// Runs lotrano-verify once per call ({ folder, args }), from `jobs` shell
// scripts at a time (a fork of the shell costs far less than one of this
// process); returns each run's standard output, in the calls' order.
async function runAll(verify, calls, jobs, scratch) {
  const outputs = new Array(calls.length);
  const share = Math.ceil(calls.length / jobs);
  const parts = [];
  for (let j = 0; j * share < calls.length; ++j) {
    const mine = calls.slice(j * share, (j + 1) * share);
    const script = path.join(scratch, `verify-${j}.sh`);
    const lines = mine.map((call) => `cd ${quoted(call.folder)} && ${quoted(verify)} ${call.args.map(quoted).join(' ')}; printf '\\n${MARK}%s\\n' "$?"`);
    fs.writeFileSync(script, lines.join('\n') + '\n');
    parts.push(
      new Promise((resolve, reject) => {
        childProcess.execFile('sh', [script], { maxBuffer: 256 * 1024 * 1024, encoding: 'utf8' }, (error, stdout) => {
          if (error) return reject(error);
          const pieces = stdout.split(new RegExp(`\\n${MARK}\\d+\\n`));
          mine.forEach((call, k) => {
            outputs[j * share + k] = pieces[k] || '';
          });
          resolve();
        });
      }),
    );
  }
  await Promise.all(parts);
  return outputs;
}

// What the page decided for one case: its roles and verdicts, with the
// lotrano-verify arguments for each report (relative to the case folder).
// `derived` is what the page derived from the case's public text, or null.
function pageOn(files, derived) {
  const outcome = roles.checkFiles(files, derived);
  const problems = [];
  const roleOf = new Map(outcome.files.map((file) => [file.name, file.role]));
  if (outcome.files.length !== files.length) problems.push('not every file given is listed');
  for (const file of outcome.files) if (!ROLES.has(file.role)) problems.push(`${file.name} has no role`);
  for (const file of files) if (/\.rez$/i.test(file.name) && roleOf.get(file.name) !== 'report') problems.push(`${file.name} is not taken as a report`);
  const checks = outcome.results.map((result) => {
    if (result.seed && roleOf.get(result.seed) !== 'seed') problems.push(`${result.seed} used as a seed file but listed as ${roleOf.get(result.seed)}`);
    if (result.groupFile && roleOf.get(result.groupFile) !== 'group') problems.push(`${result.groupFile} used as a list but listed as ${roleOf.get(result.groupFile)}`);
    const args = [];
    if (result.seed && result.seedChoice !== 'name') args.push(`--seed=${result.seed}`);
    if (result.groupFile) args.push(`--group=${result.groupFile}`);
    const found = result.publicText;
    const said = found
      ? {
          said: found.entry === 0 ? 'match' : 'mismatch',
          text: quotedText(found.text),
          entry: found.entry,
          inSeedFile: found.entry ? seedWords(found.inSeedFile) : null,
          fromText: found.entry ? seedWords(found.fromText) : null,
        }
      : null;
    const line = typeof result.line === 'number' ? result.line : null;
    return { report: result.report, args, page: { verdict: result.verdict, line, status: result.status, public: said } };
  });
  return { checks, problems };
}

const samePublic = (a, b) =>
  a === b || (a !== null && b !== null && ['said', 'text', 'entry', 'inSeedFile', 'fromText'].every((key) => a[key] === b[key]));
const same = (a, b) => a.verdict === b.verdict && a.line === b.line && a.status === b.status && samePublic(a.public || null, b.public || null);
const shownPublic = (p) => (!p ? '' : p.entry ? `, seed file not from "${p.text}" at entry ${p.entry} (${p.inSeedFile.trim()} / ${p.fromText.trim()})` : `, seed file from "${p.text}"`);
const shown = (v) => (v ? `${v.verdict}${v.line ? ` at line ${v.line}` : ''}, status ${v.status}${shownPublic(v.public)}` : 'none');

async function main() {
  const given = options(process.argv.slice(2));
  const started = process.hrtime.bigint();
  const verify = path.join(given.build, 'lotrano-verify');
  const scratch = fs.mkdtempSync(path.join(scratchRoot(), 'lotrano-differential-'));
  try {
    const bases = baseCases(given.build, scratch);
    const rng = generator(given.seed);
    // The texts from a generator of their own, so that a case's text never
    // changes the mutations of the cases after it.
    const textRng = generator(given.seed ^ 0x7e47);
    const cases = fixtures().map((fixture) => ({ ...fixture, kept: true }));
    // The base cases as they are, those drawn from a text also with each of
    // its texts, then the mutations, about one in three with a text.
    for (const base of bases) {
      const files = [base.report, base.seed].concat(base.list ? [base.list] : []);
      cases.push({ name: `base-${base.key}`, mutations: [], files, publicText: null });
      if (!base.publicText) continue;
      textsFor(base.publicText).forEach((text, k) => cases.push({ name: `base-${base.key}-text-${k}`, mutations: [], files, publicText: text }));
    }
    const drawnFrom = new Map(bases.map((base) => [base.key, base.publicText]));
    for (let k = 0; k < given.mutations; ++k) {
      const mutated = mutatedCase(rng, bases);
      const publicText = textRng.chance(0.3) ? textRng.pick(textsFor(drawnFrom.get(mutated.base))) : null;
      cases.push({ name: `case-${k}`, ...mutated, publicText });
    }
    // Each text derived once, as the page derives it.
    const derived = new Map();
    for (const c of cases) {
      if (c.publicText !== null && !derived.has(c.publicText)) derived.set(c.publicText, await publicText.derive(c.publicText));
    }

    // Every case in a folder of its own, and the page's verdicts.
    const failures = [];
    const checks = [];
    cases.forEach((c, k) => {
      c.folder = path.join(scratch, 'cases', String(k));
      fs.mkdirSync(c.folder, { recursive: true });
      for (const file of c.files) write(path.join(c.folder, file.name), file.bytes);
      let page;
      try {
        page = pageOn(c.files, c.publicText === null ? null : derived.get(c.publicText));
      } catch (error) {
        failures.push({ c, why: `the page throws: ${error.stack}` });
        // lotrano-verify's verdicts all the same, for the fixture.
        for (const file of c.files) if (/\.rez$/i.test(file.name)) checks.push({ c, report: file.name, args: [], page: null });
        return;
      }
      for (const problem of page.problems) failures.push({ c, why: problem });
      for (const check of page.checks) checks.push({ c, ...check });
    });
    const textArgs = (check) => (check.c.publicText === null ? [] : [`--public-text=${check.c.publicText}`]);

    // lotrano-verify: the reports checked with their own seed files by name
    // in a few long runs, those with the same list (by content) and the same
    // public text together; a report checked with --seed on its own.
    const batches = new Map();
    const single = [];
    for (const check of checks) {
      if (check.args.some((arg) => arg.startsWith('--seed='))) {
        single.push(check);
        continue;
      }
      let key = '';
      if (check.args.length > 0) {
        const list = check.c.files.find((file) => file.name === check.args[0].slice('--group='.length));
        key = crypto.createHash('sha256').update(Buffer.from(list.bytes, 'latin1')).digest('hex');
        const folder = path.join(scratch, 'lists', key);
        if (!fs.existsSync(path.join(folder, list.name))) {
          fs.mkdirSync(folder, { recursive: true });
          write(path.join(folder, list.name), list.bytes);
        }
        key = `--group=${path.join('lists', key, list.name)}`;
      }
      key = JSON.stringify([...(key ? [key] : []), ...textArgs(check)]);
      if (!batches.has(key)) batches.set(key, []);
      batches.get(key).push(check);
    }
    // Each batch in runs of at most a few hundred reports.
    const calls = [];
    for (const [options, batch] of batches) {
      for (let k = 0; k < batch.length; k += 200) {
        const part = batch.slice(k, k + 200);
        const reports = part.map((check) => path.relative(scratch, path.join(check.c.folder, check.report)));
        calls.push({ folder: scratch, args: [...JSON.parse(options), '--', ...reports], part, reports });
      }
    }
    for (const check of single) {
      calls.push({ folder: check.c.folder, args: [...check.args, ...textArgs(check), '--', check.report], part: [check], reports: [check.report] });
    }
    const outputs = await runAll(verify, calls, given.jobs, scratch);
    calls.forEach((call, k) => {
      const verdicts = parseVerdicts(outputs[k], call.reports);
      call.part.forEach((check, j) => {
        check.verify = verdicts ? verdicts[j] : { verdict: `unread: ${outputs[k]}`, line: null, status: null };
      });
    });

    for (const check of checks) {
      if (check.page && !same(check.page, check.verify)) {
        failures.push({ c: check.c, why: `${check.report} [${check.args.join(' ')}]: page ${shown(check.page)}, lotrano-verify ${shown(check.verify)}` });
      }
      // A kept verdict holds for the pairing it was given with.
      const expected = check.c.kept && check.c.expected && check.c.expected[check.report];
      if (expected && expected.arguments.join(' ') === check.args.join(' ') && !same(expected, check.verify)) {
        failures.push({ c: check.c, why: `${check.report}: lotrano-verify now says ${shown(check.verify)}, the fixture kept ${shown(expected)}` });
      }
    }

    // Each new failure kept as a fixture, with lotrano-verify's verdicts.
    const keptNow = new Set();
    for (const { c, why } of failures) {
      console.log(`DIFFERS ${c.name}${c.mutations.length ? ` (${c.mutations.join('; ')})` : ''}: ${why}`);
      if (c.kept || keptNow.has(c)) continue;
      keptNow.add(c);
      const hash = crypto.createHash('sha256');
      for (const file of c.files) hash.update(file.name).update('\0').update(Buffer.from(file.bytes, 'latin1'));
      if (c.publicText !== null) hash.update('\0public text\0').update(c.publicText);
      const folder = path.join(FIXTURES, `found-${hash.digest('hex').slice(0, 10)}`);
      fs.mkdirSync(path.join(folder, 'files'), { recursive: true });
      for (const file of c.files) write(path.join(folder, 'files', file.name), file.bytes);
      const expected = {};
      for (const check of checks.filter((other) => other.c === c)) expected[check.report] = { ...check.verify, arguments: check.args };
      const kept = { mutations: c.mutations, files: c.files.map((file) => file.name), ...(c.publicText === null ? {} : { publicText: c.publicText }), expected };
      fs.writeFileSync(path.join(folder, 'case.json'), JSON.stringify(kept, null, 2) + '\n');
      console.log(`  kept as ${path.relative(process.cwd(), folder)}`);
    }

    const tally = new Map();
    for (const check of checks) {
      if (!check.page) continue;
      const key = check.page.verdict === 'error' ? `error ${check.page.status}` : check.page.verdict;
      tally.set(key, (tally.get(key) || 0) + 1);
      if (check.page.public) {
        const fromText = `public text ${check.page.public.said}`;
        tally.set(fromText, (tally.get(fromText) || 0) + 1);
      }
    }
    const byVerdict = Array.from(tally).sort().map(([key, n]) => `${key}: ${n}`).join(', ');
    const seconds = Number(process.hrtime.bigint() - started) / 1e9;
    const kept = cases.filter((c) => c.kept).length;
    console.log(
      `differential: ${cases.length} cases (${kept} kept, ${bases.length} written by lotrano, ${given.mutations} mutations, seed ${given.seed}), ` +
        `${checks.length} verdicts compared in ${calls.length} runs of lotrano-verify (${byVerdict}), ${failures.length} differ; ${seconds.toFixed(1)} s`,
    );
    process.exitCode = failures.length === 0 ? 0 : 1;
  } finally {
    // One rm is much quicker than a walk from here over thousands of folders.
    childProcess.spawnSync('rm', ['-rf', '--', scratch]);
  }
}

main().catch((error) => {
  console.error(error.stack || error);
  process.exitCode = 1;
});
