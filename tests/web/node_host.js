// Runs one WebAssembly build of a menu program under Node as a plain command:
//   node --no-experimental-fetch node_host.js PROGRAM.js [ARGS...]
// stdin, stdout and stderr are the process's own; the working folder is the
// current one (mounted with NODEFS where the program has files); the exit status is the program's. The
// program reads and writes through the same host calls that the page gives
// it (Module.adtRead, Module.adtWrite), so a scenario run here checks the
// console layer of the web build too.
'use strict';
const fs = require('fs');
const path = require('path');

const [programFile, ...args] = process.argv.slice(2);
if (!programFile) {
  process.stderr.write('usage: node_host.js PROGRAM.js [ARGS...]\n');
  process.exit(2);
}

// Input arrives in chunks; a read takes at most n bytes of what has come,
// waiting when nothing has. An empty answer is the end of input.
const chunks = [];
let ended = false;
let wake = null;
process.stdin.on('data', (chunk) => {
  chunks.push(chunk);
  if (wake) wake();
});
process.stdin.on('end', () => {
  ended = true;
  if (wake) wake();
});
process.stdin.pause();

async function read(n) {
  while (chunks.length === 0 && !ended) {
    process.stdin.resume();
    await new Promise((resolve) => { wake = resolve; });
    wake = null;
    process.stdin.pause();
  }
  if (chunks.length === 0) return new Uint8Array(0);
  const chunk = chunks[0];
  if (chunk.length <= n) return chunks.shift();
  chunks[0] = chunk.subarray(n);
  return chunk.subarray(0, n);
}

// Writes all of bytes to fd, waiting out a full pipe.
function writeAll(fd, bytes) {
  let done = 0;
  while (done < bytes.length) {
    try {
      done += fs.writeSync(fd, bytes, done);
    } catch (e) {
      if (e.code !== 'EAGAIN') throw e;
    }
  }
}

const factory = require(path.resolve(programFile));
factory({
  arguments: args,
  thisProgram: path.basename(programFile, '.js'),
  adtRead: read,
  adtWrite: (bytes) => writeAll(1, bytes),
  print: (line) => writeAll(1, Buffer.from(line + '\n')),
  printErr: (line) => writeAll(2, Buffer.from(line + '\n')),
  preRun: [(Module) => {
    const FS = Module.FS;
    if (!FS) return; // a program without files
    FS.mkdir('/work');
    FS.mount(FS.filesystems.NODEFS, { root: process.cwd() }, '/work');
    FS.chdir('/work');
  }],
}).catch((e) => {
  process.stderr.write(`node_host: ${e && e.stack ? e.stack : e}\n`);
  process.exit(99);
});
