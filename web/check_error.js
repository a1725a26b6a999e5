// Why a report cannot be checked: one error type carrying lotrano-verify's
// status for the same fault, so that the page and lotrano-verify end alike
// on every file. The message is Romanian text for a student; the status is
// shown beside it as a secondary detail ("cod 24").
(function (lotrano) {
  'use strict';

  // lotrano-verify's statuses.
  const status = {
    MISMATCH: 2,
    PERMISSION_DENIED: 9,
    END_OF_FILE: 24, // a file ends before what must follow
    NOT_FOUND: 29, // a file is missing
    READ_ERROR: 39, // a read failed, or a line is longer than lotrano reads
    WORD_FOR_NUMBER: 59, // a word (or a quoted text) where a number belongs
    NOT_READABLE: 64, // a broken number, or a text that no report holds there
    INTERNAL: 1, // a fault of the checker itself
  };

  class CheckError extends Error {
    constructor(code, message) {
      super(message);
      this.status = code;
    }
  }

  lotrano.checkError = { CheckError, status };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
