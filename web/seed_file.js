// The seed file: the pair of words each batch ("runda") of an allocation
// started from, one entry per batch, in batch order. lotrano writes each
// entry as a label line (" seed_1:") and the two words right-aligned in 12
// columns; it reads an entry back in free form (free_form.js): the label as
// one text, whatever it holds, then two integers from the lines after it.
// The page reads it the same way, every notation and every fault alike.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const freeForm = lotrano.freeForm || require('./free_form.js').freeForm;
  const { CheckError } = lotrano.checkError || require('./check_error.js').checkError;
  const { grouped } = lotrano.words || require('./words.js').words;

  const BYTE_ORDER_MARK = '\xEF\xBB\xBF';

  // A fault of the free-form read as a sentence about this seed file.
  function described(error, name, batch) {
    const file = `fișierul seed „${name}”`;
    const at = `${file}, rândul ${error.line}`;
    switch (error.kind) {
      case 'end':
        return error.line === 0
          ? `${file} este gol`
          : `${file} se termină înainte de perechea de numere a rundei ${batch}`;
      case 'tooLong':
        return `rândul ${error.line} din ${file} are ${grouped(error.bytes)} de octeți, mai mult decât citește lotrano (cel mult ${grouped(freeForm.MAX_LINE_BYTES)})`;
      case 'word':
        return error.quoted
          ? `${at}: textul între ghilimele „${text.shown(error.token)}” stă unde trebuia un număr`
          : `${at}: „${text.shown(error.token)}” stă unde trebuia un număr`;
      case 'badRepeat':
        return `${at}: „${text.shown(error.token)}” nu este o repetare: numărul de repetări începe de la 1`;
      case 'badNumber':
        if (error.token.endsWith('\r')) {
          return `rândurile din ${file} se termină în CR CR LF (un CR în plus, cum rămâne după o salvare greșită), iar lotrano nu citește un număr urmat de CR: „${text.shown(error.token)}” (rândul ${error.line})`;
        }
        return `${at}: „${text.shown(error.token)}” nu este un număr întreg între -2147483648 și 2147483647`;
      default:
        return `${file}: ${error.message}`;
    }
  }

  // The entries of a seed file's bytes, read in turn by the function it
  // returns: nextPair(batch) gives [first word, second word] for that batch
  // (1 to 3), or throws the CheckError of the fault, with lotrano-verify's
  // status and a message naming the file.
  function seedReader(bytes, name) {
    const source = freeForm.lineSource(bytes);
    return function nextPair(batch) {
      const label = { integer: false, value: '' };
      const pair = [
        { integer: true, value: 0 },
        { integer: true, value: 0 },
      ];
      try {
        freeForm.readFreeValues(source, [label]);
        freeForm.readFreeValues(source, pair);
      } catch (error) {
        if (!(error instanceof freeForm.FreeFormError)) throw error;
        throw new CheckError(error.status, described(error, name, batch));
      }
      return [pair[0].value, pair[1].value];
    };
  }

  // The lines of a text to judge its kind by: a byte order mark and any CRs
  // at line ends set aside, a lone CR taken as a line end too.
  function plainLines(bytes) {
    const start = bytes.startsWith(BYTE_ORDER_MARK) ? BYTE_ORDER_MARK.length : 0;
    return bytes.substring(start, start + 65536).split(/\r*\n|\r+(?!\n)/);
  }

  const LABEL = /^[ \t]*seed_[0-9]+[ \t]*:/i;
  const WORDS = /^[ \t]*[+-]?[0-9]+(?:[ \t]*,[ \t]*|[ \t]+)[+-]?[0-9]+[ \t]*,?[ \t]*$/;

  // Whether a file holds a seed file, whatever its name: its first line
  // that is not blank is a label such as " seed_1:" (after a byte order mark,
  // with any line ends), or the whole file is entries of a label line and a
  // line of two integers.
  function isSeedFileText(bytes) {
    const lines = plainLines(bytes).filter((line) => !/^[ \t]*$/.test(line));
    if (lines.length === 0) return false;
    if (LABEL.test(lines[0])) return true;
    if (lines.length % 2 !== 0) return false;
    for (let k = 0; k < lines.length; k += 2) {
      if (WORDS.test(lines[k]) || !WORDS.test(lines[k + 1])) return false;
    }
    return true;
  }

  lotrano.seedFile = { seedReader, isSeedFileText };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
