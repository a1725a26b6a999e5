// The files given, each with its role by what it holds, and every report
// paired with the files it is checked against.
//
// Roles: a report (a name ending in ".rez", or a text that begins as a
// report does); a report's own seed file (the name lotrano-verify looks for
// beside it, whatever it holds); another seed file (a text that reads as
// one, or a "Seed_….dat" name); a group list (a title with a group number
// and student lines); or ignored, with the reason. A seed file is never a
// group list.
//
// Pairing: a report takes its own seed file, as lotrano-verify does. When
// none is given, every seed file given is tried, and the one that reproduces
// the report is named in the verdict, as `lotrano-verify --seed THAT_FILE`
// judges it; when none does, a single seed file that is no other report's
// own gives the verdict `lotrano-verify --seed` gives with it, and otherwise
// the report cannot be checked for want of its seed file. A group list is
// used for a report with names when it gives the report's first line (the
// group the report shows), as `lotrano-verify --group` uses it; of several
// such lists, the first that matches, else the first.
//
// A public text, when one is given, is a check of its own on top of the
// pairing: each report is judged with the files it was paired with, as
// `lotrano-verify --public-text` judges it.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;
  const { readReport, startsAsReport, layout } = lotrano.report || require('./report.js').report;
  const { isSeedFileText } = lotrano.seedFile || require('./seed_file.js').seedFile;
  const { groupListOf, isListOf } = lotrano.groupList || require('./group_list.js').groupList;
  const fileNames = lotrano.fileNames || require('./file_names.js').fileNames;
  const { checkReport, againstPublicText } = lotrano.check || require('./check.js').check;
  const { listed } = lotrano.words || require('./words.js').words;

  const NOTHING_KNOWN = 'nu este un raport, un fișier seed sau o listă a grupei';
  // A text in UTF-16 is known by the byte order mark that begins it (Notepad
  // always writes one); without it lotrano takes the text for UTF-8.
  const UTF16_WITHOUT_MARK = 'este scris în UTF-16, dar fără semnul (BOM) de la începutul textului după care lotrano recunoaște UTF-16, așa că lotrano nu îl citește corect; salvați-l din nou ca UTF-8 sau, în Notepad, ca „Unicode”';

  // Why a text is none of lotrano's files, when it tells.
  function whyNotText(bytes) {
    if (bytes.length === 0) return 'fișierul este gol';
    if (text.utf16OrderWithoutMark(bytes)) return UTF16_WITHOUT_MARK;
    const order = text.utf16ByteOrder(bytes);
    const start = order ? text.utf16ToUtf8(bytes.substring(0, 8192), order) : bytes;
    if (start.substring(0, 4096).includes('\0')) return 'nu este un fișier text (poate un document, o imagine sau un program)';
    return null;
  }

  function groupShown(groupText) {
    return text.shown(groupText.replace(/\r+$/, ''), 60);
  }

  // The files by role. `given`: [{ name, bytes } or { name, failure: {
  // status, cause } }], in the order given; a later file of a name replaces
  // an earlier one.
  function sortFiles(given) {
    const byName = new Map();
    for (const file of given) {
      byName.delete(file.name);
      byName.set(file.name, { ...file, role: null, note: null, owners: [] });
    }
    const entries = Array.from(byName.values());
    const reports = [];
    const addReport = (entry) => {
      entry.role = 'report';
      const report = { name: entry.name, entry, read: null, error: null, seed: null };
      if (entry.failure) {
        report.error = new CheckError(entry.failure.status, `raportul nu poate fi citit: ${entry.failure.cause}`);
      } else {
        try {
          report.read = readReport(entry.bytes);
        } catch (error) {
          if (!(error instanceof CheckError)) throw error;
          report.error = error;
        }
      }
      const current = fileNames.currentSeedFileName(entry.name);
      report.seedNames = report.read ? fileNames.seedFileNames(entry.name, report.read.exam) : current ? [current] : [];
      reports.push(report);
    };
    // Its own seed file, by name, for each report not yet given one. Reports
    // of titles such as "Gr. 311" may share one under its older name.
    const ownSeeds = () => {
      for (const report of reports) {
        if (report.seed) continue;
        for (const seedName of report.seedNames) {
          const entry = byName.get(seedName);
          if (entry && (entry.role === null || entry.owners.length > 0)) {
            entry.role = 'seed';
            entry.owners.push(report);
            report.seed = entry;
            break;
          }
        }
      }
    };
    for (const entry of entries) if (/\.rez$/i.test(entry.name)) addReport(entry);
    ownSeeds();
    for (const entry of entries) if (entry.role === null && !entry.failure && startsAsReport(entry.bytes)) addReport(entry);
    ownSeeds();

    const seeds = entries.filter((entry) => entry.role === 'seed');
    const lists = [];
    for (const entry of entries) {
      if (entry.role !== null) continue;
      if (entry.failure) {
        entry.role = 'ignored';
        entry.note = `nu poate fi citit: ${entry.failure.cause}`;
        continue;
      }
      const why = whyNotText(entry.bytes);
      const group = why === null && !isSeedFileText(entry.bytes) ? groupListOf(entry.bytes) : null;
      if (group) {
        lists.push({ name: entry.name, entry, group, usedBy: [] });
        continue;
      }
      // A list in UTF-16 without its mark is no list lotrano reads; it is
      // named for what it is, so that the report of its group can say why
      // its names were not checked.
      const order = text.utf16OrderWithoutMark(entry.bytes);
      const unread = order ? groupListOf(text.utf16ToUtf8(entry.bytes, order)) : null;
      if (unread) {
        lists.push({ name: entry.name, entry, group: unread, usedBy: [], utf16: true });
        continue;
      }
      if ((why === null && isSeedFileText(entry.bytes)) || fileNames.isSeedFileName(entry.name)) {
        entry.role = 'seed';
        seeds.push(entry);
        continue;
      }
      entry.role = 'ignored';
      entry.note = why || NOTHING_KNOWN;
    }
    return { entries, reports, seeds, lists };
  }

  // The verdict of one report, with the files it was checked against:
  // `seed` and `seedChoice` ('name', 'match', 'single', or null when no
  // seed file was used), `groupFile`, and `tried` (the seed files tried).
  function pairAndCheck(report, sorted) {
    const result = { report: report.name, seed: null, seedChoice: null, groupFile: null, tried: [], header: report.read };
    if (report.error) return Object.assign(result, { verdict: 'error', status: report.error.status, cause: report.error.message });
    const read = report.read;
    const lists = read.group.fromFile ? sorted.lists.filter((list) => !list.utf16 && isListOf(list.group, read)) : [];
    // Lists of the report's group that lotrano cannot read as such.
    result.listsLeftAside = sorted.lists
      .filter((list) => (list.utf16 || list.group.text.endsWith('\r')) && layout.GROUP_LABEL + list.group.text.replace(/\r+$/, '') === read.lines[0])
      .map((list) => list.name);
    const listOptions = lists.length > 0 ? lists : [null];
    const use = (seed, list, choice, outcome) => {
      Object.assign(result, outcome, { seed: seed.name, seedChoice: choice, groupFile: list ? list.name : null });
      seed.uses = (seed.uses || []).concat({ report, choice });
      if (list) list.usedBy.push(report);
      return result;
    };
    // Each list in turn with one seed file: the first match, else the first list's verdict.
    const withLists = (seed) => {
      let first = null;
      for (const list of listOptions) {
        const outcome = checkReport(report, seed, list ? { name: list.name, group: list.group } : null);
        if (outcome.verdict === 'match') return { list, outcome };
        if (first === null) first = { list, outcome };
      }
      return first;
    };

    if (report.seed) {
      const seed = report.seed;
      if (seed.failure) {
        return use(seed, listOptions[0], 'name', {
          verdict: 'error',
          status: seed.failure.status,
          cause: `fișierul seed „${seed.name}” nu poate fi citit: ${seed.failure.cause}`,
        });
      }
      const { list, outcome } = withLists(seed);
      return use(seed, list, 'name', outcome);
    }
    const tried = sorted.seeds.filter((seed) => !seed.failure);
    result.tried = tried.map((seed) => seed.name);
    for (const seed of tried) {
      const { list, outcome } = withLists(seed);
      if (outcome.verdict === 'match') return use(seed, list, 'match', outcome);
    }
    const free = tried.filter((seed) => seed.owners.length === 0);
    if (free.length === 1) {
      const { list, outcome } = withLists(free[0]);
      return use(free[0], list, 'single', outcome);
    }
    let cause = `lipsește fișierul seed ${listed(report.seedNames.slice(0, 1))}`;
    if (report.seedNames.length > 1) cause += ` (sau ${listed(report.seedNames.slice(1))}, cum îl numeau versiunile mai vechi ale programului)`;
    if (tried.length > 0) cause += `; ${tried.length === 1 ? 'fișierul seed dat' : 'niciunul dintre fișierele seed date'}, ${listed(result.tried)}, nu reproduce raportul`;
    return Object.assign(result, { verdict: 'error', status: status.NOT_FOUND, cause });
  }

  // The notes beside seed files and lists: what each was used for, or why
  // it was left aside.
  function noteRoles(sorted) {
    const reportNames = (reports) => listed(reports.map((report) => report.name));
    const readable = sorted.reports.filter((report) => report.read);
    for (const seed of sorted.seeds) {
      const uses = (seed.uses || []).filter((use) => !seed.owners.includes(use.report));
      const matched = uses.filter((use) => use.choice === 'match').map((use) => use.report);
      const single = uses.filter((use) => use.choice === 'single').map((use) => use.report);
      const notes = [];
      if (seed.owners.length > 0) notes.push(`fișierul seed al ${seed.owners.length === 1 ? 'raportului' : 'rapoartelor'} ${reportNames(seed.owners)}, după nume`);
      if (matched.length > 0) notes.push(`reproduce ${matched.length === 1 ? 'raportul' : 'rapoartele'} ${reportNames(matched)}, deși nu poartă numele pe care lotrano îl dă fișierului seed al ${matched.length === 1 ? 'acestuia' : 'acestora'}`);
      if (single.length > 0) notes.push(`singurul fișier seed dat în afara celor numite după alte rapoarte, deci folosit pentru ${reportNames(single)}, care nu are fișierul seed cu numele lui`);
      if (notes.length > 0) {
        seed.note = notes.join('; ');
        continue;
      }
      seed.role = 'ignored';
      seed.note =
        readable.length === 0
          ? 'fișier seed, dar niciun raport dat nu poate fi verificat cu el'
          : `fișier seed care nu reproduce ${readable.length === 1 ? `raportul „${readable[0].name}”` : 'niciunul dintre rapoartele date'}`;
    }
    for (const list of sorted.lists) {
      const group = groupShown(list.group.text);
      if (list.usedBy.length > 0) {
        list.entry.role = 'group';
        list.entry.note = `lista grupei ${group}, cu care au fost verificate numele din ${reportNames(list.usedBy)}`;
        continue;
      }
      list.entry.role = 'ignored';
      const sameGroup = readable.filter((report) => isListOf(list.group, report.read));
      if (list.utf16) {
        list.entry.note = `lista grupei ${group}, dar salvată în UTF-16 fără semnul (BOM) de la începutul textului după care lotrano recunoaște UTF-16, așa că lotrano nu o citește corect; salvați-o din nou ca UTF-8 sau, în Notepad, ca „Unicode”`;
      } else if (list.group.text.endsWith('\r')) {
        list.entry.note = `lista grupei ${group}, dar rândurile ei se termină în CR CR LF, iar lotrano citește grupa cu un CR în plus: salvați lista din nou`;
      } else if (sameGroup.some((report) => !report.read.group.fromFile)) {
        list.entry.note = `lista grupei ${group}, dar raportul acestei grupe nu are nume: grupa a fost introdusă de la tastatură`;
      } else if (sameGroup.length > 0) {
        list.entry.note = `altă listă a grupei ${group}; s-a folosit alta pentru același raport`;
      } else if (readable.length === 1) {
        list.entry.note = `lista grupei ${group}, raportul este al grupei ${groupShown(readable[0].read.group.text)}`;
      } else if (readable.length > 1) {
        list.entry.note = `lista grupei ${group}; niciun raport dat nu este al acestei grupe`;
      } else {
        list.entry.note = `lista grupei ${group}, dar niciun raport dat nu poate fi verificat cu ea`;
      }
    }
  }

  // Every file given with its role, and every report's verdict; with
  // `publicText` (what publicText.derive gave for a text that is not blank),
  // the verdict against that text too. A fault of the page itself while
  // checking one report is that report's verdict ("cannot be checked",
  // naming the cause), never a verdict left unsaid.
  function checkFiles(given, publicText = null) {
    const sorted = sortFiles(given);
    const results = sorted.reports.map((report) => {
      try {
        const result = pairAndCheck(report, sorted);
        return publicText ? againstPublicText(result, publicText) : result;
      } catch (error) {
        return {
          report: report.name,
          verdict: 'error',
          status: status.INTERNAL,
          cause: `o greșeală a paginii înseși a oprit verificarea (${error && error.name}: ${error && error.message})`,
          seed: null,
          seedChoice: null,
          groupFile: null,
          tried: [],
          header: report.read,
        };
      }
    });
    noteRoles(sorted);
    for (const result of results) result.series = fileNames.placeInSeries(result.report);
    return {
      files: sorted.entries.map((entry) => ({ name: entry.name, role: entry.role, note: entry.note })),
      results,
    };
  }

  lotrano.roles = { checkFiles };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
