// What the page says of a public text: the clause of each report's verdict
// and its details, for every way the report and the text can agree or not,
// the printed head, and a long text or one with control characters quoted
// as the page quotes it.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { publicTextView } = require('../../web/public_text_view.js');

const TEXT = 'Loto 6/49, 14.12.2026: 3 7 19 24 33 41';
const FROM = { text: TEXT, entry: 0 };
const NOT_FROM = { text: TEXT, entry: 2, inSeedFile: [1, 2], fromText: [3, 4] };

test("a verdict's clause and details for each way the report and the text agree", () => {
  const cases = [
    // [what, result, clause, details]
    ['report and text', { verdict: 'match', publicText: FROM }, `, care vine din textul public „${TEXT}”`, []],
    ['a differing line, the text agrees', { verdict: 'mismatch', line: 13, publicText: FROM }, `, deși fișierul seed vine din textul public „${TEXT}”`, []],
    [
      'the report agrees, the text does not',
      { verdict: 'mismatch', publicText: NOT_FROM },
      `, dar fișierul seed nu vine din textul public „${TEXT}”`,
      ['Prima intrare diferită: 2 (perechea de numere a rundei 2).'],
    ],
    [
      'neither',
      { verdict: 'mismatch', line: 13, publicText: NOT_FROM },
      `, iar fișierul seed nici nu vine din textul public „${TEXT}”`,
      ['Prima intrare diferită: 2 (perechea de numere a rundei 2).'],
    ],
    [
      'a text that is no Unicode',
      { verdict: 'match', publicText: { unchecked: { fault: 'notUnicode' } } },
      '',
      ['Nu s-a verificat dacă fișierul seed vine din textul public: textul are un caracter rupt în două (o jumătate de pereche UTF-16), pe care niciun text UTF-8 nu îl poate avea.'],
    ],
    [
      'a derivation that failed',
      { verdict: 'mismatch', line: 2, publicText: { unchecked: { failure: new TypeError('forced') } } },
      '',
      ['Nu s-a verificat dacă fișierul seed vine din textul public: pagina nu a putut calcula intrările textului (TypeError: forced).'],
    ],
  ];
  for (const [what, result, clause, details] of cases) {
    assert.deepEqual(publicTextView.verdictPart(result), { clause, details }, what);
  }
  assert.equal(publicTextView.verdictPart({ verdict: 'match' }), null, 'no text');
  assert.equal(publicTextView.verdictPart({ verdict: 'error', status: 29 }), null, 'a report that cannot be checked');
});

test('the printed head names the text only when the seed file comes from it', () => {
  assert.equal(publicTextView.printPart({ verdict: 'match', publicText: FROM }), `din textul public „${TEXT}”`);
  assert.equal(publicTextView.printPart({ verdict: 'match', publicText: { text: 'x'.repeat(100), entry: 0 } }), `din textul public „${'x'.repeat(40)}…”`);
  assert.equal(publicTextView.printPart({ verdict: 'match' }), null);
  assert.equal(publicTextView.printPart({ verdict: 'match', publicText: { unchecked: { fault: 'notUnicode' } } }), null);
});

test('a text quoted: cut after its characters, controls as lotrano-verify writes them', () => {
  const cases = [
    ['Ștefan și Țuțu', 80, 'Ștefan și Țuțu'],
    ['a'.repeat(80), 80, 'a'.repeat(80)],
    ['a'.repeat(81), 80, `${'a'.repeat(80)}…`],
    // Characters, not UTF-16 units: a letter past U+FFFF is one.
    ['𝔸'.repeat(5), 4, '𝔸𝔸𝔸𝔸…'],
    ['a\x01b\x7Fc', 80, 'a\\x01b\\x7Fc'],
  ];
  for (const [text, most, shown] of cases) assert.equal(publicTextView.shortened(text, most), shown, text);
  const long = publicTextView.verdictPart({ verdict: 'match', publicText: { text: 'ș'.repeat(1 << 20), entry: 0 } });
  assert.equal(long.clause, `, care vine din textul public „${'ș'.repeat(80)}…”`);
});
