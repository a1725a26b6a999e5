// A matched report's allocation as rows to show and as the CSV that
// lotrano-verify --csv writes, byte for byte: UTF-8 with a byte order mark,
// CR LF, ";" between fields, quoted where a field holds ";", a quote, CR or
// LF. One row per student in the report's order: row, name (empty for a
// typed group), problem and the round (the batch, 1 to 3) it was drawn in.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;

  const BYTE_ORDER_MARK = '\xEF\xBB\xBF';

  // The CSV's bytes, as a byte string.
  function allocationCsv(group, batches) {
    const quoted = (value) => (/[;"\r\n]/.test(value) ? `"${value.replace(/"/g, '""')}"` : value);
    const parts = [BYTE_ORDER_MARK + 'Nr;Nume;Problema;Runda\r\n'];
    let row = 0;
    batches.forEach((numbers, k) => {
      for (const problem of numbers) {
        ++row;
        let name = '';
        if (group.fromFile) {
          name = text.withoutTrailingBlanks(group.names[row - 1]);
          if (!text.isValidUtf8(name)) name = text.windows1250ToUtf8(name);
        }
        parts.push(`${row};${quoted(name)};${problem};${k + 1}\r\n`);
      }
    });
    return parts.join('');
  }

  // The rows to show: number, name (as text; empty for a typed group),
  // problem and round.
  function allocationRows(group, batches) {
    const rows = [];
    batches.forEach((numbers, k) => {
      for (const problem of numbers) {
        const row = rows.length + 1;
        const name = group.fromFile ? text.display(text.withoutTrailingBlanks(group.names[row - 1])) : '';
        rows.push({ row, name, problem, round: k + 1 });
      }
    });
    return rows;
  }

  lotrano.csv = { allocationCsv, allocationRows };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
