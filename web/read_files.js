// Reading the files a user gives: chosen in the file dialog or dropped onto
// the page, folders included (every file in them, their subfolders too).
// Each file becomes { name, bytes } (a byte string, text.js) or, when it
// cannot be read, { name, failure: { status, cause } } with the status that
// lotrano-verify gives a file it cannot read.
(function (lotrano) {
  'use strict';

  const text = lotrano.text || require('./text.js').text;
  const { status } = lotrano.checkError || require('./check_error.js').checkError;
  const { grouped } = lotrano.words || require('./words.js').words;

  // A file larger than this is no file of lotrano's (a report has at most a
  // few hundred KiB) and is not read whole: of a report, only as much as
  // lotrano-verify reads before it refuses one so long.
  const MOST_BYTES = 64 * 1024 * 1024;
  const REPORT_BYTES_READ = 9 * 1024 * 1024;
  // A folder dropped is read this deep, and this many files at most.
  const MOST_DEPTH = 4;
  const MOST_FILES = 2000;

  // Why a read failed, as lotrano-verify would report the file.
  function readFailure(error) {
    const name = error && error.name;
    if (name === 'NotFoundError') {
      return { status: status.NOT_FOUND, cause: 'fișierul nu mai este acolo (a fost mutat sau șters după ce a fost ales) sau este un dosar' };
    }
    if (name === 'SecurityError' || name === 'NotAllowedError') {
      return { status: status.PERMISSION_DENIED, cause: 'browserul nu are voie să îl citească' };
    }
    if (name === 'NotReadableError') {
      return { status: status.READ_ERROR, cause: 'browserul nu l-a putut citi (poate este un dosar, sau fișierul s-a schimbat după ce a fost ales)' };
    }
    return { status: status.READ_ERROR, cause: `citirea lui a eșuat (${name || 'eroare'}: ${(error && error.message) || error})` };
  }

  // One file's bytes; never rejects.
  async function readOne(file) {
    try {
      if (file.size > MOST_BYTES && !/\.rez$/i.test(file.name)) {
        return {
          name: file.name,
          failure: { status: status.READ_ERROR, cause: `are ${grouped(Math.round(file.size / 1048576))} MB, mult mai mult decât orice fișier lotrano, și nu este citit` },
        };
      }
      const part = file.size > MOST_BYTES ? file.slice(0, REPORT_BYTES_READ) : file;
      return { name: file.name, bytes: text.fromBytes(await part.arrayBuffer()) };
    } catch (error) {
      return { name: file.name, failure: readFailure(error) };
    }
  }

  // The files read, in the order given. `files` holds File objects, or
  // { name, failure } for a file that could not even be reached.
  function readFiles(files) {
    return Promise.all(Array.from(files, (file) => (file.failure ? file : readOne(file))));
  }

  // What a drop holds, folders opened: File objects (or { name, failure }).
  // The entries are taken while the drop event lasts; their files after.
  function droppedFiles(dataTransfer) {
    const items = Array.from(dataTransfer.items || []).filter((item) => item.kind === 'file');
    const entries = items.map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
    if (entries.length === 0 || entries.some((entry) => entry === null)) return Promise.resolve(Array.from(dataTransfer.files || []));
    const found = [];
    const fileOf = (entry) =>
      new Promise((resolve) => entry.file(resolve, (error) => resolve({ name: entry.name, failure: readFailure(error) })));
    const batchOf = (reader) => new Promise((resolve, reject) => reader.readEntries(resolve, reject));
    const walk = async (entry, depth) => {
      if (found.length >= MOST_FILES) return;
      if (entry.isFile) {
        found.push(await fileOf(entry));
        return;
      }
      if (depth >= MOST_DEPTH) return;
      const reader = entry.createReader();
      try {
        for (let batch = await batchOf(reader); batch.length > 0; batch = await batchOf(reader)) {
          for (const child of batch) await walk(child, depth + 1);
        }
      } catch (error) {
        found.push({ name: entry.name, failure: readFailure(error) });
      }
    };
    return entries.reduce((done, entry) => done.then(() => walk(entry, 0)), Promise.resolve()).then(() => found);
  }

  lotrano.readFiles = { readFiles, droppedFiles, readFailure };
})(typeof module === 'object' ? module.exports : (globalThis.lotrano = globalThis.lotrano || {}));
