// Reading values in free form, the way lotrano reads a seed file's entries,
// over the lines of a file given as a byte string.
//
// Lines are taken one at a time, only as far as reading needs them: a line
// ends at LF, one CR before it is dropped, and a line longer than 65536
// bytes is refused when it is reached (lotrano-verify's "error during read",
// status 39). Values are separated by blanks, tabs, or one comma with
// optional blanks around it; the end of a line ends a value and reading goes
// on with the next line. A slash ends the read, the targets not yet filled
// keeping their values. A comma after a comma, or before the first value, is
// a null value: its target keeps its value. "r*v" stands for r copies of v,
// "r*" for r null values. Texts are quoted ('...' or "...", the quote doubled
// inside) or unquoted (up to a blank, tab, comma, slash or the line's end).
// After the last value needed the rest of its line is not read.
(function (lotrano) {
  'use strict';

  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;

  const MAX_LINE_BYTES = 65536;

  // What went wrong, for the messages of the module that reads (the seed
  // file names its entry and file).
  class FreeFormError extends CheckError {
    constructor(code, kind, details) {
      super(code, kind);
      this.kind = kind;
      Object.assign(this, details);
    }
  }

  // The lines of `bytes`, handed out in turn. `number` is the number (from
  // 1) of the last line handed out.
  function lineSource(bytes) {
    let pos = 0;
    const source = {
      number: 0,
      // The next line, or null at the end of the data.
      next() {
        if (pos >= bytes.length) return null;
        let end = bytes.indexOf('\n', pos);
        if (end < 0) end = bytes.length;
        const start = pos;
        pos = end + 1;
        ++source.number;
        let length = end - start;
        if (length > 0 && bytes.charCodeAt(end - 1) === 0x0d) --length;
        if (length > MAX_LINE_BYTES) {
          throw new FreeFormError(status.READ_ERROR, 'tooLong', { line: source.number, bytes: length });
        }
        return bytes.substr(start, length);
      },
      nextOrFail() {
        const line = source.next();
        if (line === null) throw new FreeFormError(status.END_OF_FILE, 'end', { line: source.number });
        return line;
      },
    };
    return source;
  }

  const isBlank = (c) => c === ' ' || c === '\t';
  const endsUnquoted = (c) => isBlank(c) || c === ',' || c === '/';
  const isDigit = (c) => c >= '0' && c <= '9';

  // A signed decimal integer within 32 bits: { value } or { malformed }
  // (a lone sign, a number broken by another character, or too large), or
  // { word } for a text that does not begin as a number at all.
  function parseInteger(s) {
    let pos = 0;
    let negative = false;
    if (s[0] === '+' || s[0] === '-') negative = s[pos++] === '-';
    if (pos === s.length) return { malformed: true };
    if (!isDigit(s[pos])) return pos > 0 ? { malformed: true } : { word: true };
    let magnitude = 0;
    for (; pos < s.length; ++pos) {
      if (!isDigit(s[pos])) return { malformed: true };
      magnitude = magnitude * 10 + (s.charCodeAt(pos) - 48);
      if (magnitude > 2147483648) return { malformed: true };
    }
    const value = negative ? -magnitude : magnitude;
    if (value > 2147483647) return { malformed: true };
    return { value: value === 0 ? 0 : value };
  }

  // Reads values into `targets` ({ integer: boolean, value }), in order,
  // from the next line of `source` on.
  function readFreeValues(source, targets) {
    if (targets.length === 0) return;
    let line = source.nextOrFail();
    let pos = 0;
    let filled = 0;
    let afterValue = false;

    const store = (target, token) => {
      if (!target.integer) {
        target.value = token.text;
        return;
      }
      const number = token.quoted ? { word: true } : parseInteger(token.text);
      if (number.value !== undefined) {
        target.value = number.value;
        return;
      }
      const code = number.malformed ? status.NOT_READABLE : status.WORD_FOR_NUMBER;
      throw new FreeFormError(code, number.malformed ? 'badNumber' : 'word', {
        line: source.number,
        token: token.text,
        quoted: token.quoted,
      });
    };

    const readToken = () => {
      const quote = line[pos];
      if (quote === "'" || quote === '"') {
        let value = '';
        ++pos;
        // A missing closing quote ends the text at the end of its line.
        while (pos < line.length) {
          if (line[pos] === quote) {
            if (line[pos + 1] === quote) {
              value += quote;
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          value += line[pos++];
        }
        return { quoted: true, text: value };
      }
      const start = pos;
      while (pos < line.length && !endsUnquoted(line[pos])) ++pos;
      return { quoted: false, text: line.substring(start, pos) };
    };

    const readValue = () => {
      // A repeat count: digits directly followed by an asterisk.
      let end = pos;
      while (end < line.length && isDigit(line[end])) ++end;
      let repeat = 1;
      if (end > pos && line[end] === '*') {
        const count = parseInteger(line.substring(pos, end));
        if (count.value === undefined || count.value === 0) {
          throw new FreeFormError(status.WORD_FOR_NUMBER, 'badRepeat', { line: source.number, token: line.substring(pos, end + 1) });
        }
        repeat = count.value;
        pos = end + 1;
        if (pos >= line.length || endsUnquoted(line[pos])) {
          filled += Math.min(repeat, targets.length - filled); // r null values
          return;
        }
      }
      const token = readToken();
      for (let k = 0; k < repeat && filled < targets.length; ++k) store(targets[filled++], token);
    };

    while (filled < targets.length) {
      if (pos >= line.length) {
        line = source.nextOrFail();
        pos = 0;
        continue;
      }
      const c = line[pos];
      if (isBlank(c)) {
        ++pos;
      } else if (c === '/') {
        return;
      } else if (c === ',') {
        ++pos;
        if (!afterValue) ++filled;
        afterValue = false;
      } else {
        readValue();
        afterValue = true;
      }
    }
  }

  lotrano.freeForm = { MAX_LINE_BYTES, FreeFormError, lineSource, parseInteger, readFreeValues };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
