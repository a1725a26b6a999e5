// Texts as the program's files hold them. A file's bytes are kept as a
// "byte string": a string whose every code unit is one byte (0 to 255), so
// that lines compare, cut and join byte for byte. A character is one byte,
// except in a text that is valid UTF-8 as a whole, where it is one encoded
// character; that is how the program counts columns.
(function (lotrano) {
  'use strict';

  // Plain ASCII, the common case, is told at once.
  const NON_ASCII = /[\x80-\xff]/;
  // A run of bytes past ASCII that is well-formed UTF-8: no overlong forms,
  // no surrogates, nothing past U+10FFFF. A text is UTF-8 when each such run
  // in it is; the runs are short, so the browser's own regular expressions
  // measure thousands of lines in a few milliseconds, even before the
  // page's script is compiled.
  const NON_ASCII_RUNS = /[\x80-\xff]+/g;
  const UTF8_RUN = /^(?:[\xc2-\xdf][\x80-\xbf]|\xe0[\xa0-\xbf][\x80-\xbf]|[\xe1-\xec\xee\xef][\x80-\xbf]{2}|\xed[\x80-\x9f][\x80-\xbf]|\xf0[\x90-\xbf][\x80-\xbf]{2}|[\xf1-\xf3][\x80-\xbf]{3}|\xf4[\x80-\x8f][\x80-\xbf]{2})+$/;
  const CONTINUATION = /[\x80-\xbf]/g;

  function isValidUtf8(s) {
    const runs = s.match(NON_ASCII_RUNS);
    if (runs === null) return true;
    for (const run of runs) if (!UTF8_RUN.test(run)) return false;
    return true;
  }

  // The length in bytes of the character at s[pos] of a valid UTF-8 text.
  function characterLengthAt(s, pos) {
    const lead = s.charCodeAt(pos);
    return lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
  }

  // The text's characters, in order.
  function characters(s) {
    if (!NON_ASCII.test(s) || !isValidUtf8(s)) return s.split('');
    const list = [];
    for (let pos = 0; pos < s.length; ) {
      const length = characterLengthAt(s, pos);
      list.push(s.substr(pos, length));
      pos += length;
    }
    return list;
  }

  // The number of characters of a text known to be valid UTF-8: its bytes
  // but the continuation bytes.
  function utf8Count(s) {
    const continuations = s.match(CONTINUATION);
    return s.length - (continuations === null ? 0 : continuations.length);
  }

  function characterCount(s) {
    return isValidUtf8(s) ? utf8Count(s) : s.length;
  }

  // Characters `first` to `last` (from 1, inclusive); empty past the end.
  function characterRange(s, first, last) {
    if (first < 1) first = 1;
    if (last < first) return '';
    // No text has more characters than bytes.
    if (first === 1 && last >= s.length) return s;
    if (!isValidUtf8(s)) return s.substring(first - 1, last);
    let begin = -1;
    let pos = 0;
    for (let index = 1; pos < s.length; ++index) {
      if (index === first) begin = pos;
      pos += characterLengthAt(s, pos);
      if (index === last) break;
    }
    return begin < 0 ? '' : s.substring(begin, pos);
  }

  function withoutTrailingBlanks(s) {
    let end = s.length;
    while (end > 0 && s.charCodeAt(end - 1) === 0x20) --end;
    return end === s.length ? s : s.substring(0, end);
  }

  // The position of the last character that is not a blank (0 when none);
  // whether the text is UTF-8 is judged on the whole text.
  function usedLength(s) {
    const used = withoutTrailingBlanks(s);
    return isValidUtf8(s) ? utf8Count(used) : used.length;
  }

  // The text cut or filled with blanks to `length` characters: one look at
  // whether it is UTF-8 (none when the caller knows, `utf8`), and one walk.
  function padOrCut(s, length, utf8 = isValidUtf8(s)) {
    if (!utf8 || !NON_ASCII.test(s)) {
      return s.length >= length ? s.substring(0, length) : s + ' '.repeat(length - s.length);
    }
    let end = 0;
    let count = 0;
    while (end < s.length && count < length) {
      end += characterLengthAt(s, end);
      ++count;
    }
    return count >= length ? s.substring(0, end) : s + ' '.repeat(length - count);
  }

  // Windows-1250's characters for the bytes 0x80 to 0xFF; its five unused
  // bytes become U+FFFD.
  const WINDOWS_1250 = [
    0x20ac, 0xfffd, 0x201a, 0xfffd, 0x201e, 0x2026, 0x2020, 0x2021,
    0xfffd, 0x2030, 0x0160, 0x2039, 0x015a, 0x0164, 0x017d, 0x0179,
    0xfffd, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
    0xfffd, 0x2122, 0x0161, 0x203a, 0x015b, 0x0165, 0x017e, 0x017a,
    0x00a0, 0x02c7, 0x02d8, 0x0141, 0x00a4, 0x0104, 0x00a6, 0x00a7,
    0x00a8, 0x00a9, 0x015e, 0x00ab, 0x00ac, 0x00ad, 0x00ae, 0x017b,
    0x00b0, 0x00b1, 0x02db, 0x0142, 0x00b4, 0x00b5, 0x00b6, 0x00b7,
    0x00b8, 0x0105, 0x015f, 0x00bb, 0x013d, 0x02dd, 0x013e, 0x017c,
    0x0154, 0x00c1, 0x00c2, 0x0102, 0x00c4, 0x0139, 0x0106, 0x00c7,
    0x010c, 0x00c9, 0x0118, 0x00cb, 0x011a, 0x00cd, 0x00ce, 0x010e,
    0x0110, 0x0143, 0x0147, 0x00d3, 0x00d4, 0x0150, 0x00d6, 0x00d7,
    0x0158, 0x016e, 0x00da, 0x0170, 0x00dc, 0x00dd, 0x0162, 0x00df,
    0x0155, 0x00e1, 0x00e2, 0x0103, 0x00e4, 0x013a, 0x0107, 0x00e7,
    0x010d, 0x00e9, 0x0119, 0x00eb, 0x011b, 0x00ed, 0x00ee, 0x010f,
    0x0111, 0x0144, 0x0148, 0x00f3, 0x00f4, 0x0151, 0x00f6, 0x00f7,
    0x0159, 0x016f, 0x00fa, 0x0171, 0x00fc, 0x00fd, 0x0163, 0x02d9,
  ];

  // A JavaScript string as the bytes of its UTF-8 encoding.
  function utf8Bytes(text) {
    return unescape(encodeURIComponent(text));
  }

  // The byte order of a text in UTF-16 (Notepad's "Unicode"), as its byte
  // order mark gives it: 'le', 'be', or null for a text without one, which
  // lotrano does not take for UTF-16.
  function utf16ByteOrder(s) {
    if (s.startsWith('\xFF\xFE')) return 'le';
    if (s.startsWith('\xFE\xFF')) return 'be';
    return null;
  }

  // The byte order of a text without a byte order mark that looks like
  // UTF-16 all the same (its first characters ASCII, with a zero byte each):
  // 'le', 'be', or null.
  function utf16OrderWithoutMark(s) {
    if (utf16ByteOrder(s)) return null;
    if (/^(?:[\x01-\x7f]\0){2}/.test(s)) return 'le';
    if (/^(?:\0[\x01-\x7f]){2}/.test(s)) return 'be';
    return null;
  }

  // A UTF-16 text as the same text's UTF-8 bytes, its byte order mark left
  // out, as lotrano converts it: a lone half of a surrogate pair, and a last
  // byte without its partner, become U+FFFD.
  function utf16ToUtf8(s, order) {
    const start = utf16ByteOrder(s) ? 2 : 0;
    const unit = (k) => (order === 'le' ? s.charCodeAt(k) | (s.charCodeAt(k + 1) << 8) : (s.charCodeAt(k) << 8) | s.charCodeAt(k + 1));
    const parts = [];
    let k = start;
    for (; k + 1 < s.length; k += 2) {
      const first = unit(k);
      if (first >= 0xd800 && first < 0xdc00 && k + 3 < s.length) {
        const second = unit(k + 2);
        if (second >= 0xdc00 && second < 0xe000) {
          parts.push(String.fromCharCode(first, second));
          k += 2;
          continue;
        }
      }
      parts.push(first >= 0xd800 && first < 0xe000 ? '\ufffd' : String.fromCharCode(first));
    }
    if (k < s.length) parts.push('\ufffd');
    return utf8Bytes(parts.join(''));
  }

  // A byte string of Windows-1250 text as the same text's UTF-8 bytes.
  function windows1250ToUtf8(s) {
    if (!NON_ASCII.test(s)) return s;
    let out = '';
    for (let k = 0; k < s.length; ++k) {
      const byte = s.charCodeAt(k);
      out += byte < 0x80 ? s[k] : utf8Bytes(String.fromCharCode(WINDOWS_1250[byte - 0x80]));
    }
    return out;
  }

  // A byte string as text to show: UTF-8 when it is, otherwise Windows-1250
  // (the code page of the older Romanian lists).
  function display(s) {
    if (!NON_ASCII.test(s)) return s;
    const utf8 = isValidUtf8(s) ? s : windows1250ToUtf8(s);
    return decodeURIComponent(escape(utf8));
  }

  // An ArrayBuffer or Uint8Array as a byte string.
  function fromBytes(buffer) {
    const bytes = buffer instanceof Uint8Array ? buffer : new Uint8Array(buffer);
    const parts = [];
    const CHUNK = 0x8000;
    for (let k = 0; k < bytes.length; k += CHUNK) {
      parts.push(String.fromCharCode.apply(null, bytes.subarray(k, k + CHUNK)));
    }
    return parts.join('');
  }

  // The lines of a file as lotrano reads them: split at each LF, one CR
  // before it dropped (so CR CR LF leaves a CR at the line's end, and a lone
  // CR is no line end); a last line without its LF counts.
  function splitLines(bytes) {
    const lines = bytes.split('\n');
    if (lines[lines.length - 1] === '') lines.pop();
    for (let k = 0; k < lines.length; ++k) {
      const line = lines[k];
      if (line.endsWith('\r')) lines[k] = line.substring(0, line.length - 1);
    }
    return lines;
  }

  // A piece of a file as a message quotes it: as text, control characters
  // as \xNN (a CR as \x0D), cut to `most` characters with "…".
  function shown(s, most = 40) {
    // Cut before a UTF-8 character's continuation bytes, never inside it.
    let end = Math.min(s.length, most * 4);
    while (end > 0 && end < s.length && (s.charCodeAt(end) & 0xc0) === 0x80) --end;
    const cut = s.substring(0, end);
    let out = display(cut).replace(/[\x00-\x1f\x7f]/g, (c) => `\\x${c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0')}`);
    if (Array.from(out).length > most || cut.length < s.length) out = Array.from(out).slice(0, most).join('') + '…';
    return out;
  }

  // A byte string as bytes, for a download.
  function toBytes(s) {
    const bytes = new Uint8Array(s.length);
    for (let k = 0; k < s.length; ++k) bytes[k] = s.charCodeAt(k);
    return bytes;
  }

  lotrano.text = {
    isValidUtf8,
    characterLengthAt,
    characters,
    characterCount,
    characterRange,
    withoutTrailingBlanks,
    usedLength,
    padOrCut,
    utf8Bytes,
    windows1250ToUtf8,
    utf16ByteOrder,
    utf16OrderWithoutMark,
    utf16ToUtf8,
    display,
    splitLines,
    shown,
    fromBytes,
    toBytes,
  };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
