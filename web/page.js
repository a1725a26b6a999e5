// The page's wiring: files chosen or dropped are read (read_files.js), given
// their roles and checked (roles.js), and shown: the list of files, then
// every report's verdict (verdict_view.js), painted before any table, then
// each matched report's table (table_view.js). Files given later join those
// given before (a later file of a name replaces the earlier one), and every
// new choice replaces the whole result; whatever fails on the way is said
// on the page instead of a result.
(function (lotrano) {
  'use strict';

  const { text, roles, check, readFiles, filesView, verdictView, tableView, words, warmUp } = lotrano;
  const $ = (id) => document.getElementById(id);

  // Every file given so far, in order: { name, bytes } or { name, failure }.
  let given = [];
  // Each choice of files gets a number; work for an older one stops.
  let generation = 0;

  function summaryOf(outcome) {
    const { files, results } = outcome;
    if (files.length === 0) return 'Niciun fișier ales încă.';
    if (results.length === 0) {
      return files.length === 1
        ? 'Fișierul dat nu este un raport (.rez): vedeți mai jos ce este.'
        : 'Printre fișierele date nu este niciun raport (.rez): vedeți mai jos ce este fiecare.';
    }
    if (results.length === 1) return verdictView.verdictWords(results[0]).sentence;
    const count = (verdict) => results.filter((result) => result.verdict === verdict).length;
    const parts = [];
    const match = count('match');
    const mismatch = count('mismatch');
    const error = count('error');
    if (match) parts.push(`${match} ${match === 1 ? 'corespunde' : 'corespund'}`);
    if (mismatch) parts.push(`${mismatch} nu ${mismatch === 1 ? 'corespunde' : 'corespund'}`);
    if (error) parts.push(`${error} nu ${error === 1 ? 'poate fi verificat' : 'pot fi verificate'}`);
    return `${words.counted(results.length, 'raport verificat', 'rapoarte verificate', 'de rapoarte verificate')}: ${parts.join(', ')}.`;
  }

  function download(result, csvBytes) {
    const blob = new Blob([text.toBytes(csvBytes)], { type: 'text/csv;charset=utf-8' });
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = result.report.replace(/\.rez$/i, '') + '.csv';
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

  // Once the next frame is painted.
  function afterPaint() {
    return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  }

  // A failure of the page itself: no result stays on screen.
  function fail(what, error) {
    $('results').replaceChildren();
    $('given').replaceChildren();
    $('summary').textContent = `Pagina nu a putut ${what}: ${(error && error.name) || 'eroare'}: ${(error && error.message) || error}. Încercați din nou sau începeți din nou.`;
    $('summary').dataset.state = 'failed';
  }

  async function show(outcome, started, mine) {
    const main = $('results');
    const sections = outcome.results.map((result) => verdictView.reportSection(result));
    main.replaceChildren(...sections);
    $('given').replaceChildren(...[filesView.filesList(outcome.files)].filter(Boolean));
    $('summary').textContent = summaryOf(outcome);
    $('summary').dataset.state = 'shown';
    $('clear').hidden = outcome.files.length === 0;
    await afterPaint();
    if (mine !== generation) return;
    main.dataset.verdictMs = (performance.now() - started).toFixed(1);
    const tables = outcome.results.map((result, k) => {
      if (result.verdict !== 'match') return Promise.resolve(true);
      const allocation = check.allocationOf(result);
      return tableView.addAllocation(sections[k], result, allocation, {
        index: k + 1,
        printHead: `${result.report} · grupa ${text.display(result.header.group.text)} · ✓ corespunde fișierului seed „${result.seed}”`,
        onDownload: () => download(result, allocation.csv()),
        onPrint: () => printOne(sections[k]),
        stillWanted: () => mine === generation,
      });
    });
    await Promise.all(tables);
    if (mine !== generation) return;
    await afterPaint();
    if (mine === generation) main.dataset.tableMs = (performance.now() - started).toFixed(1);
  }

  // New files: read, join those given before, and everything checked again.
  async function take(files) {
    const started = performance.now();
    const mine = ++generation;
    $('results').replaceChildren();
    delete $('results').dataset.verdictMs;
    delete $('results').dataset.tableMs;
    $('summary').textContent = 'Se citesc fișierele…';
    $('summary').dataset.state = 'reading';
    let outcome;
    try {
      const read = await readFiles.readFiles(await files);
      if (mine !== generation) return;
      const names = new Set(read.map((file) => file.name));
      given = given.filter((file) => !names.has(file.name)).concat(read);
      outcome = roles.checkFiles(given);
    } catch (error) {
      if (mine === generation) fail('citi și verifica fișierele', error);
      return;
    }
    try {
      await show(outcome, started, mine);
    } catch (error) {
      if (mine === generation) fail('arăta rezultatul', error);
    }
  }

  $('files').addEventListener('change', (event) => {
    if (event.target.files.length > 0) take(Array.from(event.target.files));
  });
  $('clear').addEventListener('click', () => {
    given = [];
    ++generation;
    $('files').value = '';
    $('results').replaceChildren();
    $('given').replaceChildren();
    $('summary').textContent = 'Niciun fișier ales încă.';
    $('summary').dataset.state = 'empty';
    $('clear').hidden = true;
    $('files').focus();
  });

  // Files and folders dropped anywhere on the page.
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
    if (!event.dataTransfer) return;
    let files;
    try {
      files = readFiles.droppedFiles(event.dataTransfer);
    } catch (error) {
      fail('citi fișierele trase în pagină', error);
      return;
    }
    take(files);
  });

  // While the page waits for files, it checks a report of its own making:
  // should that ever fail, no verdict of it can be trusted, and it says so.
  const whenIdle = window.requestIdleCallback || ((work) => setTimeout(work, 0));
  whenIdle(() => {
    const outcome = warmUp.selfCheck();
    document.documentElement.dataset.selfCheck = outcome;
    if (outcome !== 'match') fail('trece propria verificare', new Error(outcome));
  });

  // Nothing fails unseen: whatever escapes the steps above is said too.
  window.addEventListener('unhandledrejection', (event) => fail('termina verificarea', event.reason));
  window.addEventListener('error', (event) => fail('termina verificarea', event.error || event.message));
})(globalThis.lotrano);
