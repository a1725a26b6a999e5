// The comparison of a report with the report written again: line by line,
// all but the date line and the re-allocation note, as lotrano-verify
// compares; and, for a reader on a narrow screen, the piece of the first
// differing line that differs, as each side has it.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;

  // The first line (from 1) where the report and the rebuilt report differ,
  // with both texts (null where that side has no such line); null when they
  // agree.
  function firstDifference(report, rebuilt) {
    const reallocation = report.reallocationLine !== 0;
    const dateLine = reallocation ? rebuilt.length - 2 : rebuilt.length;
    const count = Math.max(report.lines.length, rebuilt.length);
    for (let n = 1; n <= count; ++n) {
      if (n === report.dateLine && n === dateLine) continue;
      if (reallocation && n === report.reallocationLine && n === rebuilt.length) continue;
      const inReport = n <= report.lines.length ? report.lines[n - 1] : null;
      const redrawn = n <= rebuilt.length ? rebuilt[n - 1] : null;
      if (inReport !== redrawn) return { line: n, inReport, rebuilt: redrawn };
    }
    return null;
  }

  // A line as text to show: control characters as \xNN, as lotrano-verify
  // quotes them.
  function visibleLine(line) {
    return text.display(line).replace(/[\x00-\x1f\x7f]/g, (c) => `\\x${c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0')}`);
  }

  // Where a word around position `at` of `characters` begins (`step` -1) or
  // ends (`step` +1).
  function wordEdge(characters, at, step) {
    let k = at;
    if (step < 0) while (k > 0 && characters[k - 1] !== ' ') --k;
    else while (k < characters.length && characters[k] !== ' ') ++k;
    return k;
  }

  // The differing piece of two lines: the words that hold every differing
  // character, with what stands before them on the line (blanks run
  // together) as context. For each side { before, marked, after }: the
  // piece split around its differing characters; null for a side with no
  // line. When only blanks differ (a column moved), `blanksOnly` is true and
  // the pieces keep their blanks; otherwise they are trimmed.
  function differingPiece(inReport, rebuilt) {
    if (inReport === null || rebuilt === null) {
      const side = (line) => (line === null ? null : { before: '', marked: visibleLine(line), after: '' });
      return { context: '', blanksOnly: false, report: side(inReport), rebuilt: side(rebuilt) };
    }
    const a = Array.from(visibleLine(inReport));
    const b = Array.from(visibleLine(rebuilt));
    let prefix = 0;
    while (prefix < a.length && prefix < b.length && a[prefix] === b[prefix]) ++prefix;
    let suffix = 0;
    while (suffix < a.length - prefix && suffix < b.length - prefix && a[a.length - 1 - suffix] === b[b.length - 1 - suffix]) ++suffix;
    const blank = (chars, from, to) => chars.slice(from, to).every((c) => c === ' ');
    const blanksOnly = blank(a, prefix, a.length - suffix) && blank(b, prefix, b.length - suffix);
    let start = wordEdge(a, prefix, -1);
    let endA = wordEdge(a, a.length - suffix, 1);
    let endB = wordEdge(b, b.length - suffix, 1);
    if (blanksOnly) {
      // The words on both sides of the blanks show where they moved.
      while (start > 0 && a[start - 1] === ' ') --start;
      start = wordEdge(a, start, -1);
      while (endA < a.length && a[endA] === ' ') ++endA;
      while (endB < b.length && b[endB] === ' ') ++endB;
      endA = wordEdge(a, endA, 1);
      endB = wordEdge(b, endB, 1);
    }
    const side = (chars, end) => {
      let from = start;
      let to = end;
      let markFrom = prefix;
      let markTo = chars.length - suffix;
      if (!blanksOnly) {
        while (from < to && chars[from] === ' ') ++from;
        while (to > from && chars[to - 1] === ' ') --to;
        markFrom = Math.min(Math.max(markFrom, from), to);
        markTo = Math.min(Math.max(markTo, markFrom), to);
      }
      return {
        before: chars.slice(from, markFrom).join(''),
        marked: chars.slice(markFrom, markTo).join(''),
        after: chars.slice(markTo, to).join(''),
      };
    };
    let context = a.slice(0, start).join('').replace(/ +/g, ' ').trim();
    if (Array.from(context).length > 40) context = '…' + Array.from(context).slice(-39).join('');
    return { context, blanksOnly, report: side(a, endA), rebuilt: side(b, endB) };
  }

  lotrano.compare = { firstDifference, differingPiece, visibleLine };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
