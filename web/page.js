// The page's wiring: files chosen or dropped are read (read_files.js), given
// their roles and checked (roles.js), and shown: the list of files, then
// every report's verdict (verdict_view.js), painted before any table, then
// each matched report's table (table_view.js). Files given later join those
// given before (a later file of a name replaces the earlier one), and every
// new choice replaces the whole result; whatever fails on the way is said
// on the page instead of a result. A public text typed in its field is
// derived (public_text.js) and shown beside it (public_text_view.js) once
// the typing pauses, and the files given are checked again against it.
(function (lotrano) {
  'use strict';

  const { text, roles, check, readFiles, filesView, verdictView, tableView, words, warmUp, publicText, publicTextView } = lotrano;
  const $ = (id) => document.getElementById(id);

  // Every file given so far, in order: { name, bytes } or { name, failure }.
  let given = [];
  // Each choice of files gets a number, and each check of the files given
  // another: work for an older one stops.
  let reading = 0;
  let generation = 0;
  // What the public text gave (publicText.derive's result, or { failure });
  // null while the field is blank.
  let fromText = null;
  // Each text gets a number too: the derivation of an older one is dropped.
  let textGeneration = 0;
  let textTimer = null;
  const TEXT_PAUSE_MS = 250;

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

  // A file of the page's own making saved by the browser, from its memory.
  function download(name, bytes, type) {
    const blob = new Blob([text.toBytes(bytes)], { type });
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
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
        printHead: verdictView.printHead(result),
        onDownload: () => download(result.report.replace(/\.rez$/i, '') + '.csv', allocation.csv(), 'text/csv;charset=utf-8'),
        onPrint: () => printOne(sections[k]),
        stillWanted: () => mine === generation,
      });
    });
    await Promise.all(tables);
    if (mine !== generation) return;
    await afterPaint();
    if (mine === generation) main.dataset.tableMs = (performance.now() - started).toFixed(1);
  }

  // The files given so far, checked (against the public text, when there is
  // one) and shown.
  async function checkAndShow(started, mine) {
    let outcome;
    try {
      outcome = roles.checkFiles(given, fromText);
    } catch (error) {
      if (mine === generation) fail('verifica fișierele', error);
      return;
    }
    try {
      await show(outcome, started, mine);
    } catch (error) {
      if (mine === generation) fail('arăta rezultatul', error);
    }
  }

  function startOver(words, state) {
    $('results').replaceChildren();
    delete $('results').dataset.verdictMs;
    delete $('results').dataset.tableMs;
    $('summary').textContent = words;
    $('summary').dataset.state = state;
  }

  // New files: read, join those given before, and everything checked again.
  async function take(files) {
    const started = performance.now();
    const mine = ++reading;
    ++generation;
    startOver('Se citesc fișierele…', 'reading');
    try {
      const read = await readFiles.readFiles(await files);
      if (mine !== reading) return;
      const names = new Set(read.map((file) => file.name));
      given = given.filter((file) => !names.has(file.name)).concat(read);
    } catch (error) {
      if (mine === reading) fail('citi fișierele', error);
      return;
    }
    await checkAndShow(started, ++generation);
  }

  // The public text as it is now in its field: derived, shown, and the
  // files given checked again against it. A blank field is no text.
  async function takeText(mine) {
    const started = performance.now();
    const typed = $('public-text').value;
    let derived;
    try {
      derived = await publicText.derive(typed);
    } catch (error) {
      derived = { failure: error };
    }
    if (mine !== textGeneration) return;
    fromText = derived.fault === 'empty' ? null : derived;
    try {
      publicTextView.showDerived($('public-derived'), fromText, {
        typed,
        onDownload: () => download(publicText.SEED_FILE_NAME, derived.seedFile, 'application/octet-stream'),
      });
    } catch (error) {
      fail('arăta textul public', error);
      return;
    }
    if (given.length === 0) return;
    const checking = ++generation;
    startOver('Se verifică din nou, cu textul public…', 'checking');
    await checkAndShow(started, checking);
  }

  // Every change of the text marks its account as out of date at once, and
  // the text is taken once the typing pauses.
  function textChanged() {
    const mine = ++textGeneration;
    $('public-derived').dataset.state = 'deriving';
    clearTimeout(textTimer);
    textTimer = setTimeout(() => takeText(mine), TEXT_PAUSE_MS);
  }
  $('public-text').addEventListener('input', textChanged);
  // A text the browser put back in the field (a page reloaded) counts too.
  if ($('public-text').value !== '') textChanged();

  $('files').addEventListener('change', (event) => {
    if (event.target.files.length > 0) take(Array.from(event.target.files));
  });
  $('clear').addEventListener('click', () => {
    given = [];
    ++reading;
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
