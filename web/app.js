// The terminal page: runs one of the two programs (tree_menu.js or
// queue_menu.js, built with Emscripten) in an xterm.js terminal.
//
// The address says what runs:
//   index.html?program=tree_menu|queue_menu&args=...&lang=en|zh&cols=C&rows=R
// args is the command line after the program's name, split as a shell
// splits words ('...' and "..." quote); lang the language of the page and
// of the program (given --lang, unless args has one); cols and rows fix the
// terminal's size, which otherwise follows the window. A `#` in a hand-made
// link (--tree AB##C##) starts the address's fragment: the fragment is read
// as the rest of the query, so the link still works.
//
// What tests can rely on, in window.adt:
//   waits   how many times the program has waited for input; raised only
//           once the output written before the wait is on the terminal
//   text()  the terminal's text, scrollback included, one line per row
//   exit    null while the program runs, then its exit status
//   loaded  how many data.dat files from the computer are stored
//   atStep  whether the program waits in a frame of a stepped walk
//   handed  the last text handed to the program as its input
//   cols()  the terminal's width in columns
'use strict';

(function () {
  const PROGRAMS = ['tree_menu', 'queue_menu'];
  const params = new URLSearchParams(location.search.slice(1) + location.hash);
  const program = PROGRAMS.includes(params.get('program')) ? params.get('program') : 'tree_menu';
  const argText = params.get('args') || '';
  const args = splitWords(argText);
  const fixedCols = parseInt(params.get('cols'), 10);
  const fixedRows = parseInt(params.get('rows'), 10);
  const fixedSize = fixedCols > 0 && fixedRows > 0;
  const stepping = program === 'tree_menu' && args.includes('--step');
  // The language: --lang in the options, else the address's, else the
  // browser's. The program is given it too, so that the page and the
  // program speak one language.
  const LANGS = ['en', 'zh'];
  const langOption = langIn(args);
  const lang = langOption || (LANGS.includes(params.get('lang')) ? params.get('lang')
    : /^zh\b/i.test(navigator.language || '') ? 'zh' : 'en');
  const programArgs = langOption ? args : ['--lang', lang].concat(args);
  const t = window.ADT_TEXTS[lang];
  const byId = (id) => document.getElementById(id);

  const adt = {
    waits: 0,
    exit: null,
    loaded: 0,
    atStep: false,
    handed: '',
    firstWait: null, // milliseconds from navigation to the first wait
    text: () => {
      const buffer = term.buffer.active;
      const lines = [];
      for (let i = 0; i < buffer.length; i++) lines.push(buffer.getLine(i).translateToString(true));
      return lines.join('\n');
    },
    cols: () => term.cols,
  };
  window.adt = adt;

  // ---- The page's words, in its language ----

  function showWords() {
    document.documentElement.lang = lang === 'zh' ? 'zh-CN' : 'en';
    document.title = t.title;
    for (const el of document.querySelectorAll('[data-t]')) el.textContent = t[el.dataset.t];
    for (const el of document.querySelectorAll('[data-title]')) el.title = t[el.dataset.title];
    byId('help').innerHTML = t.helpHtml;
    byId('help').setAttribute('aria-label', t.help);
    byId('lang').value = lang;
    showOptions();
  }

  // ---- The form: the program and its options, carried in the address ----

  const argsField = byId('args');
  const programField = byId('program');
  // Each box stands for one option word in the options field.
  const boxes = ['draw', 'trace', 'step', 'learn'].map((name) => [byId(name), '--' + name]);
  programField.value = program;
  argsField.value = argText;

  // The boxes, the program's own words and the placeholder follow the
  // program and the options field.
  function showOptions() {
    const words = splitWords(argsField.value);
    for (const [box, word] of boxes) box.checked = words.includes(word);
    const tree = programField.value === 'tree_menu';
    document.body.dataset.program = tree ? 'tree_menu' : 'queue_menu';
    argsField.placeholder = tree ? t.treePlaceholder : t.queuePlaceholder;
  }

  // The address of the page with the form's program and options, the
  // page's language and a fixed size, every character encoded (`#` too).
  function link() {
    const next = new URLSearchParams();
    next.set('program', programField.value);
    if (argsField.value.trim()) next.set('args', argsField.value.trim());
    next.set('lang', byId('lang').value);
    if (fixedSize) {
      next.set('cols', fixedCols);
      next.set('rows', fixedRows);
    }
    return location.origin + location.pathname + '?' + next.toString();
  }
  adt.link = link;

  // A change of program or option restarts the program at once: the page
  // opens its own address with the new choice.
  let leaving = false;
  function restart() {
    if (leaving) return;
    leaving = true;
    location.assign(link());
  }

  for (const [box, word] of boxes) {
    box.addEventListener('change', () => {
      const rest = splitWords(argsField.value).filter((w) => w !== word).map(quoteWord);
      argsField.value = (box.checked ? [word].concat(rest) : rest).join(' ');
      restart();
    });
  }
  argsField.addEventListener('input', showOptions);
  argsField.addEventListener('change', restart);
  programField.addEventListener('change', () => {
    argsField.value = keptOptions(splitWords(argsField.value), programField.value).map(quoteWord).join(' ');
    restart();
  });
  byId('choice').addEventListener('submit', (event) => {
    event.preventDefault();
    restart();
  });
  // The language switch restarts the program in the language chosen
  // (a --lang in the options gives way to it).
  byId('lang').addEventListener('change', () => {
    const words = splitWords(argsField.value);
    argsField.value = words.filter((w, i) => w !== '--lang' && !w.startsWith('--lang=') && words[i - 1] !== '--lang')
      .map(quoteWord).join(' ');
    restart();
  });

  // The options that another program takes too: those of the program left
  // behind go, with their values (--tree X, --file X, --tree=X).
  const OWN_OPTIONS = { tree_menu: { '--trace': 0, '--step': 0, '--tree': 1 }, queue_menu: { '--file': 1 } };
  function keptOptions(words, next) {
    const other = OWN_OPTIONS[next === 'tree_menu' ? 'queue_menu' : 'tree_menu'];
    const kept = [];
    for (let i = 0; i < words.length; i++) {
      const name = words[i].split('=')[0];
      if (!(name in other)) kept.push(words[i]);
      else if (!words[i].includes('=')) i += other[name];
    }
    return kept;
  }

  // Copy link: to the clipboard where the browser allows it; the link is
  // shown, selected, in any case.
  byId('copy').addEventListener('click', async () => {
    const address = link();
    let copied = false;
    try {
      await navigator.clipboard.writeText(address);
      copied = true;
    } catch (e) {
      copied = false;
    }
    const field = byId('link');
    field.value = address;
    field.hidden = false;
    say(copied ? t.linkCopied : t.linkShown);
    field.select();
  });

  function showHelp(open) {
    document.body.classList.toggle('help-open', open);
    byId('helpToggle').setAttribute('aria-expanded', String(open));
  }
  byId('helpToggle').addEventListener('click', () => {
    showHelp(!document.body.classList.contains('help-open'));
    fitTerminal();
  });
  // Open beside the terminal where that still leaves it about 100 columns.
  showHelp(matchMedia('(min-width: 1200px)').matches);

  // One line under the controls: a loaded file, a copied link.
  function say(text) {
    byId('statusText').textContent = text;
    byId('status').hidden = false;
  }

  // ---- The terminal ----

  const term = new Terminal({
    convertEol: true,
    cursorBlink: true,
    scrollback: 10000,
    fontSize: 15,
    // The page's own font first: it has every Chinese character the
    // programs and the page print, and nothing else, so Latin letters come
    // from the monospace fonts after it and Chinese from it on any machine.
    fontFamily: '"ADT CJK Mono", "DejaVu Sans Mono", Menlo, Consolas, "Liberation Mono", ' +
      '"Noto Sans Mono CJK SC", "Microsoft YaHei Mono", "NSimSun", "PingFang SC", monospace',
    ...(fixedSize ? { cols: fixedCols, rows: fixedRows } : {}),
  });
  const fit = new FitAddon.FitAddon();
  term.loadAddon(fit);
  term.open(byId('terminal'));

  // The font size follows the width: 15 px where the menu's 61 columns
  // fit, smaller on a narrow screen so that they do (not below 10 px), and
  // in any case small enough for 40 columns. The width of a cell comes from
  // the monospace font's W; the terminal measures its cells again only when
  // it next draws, so it is fitted again then.
  const MENU_COLS = 61;
  const MIN_COLS = 40;
  const measure = document.createElement('canvas').getContext('2d');
  function fitTerminal() {
    if (fixedSize) {
      fitRows();
      return;
    }
    const box = byId('terminal');
    const style = getComputedStyle(box);
    const width = box.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    measure.font = '100px ' + term.options.fontFamily;
    const ratio = measure.measureText('W').width / 100; // a cell's width per pixel of font size
    let size = Math.min(15, Math.max(10, width / ((MENU_COLS + 1) * ratio)));
    size = Math.floor(2 * Math.min(size, width / ((MIN_COLS + 1) * ratio))) / 2;
    term.options.fontSize = size;
    fitRows();
    fit.fit();
    requestAnimationFrame(() => fit.fit());
  }

  // The rows' height. A row is as high as the Latin font's ascent and
  // descent, and cuts off what reaches out of it; a Chinese character,
  // drawn a fifth larger (style.css), reaches about a twentieth of the size
  // above that ascent, and up to a pixel more where the baseline is rounded
  // up to a whole pixel. The rows are made a fifth of the size higher
  // (the baseline sits halfway down the added height) and whole pixels
  // high, since a row starting between pixels loses its top pixel row too.
  function fitRows() {
    const size = term.options.fontSize;
    const scale = window.devicePixelRatio || 1;
    measure.font = size + 'px ' + term.options.fontFamily;
    const latin = measure.measureText('W');
    const char = Math.ceil((latin.fontBoundingBoxAscent + latin.fontBoundingBoxDescent) * scale);
    const row = Math.ceil(char / scale + size / 5);
    term.options.lineHeight = (row * scale + 0.5) / char; // the terminal rounds rows down
  }
  fitTerminal();
  window.addEventListener('resize', fitTerminal);
  const coarse = matchMedia('(pointer: coarse)').matches;
  if (!coarse) term.focus();

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
    adt.handed = text;
    if (end) endOfInput = true;
    showStep(false);
    if (wakeReader) wakeReader();
  }

  function isWide(code) {
    return (code >= 0x1100 && code <= 0x115f) || (code >= 0x2e80 && code <= 0xa4cf) ||
      (code >= 0xac00 && code <= 0xd7a3) || (code >= 0xf900 && code <= 0xfaff) ||
      (code >= 0xfe30 && code <= 0xfe4f) || (code >= 0xff00 && code <= 0xff60) ||
      (code >= 0xffe0 && code <= 0xffe6) || (code >= 0x20000 && code <= 0x3fffd);
  }

  function erase() {
    const last = line.pop();
    if (last === undefined) return;
    const cells = isWide(last.codePointAt(0)) ? 2 : 1;
    term.write('\b'.repeat(cells) + ' '.repeat(cells) + '\b'.repeat(cells));
  }

  function input(data) {
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
        erase();
      } else if (ch === '\x04') {
        if (onEnter || endOfInput) continue;
        hand(line.join(''), line.length === 0);
        line = [];
      } else if (ch >= ' ' && !onEnter && !endOfInput) {
        line.push(ch);
        term.write(ch);
      }
    }
  }

  // A button's keys: what was typed on the line is taken back first, then
  // the keys are typed as if at the keyboard.
  function typeKeys(keys) {
    while (line.length) erase();
    input(keys);
  }

  // ---- The keys under the terminal: Enter, and the step controls ----
  //
  // The step buttons type the keys a stepped walk reads (n next, b back,
  // q to the end); play types n at the chosen speed until the walk ends
  // or the student steps by hand.
  // They work while the program waits in a frame of the walk, which ends
  // with its step's k/N.

  let playing = false;
  let playTimer = null;

  function showKeys() {
    document.body.classList.toggle('stepping', stepping);
    byId('stepKeys').hidden = !stepping;
    byId('play').textContent = playing ? t.pause : t.play;
    for (const id of ['next', 'back', 'toEnd', 'play']) byId(id).disabled = !adt.atStep && !(id === 'play' && playing);
  }

  function showStep(at) {
    adt.atStep = at;
    showKeys();
  }

  function stopPlaying() {
    playing = false;
    clearTimeout(playTimer);
    playTimer = null;
  }

  // Whether the last lines up to the cursor hold a frame's k/N (the line
  // of keys, or a line of help after it).
  function inStepFrame() {
    const buffer = term.buffer.active;
    const row = buffer.baseY + buffer.cursorY;
    for (let i = row; i >= Math.max(0, row - 2); i--) {
      const text = buffer.getLine(i).translateToString(true);
      if (/(^|\s)\d+\/\d+(\s|$)/.test(text)) return true;
    }
    return false;
  }

  function playNext() {
    clearTimeout(playTimer);
    playTimer = setTimeout(() => {
      playTimer = null;
      if (playing && adt.atStep) typeKeys('n\r');
    }, parseInt(byId('speed').value, 10));
  }

  // A step the student takes by hand (a key typed, a step button) pauses
  // play: from there the student steps.
  function byHand(act) {
    return (arg) => {
      if (playing) {
        stopPlaying();
        showKeys();
      }
      act(arg);
    };
  }

  term.onData(byHand(input));
  byId('enter').addEventListener('click', byHand(() => input('\r')));
  byId('next').addEventListener('click', byHand(() => typeKeys('n\r')));
  byId('back').addEventListener('click', byHand(() => typeKeys('b\r')));
  byId('toEnd').addEventListener('click', byHand(() => typeKeys('q\r')));
  byId('play').addEventListener('click', () => {
    if (playing) {
      stopPlaying();
      showKeys();
      return;
    }
    playing = true;
    showKeys();
    if (adt.atStep) typeKeys('n\r');
  });

  // After a button (the Enter and step keys, the how-to, a download) or
  // the speed, the keyboard goes to the terminal again, so that typing
  // goes on where it was. On a touch screen only if the terminal had it,
  // so that a tap on Enter opens no on-screen keyboard.
  let terminalHadFocus = false;
  document.addEventListener('pointerdown', () => {
    terminalHadFocus = document.activeElement === term.textarea;
  }, true);
  function backToTerminal() {
    if (!coarse || terminalHadFocus) term.focus();
  }
  for (const id of ['enter', 'next', 'back', 'toEnd', 'play', 'helpToggle', 'download'])
    byId(id).addEventListener('click', backToTerminal);
  byId('speed').addEventListener('change', backToTerminal);
  // A click anywhere in the terminal's box, also beside or below its rows
  // when its size is fixed, gives it the keyboard.
  byId('terminal').addEventListener('click', () => term.focus());

  // The program waits: the step controls follow whether it waits in a
  // frame, and play goes on or stops there.
  function waiting() {
    const at = stepping && inStepFrame();
    showStep(at);
    if (playing) {
      if (at) playNext();
      else stopPlaying();
      showKeys();
    }
  }

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

  byId('download').addEventListener('click', async () => {
    let bytes;
    try {
      await hostFile(2, folder + '/data.dat');
      bytes = FS.readFile(folder + '/data.dat');
    } catch (e) {
      alert(t.noData);
      return;
    }
    const anchor = document.createElement('a');
    anchor.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    anchor.download = 'data.dat';
    anchor.click();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 1000);
  });

  byId('upload').addEventListener('change', async (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (!file || !FS) return;
    FS.writeFile(folder + '/data.dat', new Uint8Array(await file.arrayBuffer()));
    await hostFile(1, folder + '/data.dat');
    adt.loaded++;
    byId('link').hidden = true;
    const values = Math.floor(file.size / 4); // 4-byte ints; the queue holds 99
    say(values > 99 ? t.tooMany(file.name, values) : t.loaded(file.name, values, file.size % 4));
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
    if (queued.length === 0 && !endOfInput) waiting();
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
    stopPlaying();
    showStep(false);
    term.write('\r\n\x1b[2m' + t.ended(program, status) + '\x1b[0m\r\n');
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
      arguments: programArgs,
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
      term.write('\r\n' + t.stopped(e) + '\r\n');
    });
  }

  showWords();
  showKeys();
  if (location.protocol === 'file:') {
    // A browser fetches no .wasm from a file:// address: say how to serve
    // the folder instead of failing.
    say(t.fromFile.replace(/\r\n(\r\n)?/g, ' '));
    term.write(t.fromFile + '\r\n');
    return;
  }
  if (args.unclosed) {
    // A quote left open: the words are not what the student meant, so
    // the program is not started with them.
    say(t.unclosed(args.unclosed));
    term.write(t.unclosed(args.unclosed) + '\r\n');
    return;
  }
  if (document.fonts) document.fonts.load('15px "ADT CJK Mono"', '树');

  // The program's script (index.html has it and the .wasm fetched early)
  // runs while the terminal is set up; the program starts when both are.
  const script = document.createElement('script');
  script.onload = start;
  script.onerror = () => term.write(t.cannotLoad(program + '.js') + '\r\n');
  script.src = program + '.js';
  document.head.appendChild(script);

  // The language that --lang X or --lang=X in the words asks for, if any.
  function langIn(words) {
    for (let i = 0; i < words.length; i++) {
      const value = words[i] === '--lang' ? words[i + 1] : words[i].startsWith('--lang=') ? words[i].slice(7) : null;
      if (LANGS.includes(value)) return value;
    }
    return null;
  }

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
    if (quote) words.unclosed = quote; // the quote left open, if any
    return words;
  }

  // A word as the options field writes it: quoted where it holds a blank
  // or a quote, or is empty.
  function quoteWord(word) {
    if (word && !/[\s'"]/.test(word)) return word;
    return word.includes("'") ? '"' + word + '"' : "'" + word + "'";
  }
})();
