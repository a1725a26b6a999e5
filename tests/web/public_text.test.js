// The page's seed words of a public text against the known answers that
// lotrano-verify's and the re-checker's are held to, once with crypto.subtle
// and once with the page's own SHA-256 (a page served over plain HTTP has no
// crypto.subtle); the own SHA-256 against the FIPS 180-4 examples.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');
const { publicText } = require('../../web/public_text.js');

// A text of the table: "\u{HEX}" is the code point HEX, "\\" a backslash.
function unescaped(written) {
  return written.replace(/\\u\{([0-9A-Fa-f]+)\}|\\\\/g, (all, code) =>
    code ? String.fromCodePoint(parseInt(code, 16)) : '\\',
  );
}

function knownAnswers() {
  const file = path.join(__dirname, '..', 'data', 'public_text_known_answers.tsv');
  return fs
    .readFileSync(file, 'utf8')
    .split('\n')
    .filter((line) => line !== '' && !line.startsWith('#'))
    .map((line) => {
      const [name, text, times, normalized, sha256, entries] = line.split('\t');
      return {
        name,
        text: unescaped(text).repeat(Number(times)),
        normalized:
          normalized.startsWith('!') || normalized === '-' ? normalized : unescaped(normalized),
        sha256,
        entries,
      };
    });
}

const SUBTLE = globalThis.crypto.subtle;

for (const [how, subtle] of [
  ['crypto.subtle', SUBTLE],
  ['the page\'s own SHA-256', null],
]) {
  test(`the known answers, with ${how}`, async (t) => {
    const cases = knownAnswers();
    assert.ok(cases.length > 0, 'no case read from the table');
    for (const c of cases) {
      await t.test(c.name, async () => {
        const derived = await publicText.derive(c.text, subtle);
        if (c.normalized === '!empty' || c.normalized === '!invalid') {
          assert.deepEqual(derived, { fault: c.normalized === '!empty' ? 'empty' : 'notUnicode' });
          return;
        }
        assert.equal(derived.fault, undefined);
        if (c.normalized !== '-') assert.equal(derived.normalized, c.normalized);
        assert.equal(derived.sha256, c.sha256);
        assert.equal(derived.entries.map(([a, b]) => `${a} ${b}`).join('; '), c.entries);
        assert.equal(derived.seedFile, publicText.seedFileText(derived.entries));
      });
    }
  });
}

test('the browser\'s crypto.subtle is taken where there is one', async () => {
  const asked = [];
  const recording = {
    digest: (name, bytes) => {
      asked.push([name, Buffer.from(bytes).toString('utf8')]);
      return SUBTLE.digest(name, bytes);
    },
  };
  const derived = await publicText.derive(' Ştefan  şi Ţuţu ', recording);
  assert.deepEqual(asked, [['SHA-256', 'Ștefan și Țuțu']]);
  assert.equal(derived.sha256.slice(0, 16), 'f8f0b7ea00e146ab');
  // By default, globalThis.crypto.subtle.
  assert.deepEqual(await publicText.derive('Ştefan şi Ţuţu'), derived);
});

test('the page\'s own SHA-256: FIPS 180-4 examples and every edge of a block', () => {
  const examples = [
    ['abc', 'ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad'],
    [
      'abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq',
      '248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1',
    ],
    ['a'.repeat(1000000), 'cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0'],
  ];
  const hex = (bytes) => Buffer.from(bytes).toString('hex');
  for (const [message, digest] of examples) {
    assert.equal(hex(publicText.sha256(new TextEncoder().encode(message))), digest);
  }
  // Every length of 0 to 130 bytes, against Node's own.
  for (let n = 0; n <= 130; n++) {
    const bytes = Uint8Array.from({ length: n }, (_, i) => (i * 37 + n) & 0xff);
    const wanted = crypto.createHash('sha256').update(bytes).digest('hex');
    assert.equal(hex(publicText.sha256(bytes)), wanted, `${n} bytes`);
  }
});

test('the seed file, laid out as lotrano writes seed files', async () => {
  const derived = await publicText.derive('Loto 6/49, 14.12.2026: 3 7 19 24 33 41');
  assert.equal(
    derived.seedFile,
    ' seed_1:\r\n  1604280731  1781708175\r\n' +
      ' seed_2:\r\n   945810223  1895868140\r\n' +
      ' seed_3:\r\n  1102859197  1798828672\r\n',
  );
});

// The words are compared as a draw takes them, brought into range: the
// digest's own words of this text are negative.
test('a seed file\'s pairs against the text\'s entries', async () => {
  const { entries } = await publicText.derive('Loto 6/49, 14.12.2026: 3 7 19 24 33 41');
  const asInDigest = [
    [-543203003, 1781708175],
    [-1201673511, -251615758],
    [1102859197, -348655226],
  ];
  assert.equal(publicText.firstEntryNotFromText(asInDigest, entries), 0);
  assert.equal(publicText.firstEntryNotFromText(entries.slice(0, 1), entries), 0);
  assert.equal(publicText.firstEntryNotFromText([entries[0], [1, 2]], entries), 2);
  assert.equal(publicText.firstEntryNotFromText([[1604280731, 1781708174]], entries), 1);
});

