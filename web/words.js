// Romanian number words: "1 raport", "2 rapoarte", "20 de rapoarte", and
// large numbers with the point between thousands ("65.536").
(function (lotrano) {
  'use strict';

  // `n` and the noun in the form Romanian gives it after that number: one,
  // few (2 to 19, and 0), or many (20 and on, "de" before the noun), the
  // last two digits deciding past 100.
  function counted(n, one, few, many) {
    if (n === 1) return `1 ${one}`;
    const rest = Math.abs(n) % 100;
    return n === 0 || (rest >= 1 && rest <= 19) ? `${grouped(n)} ${few}` : `${grouped(n)} ${many}`;
  }

  function grouped(n) {
    return String(n).replace(/\B(?=(\d{3})+(?!\d))/g, '.');
  }

  // Names in a sentence: „A”, „B” și „C”.
  function listed(names) {
    const quoted = names.map((name) => `„${name}”`);
    if (quoted.length <= 1) return quoted.join('');
    return `${quoted.slice(0, -1).join(', ')} și ${quoted[quoted.length - 1]}`;
  }

  lotrano.words = { counted, grouped, listed };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
