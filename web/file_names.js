// The names lotrano gives its files, as far as a checker reads them: the seed
// file a report's name calls for (as the program names it now, and as
// earlier versions did), the place of a report in its series ("[k]" before
// ".rez"), and names that a seed file may carry after a download.
(function (lotrano) {
  'use strict';

  const RESULT_PREFIX = 'Probleme Examen Nr_';
  const RESULT_EXTENSION = '.rez';

  // The seed file's names for a report of this name, in the order
  // lotrano-verify looks for them: the report's name with "Seed_" for its
  // leading "Probleme Examen Nr_" and ".dat" for its ".rez"; then the older
  // name, "Seed_", the exam, the range, and the report's name from its first
  // "G" up to its first "." (from where the group title starts when it has
  // no "G"; nothing when the "." comes first).
  function seedFileNames(reportName, exam) {
    const names = [];
    if (reportName.startsWith(RESULT_PREFIX) && reportName.endsWith(RESULT_EXTENSION) && reportName.length >= RESULT_PREFIX.length + RESULT_EXTENSION.length) {
      names.push(currentSeedFileName(reportName));
    }
    const characters = Array.from(reportName);
    let start = characters.indexOf('G') + 1;
    const dot = characters.indexOf('.') + 1;
    if (start === 0) start = Array.from(`${RESULT_PREFIX}${exam.text} (${exam.rangeText}) `).length + 1;
    const part = dot < start ? '' : characters.slice(start - 1, dot - 1).join('');
    const older = `Seed_${exam.text} (${exam.rangeText}) ${part}.dat`;
    if (names[0] !== older) names.push(older);
    return names;
  }

  // The seed file's name as the program gives it now; null for a name that
  // is no result file's.
  function currentSeedFileName(reportName) {
    if (!reportName.startsWith(RESULT_PREFIX) || !reportName.endsWith(RESULT_EXTENSION)) return null;
    return 'Seed_' + reportName.slice(RESULT_PREFIX.length, -RESULT_EXTENSION.length) + '.dat';
  }

  // A report's place in its series: lotrano names an allocation's report
  // with the first free name of the base name, then "[1]" to "[9]" before
  // ".rez", so a name with "[k]" was written when k names were taken in its
  // folder. k (0 for the base name), or null for a name that is no result
  // file's (a download may have put " (1)" after it, or "_" for blanks).
  function placeInSeries(reportName) {
    const name = /^Probleme[ _]Examen[ _]Nr_.+?(?:\[([1-9])\])?(?:[ _]?\(\d+\))?\.rez$/i.exec(reportName);
    if (name === null) return null;
    return name[1] === undefined ? 0 : Number(name[1]);
  }

  // Whether a name is one a seed file may carry: "Seed_….dat", in any case.
  function isSeedFileName(name) {
    return /^seed_.*\.dat$/i.test(name);
  }

  lotrano.fileNames = { seedFileNames, currentSeedFileName, placeInSeries, isSeedFileName };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
