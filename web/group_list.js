// The group list (the group file): a teacher's plain-text list of one study
// group, read as lotrano-verify --group reads it. Line 1 is the title, which
// holds the group number (its first run of digits); the group, as a report
// shows it, runs from that digit to the title's last character that is not a
// blank. Every later line whose first character is a digit is a student,
// named from its first letter on. Only a line's first 80 characters count.
// UTF-8 (with or without a byte order mark) or Windows-1250.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const { layout } = lotrano.report || require('./report.js').report;
  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;

  const TITLE_LENGTH = 80;
  const BYTE_ORDER_MARK = '\xEF\xBB\xBF';

  // A Latin letter that may start a name in a UTF-8 line: an ASCII letter, or
  // one of U+00C0 to U+024F but the signs × and ÷.
  function startsName(character) {
    if (character.length === 1) return /[A-Za-z]/.test(character);
    if (character.length !== 2) return false;
    const code = ((character.charCodeAt(0) & 0x1f) << 6) | (character.charCodeAt(1) & 0x3f);
    return code >= 0xc0 && code <= 0x24f && code !== 0xd7 && code !== 0xf7;
  }

  // A student's name in a line (its first 80 characters): from its first
  // letter to its last character that is not a blank, in 37 characters.
  function studentName(record) {
    const used = text.usedLength(record);
    const blank = ' '.repeat(layout.NAME_LENGTH);
    if (text.isValidUtf8(record)) {
      const characters = text.characters(record);
      for (let i = 0; i < used; ++i) {
        if (startsName(characters[i])) return text.padOrCut(characters.slice(i, used).join(''), layout.NAME_LENGTH);
      }
      return blank;
    }
    for (let i = 0; i < used; ++i) {
      if (/[A-Za-z]/.test(record[i])) return text.padOrCut(record.substr(i, Math.min(used - i, layout.NAME_LENGTH)), layout.NAME_LENGTH);
    }
    return blank;
  }

  // The group of a list: { fromFile, text (the group as a report's first
  // line shows it after " Grupa: "), students, names }. A list without a
  // title, or whose title holds no group number or one beyond 32 bits, is
  // refused with lotrano-verify's status.
  function readGroupList(bytes) {
    const utf8 = bytes.startsWith(BYTE_ORDER_MARK) || text.isValidUtf8(bytes);
    const lines = text.splitLines(utf8 ? bytes : text.windows1250ToUtf8(bytes));
    if (lines.length === 0) throw new CheckError(status.END_OF_FILE, 'lista grupei este goală');
    let first = lines[0];
    if (first.startsWith(BYTE_ORDER_MARK)) first = first.substring(BYTE_ORDER_MARK.length);
    const title = text.padOrCut(first, TITLE_LENGTH);
    const used = text.usedLength(title);
    const characters = text.characters(title);
    const isDigit = (position) => /^[0-9]$/.test(characters[position - 1]);
    let digit = 1;
    while (digit <= used && !isDigit(digit)) ++digit;
    if (digit > used) throw new CheckError(status.END_OF_FILE, 'titlul listei (primul rând) nu are numărul grupei');
    let last = digit;
    while (last < used && isDigit(last + 1)) ++last;
    if (Number(characters.slice(digit - 1, last).join('')) > 2147483647) {
      throw new CheckError(status.NOT_READABLE, 'numărul grupei din titlul listei este prea mare');
    }
    const names = [];
    for (let k = 1; k < lines.length; ++k) {
      const line = lines[k];
      if (line[0] >= '0' && line[0] <= '9') names.push(studentName(text.padOrCut(line, TITLE_LENGTH)));
    }
    return { fromFile: true, text: characters.slice(digit - 1, used).join(''), students: names.length, names };
  }

  // The list's group as it reads, or null when the text is no group list: a
  // title with a group number and at least one student line.
  function groupListOf(bytes) {
    if (bytes.includes('\0')) return null;
    try {
      const group = readGroupList(bytes);
      return group.students > 0 ? group : null;
    } catch (error) {
      if (error instanceof CheckError) return null;
      throw error;
    }
  }

  // Whether a list is the one of a report's group: the report's first line
  // would read the same written from the list.
  function isListOf(group, report) {
    return layout.GROUP_LABEL + group.text === report.lines[0];
  }

  lotrano.groupList = { readGroupList, groupListOf, isListOf };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
