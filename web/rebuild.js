// The report written again, as lotrano-verify writes it: the report's own
// header values (or a group list's group and names), the allocation drawn
// again from the seed file's entries with the page's draw (draw.js), and
// every line laid out as lotrano's report writer lays it out. The date line
// and the re-allocation note, which are not compared, are those of a zero
// date and a seed file "seed.dat".
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const draw = lotrano.draw || require('./draw.js').draw;
  const { layout } = lotrano.report || require('./report.js').report;

  // A number right-aligned in `width` columns, or wider when it needs more.
  function field(n, width) {
    return String(n).padStart(width);
  }

  // A table row with a name: the row number in columns 1-4, the name in
  // 10-46, and the problem number over the name's 37th column (46), or from
  // column 48 for a name of 36 or 37 characters. The name is 37 characters
  // long, as both the report's and the list's readers give it.
  function namedRow(row, padded, problem) {
    const column = text.usedLength(padded) >= layout.LONG_NAME ? layout.LONG_NAME_PROBLEM_COLUMN : layout.PROBLEM_COLUMN;
    const front = field(row, 4).padEnd(layout.NAME_COLUMN - 1);
    // The usual row: the number fits its columns, so the name starts at
    // column 10 and the problem number overwrites its 37th character (a
    // blank: the name is shorter than 36), or follows it after a blank.
    if (front.length === layout.NAME_COLUMN - 1) {
      if (column === layout.PROBLEM_COLUMN) return front + padded.substring(0, padded.length - 1) + field(problem, 2);
      return front + padded + ' ' + field(problem, 2);
    }
    const cells = front.split('');
    const put = (at, characters) => {
      while (cells.length < at - 1) cells.push(' ');
      characters.forEach((character, k) => {
        cells[at - 1 + k] = character;
      });
    };
    put(layout.NAME_COLUMN, text.characters(padded));
    put(column, field(problem, 2).split(''));
    return cells.join('');
  }

  // The list of pairs of a later batch's students holding an earlier batch
  // student's problem, by earlier row, then later row; and its count line.
  function duplicateList(lines, earlier, earlierOffset, later, laterOffset) {
    const rowsOf = new Map();
    later.forEach((number, j) => {
      if (!rowsOf.has(number)) rowsOf.set(number, []);
      rowsOf.get(number).push(j);
    });
    let count = 0;
    earlier.forEach((number, i) => {
      for (const j of rowsOf.get(number) || []) {
        lines.push(field(earlierOffset + i + 1, 4) + field(laterOffset + j + 1, 4) + ':' + field(number, 4));
        ++count;
      }
    });
    lines.push(` (Numar de probleme dublate: ${count})`);
  }

  // The problems of the range that batch 1 did not give, after its rows.
  function unallocated(lines, students, exam, numbers) {
    if (students === exam.count) {
      lines.push('', ' Probleme ne-alocate: 0');
      return;
    }
    if (students > exam.count) return;
    const given = new Set(numbers);
    let list = '';
    let count = 0;
    for (let problem = exam.start; problem <= exam.end; ++problem) {
      if (given.has(problem)) continue;
      list += field(problem, 5);
      ++count;
    }
    lines.push('', '', ' Probleme ne-alocate', list, ` (Numar de probleme: ${count})`);
  }

  // The lines of the report written again for `group` and the report's exam
  // values, drawn from the entries that `nextPair(batch)` gives; `batches`
  // gets the numbers of each batch. A group that cannot be drawn over the
  // range gets its header alone.
  function rebuildReport(report, group, nextPair, batches) {
    const exam = report.exam;
    const lines = [
      layout.GROUP_LABEL + group.text,
      layout.COUNT_LABEL + field(group.students, 4),
      '',
      layout.EXAM_LABEL + exam.text,
      '',
      layout.SET_LABEL + field(exam.set, 1),
      `${layout.RANGE_LABEL}${exam.start}-${exam.end}  (${exam.count} probleme)`,
      '',
      group.fromFile ? layout.HEADS_WITH_NAMES : layout.HEADS_WITHOUT_NAMES,
      '',
    ];
    const drawn = draw.drawAllocation(group.students, exam.start, exam.end, nextPair);
    if (drawn === null) return lines;
    batches.push(...drawn);
    const sizes = drawn.map((numbers) => numbers.length);
    let row = 0;
    drawn.forEach((numbers, k) => {
      for (const problem of numbers) {
        ++row;
        lines.push(group.fromFile ? namedRow(row, group.names[row - 1], problem) : field(row, 4) + '     ' + field(problem, 3));
      }
      if (k === 0) unallocated(lines, group.students, exam, numbers);
    });
    if (sizes[1] > 0) {
      lines.push('', '', ' Probleme dublate', layout.DUPLICATES_HEADS, '');
      duplicateList(lines, drawn[0], 0, drawn[1], sizes[0]);
      if (sizes[2] > 0) {
        lines.push('');
        duplicateList(lines, drawn[1], sizes[0], drawn[2], sizes[0] + sizes[1]);
      }
    }
    lines.push('', ' 0-00-00      00:00:00');
    if (report.reallocationLine !== 0) lines.push('', layout.REALLOCATION_LABEL + 'seed.dat' + layout.REALLOCATION_CLOSE);
    return lines;
  }

  lotrano.rebuild = { rebuildReport };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
