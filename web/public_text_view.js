// The public text as the page shows it: beside its field, what the text
// gives (the text as the draw takes it, its SHA-256, the seed file's three
// entries and the button that downloads that seed file) or why it cannot be
// used; and in each report's verdict, what the check against it found (the
// clause of the verdict's sentence, and on a mismatch the first entry that
// is not the text's, as the seed file holds it and as the text gives it).
(function (lotrano) {
  'use strict';

  const dom = lotrano.dom || require('./dom.js').dom;
  const { counted } = lotrano.words || require('./words.js').words;
  const { SEED_FILE_NAME } = lotrano.publicText || require('./public_text.js').publicText;

  // How much of the text a verdict quotes, and how much the field's
  // account of it shows: a text may be a whole page long.
  const IN_VERDICT = 80;
  const IN_ACCOUNT = 300;

  // A text as the page quotes it: control characters as \xNN, as
  // lotrano-verify quotes them, and cut after `most` characters with "…".
  function shortened(text, most) {
    let out = '';
    let count = 0;
    for (const character of text) {
      if (count === most) return `${out}…`;
      const code = character.codePointAt(0);
      out += code < 0x20 || code === 0x7f ? `\\x${code.toString(16).toUpperCase().padStart(2, '0')}` : character;
      count += 1;
    }
    return out;
  }

  // The number of characters (code points) of a text.
  function characterCount(text) {
    let count = 0;
    for (let k = 0; k < text.length; k++) {
      const unit = text.charCodeAt(k);
      if (unit < 0xdc00 || unit > 0xdfff) count += 1;
    }
    return count;
  }

  // Why a text gave no entries, as the end of a sentence.
  function whyUnusable(derived) {
    if (derived.fault === 'notUnicode') {
      return 'textul are un caracter rupt în două (o jumătate de pereche UTF-16), pe care niciun text UTF-8 nu îl poate avea';
    }
    if (derived.fault === 'empty') return 'textul este gol sau are doar spații';
    const error = derived.failure;
    return `pagina nu a putut calcula intrările textului (${(error && error.name) || 'eroare'}: ${(error && error.message) || error})`;
  }

  // What a report's verdict says of the public text: `clause`, the end of
  // the verdict's sentence after the seed file's name; `details`, the
  // sentences after it. Null for a result checked without a text, or one
  // that could not be checked at all.
  function verdictPart(result) {
    const found = result.publicText;
    if (!found || result.verdict === 'error') return null;
    if (found.unchecked) {
      return {
        clause: '',
        details: [`Nu s-a verificat dacă fișierul seed vine din textul public: ${whyUnusable(found.unchecked)}.`],
      };
    }
    const text = `„${shortened(found.text, IN_VERDICT)}”`;
    const lineDiffers = result.verdict === 'mismatch' && typeof result.line === 'number';
    if (found.entry === 0) {
      return {
        clause: lineDiffers ? `, deși fișierul seed vine din textul public ${text}` : `, care vine din textul public ${text}`,
        details: [],
      };
    }
    return {
      clause: lineDiffers ? `, iar fișierul seed nici nu vine din textul public ${text}` : `, dar fișierul seed nu vine din textul public ${text}`,
      details: [`Prima intrare diferită: ${found.entry} (perechea de numere a rundei ${found.entry}).`],
    };
  }

  // The verdict's words for a printed page's head: "din textul public „…”"
  // or null.
  function printPart(result) {
    const found = result.publicText;
    if (!found || found.unchecked || found.entry !== 0) return null;
    return `din textul public „${shortened(found.text, 40)}”`;
  }

  // The two words of a pair, each marked where it differs from the other
  // pair's.
  function words(pair, other) {
    return dom.element(
      'code',
      { class: 'words' },
      ...pair.flatMap((word, k) => [k > 0 ? ' ' : null, word === other[k] ? String(word) : dom.element('mark', { text: String(word) })]),
    );
  }

  // The first entry that is not the text's, both ways; null when there is
  // none.
  function entryDifference(result) {
    const found = result.publicText;
    if (!found || !found.entry) return null;
    return dom.element(
      'dl',
      { class: 'entry-difference', 'data-entry': String(found.entry) },
      dom.element('dt', { text: `Intrarea ${found.entry} în fișierul seed` }),
      dom.element('dd', { 'data-side': 'seed' }, words(found.inSeedFile, found.fromText)),
      dom.element('dt', { text: `Intrarea ${found.entry} din textul public` }),
      dom.element('dd', { 'data-side': 'text' }, words(found.fromText, found.inSeedFile)),
    );
  }

  // The account of a text beside its field: `derived` is what
  // publicText.derive gave, { failure } when it failed, or null for no text
  // (a blank field). Fills `place` and sets its data-state: 'none',
  // 'derived' or 'unusable'. `typed` is the text as the field holds it;
  // `onDownload` saves the seed file.
  function showDerived(place, derived, { typed, onDownload }) {
    if (derived === null) {
      place.replaceChildren();
      place.dataset.state = 'none';
      return;
    }
    if (!derived.entries) {
      place.replaceChildren(
        dom.element('p', { class: 'public-fault', role: 'alert', text: `Textul public nu poate fi folosit: ${whyUnusable(derived)}.` }),
      );
      place.dataset.state = 'unusable';
      return;
    }
    const length = characterCount(derived.normalized);
    const normalized = dom.element(
      'p',
      { class: 'normalized-line' },
      'Textul, așa cum îl folosește tragerea: „',
      dom.element('span', { class: 'normalized', text: shortened(derived.normalized, IN_ACCOUNT) }),
      '”',
      length > IN_ACCOUNT ? ` (${counted(length, 'caracter', 'caractere', 'de caractere')} în total)` : null,
    );
    const changed =
      typed !== derived.normalized
        ? dom.element('p', {
            class: 'hint',
            text: 'Textul dat diferă de acesta doar prin ce nu schimbă tragerea: spații, tab-uri sau rânduri noi în plus, ş și ţ cu sedilă în loc de ș și ț cu virgulă, semne diacritice scrise separat de literă.',
          })
        : null;
    const table = dom.element('table', { class: 'entries' }, dom.element('caption', { text: 'Intrările fișierului seed al textului, câte una pentru fiecare rundă a tragerii' }));
    table.append(
      dom.element(
        'thead',
        {},
        dom.element('tr', {}, ...['Runda', 'Primul număr', 'Al doilea număr'].map((head) => dom.element('th', { scope: 'col', text: head }))),
      ),
    );
    const body = dom.element('tbody');
    derived.entries.forEach(([first, second], k) => {
      body.append(dom.element('tr', {}, dom.element('td', { text: String(k + 1) }), dom.element('td', { text: String(first) }), dom.element('td', { text: String(second) })));
    });
    table.append(body);
    const button = dom.element('button', { type: 'button', id: 'public-seed', text: `Descărcați fișierul seed al textului (${SEED_FILE_NAME})` });
    button.addEventListener('click', onDownload);
    const parts = [
      normalized,
      changed,
      dom.element('p', { class: 'digest' }, 'SHA-256: ', dom.element('code', { text: derived.sha256 })),
      dom.element('div', { class: 'table-wrap' }, table),
      dom.element('div', { class: 'actions' }, button),
      dom.element('p', {
        class: 'hint',
        text: 'Alegeți acest fișier seed la re-alocare (răspunsul r în lotrano): tragerea pornește atunci din text, iar fișierul seed scris lângă raport are aceleași intrări, câte runde are tragerea.',
      }),
    ];
    place.replaceChildren(...parts.filter(Boolean));
    place.dataset.state = 'derived';
  }

  lotrano.publicTextView = { shortened, verdictPart, printPart, entryDifference, showDerived };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
