// A matched report's allocation: the buttons that download it as CSV and
// print it, the names search right above the table (for a group with
// names), and the table itself, whose rows are put in a few hundred at a
// time after the verdict is on screen, so that thousands of rows never hold
// the verdict back. Printed, every page repeats the report's name, group and
// verdict above the column heads.
(function (lotrano) {
  'use strict';

  const { element, escaped } = lotrano.dom;
  const { text } = lotrano;
  const { counted } = lotrano.words;

  const ROWS_AT_ONCE = 400;

  // A name as the search compares it: lower case, without diacritics, so
  // that "stefan" finds "Ștefan".
  function searchKey(name) {
    return name.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }

  function roundsNote(rows) {
    const rounds = rows.length === 0 ? 1 : rows[rows.length - 1].round;
    const what = '„Runda” este tragerea din care a ieșit studentul.';
    return element('p', {
      class: 'rounds',
      text:
        rounds === 1
          ? `${what} Aici toți sunt din runda 1: grupa nu are mai mulți studenți decât probleme, deci fiecare a primit altă problemă.`
          : `${what} Grupa are mai mulți studenți decât probleme, așa că problemele se trag în ${rounds} runde: în fiecare rundă o problemă ajunge la cel mult un student, iar studenții de după runda 1 pot primi o problemă care a ieșit deja.`,
    });
  }

  function searchBox(id, tbody, total) {
    const input = element('input', { type: 'search', id, autocomplete: 'off', spellcheck: 'false', 'aria-describedby': `${id}-count` });
    const count = element('span', { id: `${id}-count`, class: 'search-count', 'aria-live': 'polite' });
    const filter = () => {
      const query = searchKey(input.value.trim());
      let shown = 0;
      for (const tr of tbody.rows) {
        const hit = query === '' || tr.dataset.search.includes(query);
        if (tr.hidden === hit) tr.hidden = !hit;
        if (hit) shown += 1;
      }
      count.textContent = query === '' ? '' : `${counted(shown, 'rând găsit', 'rânduri găsite', 'de rânduri găsite')} din ${total}`;
    };
    input.addEventListener('input', filter);
    const box = element('div', { class: 'search screen-only' }, element('label', { for: id, text: 'Căutați după nume' }), input, count);
    return { box, query: () => searchKey(input.value.trim()), filter };
  }

  function rowsMarkup(rows, named, query) {
    return rows
      .map((row) => {
        const key = named ? searchKey(row.name) : '';
        const hidden = named && query !== '' && !key.includes(query) ? ' hidden' : '';
        const name = named ? `<td>${escaped(row.name)}</td>` : '';
        return `<tr data-search="${escaped(key)}"${hidden}><td class="number">${row.row}</td>${name}<td class="number">${row.problem}</td><td class="number">${row.round}</td></tr>`;
      })
      .join('');
  }

  // Adds the allocation to a report's section. `printHead` is the line every
  // printed page repeats; `onDownload` and `onPrint` are the buttons'
  // actions. Returns a promise that settles once every row is in; `stillWanted`
  // returning false stops the filling (new files were given meanwhile).
  function addAllocation(section, result, allocation, { index, printHead, onDownload, onPrint, stillWanted }) {
    const named = result.header.group.fromFile;
    const rows = allocation.rows;
    const csvButton = element('button', { type: 'button', 'data-csv': result.report, text: 'Descărcați tabelul (CSV)' });
    csvButton.addEventListener('click', onDownload);
    const printButton = element('button', { type: 'button', class: 'print', text: 'Tipăriți' });
    printButton.addEventListener('click', onPrint);
    section.append(element('div', { class: 'actions screen-only' }, csvButton, printButton), roundsNote(rows));

    const columns = named ? 4 : 3;
    const table = element('table', { 'data-allocation': result.report, class: named ? 'named' : 'typed' });
    table.append(element('caption', { text: `Repartizarea problemelor, grupa ${text.display(result.header.group.text)}` }));
    const heads = element('tr');
    heads.append(element('th', { scope: 'col', class: 'number', text: 'Nr.' }));
    if (named) heads.append(element('th', { scope: 'col', text: 'Nume' }));
    heads.append(element('th', { scope: 'col', class: 'number', text: 'Problema' }), element('th', { scope: 'col', class: 'number', text: 'Runda' }));
    const printRow = element('tr', { class: 'print-head' }, element('th', { colspan: String(columns), text: printHead }));
    table.append(element('thead', {}, printRow, heads));
    const tbody = document.createElement('tbody');
    table.append(tbody);

    const search = named ? searchBox(`search-${index}`, tbody, rows.length) : null;
    if (search) section.append(search.box);
    section.append(element('div', { class: 'table-wrap' }, table));

    return new Promise((resolve) => {
      let next = 0;
      const fill = () => {
        if (!stillWanted()) return resolve(false);
        tbody.insertAdjacentHTML('beforeend', rowsMarkup(rows.slice(next, next + ROWS_AT_ONCE), named, search ? search.query() : ''));
        next += ROWS_AT_ONCE;
        if (next < rows.length) setTimeout(fill, 0);
        else {
          table.dataset.complete = 'true';
          if (search) search.filter();
          resolve(true);
        }
      };
      fill();
    });
  }

  lotrano.tableView = { addAllocation, searchKey };
})(globalThis.lotrano);
