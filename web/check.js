// Checking a report against its seed file, as lotrano-verify does: the
// report is read back (group, student count, exam problem, problem set,
// range, names), the allocation is drawn again from the seed file, the report
// is written again from those values and the two are compared line by line,
// all but the date line and the re-allocation note. Every file is a byte
// string (text.js); the verdicts carry lotrano-verify's status numbers.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const draw = lotrano.draw || require('./draw.js').draw;

  // What stops a check, with lotrano-verify's status for it: 24 a file ended
  // too early, 29 a file missing, 59 a word where a number belongs, 64 a text
  // that is not what the file should hold there.
  class CheckError extends Error {
    constructor(status, message) {
      super(message);
      this.status = status;
    }
  }
  const END_OF_FILE = 24;
  const NOT_FOUND = 29;
  const WORD_FOR_NUMBER = 59;
  const NOT_READABLE = 64;

  // The report's layout.
  const GROUP_LABEL = ' Grupa: ';
  const COUNT_LABEL = ' Numar de Studenti:';
  const EXAM_LABEL = ' Problema de Examen Nr.: ';
  const SET_LABEL = ' Set de Probleme: #';
  const RANGE_LABEL = ' Numere Probleme: ';
  const HEADER_LINES = 10;
  const NAME_LENGTH = 37;
  const LONG_NAME = 36;
  const TITLE_LENGTH = 80;
  const RANGE_TEXT_LENGTH = 5;
  const HEADS_WITH_NAMES = ' Nr_crt'.padEnd(9) + 'Nume Student'.padEnd(36) + 'Numar_Problema_Examen';
  const HEADS_WITHOUT_NAMES = ' Nr_crt'.padEnd(10) + 'Numar_Problema_Examen';
  const DUPLICATES_HEADS = ' Nr_crt'.padEnd(12) + 'Numar_Problema_Examen';
  const REALLOCATION_LABEL = ' [Re-alocare, cu: "';
  const REALLOCATION_CLOSE = '"]';
  // The largest report: 3000 students over 1000 problems is about 5000 lines
  // and 300 KiB.
  const MAX_LINES = 100000;
  const MAX_BYTES = 8 * 1024 * 1024;
  const MAX_LINE_BYTES = 16 * 1024;
  const BYTE_ORDER_MARK = '\xEF\xBB\xBF';

  // The lines of a file, without their ends (LF, or CR LF).
  function splitLines(bytes) {
    const lines = bytes.split('\n');
    if (lines[lines.length - 1] === '') lines.pop();
    for (let k = 0; k < lines.length; ++k) {
      const line = lines[k];
      if (line.endsWith('\r')) lines[k] = line.substring(0, line.length - 1);
    }
    return lines;
  }

  // A number right-aligned in `width` columns, or wider when it needs more.
  function field(n, width) {
    return String(n).padStart(width);
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

  function isDateLine(line) {
    if (line.length !== 22 || line[0] !== ' ' || line.substring(11, 14) !== '   ') return false;
    return /^[0-9 -]{10}$/.test(line.substring(1, 11)) && /^\d\d:\d\d:\d\d$/.test(line.substring(14));
  }

  function notAReport(line, why) {
    return new CheckError(NOT_READABLE, `linia ${line}: ${why}`);
  }

  // A report's values, and every line as it stands.
  function readReport(bytes) {
    const lines = [];
    let size = 0;
    for (const line of splitLines(bytes)) {
      const number = lines.length + 1;
      if (line.length > MAX_LINE_BYTES) {
        throw notAReport(number, 'mai lungă decât orice linie a unui raport');
      }
      size += line.length + 1;
      if (number > MAX_LINES || size > MAX_BYTES) throw notAReport(number, 'fișierul e mai lung decât orice raport');
      lines.push(line);
    }
    const line = (number) => {
      if (number > lines.length) {
        throw new CheckError(END_OF_FILE, `linia ${lines.length + 1}: raportul se termină înainte de capul tabelului`);
      }
      return lines[number - 1];
    };

    if (!line(1).startsWith(GROUP_LABEL)) throw notAReport(1, 'nu este rândul grupei dintr-un raport');
    const groupText = line(1).substring(GROUP_LABEL.length);
    const students = integerAfter(line(2), COUNT_LABEL);
    if (students === null) throw notAReport(2, 'nu este numărul de studenți dintr-un raport');
    const examLine = line(4);
    const examText = examLine.substring(EXAM_LABEL.length);
    if (!examLine.startsWith(EXAM_LABEL) || (examText !== '1' && examText !== '2')) {
      throw notAReport(4, 'nu este problema de examen (1 sau 2) dintr-un raport');
    }
    const set = integerAfter(line(6), SET_LABEL);
    if (set === null) throw notAReport(6, 'nu este setul de probleme dintr-un raport');

    const range = line(7);
    let start = null;
    let end = null;
    let printed = null;
    if (range.startsWith(RANGE_LABEL)) start = integerAt(range, RANGE_LABEL.length);
    if (start && range.startsWith('-', start.end)) end = integerAt(range, start.end + 1);
    if (end && range.startsWith('  (', end.end)) printed = integerAt(range, end.end + 3);
    if (!printed || range.substring(printed.end) !== ' probleme)') {
      throw notAReport(7, 'nu este intervalul de probleme dintr-un raport');
    }
    const rangeText = `${start.value}-${end.value}`;
    if (rangeText.length > RANGE_TEXT_LENGTH) throw notAReport(7, 'un interval pe care programul nu îl primește');
    const count = (end.value - start.value + 1) | 0;
    if (!draw.batchesCanBeDrawn(draw.batchSizes(students, count), count)) {
      throw notAReport(2, 'mai mulți studenți decât se pot trage din interval');
    }
    let fromFile;
    if (line(9) === HEADS_WITH_NAMES) fromFile = true;
    else if (line(9) === HEADS_WITHOUT_NAMES) fromFile = false;
    else throw notAReport(9, 'nu este capul tabelului dintr-un raport');
    line(HEADER_LINES);

    // The date line is last, or before an empty line and the re-allocation
    // note.
    const last = lines[lines.length - 1];
    let dateLine = lines.length;
    let reallocationLine = 0;
    if (
      last.startsWith(REALLOCATION_LABEL) &&
      last.endsWith(REALLOCATION_CLOSE) &&
      last.length >= REALLOCATION_LABEL.length + REALLOCATION_CLOSE.length
    ) {
      reallocationLine = lines.length;
      dateLine = lines.length - 2;
    }
    if (dateLine <= HEADER_LINES || !isDateLine(lines[dateLine - 1])) {
      throw new CheckError(END_OF_FILE, `linia ${lines.length + 1}: raportul se termină fără data și ora`);
    }

    const group = { fromFile, text: groupText, students, names: [] };
    if (fromFile) readNames(lines, dateLine, group);
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
  function readNames(lines, dateLine, group) {
    const count = Math.max(group.students, 0);
    group.names = new Array(count).fill(' '.repeat(NAME_LENGTH));
    const named = new Array(count).fill(false);
    for (let k = HEADER_LINES; k + 1 < dateLine && lines[k] !== ''; ++k) {
      const row = lines[k];
      const front = text.characterRange(row, 1, 9);
      const number = integerAt(front, 0);
      if (!number || !/^ *$/.test(front.substring(number.end))) continue;
      if (number.value < 1 || number.value > count || named[number.value - 1]) continue;
      named[number.value - 1] = true;
      // A blank (or nothing) at column 47 marks a long name, whose number
      // starts at column 48.
      const gap = text.characterRange(row, 47, 47);
      const last = gap === '' || gap === ' ' ? 10 + NAME_LENGTH - 1 : 45;
      group.names[number.value - 1] = text.padOrCut(text.characterRange(row, 10, last), NAME_LENGTH);
    }
  }

  // A Latin letter that may start a name in a UTF-8 line: an ASCII letter, or
  // one of U+00C0 to U+024F but the signs × and ÷.
  function startsName(character) {
    if (character.length === 1) return /[A-Za-z]/.test(character);
    if (character.length !== 2) return false;
    const code = ((character.charCodeAt(0) & 0x1f) << 6) | (character.charCodeAt(1) & 0x3f);
    return code >= 0xc0 && code <= 0x24f && code !== 0xd7 && code !== 0xf7;
  }

  // A student's name in a group file's line (its first 80 characters): from
  // its first letter to its last non-blank character, in 37 characters.
  function studentName(record) {
    const used = text.usedLength(record);
    if (text.isValidUtf8(record)) {
      const characters = text.characters(record);
      for (let i = 0; i < used; ++i) {
        if (startsName(characters[i])) {
          return text.padOrCut(characters.slice(i, used).join(''), NAME_LENGTH);
        }
      }
      return ' '.repeat(NAME_LENGTH);
    }
    for (let i = 0; i < used; ++i) {
      if (/[A-Za-z]/.test(record[i])) {
        return text.padOrCut(record.substr(i, Math.min(used - i, NAME_LENGTH)), NAME_LENGTH);
      }
    }
    return ' '.repeat(NAME_LENGTH);
  }

  // A group file: its title's group (from its first digit) and the names of
  // its student lines, those whose first character is a digit. UTF-8 (with
  // or without a byte order mark) or Windows-1250.
  function readGroupFile(bytes) {
    const utf8 = bytes.startsWith(BYTE_ORDER_MARK) || text.isValidUtf8(bytes);
    const lines = splitLines(utf8 ? bytes : text.windows1250ToUtf8(bytes));
    if (lines.length === 0) throw new CheckError(END_OF_FILE, 'fișierul grupei este gol');
    let first = lines[0];
    if (first.startsWith(BYTE_ORDER_MARK)) first = first.substring(BYTE_ORDER_MARK.length);
    const title = text.padOrCut(first, TITLE_LENGTH);
    const used = text.usedLength(title);
    const characters = text.characters(title);
    const isDigit = (position) => /^[0-9]$/.test(characters[position - 1]);
    let digit = 1;
    while (digit <= used && !isDigit(digit)) ++digit;
    if (digit > used) {
      throw new CheckError(END_OF_FILE, 'titlul fișierului grupei (prima linie) nu are numărul grupei');
    }
    let last = digit;
    while (last < used && isDigit(last + 1)) ++last;
    if (Number(characters.slice(digit - 1, last).join('')) > 2147483647) {
      throw new CheckError(NOT_READABLE, 'numărul grupei din titlul fișierului grupei este prea mare');
    }
    const names = [];
    for (const line of lines.slice(1)) {
      const record = text.padOrCut(line, TITLE_LENGTH);
      if (record[0] >= '0' && record[0] <= '9') names.push(studentName(record));
    }
    return {
      fromFile: true,
      text: characters.slice(digit - 1, used).join(''),
      students: names.length,
      names,
    };
  }

  // A seed file's entries, one pair of words per batch drawn, read in turn:
  // a label line (anything but blanks), then two integers on the lines after
  // it, apart by blanks, tabs or one comma; the rest of the line after the
  // second is not read.
  function seedReader(bytes) {
    const lines = splitLines(bytes);
    let next = 0;
    const blank = (c) => c === ' ' || c === '\t';
    return function nextPair() {
      while (next < lines.length && /^[ \t]*$/.test(lines[next])) ++next;
      if (next === lines.length) throw new CheckError(END_OF_FILE, 'fișierul seed se termină înainte de perechea unei runde');
      ++next;
      const words = [];
      let line = null;
      let pos = 0;
      let commaSeen = false;
      while (words.length < 2) {
        if (line === null || pos >= line.length) {
          if (next === lines.length) throw new CheckError(END_OF_FILE, 'fișierul seed se termină în mijlocul unei perechi');
          line = lines[next++];
          pos = 0;
          continue;
        }
        const c = line[pos];
        if (blank(c)) {
          ++pos;
        } else if (c === ',') {
          if (commaSeen || words.length === 0) {
            throw new CheckError(NOT_READABLE, 'fișierul seed are o virgulă fără număr (o scriere pe care pagina nu o citește)');
          }
          commaSeen = true;
          ++pos;
        } else if (c === '/') {
          throw new CheckError(NOT_READABLE, 'fișierul seed are „/” (o scriere pe care pagina nu o citește)');
        } else {
          let end = pos;
          while (end < line.length && !blank(line[end]) && line[end] !== ',' && line[end] !== '/') ++end;
          words.push(seedWord(line.substring(pos, end)));
          pos = end;
          commaSeen = false;
        }
      }
      return words;
    };
  }

  // One word of a seed file: a signed 32-bit decimal integer.
  function seedWord(token) {
    if (/^[0-9]+\*/.test(token)) {
      throw new CheckError(NOT_READABLE, 'fișierul seed are o repetare „r*” (o scriere pe care pagina nu o citește)');
    }
    const match = /^([+-]?)([0-9]*)(.*)$/.exec(token);
    if (match[2] === '') {
      if (match[1] === '') throw new CheckError(WORD_FOR_NUMBER, `fișierul seed are „${text.display(token)}” unde trebuia un număr`);
      throw new CheckError(NOT_READABLE, `fișierul seed are un număr greșit: „${text.display(token)}”`);
    }
    const value = Number(match[1] + match[2]);
    if (match[3] !== '' || value > 2147483647 || value < -2147483648) {
      throw new CheckError(NOT_READABLE, `fișierul seed are un număr greșit: „${text.display(token)}”`);
    }
    return value;
  }

  // A table row with a name: the row number in columns 1-4, the name in
  // 10-46, and the number over the name's 37th column (46), or from column
  // 48 for a name of 36 or 37 characters.
  function namedRow(row, name, problem) {
    const padded = text.padOrCut(name, NAME_LENGTH);
    const column = text.usedLength(padded) >= LONG_NAME ? 48 : 46;
    const front = field(row, 4).padEnd(9);
    // Most names are ASCII, one byte a column: the line is cut and joined.
    if (front.length === 9 && !/[\x80-\xff]/.test(padded)) {
      return (front + padded).substring(0, column - 1).padEnd(column - 1) + field(problem, 2);
    }
    const cells = front.split('');
    const put = (at, characters) => {
      while (cells.length < at - 1) cells.push(' ');
      characters.forEach((character, k) => {
        cells[at - 1 + k] = character;
      });
    };
    put(10, text.characters(padded));
    put(column, field(problem, 2).split(''));
    return cells.join('');
  }

  // The list of pairs of a later batch's students holding an earlier batch
  // student's problem, by earlier row, then later row; and its count line.
  function duplicateList(lines, earlier, earlierOffset, later, laterOffset) {
    const rowsOf = new Map();
    later.forEach((number, j) => {
      if (!rowsOf.has(number)) rowsOf.set(number, []);
      rowsOf.get(number).push(j);
    });
    let count = 0;
    earlier.forEach((number, i) => {
      for (const j of rowsOf.get(number) || []) {
        lines.push(field(earlierOffset + i + 1, 4) + field(laterOffset + j + 1, 4) + ':' + field(number, 4));
        ++count;
      }
    });
    lines.push(` (Numar de probleme dublate: ${count})`);
  }

  // The report written again for `group` and the report's exam values, drawn
  // from the seed file's entries; `batches` gets the numbers drawn. A group
  // that cannot be drawn over the range gets its header alone. The date line
  // and the note, which are not compared, are those of a zero date and of a
  // seed file "seed.dat", as lotrano-verify writes them.
  function rebuildReport(report, group, nextPair, batches) {
    const exam = report.exam;
    const lines = [
      GROUP_LABEL + group.text,
      COUNT_LABEL + field(group.students, 4),
      '',
      EXAM_LABEL + exam.text,
      '',
      SET_LABEL + field(exam.set, 1),
      `${RANGE_LABEL}${exam.start}-${exam.end}  (${exam.count} probleme)`,
      '',
      group.fromFile ? HEADS_WITH_NAMES : HEADS_WITHOUT_NAMES,
      '',
    ];
    const drawn = draw.drawAllocation(group.students, exam.start, exam.end, nextPair);
    if (drawn === null) return lines;
    batches.push(...drawn);
    const sizes = drawn.map((numbers) => numbers.length);
    let row = 0;
    drawn.forEach((numbers, k) => {
      for (const problem of numbers) {
        ++row;
        lines.push(group.fromFile ? namedRow(row, group.names[row - 1], problem) : field(row, 4) + '     ' + field(problem, 3));
      }
      if (k === 0) unallocated(lines, group.students, exam, numbers);
    });
    if (sizes[1] > 0) {
      lines.push('', '', ' Probleme dublate', DUPLICATES_HEADS, '');
      duplicateList(lines, drawn[0], 0, drawn[1], sizes[0]);
      if (sizes[2] > 0) {
        lines.push('');
        duplicateList(lines, drawn[1], sizes[0], drawn[2], sizes[0] + sizes[1]);
      }
    }
    lines.push('', ' 0-00-00      00:00:00');
    if (report.reallocationLine !== 0) lines.push('', REALLOCATION_LABEL + 'seed.dat' + REALLOCATION_CLOSE);
    return lines;
  }

  // The problems of the range that batch 1 did not give, after its rows.
  function unallocated(lines, students, exam, numbers) {
    if (students === exam.count) {
      lines.push('', ' Probleme ne-alocate: 0');
      return;
    }
    if (students > exam.count) return;
    const given = new Set(numbers);
    let list = '';
    let count = 0;
    for (let problem = exam.start; problem <= exam.end; ++problem) {
      if (given.has(problem)) continue;
      list += field(problem, 5);
      ++count;
    }
    lines.push('', '', ' Probleme ne-alocate', list, ` (Numar de probleme: ${count})`);
  }

  // The first line (from 1) where the report and the rebuilt report differ,
  // the date line and the re-allocation note aside; 0 when none does.
  function firstDifference(report, rebuilt) {
    const reallocation = report.reallocationLine !== 0;
    const dateLine = reallocation ? rebuilt.length - 2 : rebuilt.length;
    const count = Math.max(report.lines.length, rebuilt.length);
    for (let n = 1; n <= count; ++n) {
      if (n === report.dateLine && n === dateLine) continue;
      if (reallocation && n === report.reallocationLine && n === rebuilt.length) continue;
      const inReport = n <= report.lines.length ? report.lines[n - 1] : null;
      const redrawn = n <= rebuilt.length ? rebuilt[n - 1] : null;
      if (inReport !== redrawn) return { line: n, inReport, rebuilt: redrawn };
    }
    return null;
  }

  // The seed file's names for a report of this name, in the order looked
  // for: as the program names it now, then as versions before 1.0.0 did.
  function seedFileNames(reportName, exam) {
    const prefix = 'Probleme Examen Nr_';
    const names = [];
    if (reportName.startsWith(prefix) && reportName.endsWith('.rez') && reportName.length >= prefix.length + 4) {
      names.push('Seed_' + reportName.slice(prefix.length, -4) + '.dat');
    }
    // The older name: "Seed_", the exam, the range, and the report's name
    // from its first "G" up to its first "." (from where the group title
    // starts when it has no "G"; nothing when the "." comes first).
    const characters = Array.from(reportName);
    let start = characters.indexOf('G') + 1;
    const dot = characters.indexOf('.') + 1;
    if (start === 0) start = Array.from(`${prefix}${exam.text} (${exam.rangeText}) `).length + 1;
    const part = dot < start ? '' : characters.slice(start - 1, dot - 1).join('');
    const older = `Seed_${exam.text} (${exam.rangeText}) ${part}.dat`;
    if (names[0] !== older) names.push(older);
    return names;
  }

  // The allocation as a spreadsheet reads it: UTF-8 with a byte order mark,
  // CR LF, ";" between fields, quoted where a field holds ";", a quote, CR or
  // LF. One row per student in the report's order: row, name (empty for a
  // typed group), problem and the round (batch) it was drawn in.
  function allocationCsv(group, batches) {
    const quoted = (value) => (/[;"\r\n]/.test(value) ? `"${value.replace(/"/g, '""')}"` : value);
    let csv = BYTE_ORDER_MARK + 'Nr;Nume;Problema;Runda\r\n';
    let row = 0;
    batches.forEach((numbers, k) => {
      for (const problem of numbers) {
        ++row;
        let name = '';
        if (group.fromFile) {
          name = text.withoutTrailingBlanks(group.names[row - 1]);
          if (!text.isValidUtf8(name)) name = text.windows1250ToUtf8(name);
        }
        csv += `${row};${quoted(name)};${problem};${k + 1}\r\n`;
      }
    });
    return csv;
  }

  // The rows of a matched report: number, name (as text to show), problem
  // and round.
  function allocationRows(group, batches) {
    const rows = [];
    batches.forEach((numbers, k) => {
      for (const problem of numbers) {
        const row = rows.length + 1;
        const name = group.fromFile ? text.display(text.withoutTrailingBlanks(group.names[row - 1])) : '';
        rows.push({ row, name, problem, round: k + 1 });
      }
    });
    return rows;
  }

  // Checks one report against the files given with it (name -> byte
  // string), with the group file `groupFile` ({name, bytes}) when given.
  function checkReport(reportName, files, groupFile) {
    const result = { report: reportName, verdict: 'error' };
    try {
      const report = readReport(files.get(reportName));
      result.header = report;
      let group = report.group;
      if (groupFile) {
        try {
          group = readGroupFile(groupFile.bytes);
        } catch (error) {
          if (error instanceof CheckError) error.message = `fișierul grupei „${groupFile.name}”: ${error.message}`;
          throw error;
        }
        result.groupFile = groupFile.name;
      }
      const candidates = seedFileNames(reportName, report.exam);
      const seedName = candidates.find((name) => files.has(name));
      if (seedName === undefined) {
        throw new CheckError(NOT_FOUND, `lipsește fișierul seed: ${candidates.map((name) => `„${name}”`).join(' sau ')}`);
      }
      result.seed = seedName;
      const batches = [];
      let rebuilt;
      try {
        rebuilt = rebuildReport(report, group, seedReader(files.get(seedName)), batches);
      } catch (error) {
        if (error instanceof CheckError) error.message = `fișierul seed „${seedName}”: ${error.message}`;
        throw error;
      }
      const difference = firstDifference(report, rebuilt);
      result.namesChecked = Boolean(groupFile);
      result.namesFromReport = !groupFile && report.group.fromFile;
      if (difference) {
        Object.assign(result, { verdict: 'mismatch', status: 2 }, difference);
        return result;
      }
      Object.assign(result, {
        verdict: 'match',
        status: 0,
        rows: allocationRows(group, batches),
        csv: allocationCsv(group, batches),
      });
    } catch (error) {
      if (!(error instanceof CheckError)) throw error;
      result.status = error.status;
      result.cause = error.message;
    }
    return result;
  }

  // What kind of file a given file is: a report (".rez", or a text that
  // starts as one), a seed file (its first line a " seed_1:" label), a file
  // that is none of the program's (this page, a CSV it gave, a picture, any
  // file with a NUL byte near its start), or else a group file.
  function kindOf(name, bytes) {
    if (/\.rez$/i.test(name) || bytes.startsWith(GROUP_LABEL)) return 'report';
    const start = bytes.substring(0, 4096);
    const first = splitLines(start).find((line) => line.trim() !== '');
    if (first !== undefined && /^[ \t]*seed_[0-9]+:/.test(first)) return 'seed';
    if (/\.(csv|html?|pdf|png|jpe?g|gif|zip|exe|docx?|xlsx?|odt|ods)$/i.test(name) || start.includes('\0')) {
      return 'other';
    }
    return 'group';
  }

  // Checks every report among the files ({name, bytes}, in the order given),
  // each against its own seed file, found by name. One group file given
  // checks the names of every report; of several, each report takes the one
  // of its own group, or none.
  function checkFiles(given) {
    const files = new Map();
    for (const file of given) files.set(file.name, file.bytes);
    const reports = [];
    const groups = [];
    for (const [name, bytes] of files) {
      const kind = kindOf(name, bytes);
      if (kind === 'report') reports.push(name);
      else if (kind === 'group') groups.push({ name, bytes });
    }
    return reports.map((name) => {
      let groupFile = groups.length === 1 ? groups[0] : undefined;
      if (groups.length > 1) {
        const first = splitLines(files.get(name))[0] || '';
        groupFile = groups.find((candidate) => {
          try {
            return GROUP_LABEL + readGroupFile(candidate.bytes).text === first;
          } catch (error) {
            return false;
          }
        });
      }
      return checkReport(name, files, groupFile);
    });
  }

  lotrano.check = {
    CheckError,
    readReport,
    readGroupFile,
    seedReader,
    rebuildReport,
    firstDifference,
    seedFileNames,
    allocationCsv,
    checkReport,
    checkFiles,
    kindOf,
  };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
