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
      return { verdict: 'error', status: error.status, cause: error.message };
    }
    const difference = firstDifference(report.read, rebuilt);
    if (difference) return { verdict: 'mismatch', status: status.MISMATCH, ...difference };
    return { verdict: 'match', status: 0, batches, group };
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
