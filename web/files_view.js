// The list of the files given, each with its role (roles.js) and, beside a
// file left aside or used in a way its name does not tell, the reason.
(function (lotrano) {
  'use strict';

  const { element } = lotrano.dom;
  const { counted } = lotrano.words;

  const ROLE_NAMES = {
    report: 'raport',
    seed: 'fișier seed',
    group: 'lista grupei',
    ignored: 'lăsat deoparte',
  };

  // The list as an element; null when no file is given.
  function filesList(files) {
    if (files.length === 0) return null;
    const list = element('ul', { class: 'files' });
    for (const file of files) {
      list.append(
        element(
          'li',
          { 'data-file': file.name, 'data-role': file.role },
          element('span', { class: 'file-name', text: file.name }),
          ' ',
          element('span', { class: 'role', text: ROLE_NAMES[file.role] }),
          file.note ? element('span', { class: 'note', text: `: ${file.note}` }) : null,
        ),
      );
    }
    return element(
      'section',
      { class: 'given screen-only', 'aria-label': 'Fișierele date' },
      element('h2', { text: `Fișierele date (${counted(files.length, 'fișier', 'fișiere', 'de fișiere')})` }),
      list,
    );
  }

  lotrano.filesView = { filesList };
})(globalThis.lotrano);
