// A report (.rez) read back as lotrano-verify reads it: its layout written
// down once (the rebuild, rebuild.js, writes with the same constants), and
// the values the report was written from (group, student count, exam
// problem, problem set, range, the names in its rows), with every line as
// it stands. A text that is no report lotrano writes is refused at the line
// where it stops reading as one, with lotrano-verify's status.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const draw = lotrano.draw || require('./draw.js').draw;
  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;
  const { counted } = lotrano.words || require('./words.js').words;

  const layout = {
    GROUP_LABEL: ' Grupa: ',
    COUNT_LABEL: ' Numar de Studenti:',
    EXAM_LABEL: ' Problema de Examen Nr.: ',
    SET_LABEL: ' Set de Probleme: #',
    RANGE_LABEL: ' Numere Probleme: ',
    HEADER_LINES: 10,
    NAME_COLUMN: 10,
    PROBLEM_COLUMN: 46,
    LONG_NAME_PROBLEM_COLUMN: 48,
    NAME_LENGTH: 37,
    // A trimmed name this long moves its row's problem number to column 48.
    LONG_NAME: 36,
    HEADS_WITH_NAMES: ' Nr_crt'.padEnd(9) + 'Nume Student'.padEnd(36) + 'Numar_Problema_Examen',
    HEADS_WITHOUT_NAMES: ' Nr_crt'.padEnd(10) + 'Numar_Problema_Examen',
    DUPLICATES_HEADS: ' Nr_crt'.padEnd(12) + 'Numar_Problema_Examen',
    REALLOCATION_LABEL: ' [Re-alocare, cu: "',
    REALLOCATION_CLOSE: '"]',
    // The range as the dialogue takes it: its text at most five characters.
    RANGE_TEXT_LENGTH: 5,
  };

  // The largest report, 3000 students over 1000 problems, has about 5000
  // lines and 300 KiB; its longest line lists 1000 unallocated problems.
  const MAX_LINES = 100000;
  const MAX_BYTES = 8 * 1024 * 1024;
  const MAX_LINE_BYTES = 16 * 1024;
  const BYTE_ORDER_MARK = '\xEF\xBB\xBF';

  function notAReport(line, why) {
    return new CheckError(status.NOT_READABLE, `rândul ${line} ${why}`);
  }

  function endsEarly(line, why) {
    return new CheckError(status.END_OF_FILE, `raportul se termină (la rândul ${line}) ${why}`);
  }

  // Optional blanks, an optional "-" and digits, within 32 bits, at `pos`:
  // { value, end } or null.
  function integerAt(s, pos) {
    let at = pos;
    while (at < s.length && s[at] === ' ') ++at;
    const negative = s[at] === '-';
    if (negative) ++at;
    const digits = at;
    let magnitude = 0;
    while (at < s.length && s[at] >= '0' && s[at] <= '9') {
      magnitude = magnitude * 10 + (s.charCodeAt(at) - 48);
      if (magnitude > 2147483648) return null;
      ++at;
    }
    if (at === digits) return null;
    const value = negative ? -magnitude : magnitude;
    if (value > 2147483647) return null;
    return { value, end: at };
  }

  // The integer after a label, and nothing else on the line.
  function integerAfter(line, label) {
    if (!line.startsWith(label)) return null;
    const number = integerAt(line, label.length);
    return number && number.end === line.length ? number.value : null;
  }

  // " 2013-05-21   09:05:07"
  function isDateLine(line) {
    if (line.length !== 22 || line[0] !== ' ' || line.substring(11, 14) !== '   ') return false;
    return /^[0-9 -]{10}$/.test(line.substring(1, 11)) && /^\d\d:\d\d:\d\d$/.test(line.substring(14));
  }

  function isReallocationLine(line) {
    return (
      line.startsWith(layout.REALLOCATION_LABEL) &&
      line.endsWith(layout.REALLOCATION_CLOSE) &&
      line.length >= layout.REALLOCATION_LABEL.length + layout.REALLOCATION_CLOSE.length
    );
  }

  // The number of the last line of the report's stamp (its date line, or the
  // re-allocation note after it) when a date line stands after the header;
  // null when none does.
  function stampEnd(lines) {
    for (let dateLine = lines.length; dateLine > layout.HEADER_LINES; --dateLine) {
      if (!isDateLine(lines[dateLine - 1])) continue;
      if (dateLine + 2 <= lines.length && lines[dateLine] === '' && isReallocationLine(lines[dateLine + 1])) return dateLine + 2;
      return dateLine;
    }
    return null;
  }

  // Whether a file's text begins as a report does (a byte order mark that an
  // editor put first aside): such a file is a report, whatever its name.
  function startsAsReport(bytes) {
    const start = bytes.startsWith(BYTE_ORDER_MARK) ? BYTE_ORDER_MARK.length : 0;
    return bytes.startsWith(layout.GROUP_LABEL, start);
  }

  function readLines(bytes) {
    const lines = text.splitLines(bytes);
    let size = 0;
    for (let k = 0; k < lines.length; ++k) {
      const number = k + 1;
      if (lines[k].length > MAX_LINE_BYTES) throw notAReport(number, 'este mai lung decât orice rând al unui raport');
      size += lines[k].length + 1;
      if (number > MAX_LINES || size > MAX_BYTES) throw notAReport(number, 'trece de lungimea oricărui raport');
    }
    return lines;
  }

  function firstLineWhy(first) {
    if (first.startsWith(BYTE_ORDER_MARK + layout.GROUP_LABEL)) {
      return 'începe cu un semn BOM (pus de unele editoare, ca Notepad, când salvează fișierul); lotrano nu îl scrie în rapoarte, deci fișierul nu mai este raportul scris de program';
    }
    return 'nu este rândul „ Grupa: …” cu care începe orice raport';
  }

  // A report's values, and every line as it stands.
  function readReport(bytes) {
    const lines = readLines(bytes);
    const line = (number) => {
      if (number > lines.length) throw endsEarly(lines.length + 1, 'înainte de capul tabelului');
      return lines[number - 1];
    };

    if (!line(1).startsWith(layout.GROUP_LABEL)) throw notAReport(1, firstLineWhy(line(1)));
    const groupText = line(1).substring(layout.GROUP_LABEL.length);
    const students = integerAfter(line(2), layout.COUNT_LABEL);
    if (students === null) throw notAReport(2, 'nu este rândul „ Numar de Studenti: …” al unui raport');
    const examLine = line(4);
    const examText = examLine.substring(layout.EXAM_LABEL.length);
    if (!examLine.startsWith(layout.EXAM_LABEL) || (examText !== '1' && examText !== '2')) {
      throw notAReport(4, 'nu este rândul „ Problema de Examen Nr.: 1” (sau 2) al unui raport');
    }
    const set = integerAfter(line(6), layout.SET_LABEL);
    if (set === null) throw notAReport(6, 'nu este rândul „ Set de Probleme: #…” al unui raport');

    const range = line(7);
    let start = null;
    let end = null;
    let printed = null;
    if (range.startsWith(layout.RANGE_LABEL)) start = integerAt(range, layout.RANGE_LABEL.length);
    if (start && range.startsWith('-', start.end)) end = integerAt(range, start.end + 1);
    if (end && range.startsWith('  (', end.end)) printed = integerAt(range, end.end + 3);
    if (!printed || range.substring(printed.end) !== ' probleme)') {
      throw notAReport(7, 'nu este rândul „ Numere Probleme: …” al unui raport');
    }
    // The count printed is not taken: it follows from the ends, and the
    // comparison tells whether the report prints it right.
    const rangeText = `${start.value}-${end.value}`;
    if (rangeText.length > layout.RANGE_TEXT_LENGTH) {
      throw notAReport(7, `dă intervalul ${rangeText}, care nu încape în cele cinci caractere ale lui: lotrano nu scrie un asemenea raport`);
    }
    const count = (end.value - start.value + 1) | 0;
    if (!draw.batchesCanBeDrawn(draw.batchSizes(students, count), count)) {
      throw notAReport(2, `spune ${counted(students, 'student', 'studenți', 'de studenți')}, mai mulți decât se pot trage din intervalul ${rangeText}`);
    }
    let fromFile;
    if (line(9) === layout.HEADS_WITH_NAMES) fromFile = true;
    else if (line(9) === layout.HEADS_WITHOUT_NAMES) fromFile = false;
    else throw notAReport(9, 'nu este capul de tabel al unui raport');
    line(layout.HEADER_LINES);

    // The date line is last, or before an empty line and the re-allocation
    // note.
    let dateLine = lines.length;
    let reallocationLine = 0;
    if (isReallocationLine(lines[lines.length - 1])) {
      reallocationLine = lines.length;
      dateLine = lines.length - 2;
    }
    if (dateLine <= layout.HEADER_LINES || !isDateLine(lines[dateLine - 1])) {
      // lotrano writes nothing after its stamp: lines there (an empty one
      // that an editor added, most often) make the file another than it wrote.
      const end = stampEnd(lines);
      if (end !== null) throw notAReport(end + 1, 'vine după data și ora tragerii, cu care se încheie orice raport scris de lotrano (poate un rând gol adăugat la sfârșit de un editor)');
      throw endsEarly(lines.length + 1, 'fără rândul cu data și ora tragerii');
    }

    const group = { fromFile, text: groupText, students, names: [] };
    // The names are read when first asked for: a report checked against a
    // group list never needs its own.
    if (fromFile) {
      let names = null;
      Object.defineProperty(group, 'names', {
        enumerable: true,
        get: () => names || (names = readNames(lines, dateLine, students)),
      });
    }
    return {
      group,
      exam: { text: examText, set, start: start.value, end: end.value, count, rangeText },
      lines,
      dateLine,
      reallocationLine,
    };
  }

  // The names of the table's rows, up to its first empty line: the first row
  // of each number names that student; a student without a row gets blanks.
  function readNames(lines, dateLine, students) {
    const count = Math.max(students, 0);
    const names = new Array(count).fill(' '.repeat(layout.NAME_LENGTH));
    const named = new Array(count).fill(false);
    for (let k = layout.HEADER_LINES; k + 1 < dateLine && lines[k] !== ''; ++k) {
      const row = lines[k];
      const front = text.characterRange(row, 1, layout.NAME_COLUMN - 1);
      const number = integerAt(front, 0);
      if (!number || !/^ *$/.test(front.substring(number.end))) continue;
      if (number.value < 1 || number.value > count || named[number.value - 1]) continue;
      named[number.value - 1] = true;
      // A blank (or nothing) at column 47 marks a long name, whose number
      // starts at column 48.
      const gap = text.characterRange(row, layout.PROBLEM_COLUMN + 1, layout.PROBLEM_COLUMN + 1);
      const last = gap === '' || gap === ' ' ? layout.NAME_COLUMN + layout.NAME_LENGTH - 1 : layout.PROBLEM_COLUMN - 1;
      names[number.value - 1] = text.padOrCut(text.characterRange(row, layout.NAME_COLUMN, last), layout.NAME_LENGTH);
    }
    return names;
  }

  lotrano.report = { layout, readReport, startsAsReport };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
