// The seed words of a public text, as docs/draw.md writes them down: a text
// that nobody controls and that was named before anyone could know it (the
// numbers of a lottery draw, digits called out at the exam) gives the seed
// file of a draw. The text is normalised, its UTF-8 bytes hashed with
// SHA-256 (by crypto.subtle where the browser offers it, by the function
// below where it does not: a page served over plain HTTP has no
// crypto.subtle), and each entry's two words are read from the digest and
// brought into the generator's ranges, as the draw brings the words of a
// seed file.
(function (lotrano) {
  'use strict';

  const draw = lotrano.draw || require('./draw.js').draw;

  const BYTE_ORDER_MARK = 0xfeff;
  const BLANK = 0x20;

  // A letter followed by a combining mark, and the one code point that
  // Romanian texts write for them; keyed by letter * 0x10000 + mark.
  const COMMA_BELOW = 0x0326;
  const CEDILLA = 0x0327;
  const BREVE = 0x0306;
  const CIRCUMFLEX = 0x0302;
  const JOINED = new Map(
    [
      ['s', COMMA_BELOW, 'ș'],
      ['S', COMMA_BELOW, 'Ș'],
      ['t', COMMA_BELOW, 'ț'],
      ['T', COMMA_BELOW, 'Ț'],
      ['s', CEDILLA, 'ș'],
      ['S', CEDILLA, 'Ș'],
      ['t', CEDILLA, 'ț'],
      ['T', CEDILLA, 'Ț'],
      ['a', BREVE, 'ă'],
      ['A', BREVE, 'Ă'],
      ['a', CIRCUMFLEX, 'â'],
      ['A', CIRCUMFLEX, 'Â'],
      ['i', CIRCUMFLEX, 'î'],
      ['I', CIRCUMFLEX, 'Î'],
    ].map(([letter, mark, joined]) => [
      letter.codePointAt(0) * 0x10000 + mark,
      joined.codePointAt(0),
    ]),
  );

  // The cedilla letters of older keyboards, for the letters with a comma below.
  const COMMA_FORMS = new Map(
    [
      ['ş', 'ș'],
      ['Ş', 'Ș'],
      ['ţ', 'ț'],
      ['Ţ', 'Ț'],
    ].map(([cedilla, comma]) => [cedilla.codePointAt(0), comma.codePointAt(0)]),
  );

  // White space, exactly these code points. JavaScript's \s is another set:
  // it takes U+FEFF and leaves out U+0085.
  function isWhiteSpace(code) {
    return (
      (code >= 0x09 && code <= 0x0d) ||
      code === 0x20 ||
      code === 0x85 ||
      code === 0xa0 ||
      code === 0x1680 ||
      (code >= 0x2000 && code <= 0x200a) ||
      code === 0x2028 ||
      code === 0x2029 ||
      code === 0x202f ||
      code === 0x205f ||
      code === 0x3000
    );
  }

  // The text normalised, in this order: every U+FEFF removed; a letter and
  // its combining mark joined (s S t T with U+0326 or U+0327, a A with
  // U+0306, a A i I with U+0302); ş Ş ţ Ţ made ș Ș ț Ț; every run of white
  // space one blank, none at either end. { text } when something is left;
  // { fault: 'empty' } when nothing is, { fault: 'notUnicode' } for a text
  // holding a lone surrogate, which no UTF-8 text can hold.
  function normalize(given) {
    // The code points, the byte order marks left out.
    const codes = [];
    for (let i = 0; i < given.length; i++) {
      let code = given.charCodeAt(i);
      if (code >= 0xd800 && code <= 0xdfff) {
        const low = code <= 0xdbff && i + 1 < given.length ? given.charCodeAt(i + 1) : 0;
        if (low < 0xdc00 || low > 0xdfff) return { fault: 'notUnicode' };
        code = 0x10000 + (code - 0xd800) * 0x400 + (low - 0xdc00);
        i++;
      }
      if (code !== BYTE_ORDER_MARK) codes.push(code);
    }
    // The letters joined and the cedillas made commas, position by position
    // of the text without its byte order marks, and white space collapsed as
    // they come: a joined letter is never white space.
    const kept = [];
    let spaceBefore = false;
    for (let i = 0; i < codes.length; i++) {
      let code = codes[i];
      const joined = i + 1 < codes.length && JOINED.get(code * 0x10000 + codes[i + 1]);
      if (joined) {
        code = joined;
        i++;
      } else {
        code = COMMA_FORMS.get(code) || code;
      }
      if (isWhiteSpace(code)) {
        spaceBefore = true;
        continue;
      }
      if (spaceBefore && kept.length > 0) kept.push(BLANK);
      spaceBefore = false;
      kept.push(code);
    }
    if (kept.length === 0) return { fault: 'empty' };
    let text = '';
    for (let at = 0; at < kept.length; at += 4096) {
      text += String.fromCodePoint(...kept.slice(at, at + 4096));
    }
    return { text };
  }

  // SHA-256 (FIPS 180-4) of a Uint8Array, as a Uint8Array of 32 bytes.
  const ROUND_CONSTANTS = new Uint32Array([
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
    0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
    0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
    0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
    0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
    0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
    0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
    0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
    0xc67178f2,
  ]);
  const INITIAL_HASH = [
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
  ];

  function rotateRight(x, n) {
    return (x >>> n) | (x << (32 - n));
  }

  function sha256(bytes) {
    // The message, a 1 bit, zeros, and its length in bits as a 64-bit
    // big-endian number, in whole blocks of 64 bytes.
    const blocks = Math.ceil((bytes.length + 9) / 64);
    const padded = new Uint8Array(blocks * 64);
    padded.set(bytes);
    padded[bytes.length] = 0x80;
    const view = new DataView(padded.buffer);
    const bits = bytes.length * 8;
    view.setUint32(padded.length - 8, Math.floor(bits / 0x100000000));
    view.setUint32(padded.length - 4, bits >>> 0);

    const hash = INITIAL_HASH.slice();
    const w = new Uint32Array(64);
    for (let block = 0; block < padded.length; block += 64) {
      for (let t = 0; t < 16; t++) w[t] = view.getUint32(block + 4 * t);
      for (let t = 16; t < 64; t++) {
        const s0 = rotateRight(w[t - 15], 7) ^ rotateRight(w[t - 15], 18) ^ (w[t - 15] >>> 3);
        const s1 = rotateRight(w[t - 2], 17) ^ rotateRight(w[t - 2], 19) ^ (w[t - 2] >>> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
      }
      let [a, b, c, d, e, f, g, h] = hash;
      for (let t = 0; t < 64; t++) {
        const t1 =
          (h +
            (rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25)) +
            ((e & f) ^ (~e & g)) +
            ROUND_CONSTANTS[t] +
            w[t]) >>>
          0;
        const t2 =
          ((rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22)) +
            ((a & b) ^ (a & c) ^ (b & c))) >>>
          0;
        h = g;
        g = f;
        f = e;
        e = (d + t1) >>> 0;
        d = c;
        c = b;
        b = a;
        a = (t1 + t2) >>> 0;
      }
      [a, b, c, d, e, f, g, h].forEach((word, i) => {
        hash[i] = (hash[i] + word) >>> 0;
      });
    }
    const digest = new Uint8Array(32);
    const out = new DataView(digest.buffer);
    hash.forEach((word, i) => out.setUint32(4 * i, word));
    return digest;
  }

  // The SHA-256 of the bytes: by `subtle` (a SubtleCrypto) when given, else
  // by sha256 above. A promise of a Uint8Array of 32 bytes.
  async function digestOf(bytes, subtle) {
    if (subtle) return new Uint8Array(await subtle.digest('SHA-256', bytes));
    return sha256(bytes);
  }

  // The three entries of a digest: entry k (1 to 3) from the big-endian
  // signed 32-bit words in bytes 8k-8..8k-5 and 8k-4..8k-1, brought into the
  // generator's ranges. [[w1, w2], [w1, w2], [w1, w2]].
  function entriesOf(digest) {
    const view = new DataView(digest.buffer, digest.byteOffset, digest.byteLength);
    const entries = [];
    for (let k = 0; k < 3; k++) {
      const state = draw.generator(view.getInt32(8 * k), view.getInt32(8 * k + 4));
      entries.push([state.w1, state.w2]);
    }
    return entries;
  }

  // The seed file of the entries, as lotrano writes seed files: the label
  // " seed_k:", then the two words right-aligned in 12 columns each, every
  // line ending in CR LF.
  function seedFileText(entries) {
    const words = (w1, w2) => String(w1).padStart(12) + String(w2).padStart(12);
    return entries.map(([w1, w2], k) => ` seed_${k + 1}:\r\n${words(w1, w2)}\r\n`).join('');
  }

  function hex(bytes) {
    return Array.from(bytes, (byte) => byte.toString(16).padStart(2, '0')).join('');
  }

  function browserSubtle() {
    return (globalThis.crypto && globalThis.crypto.subtle) || null;
  }

  // Everything a text gives, as a promise: { fault } for a refused text
  // (see normalize), else { normalized, sha256 (hex), entries, seedFile }.
  // `subtle` defaults to the browser's crypto.subtle, where there is one;
  // null asks for this file's own SHA-256.
  async function derive(given, subtle = browserSubtle()) {
    const normalized = normalize(given);
    if (normalized.fault) return normalized;
    const digest = await digestOf(new TextEncoder().encode(normalized.text), subtle);
    const entries = entriesOf(digest);
    return {
      normalized: normalized.text,
      sha256: hex(digest),
      entries,
      seedFile: seedFileText(entries),
    };
  }

  // Whether the pairs a draw took from a seed file (as the file holds them,
  // one per batch drawn, in order) are the text's entries: 0 when they are,
  // else the number (from 1) of the first that is not, compared once both
  // are brought into range.
  function firstEntryNotFromText(pairs, entries) {
    for (let k = 0; k < pairs.length && k < entries.length; k++) {
      const state = draw.generator(pairs[k][0], pairs[k][1]);
      if (state.w1 !== entries[k][0] || state.w2 !== entries[k][1]) return k + 1;
    }
    return 0;
  }

  lotrano.publicText = {
    SEED_FILE_NAME: 'Seed_public.dat',
    isWhiteSpace,
    normalize,
    sha256,
    digestOf,
    entriesOf,
    seedFileText,
    derive,
    firstEntryNotFromText,
  };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
