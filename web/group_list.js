// The group list (the group file): a teacher's plain-text list of one study
// group, read as lotrano-verify --group reads it. Line 1 is the title, which
// holds the group number (its first run of digits); the group, as a report
// shows it, runs from that digit to the title's last character that is not a
// blank. Every later line whose first character is a digit is a student,
// named from its first letter on. Only a line's first 80 characters count.
// UTF-8 (with or without a byte order mark), Windows-1250 (a UTF-8 byte order
// mark before it passed over) or UTF-16 with its byte order mark.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const { layout } = lotrano.report || require('./report.js').report;
  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;

  const TITLE_LENGTH = 80;
  const BYTE_ORDER_MARK = '\xEF\xBB\xBF';

  // Where a name starts in a UTF-8 line: an ASCII letter, or a Latin letter
  // of U+00C0 to U+024F (two bytes, C3 80 to C9 8F) but the signs × (C3 97)
  // and ÷ (C3 B7). Lead bytes and ASCII are never inside another character,
  // so the first match is the first such character.
  const NAME_START_UTF8 = /[A-Za-z]|\xc3[\x80-\x96\x98-\xb6\xb8-\xbf]|[\xc4-\xc8][\x80-\xbf]|\xc9[\x80-\x8f]/;

  // A student's name in a line (its first 80 characters): from its first
  // letter to its last character that is not a blank, in 37 characters.
  function studentName(record) {
    const used = text.withoutTrailingBlanks(record);
    const start = used.search(NAME_START_UTF8);
    if (start < 0) return ' '.repeat(layout.NAME_LENGTH);
    return text.padOrCut(used.substring(start), layout.NAME_LENGTH, true);
  }

  // A list's text in UTF-8, converted as lotrano converts it: a text that
  // begins with the mark of UTF-16 from UTF-16; any other as it is when all
  // of it is valid UTF-8, and from Windows-1250 otherwise, a UTF-8 mark
  // before it taken off.
  function listText(bytes) {
    const order = text.utf16ByteOrder(bytes);
    if (order) return text.utf16ToUtf8(bytes, order);
    if (text.isValidUtf8(bytes)) return bytes;
    return text.windows1250ToUtf8(bytes.startsWith(BYTE_ORDER_MARK) ? bytes.substring(BYTE_ORDER_MARK.length) : bytes);
  }

  // The group of a list: { fromFile, text (the group as a report's first
  // line shows it after " Grupa: "), students, names }. A list without a
  // title, or whose title holds no group number or one beyond 32 bits, is
  // refused with lotrano-verify's status.
  function readGroupList(bytes) {
    return readListText(listText(bytes));
  }

  // The group of a list's text in UTF-8, whose every line is UTF-8.
  function readListText(utf8) {
    const lines = text.splitLines(utf8);
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
      // Blanks filling a short line to 80 characters change nothing here.
      if (line[0] >= '0' && line[0] <= '9') {
        const record = line.length <= TITLE_LENGTH ? line : text.padOrCut(line, TITLE_LENGTH);
        names.push(studentName(record));
      }
    }
    return { fromFile: true, text: characters.slice(digit - 1, used).join(''), students: names.length, names };
  }

  // The list's group as it reads, or null when the text is no group list: a
  // title with a group number and at least one student line.
  function groupListOf(bytes) {
    const utf8 = listText(bytes);
    if (utf8.includes('\0')) return null;
    try {
      const group = readListText(utf8);
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
