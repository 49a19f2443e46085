// The terminal page: runs one of the two programs (tree_menu.js or
// queue_menu.js, built with Emscripten) in an xterm.js terminal.
//
// The address says what runs:
//   index.html?program=tree_menu|queue_menu&args=...&cols=C&rows=R
// args is the command line after the program's name, split as a shell
// splits words ('...' and "..." quote); cols and rows fix the terminal's
// size, which otherwise follows the window.
//
// What tests can rely on, in window.adt:
//   waits   how many times the program has waited for input; raised only
//           once the output written before the wait is on the terminal
//   text()  the terminal's text, scrollback included, one line per row
//   exit    null while the program runs, then its exit status
//   loaded  how many data.dat files from the computer are stored
'use strict';

(function () {
  const PROGRAMS = ['tree_menu', 'queue_menu'];
  const params = new URLSearchParams(location.search);
  const program = PROGRAMS.includes(params.get('program')) ? params.get('program') : 'tree_menu';
  const argText = params.get('args') || '';
  const args = splitWords(argText);
  const fixedCols = parseInt(params.get('cols'), 10);
  const fixedRows = parseInt(params.get('rows'), 10);
  const fixedSize = fixedCols > 0 && fixedRows > 0;

  // The program's script (index.html has it and the .wasm fetched early)
  // runs while the terminal is set up; the program starts when both are.
  const script = document.createElement('script');
  const scriptLoaded = new Promise((resolve, reject) => {
    script.onload = resolve;
    script.onerror = reject;
  });
  script.src = program + '.js';
  document.head.appendChild(script);

  const adt = {
    waits: 0,
    exit: null,
    loaded: 0,
    firstWait: null, // milliseconds from navigation to the first wait
    text: () => {
      const buffer = term.buffer.active;
      const lines = [];
      for (let i = 0; i < buffer.length; i++) lines.push(buffer.getLine(i).translateToString(true));
      return lines.join('\n');
    },
  };
  window.adt = adt;

  // ---- The form: the program and its options, carried in the address ----

  const form = document.getElementById('choice');
  const argsField = document.getElementById('args');
  // Each box stands for one option word in the options field.
  const boxes = ['draw', 'trace', 'step', 'learn'].map((name) => [document.getElementById(name), '--' + name]);
  document.getElementById('program').value = program;
  argsField.value = argText;
  const showOptions = () => {
    const words = splitWords(argsField.value);
    for (const [box, word] of boxes) box.checked = words.includes(word);
    const tree = document.getElementById('program').value === 'tree_menu';
    for (const label of document.querySelectorAll('.tree-only')) label.hidden = !tree;
  };
  for (const [box, word] of boxes) {
    box.addEventListener('change', () => {
      const rest = argsField.value.split(/\s+/).filter((w) => w && w !== word);
      argsField.value = (box.checked ? [word].concat(rest) : rest).join(' ');
    });
  }
  argsField.addEventListener('input', showOptions);
  document.getElementById('program').addEventListener('change', showOptions);
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    const next = new URLSearchParams();
    next.set('program', document.getElementById('program').value);
    if (argsField.value.trim()) next.set('args', argsField.value.trim());
    if (fixedSize) {
      next.set('cols', fixedCols);
      next.set('rows', fixedRows);
    }
    location.search = next.toString();
  });
  showOptions();

  // ---- The terminal ----

  const term = new Terminal({
    convertEol: true,
    cursorBlink: true,
    scrollback: 10000,
    fontSize: 15,
    // Monospace fonts that hold Chinese first, so that its characters take
    // two cells of the same font.
    fontFamily: '"Noto Sans Mono CJK SC", "Sarasa Mono SC", "WenQuanYi Zen Hei Mono", ' +
      '"Microsoft YaHei Mono", "NSimSun", "SimSun", "PingFang SC", Menlo, Consolas, ' +
      '"DejaVu Sans Mono", monospace',
    ...(fixedSize ? { cols: fixedCols, rows: fixedRows } : {}),
  });
  const fit = new FitAddon.FitAddon();
  term.loadAddon(fit);
  term.open(document.getElementById('terminal'));
  if (!fixedSize) {
    fit.fit();
    window.addEventListener('resize', () => fit.fit());
  }
  term.focus();

  // Resolves once everything written so far has reached the terminal.
  const written = () => new Promise((resolve) => term.write('', resolve));

  // ---- Input: the terminal's line editing ----
  //
  // Typed characters are shown and kept until Enter, which hands the line
  // and its newline to the program; Backspace takes back one character
  // (two cells for a wide one); Ctrl-D hands over what is typed without a
  // newline, and on an empty line is the end of input.

  const encoder = new TextEncoder();
  let line = [];         // characters typed since the last Enter
  let queued = [];       // Uint8Arrays handed over, not yet read
  let endOfInput = false;
  let wakeReader = null; // set while the program waits for input
  let onEnter = null;    // set while the page waits to start the program again

  function hand(text, end) {
    if (text) queued.push(encoder.encode(text));
    if (end) endOfInput = true;
    if (wakeReader) wakeReader();
  }

  function isWide(code) {
    return (code >= 0x1100 && code <= 0x115f) || (code >= 0x2e80 && code <= 0xa4cf) ||
      (code >= 0xac00 && code <= 0xd7a3) || (code >= 0xf900 && code <= 0xfaff) ||
      (code >= 0xfe30 && code <= 0xfe4f) || (code >= 0xff00 && code <= 0xff60) ||
      (code >= 0xffe0 && code <= 0xffe6) || (code >= 0x20000 && code <= 0x3fffd);
  }

  term.onData((data) => {
    if (data[0] === '\x1b') return; // arrow and function keys: no line history here
    for (const ch of data) {
      if (ch === '\r' || ch === '\n') {
        term.write('\r\n');
        if (onEnter) {
          onEnter();
        } else if (!endOfInput) {
          hand(line.join('') + '\n', false);
        }
        line = [];
      } else if (ch === '\x7f' || ch === '\b') {
        const last = line.pop();
        if (last !== undefined) {
          const cells = isWide(last.codePointAt(0)) ? 2 : 1;
          term.write('\b'.repeat(cells) + ' '.repeat(cells) + '\b'.repeat(cells));
        }
      } else if (ch === '\x04') {
        if (onEnter || endOfInput) continue;
        hand(line.join(''), line.length === 0);
        line = [];
      } else if (ch >= ' ' && !onEnter && !endOfInput) {
        line.push(ch);
        term.write(ch);
      }
    }
  });

  // ---- Files: data.dat in IndexedDB, one folder per program ----

  // Each save stores its file alone and each load fetches it first, so that
  // a second tab never writes its whole folder over the first one's save.
  // The layout is IDBFS's (database: the folder; store FILE_DATA; key: the
  // path), which earlier versions of the page used.
  const folder = '/' + program;
  let FS = null; // the running program's file system, for queue_menu

  function database() {
    return new Promise((resolve, reject) => {
      const open = indexedDB.open(folder, 21);
      open.onupgradeneeded = () => {
        if (!open.result.objectStoreNames.contains('FILE_DATA'))
          open.result.createObjectStore('FILE_DATA').createIndex('timestamp', 'timestamp');
      };
      open.onsuccess = () => resolve(open.result);
      open.onerror = () => reject(open.error);
    });
  }

  // One request on the store, done once its transaction is committed.
  async function request(mode, ask) {
    const db = await database();
    try {
      return await new Promise((resolve, reject) => {
        const tx = db.transaction('FILE_DATA', mode);
        const req = ask(tx.objectStore('FILE_DATA'));
        tx.oncomplete = () => resolve(req.result);
        tx.onerror = tx.onabort = () => reject(tx.error || req.error);
      });
    } finally {
      db.close();
    }
  }

  // The program's file calls: ask 0 whether a name is kept, 1 to store the
  // file after a save, 2 to put the stored one in place before a load.
  // 0 done, 1 a name outside the folder, 2 no room, 3 the store failed.
  async function hostFile(ask, name) {
    const parts = [];
    for (const part of (name.startsWith('/') ? name : FS.cwd() + '/' + name).split('/')) {
      if (part === '..') parts.pop();
      else if (part && part !== '.') parts.push(part);
    }
    const path = '/' + parts.join('/');
    if (parts.length !== 2 || '/' + parts[0] !== folder) return 1;
    try {
      if (ask === 1) {
        const contents = FS.readFile(path);
        await request('readwrite', (s) => s.put({ timestamp: new Date(), mode: 33206, contents }, path));
      } else if (ask === 2) {
        const entry = await request('readonly', (s) => s.get(path));
        if (entry) FS.writeFile(path, entry.contents);
      }
      return 0;
    } catch (e) {
      console.warn('IndexedDB: ' + e);
      return e && e.name === 'QuotaExceededError' ? 2 : 3;
    }
  }

  document.getElementById('download').addEventListener('click', async () => {
    let bytes;
    try {
      await hostFile(2, folder + '/data.dat');
      bytes = FS.readFile(folder + '/data.dat');
    } catch (e) {
      alert('There is no data.dat yet: save the queue first (option 10).');
      return;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = 'data.dat';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  });

  document.getElementById('upload').addEventListener('change', async (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (!file || !FS) return;
    FS.writeFile(folder + '/data.dat', new Uint8Array(await file.arrayBuffer()));
    await hostFile(1, folder + '/data.dat');
    adt.loaded++;
    term.focus();
  });

  // ---- Running the program ----

  // The program asks for up to n bytes of input: first the output before
  // the wait reaches the terminal, then the wait is counted, then the
  // program waits for what is typed.
  async function read(n) {
    await written();
    adt.waits++;
    if (adt.firstWait === null) adt.firstWait = performance.now();
    while (queued.length === 0 && !endOfInput) await new Promise((resolve) => { wakeReader = resolve; });
    wakeReader = null;
    if (queued.length === 0) return new Uint8Array(0);
    const chunk = queued[0];
    if (chunk.length <= n) return queued.shift();
    queued[0] = chunk.subarray(n);
    return chunk.subarray(0, n);
  }

  async function finished(status) {
    await written();
    adt.exit = status;
    term.write('\r\n\x1b[2m[' + program + ' ended, status ' + status +
      '. Press Enter to start it again.]\x1b[0m\r\n');
    onEnter = () => {
      onEnter = null;
      start();
    };
  }

  function start() {
    line = [];
    queued = [];
    endOfInput = false;
    adt.exit = null;
    createProgram({
      arguments: args,
      thisProgram: program,
      adtRead: read,
      adtWrite: (bytes) => term.write(bytes.slice()),
      adtCols: () => term.cols,
      adtRows: () => term.rows,
      adtStderrShared: true,
      adtFile: hostFile,
      print: (text) => term.write(text + '\n'),
      printErr: (text) => term.write(text + '\n'),
      onExit: (status) => { finished(status); },
      preRun: [(Module) => {
        if (!Module.FS) return;
        FS = Module.FS;
        FS.mkdir(folder);
        FS.chdir(folder);
      }],
    }).catch((e) => {
      term.write('\r\n[the program stopped: ' + e + ']\r\n');
    });
  }

  document.getElementById('files').hidden = program !== 'queue_menu';
  scriptLoaded.then(start, () => term.write('Cannot load ' + program + '.js\r\n'));

  // Words of a command line: blanks separate them, '...' and "..." quote.
  function splitWords(text) {
    const words = [];
    let word = null;
    let quote = null;
    for (const ch of text) {
      if (quote) {
        if (ch === quote) quote = null;
        else word += ch;
      } else if (ch === "'" || ch === '"') {
        quote = ch;
        word = word || '';
      } else if (/\s/.test(ch)) {
        if (word !== null) words.push(word);
        word = null;
      } else {
        word = (word || '') + ch;
      }
    }
    if (word !== null) words.push(word);
    return words;
  }
})();
