// Making the page's elements: one helper that the views share.
(function (lotrano) {
  'use strict';

  // An element with its attributes ("text" sets its text, "class" its
  // classes) and children (texts or elements; null and undefined left out).
  function element(tag, attributes, ...children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes || {})) {
      if (name === 'text') node.textContent = value;
      else if (name === 'class') node.className = value;
      else node.setAttribute(name, value);
    }
    for (const child of children) {
      if (child !== null && child !== undefined) node.append(child);
    }
    return node;
  }

  // A text as markup, for rows built as one piece of HTML.
  function escaped(value) {
    return String(value).replace(/[&<>"]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' })[c]);
  }

  lotrano.dom = { element, escaped };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
