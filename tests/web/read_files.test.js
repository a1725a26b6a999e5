// Reading the files a user gives, folders dropped included: every file comes
// back, read or with the reason and status of its failed read; none is lost.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { readFiles } = require('../../web/read_files.js');

// A stand-in for the browser's File: its bytes, or the error its read meets.
function fakeFile(name, bytes, error = null, size = bytes.length) {
  return {
    name,
    size,
    arrayBuffer: () => (error ? Promise.reject(error) : Promise.resolve(Uint8Array.from(Buffer.from(bytes, 'latin1')).buffer)),
    slice(start, end) {
      return fakeFile(name, bytes.slice(start, end), error);
    },
  };
}
const domError = (name) => Object.assign(new Error(`${name} happened`), { name });

test('each file read, or its failure with the status lotrano-verify gives', async () => {
  const read = await readFiles.readFiles([
    fakeFile('a.rez', ' Grupa: 1\xC8\r\n'),
    fakeFile('gone.dat', '', domError('NotFoundError')),
    fakeFile('changed.txt', '', domError('NotReadableError')),
    fakeFile('denied.txt', '', domError('SecurityError')),
    fakeFile('odd.txt', '', new TypeError('strange')),
    fakeFile('film.mp4', '', null, 100 * 1024 * 1024),
  ]);
  assert.deepEqual(read[0], { name: 'a.rez', bytes: ' Grupa: 1\xC8\r\n' });
  assert.deepEqual(
    read.slice(1).map((file) => [file.name, file.failure.status]),
    [['gone.dat', 29], ['changed.txt', 39], ['denied.txt', 9], ['odd.txt', 39], ['film.mp4', 39]],
  );
  assert.match(read[4].failure.cause, /TypeError: strange/);
  assert.match(read[5].failure.cause, /100 MB/);
});

test('a very large report is read as far as lotrano-verify reads one', async () => {
  const [read] = await readFiles.readFiles([fakeFile('big.rez', 'x'.repeat(10 * 1024 * 1024), null, 100 * 1024 * 1024)]);
  assert.equal(read.bytes.length, 9 * 1024 * 1024);
});

// Entries as a drop hands them out: files, and folders read in batches.
function fileEntry(name, bytes, error = null) {
  return { isFile: true, name, file: (done, fail) => (error ? fail(error) : done(fakeFile(name, bytes))) };
}
function folderEntry(name, children, failing = false) {
  return {
    isFile: false,
    name,
    createReader() {
      let batches = [children.slice(0, 2), children.slice(2), []];
      return {
        readEntries(done, fail) {
          if (failing) return fail(domError('NotReadableError'));
          done(batches[0]);
          batches = batches.slice(1);
        },
      };
    },
  };
}

test('a folder dropped gives every file in it, subfolders too', async () => {
  const dropped = {
    items: [
      { kind: 'file', webkitGetAsEntry: () => fileEntry('raport.rez', 'r') },
      {
        kind: 'file',
        webkitGetAsEntry: () =>
          folderEntry('examen', [fileEntry('Seed_1.dat', 's'), fileEntry('notite.txt', 'n'), folderEntry('Dat', [fileEntry('g.txt', 'g')]), fileEntry('pierdut.txt', '', domError('NotFoundError')), folderEntry('ascuns', [], true)]),
      },
    ],
    files: [],
  };
  const files = await readFiles.droppedFiles(dropped);
  const read = await readFiles.readFiles(files);
  assert.deepEqual(
    read.map((file) => [file.name, file.bytes === undefined ? file.failure.status : file.bytes]),
    [['raport.rez', 'r'], ['Seed_1.dat', 's'], ['notite.txt', 'n'], ['g.txt', 'g'], ['pierdut.txt', 29], ['ascuns', 39]],
  );
});
