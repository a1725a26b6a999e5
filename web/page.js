// The page: files chosen or dropped are read as bytes, every report among
// them is checked against its seed file (check.js), and each gets its
// verdict; a matching report gets its allocation as a table to search, a CSV
// to download and a printed page.
(function (lotrano) {
  'use strict';

  const { text, check } = lotrano;
  const $ = (id) => document.getElementById(id);
  // Every file given so far, by name: a later one of the same name replaces
  // the earlier.
  const given = new Map();

  function element(tag, attributes, ...children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes || {})) {
      if (name === 'text') node.textContent = value;
      else if (name === 'class') node.className = value;
      else node.setAttribute(name, value);
    }
    for (const child of children) {
      if (child !== null && child !== undefined) node.append(child);
    }
    return node;
  }

  // Romanian plurals: "1 raport", "2 rapoarte", "20 de rapoarte".
  function counted(n, one, few, many) {
    if (n === 1) return `${n} ${one}`;
    const rest = n % 100;
    return n === 0 || (rest >= 1 && rest <= 19) ? `${n} ${few}` : `${n} ${many}`;
  }

  function facts(header) {
    const { group, exam } = header;
    const list = element('dl', { class: 'facts' });
    const add = (term, value) => list.append(element('dt', { text: term }), element('dd', { text: value }));
    add('Grupa', text.display(group.text));
    add('Studenți', String(group.students));
    add('Problema de examen', exam.text);
    add('Setul de probleme', `#${exam.set}`);
    add('Problemele', `${exam.start}–${exam.end} (${counted(exam.count, 'problemă', 'probleme', 'de probleme')})`);
    add('Data tragerii', header.lines[header.dateLine - 1].trim().replace(/ +/, ', ora '));
    if (header.reallocationLine) {
      const note = header.lines[header.reallocationLine - 1];
      add('Re-alocare', `din fișierul seed „${text.display(note.slice(19, -2))}”`);
    }
    return list;
  }

  function verdictOf(result) {
    const name = `„${result.report}”`;
    if (result.verdict === 'match') {
      let detail;
      if (result.namesChecked) detail = `Numele studenților au fost verificate cu fișierul grupei „${result.groupFile}”.`;
      else if (result.namesFromReport) detail = 'Numele studenților nu au fost verificate: sunt luate din raport. Adăugați și fișierul grupei ca să fie verificate și ele.';
      else detail = 'Grupa a fost introdusă de la tastatură, fără listă de nume: rândurile au doar numere.';
      return element('p', { class: 'verdict' }, `✓ Raportul ${name} corespunde fișierului seed „${result.seed}”.`, element('span', { class: 'detail', text: ` ${detail}` }));
    }
    if (result.verdict === 'mismatch') {
      return element('p', { class: 'verdict' }, `✗ Raportul ${name} nu corespunde fișierului seed „${result.seed}”${result.namesChecked ? ` și fișierului grupei „${result.groupFile}”` : ''}.`, element('span', { class: 'detail', text: ` Prima linie diferită: ${result.line}.` }));
    }
    return element('p', { class: 'verdict' }, `! Raportul ${name} nu poate fi verificat.`, element('span', { class: 'detail', text: ` ${result.cause[0].toUpperCase()}${result.cause.slice(1)} (eroarea ${result.status}, ca la lotrano-verify).` }));
  }

  // The first differing line as the report has it and as it is drawn again.
  function differingLines(result) {
    const shown = (line) => (line === null ? '(sfârșitul fișierului)' : text.display(line));
    return element(
      'dl',
      { class: 'lines' },
      element('dt', { text: `Linia ${result.line} în raport:` }),
      element('dd', {}, element('pre', { text: shown(result.inReport) })),
      element('dt', { text: `Linia ${result.line} refăcută din fișierul seed:` }),
      element('dd', {}, element('pre', { text: shown(result.rebuilt) })),
    );
  }

  function allocationTable(result) {
    const group = text.display(result.header.group.text);
    const table = element('table', { 'data-allocation': result.report });
    table.append(element('caption', { text: `Repartizarea problemelor, grupa ${group}` }));
    const head = element('tr');
    head.append(
      element('th', { scope: 'col', class: 'number', text: 'Nr.' }),
      element('th', { scope: 'col', text: 'Nume' }),
      element('th', { scope: 'col', class: 'number', text: 'Problema' }),
      element('th', { scope: 'col', class: 'number', text: 'Runda' }),
    );
    table.append(element('thead', {}, head));
    // The rows as one piece of markup: for thousands of students far faster
    // than an element at a time.
    const body = document.createElement('tbody');
    body.innerHTML = result.rows
      .map((row) => `<tr data-search="${escaped(searchKey(row.name))}"><td class="number">${row.row}</td>` +
        `<td>${escaped(row.name)}</td><td class="number">${row.problem}</td><td class="number">${row.round}</td></tr>`)
      .join('');
    table.append(body);
    return element('div', { class: 'table-wrap' }, table);
  }

  function escaped(value) {
    return value.replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);
  }

  // A name as the search compares it: lower case, without diacritics, so
  // that "stefan" finds "Ștefan".
  function searchKey(name) {
    return name.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }

  function download(result) {
    const blob = new Blob([text.toBytes(result.csv)], { type: 'text/csv;charset=utf-8' });
    const url = URL.createObjectURL(blob);
    const link = element('a', { href: url, download: result.report.replace(/\.rez$/i, '') + '.csv' });
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function printOne(section) {
    document.body.classList.add('printing-one');
    section.classList.add('to-print');
    window.print();
  }

  window.addEventListener('afterprint', () => {
    document.body.classList.remove('printing-one');
    for (const section of document.querySelectorAll('.to-print')) section.classList.remove('to-print');
  });

  function reportSection(result) {
    const section = element('section', {
      class: 'report',
      'data-report': result.report,
      'data-verdict': result.verdict,
      'data-status': String(result.status),
      'aria-label': `Raportul ${result.report}`,
    });
    if (result.verdict === 'mismatch') section.setAttribute('data-line', String(result.line));
    if (result.verdict === 'match') {
      section.append(element('p', { class: 'print-title', text: 'Repartizarea problemelor de examen' }));
    }
    section.append(element('h2', { text: result.report }), verdictOf(result));
    if (result.header) section.append(facts(result.header));
    if (result.verdict === 'mismatch') section.append(differingLines(result));
    if (result.verdict === 'match') {
      const csv = element('button', { type: 'button', 'data-csv': result.report, text: 'Descărcați tabelul (CSV)' });
      csv.addEventListener('click', () => download(result));
      const print = element('button', { type: 'button', class: 'print', text: 'Tipăriți' });
      print.addEventListener('click', () => printOne(section));
      section.append(element('div', { class: 'actions' }, csv, print), allocationTable(result));
    }
    return section;
  }

  function summaryOf(results) {
    if (results.length === 0) {
      return given.size === 0
        ? 'Niciun fișier ales încă.'
        : `${counted(given.size, 'fișier primit', 'fișiere primite', 'de fișiere primite')}, dar niciun raport (.rez) printre ele.`;
    }
    // One report: its verdict itself is announced.
    if (results.length === 1) return verdictOf(results[0]).textContent;
    const count = (verdict) => results.filter((result) => result.verdict === verdict).length;
    const parts = [];
    if (count('match')) parts.push(`${count('match')} corespund${count('match') === 1 ? 'e' : ''}`);
    if (count('mismatch')) parts.push(`${count('mismatch')} nu corespund${count('mismatch') === 1 ? 'e' : ''}`);
    if (count('error')) parts.push(`${count('error')} nu ${count('error') === 1 ? 'poate' : 'pot'} fi verificat${count('error') === 1 ? '' : 'e'}`);
    return `${counted(results.length, 'raport verificat', 'rapoarte verificate', 'de rapoarte verificate')}: ${parts.join(', ')}.`;
  }

  function filter() {
    const query = searchKey($('search').value.trim());
    let shown = 0;
    let total = 0;
    for (const tr of document.querySelectorAll('table[data-allocation] tbody tr')) {
      const hit = query === '' || tr.dataset.search.includes(query);
      if (tr.hidden === hit) tr.hidden = !hit;
      total += 1;
      if (hit) shown += 1;
    }
    $('search-count').textContent = query === '' ? '' : `${counted(shown, 'rând găsit', 'rânduri găsite', 'de rânduri găsite')} din ${total}`;
  }

  function show(results, started) {
    const main = $('results');
    main.replaceChildren(...results.map(reportSection));
    $('summary').textContent = summaryOf(results);
    $('clear').hidden = given.size === 0;
    $('search-box').hidden = !results.some((result) => result.verdict === 'match');
    filter();
    // The time from the files given to the verdicts on screen: read after
    // the next frame is painted.
    requestAnimationFrame(() => setTimeout(() => {
      main.dataset.elapsedMs = (performance.now() - started).toFixed(1);
    }, 0));
  }

  async function take(files) {
    const started = performance.now();
    const read = await Promise.all(
      Array.from(files, async (file) => ({ name: file.name, bytes: text.fromBytes(await file.arrayBuffer()) })),
    );
    for (const file of read) given.set(file.name, file.bytes);
    const all = Array.from(given, ([name, bytes]) => ({ name, bytes }));
    show(check.checkFiles(all), started);
  }

  $('files').addEventListener('change', (event) => {
    if (event.target.files.length > 0) take(event.target.files);
  });
  $('clear').addEventListener('click', () => {
    given.clear();
    $('files').value = '';
    $('search').value = '';
    show([], performance.now());
    $('files').focus();
  });
  $('search').addEventListener('input', filter);

  // Files dropped anywhere on the page.
  const drop = $('drop');
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    drop.classList.add('over');
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) drop.classList.remove('over');
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    if (event.dataTransfer && event.dataTransfer.files.length > 0) take(event.dataTransfer.files);
  });
})(globalThis.lotrano);
