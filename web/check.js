// One check, as lotrano-verify makes it: a report read back (report.js) is
// written again (rebuild.js) from the allocation drawn again from one seed
// file, with the names of one group list when one is given, and the two are
// compared line by line (compare.js). The result carries the verdict and
// lotrano-verify's status: 0 the report matches, 2 it does not, otherwise
// the status of the fault that stops the check. With a public text, as
// lotrano-verify --public-text, the report matches only when its seed
// file's entries are the text's too (public_text.js).
(function (lotrano) {
  'use strict';

  const { CheckError, status } = lotrano.checkError || require('./check_error.js').checkError;
  const { seedReader } = lotrano.seedFile || require('./seed_file.js').seedFile;
  const { rebuildReport } = lotrano.rebuild || require('./rebuild.js').rebuild;
  const { firstDifference } = lotrano.compare || require('./compare.js').compare;
  const csv = lotrano.csv || require('./csv.js').csv;
  const draw = lotrano.draw || require('./draw.js').draw;
  const { counted } = lotrano.words || require('./words.js').words;
  const { firstEntryNotFromText } = lotrano.publicText || require('./public_text.js').publicText;

  // Checks `report` ({ name, read: readReport's values }) against `seed`
  // ({ name, bytes }) with `list` ({ name, group }) or null: the names then
  // come from the report itself. Returns { verdict: 'match' | 'mismatch' |
  // 'error', status, ... }: a mismatch with `line`, `inReport`, `rebuilt`;
  // a match with `batches`, the numbers drawn; an error with `cause`. A
  // match or a mismatch holds `pairs`, the pairs the draw took from the seed
  // file, one per batch drawn, as the file holds them. Only a CheckError
  // becomes a verdict: any other exception is the caller's.
  function checkReport(report, seed, list) {
    const group = list ? list.group : report.read.group;
    const batches = [];
    const pairs = [];
    let rebuilt;
    try {
      const nextPair = seedReader(seed.bytes, seed.name);
      const taking = (batch) => {
        const pair = nextPair(batch);
        pairs.push(pair);
        return pair;
      };
      rebuilt = rebuildReport(report.read, group, taking, batches);
    } catch (error) {
      if (!(error instanceof CheckError)) throw error;
      const cause = listAtFault(error, report, list) || error.message;
      return { verdict: 'error', status: error.status, cause };
    }
    const difference = firstDifference(report.read, rebuilt);
    if (difference) return { verdict: 'mismatch', status: status.MISMATCH, pairs, ...difference };
    return { verdict: 'match', status: 0, pairs, batches, group };
  }

  // A result of checkReport judged as lotrano-verify --public-text judges
  // it. `derived` is what publicText.derive gave: with its `entries`, the
  // result gets `publicText` { text (normalised), entry: 0 when the seed
  // file's pairs are the text's entries, else the number (from 1) of the
  // first that is not, with `inSeedFile` and `fromText`, both brought into
  // range }, and a match whose seed file does not come from the text becomes
  // a mismatch with no differing line. A text that gave no entries (its
  // `fault`, or the `failure` of its derivation) leaves the verdict and adds
  // `publicText` { unchecked: derived }. A report that cannot be checked
  // says nothing of the text.
  function againstPublicText(result, derived) {
    if (result.verdict === 'error') return result;
    if (!derived.entries) return { ...result, publicText: { unchecked: derived } };
    const entry = firstEntryNotFromText(result.pairs, derived.entries);
    const publicText = { text: derived.normalized, entry };
    if (entry === 0) return { ...result, publicText };
    const [first, second] = result.pairs[entry - 1];
    const inRange = draw.generator(first, second);
    publicText.inSeedFile = [inRange.w1, inRange.w2];
    publicText.fromText = derived.entries[entry - 1];
    return { ...result, verdict: 'mismatch', status: status.MISMATCH, publicText };
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

  lotrano.check = { checkReport, againstPublicText, allocationOf };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
