// The group list read as lotrano-verify --group reads it, the texts taken for
// lists, and the list of a report's group told from the others.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { groupList } = require('../../web/group_list.js');
const { report } = require('../../web/report.js');
const { text } = require('../../web/text.js');
const { file, utf8File, NAMED, NAMES, LIST } = require('./examples.js');

// A UTF-8 text in UTF-16 ('le' or 'be') after its byte order mark.
function utf16(utf8, order) {
  const units = Buffer.from(Buffer.from(utf8, 'latin1').toString('utf8'), 'utf16le');
  if (order === 'be') units.swap16();
  return (order === 'le' ? '\xFF\xFE' : '\xFE\xFF') + units.toString('latin1');
}

test('UTF-8, with or without a byte order mark, Windows-1250 and UTF-16 read alike', () => {
  // Ş is 0xAA in Windows-1250, ă 0xE3.
  const windows1250 = file(LIST).replace(/Ş/g, '\xAA').replace(/ă/g, '\xE3');
  const encodings = [
    utf8File(LIST),
    '\xEF\xBB\xBF' + utf8File(LIST),
    windows1250,
    // An editor's UTF-8 mark before bytes that are no UTF-8 is passed over.
    '\xEF\xBB\xBF' + windows1250,
    utf16(utf8File(LIST), 'le'),
    utf16(utf8File(LIST), 'be'),
  ];
  for (const bytes of encodings) {
    const group = groupList.readGroupList(bytes);
    assert.equal(group.text, '311 AC', JSON.stringify(bytes.slice(0, 8)));
    assert.deepEqual(group.names.map((name) => text.display(name).trimEnd()), NAMES);
    assert.deepEqual(groupList.groupListOf(bytes).names, group.names);
  }
  // A lone surrogate and a last byte alone become U+FFFD, as in lotrano.
  const odd = groupList.readGroupList('\xFF\xFEG\0 \x001\0\n\x001\0 \0A\0\x00\xD8n\0a');
  assert.deepEqual(odd.names.map((name) => text.display(name).trimEnd()), ['A\uFFFDn\uFFFD']);
  const list = groupList.readGroupList(file(['Sem. 2, Grupa 1231B anul 2', '1. Ana', ' 2. Nu e student', 'x 3', '4', '5 Ştefan']));
  assert.equal(list.text, '2, Grupa 1231B anul 2');
  assert.equal(list.students, 3);
});

test('a list without a group number is refused with the status lotrano-verify gives', () => {
  for (const [bytes, status] of [['', 24], [file(['Grupa', '1 Ana']), 24], [file(['Grupa 99999999999', '1 Ana']), 64]]) {
    assert.throws(() => groupList.readGroupList(bytes), (error) => error.status === status, JSON.stringify(bytes));
  }
});

test('texts taken for lists, and the report whose group a list is', () => {
  const cases = [
    [utf8File(LIST), '311 AC'],
    [file(['Grupa 312', '1 Ana']), '312'],
    [file(['Sala 2, etaj 1']), null],
    [file(['Verificarea tragerii', '1. Deschideti pagina']), null],
    [file(['Grupa 311', 'Nr. Nume']), null],
    // UTF-16 without its mark is not taken for UTF-16.
    [Array.from(file(LIST), (c) => c + '\0').join(''), null],
    [utf16(utf8File(LIST), 'le'), '311 AC'],
    ['\x89PNG\r\n\x1a\n\0\0\0\rIHDR', null],
  ];
  for (const [bytes, group] of cases) {
    const found = groupList.groupListOf(bytes);
    assert.equal(found && found.text, group, JSON.stringify(bytes.slice(0, 40)));
  }
  const named = report.readReport(file(NAMED));
  assert.equal(groupList.isListOf(groupList.readGroupList(utf8File(LIST)), named), true);
  assert.equal(groupList.isListOf(groupList.readGroupList(file(['Grupa 311', '1 Ana'])), named), false);
  // CR CR LF ends leave a CR on the title: lotrano reads another group.
  assert.equal(groupList.isListOf(groupList.readGroupList(text.utf8Bytes(LIST.join('\r\r\n'))), named), false);
});
