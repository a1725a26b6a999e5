// One check, as lotrano-verify makes it: a report read back (report.js) is
// written again (rebuild.js) from the allocation drawn again from one seed
// file, with the names of one group list when one is given, and the two are
// compared line by line (compare.js). The result carries the verdict and
// lotrano-verify's status: 0 the report matches, 2 it does not, otherwise
// the status of the fault that stops the check.
(function (lotrano) {
  'use strict';

  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;
  const { seedReader } = lotrano.seedFile || require('./seed_file.js').seedFile;
  const { rebuildReport } = lotrano.rebuild || require('./rebuild.js').rebuild;
  const { firstDifference } = lotrano.compare || require('./compare.js').compare;
  const csv = lotrano.csv || require('./csv.js').csv;
  const draw = lotrano.draw || require('./draw.js').draw;
  const { counted } = lotrano.words || require('./words.js').words;

  // Checks `report` ({ name, read: readReport's values }) against `seed`
  // ({ name, bytes }) with `list` ({ name, group }) or null: the names then
  // come from the report itself. Returns { verdict: 'match' | 'mismatch' |
  // 'error', status, ... }: a mismatch with `line`, `inReport`, `rebuilt`;
  // a match with `batches`, the numbers drawn; an error with `cause`. Only
  // a CheckError becomes a verdict: any other exception is the caller's.
  function checkReport(report, seed, list) {
    const group = list ? list.group : report.read.group;
    const batches = [];
    let rebuilt;
    try {
      rebuilt = rebuildReport(report.read, group, seedReader(seed.bytes, seed.name), batches);
    } catch (error) {
      if (!(error instanceof CheckError)) throw error;
      const cause = listAtFault(error, report, list) || error.message;
      return { verdict: 'error', status: error.status, cause };
    }
    const difference = firstDifference(report.read, rebuilt);
    if (difference) return { verdict: 'mismatch', status: status.MISMATCH, ...difference };
    return { verdict: 'match', status: 0, batches, group };
  }

  // The entries that an allocation of `students` over the report's range
  // takes from its seed file: one per batch drawn.
  function entriesTaken(students, exam) {
    return draw.batchSizes(students, exam.count).filter((size, k) => k === 0 || size > 0).length;
  }

  // A list with more students than the report asks the seed file for entries
  // that the report never took: when the seed file ends before them, the
  // fault is the list's, and the cause names it (as lotrano-verify names the
  // group file). Null otherwise.
  function listAtFault(error, report, list) {
    const exam = report.read.exam;
    const students = report.read.group.students;
    if (!list || error.status !== status.END_OF_FILE || entriesTaken(list.group.students, exam) <= entriesTaken(students, exam)) return null;
    return `lista grupei „${list.name}” are ${counted(list.group.students, 'student', 'studenți', 'de studenți')}, raportul ${students}, iar fișierul seed se termină înainte de perechile de numere de care au nevoie`;
  }

  // What a matched report shows and gives to download.
  function allocationOf(result) {
    return {
      rows: csv.allocationRows(result.group, result.batches),
      csv: () => csv.allocationCsv(result.group, result.batches),
    };
  }

  lotrano.check = { checkReport, allocationOf };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
