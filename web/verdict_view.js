// A report's verdict as the page shows it: the sentence, what the report's
// name tells of its place in its series, the report's header values, and on
// a mismatch the first differing line, its differing piece side by side
// (readable on a phone without scrolling sideways) and both lines whole.
// What the check against a public text found is put in by
// public_text_view.js: a clause of the sentence, and the first entry that
// is not the text's.
(function (lotrano) {
  'use strict';

  const { element } = lotrano.dom;
  const { text, compare, publicTextView } = lotrano;
  const { counted } = lotrano.words;

  // The verdict in one sentence, and the details after it; `screen` holds
  // what is for the screen only (an invitation to add a file).
  function verdictWords(result) {
    const report = `„${result.report}”`;
    const seed = `„${result.seed}”`;
    const details = [];
    let screen = null;
    const fromText = publicTextView.verdictPart(result) || { clause: '', details: [] };
    const lineDiffers = result.verdict === 'mismatch' && typeof result.line === 'number';
    if (result.verdict === 'match' || (result.verdict === 'mismatch' && !lineDiffers)) {
      if (result.seedChoice === 'match') {
        details.push('Fișierul seed nu poartă numele pe care i-l dă lotrano, dar dintre fișierele seed date el este cel care reproduce raportul.');
      }
      if (result.groupFile) {
        details.push(`Numele studenților au fost verificate cu lista grupei „${result.groupFile}”.`);
      } else if (result.header.group.fromFile) {
        details.push('Numele studenților nu au fost verificate: sunt luate din raport.');
        const leftAside = result.listsLeftAside || [];
        screen =
          leftAside.length > 0
            ? `Lista grupei „${leftAside[0]}” nu a putut fi folosită: vedeți de ce în lista fișierelor date.`
            : 'Adăugați și lista grupei, ca să fie verificate și ele.';
      } else {
        details.push('Grupa a fost introdusă de la tastatură, fără listă de nume: rândurile au doar numere.');
      }
      // The report is the draw from its seed file; only the public text can
      // make it a mismatch.
      const mark = result.verdict === 'match' ? '✓' : '✗';
      details.unshift(...fromText.details);
      return { sentence: `${mark} Raportul ${report} corespunde fișierului seed ${seed}${fromText.clause}.`, details, screen };
    }
    if (result.verdict === 'mismatch') {
      const list = result.groupFile ? ` și listei grupei „${result.groupFile}”` : '';
      details.push(`Primul rând diferit: ${result.line}.`, ...fromText.details);
      if (result.seedChoice === 'single') {
        details.push(`${seed} este singurul fișier seed dat, dar nu poartă numele pe care lotrano îl dă fișierului seed al acestui raport: poate este al altui raport.`);
      }
      return { sentence: `✗ Raportul ${report} nu corespunde fișierului seed ${seed}${list}${fromText.clause}.`, details, screen };
    }
    return { sentence: `! Raportul ${report} nu poate fi verificat: ${result.cause}.`, details, screen, code: result.status };
  }

  function verdictParagraph(result) {
    const words = verdictWords(result);
    return element(
      'p',
      { class: 'verdict' },
      words.sentence,
      words.details.length > 0 ? element('span', { class: 'detail', text: ` ${words.details.join(' ')}` }) : null,
      words.screen ? element('span', { class: 'detail screen-only', text: ` ${words.screen}` }) : null,
      words.code !== undefined ? element('span', { class: 'code', text: ` (cod ${words.code})` }) : null,
    );
  }

  // What the report's name shows of the allocations made before it: a name
  // with "[k]" is taken only when the base name and [1] to [k-1] are.
  function seriesNote(series) {
    if (series === null || series === undefined) return null;
    if (series === 0) {
      return element('p', { class: 'series', text: 'Numele raportului nu are un număr între paranteze drepte: așa numește lotrano primul raport cu acest nume dintr-un dosar.' });
    }
    const before = series === 1 ? 'numele fără număr' : `numele fără număr și cele cu [1]${series > 2 ? ` până la [${series - 1}]` : ''}`;
    const earlier = series === 1 ? 'o alocare anterioară' : `${series} alocări anterioare`;
    return element('p', {
      class: 'series',
      text:
        `Numele raportului se termină în [${series}]: lotrano îi dă acest nume doar când în dosarul lui există deja ${counted(series, 'fișier', 'fișiere', 'de fișiere')} cu același nume (${before}). ` +
        `De obicei sunt ${earlier} pentru același examen, interval și grupă: profesorul poate să fi tras la sorți de ${series + 1} ori.`,
    });
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
      add('Tragere refăcută', `din fișierul seed „${text.display(note.slice(19, -2))}”`);
    }
    return list;
  }

  function pieceOf(side) {
    if (side === null) return element('span', { class: 'missing', text: '(sfârșitul fișierului)' });
    return element('span', { class: 'piece' }, side.before, side.marked ? element('mark', { text: side.marked }) : null, side.after);
  }

  // The first differing line: its differing piece side by side, then both
  // lines whole.
  function difference(result) {
    const piece = compare.differingPiece(result.inReport, result.rebuilt);
    const shown = (line) => (line === null ? '(sfârșitul fișierului)' : compare.visibleLine(line));
    const heading = piece.context ? `Rândul ${result.line}, după textul „${piece.context}”:` : `Rândul ${result.line}:`;
    return element(
      'div',
      { class: 'difference' },
      element('p', { class: 'where', text: heading + (piece.blanksOnly ? ' diferă doar spațiile (marcate).' : '') }),
      element(
        'div',
        { class: `sides${piece.blanksOnly ? ' blanks' : ''}` },
        element('div', { class: 'side', 'data-side': 'report' }, element('span', { class: 'label', text: 'În raport' }), pieceOf(piece.report)),
        element('div', { class: 'side', 'data-side': 'rebuilt' }, element('span', { class: 'label', text: 'Refăcut din fișierul seed' }), pieceOf(piece.rebuilt)),
      ),
      element(
        'dl',
        { class: 'lines' },
        element('dt', { text: `Rândul ${result.line} în raport:` }),
        element('dd', {}, element('pre', { text: shown(result.inReport) })),
        element('dt', { text: `Rândul ${result.line} refăcut din fișierul seed:` }),
        element('dd', {}, element('pre', { text: shown(result.rebuilt) })),
      ),
    );
  }

  // The report's section, without its table (table_view.js adds it).
  function reportSection(result) {
    const section = element('section', {
      class: 'report',
      'data-report': result.report,
      'data-verdict': result.verdict,
      'data-status': String(result.status),
      'aria-label': `Raportul ${result.report}`,
    });
    if (result.seed) section.setAttribute('data-seed', result.seed);
    if (result.seedChoice) section.setAttribute('data-seed-choice', result.seedChoice);
    if (result.groupFile) section.setAttribute('data-group', result.groupFile);
    const lineDiffers = result.verdict === 'mismatch' && typeof result.line === 'number';
    if (lineDiffers) section.setAttribute('data-line', String(result.line));
    const fromText = result.verdict !== 'error' && result.publicText && !result.publicText.unchecked ? result.publicText : null;
    if (fromText) section.setAttribute('data-public', fromText.entry === 0 ? 'match' : 'mismatch');
    if (result.verdict === 'match') section.append(element('p', { class: 'print-title', text: 'Repartizarea problemelor de examen' }));
    const heads = [element('h2', { text: result.report }), verdictParagraph(result), publicTextView.entryDifference(result), seriesNote(result.series)];
    section.append(...heads.filter(Boolean));
    if (result.header) section.append(facts(result.header));
    if (lineDiffers) section.append(difference(result));
    return section;
  }

  // The line that every printed page of a matched report repeats above its
  // table: the report, its group and its verdict.
  function printHead(result) {
    const fromText = publicTextView.printPart(result);
    return `${result.report} · grupa ${text.display(result.header.group.text)} · ✓ corespunde fișierului seed „${result.seed}”${fromText ? `, ${fromText}` : ''}`;
  }

  lotrano.verdictView = { reportSection, verdictWords, printHead };
})(globalThis.lotrano);
