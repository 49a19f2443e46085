// The page in a real browser: headless Chromium (the system's) driven by
// puppeteer-core. The site zip is unpacked and served from a sub-path by a
// plain static server of its own on 127.0.0.1 (a site folder is served as
// it is). One test, sessions typed at the keyboard and the page's buttons:
//   - a tree session: a built tree walked in preorder; Ctrl-D on an empty
//     line ends the program; the Chinese drawn with the site's own font,
//     loaded for the terminal and for the page
//   - a hand-made link and a copied link with `#` in --tree
//   - a change of program restarts at once; the page's language switch
//   - a queue saved to data.dat; the page reloaded; the queue loaded again
//   - a data.dat in the desktop programs' format loaded, and confirmed
//   - --draw at 80 x 24: the picture's first line and the prompt on screen
//   - --step: the next, back and play buttons; Back pauses play; after a
//     button the keys go to the terminal
//   - a phone's 390 x 844 screen: at least 40 columns, an Enter button
//   - a quote left open in the options is said, and nothing runs
//   - the page opened as a file says how to serve its folder
// It prints the time to the first prompt and the site's gzipped size.
//
// Usage: node tests/web/browser_test.js [ZIP|SITE]   (default: the zip in
// build/web, else build/web/site). Needs web/node_modules
// (scripts/install-web-deps.sh) and /usr/bin/chromium (or CHROMIUM=path);
// without either it says so and ends with status 77 (skipped). Ends with
// '1 passed, 0 failed' or '0 passed, 1 failed'.
'use strict';
const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const root = path.resolve(__dirname, '..', '..');
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const puppeteerDir = path.join(root, 'web', 'node_modules', 'puppeteer-core');
for (const [need, what] of [[chromium, 'Chromium'], [puppeteerDir, 'puppeteer-core']]) {
  if (!fs.existsSync(need)) {
    console.log('%s not found at %s: the browser test is skipped (scripts/install-web-deps.sh installs it)',
      what, need);
    process.exit(77);
  }
}
const puppeteer = require(puppeteerDir);

// The site's folder: the zip's one folder, unpacked into tmp, or a folder.
function unpack(given, tmp) {
  const zips = fs.readdirSync(path.join(root, 'build', 'web')).filter((f) => /-web\.zip$/.test(f));
  const source = given || (zips.length === 1 ? path.join(root, 'build', 'web', zips[0])
    : path.join(root, 'build', 'web', 'site'));
  if (!source.endsWith('.zip')) return path.resolve(source);
  childProcess.execFileSync('python3', ['-m', 'zipfile', '-e', source, tmp]);
  return path.join(tmp, path.basename(source, '.zip'));
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.woff2': 'font/woff2',
};

// A static server of the site's files under PREFIX, with no special headers.
const PREFIX = '/course/menus/';
function serve(site) {
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const name = url.startsWith(PREFIX) ? url.slice(PREFIX.length) || 'index.html' : null;
    const file = name && path.join(site, path.normalize(name));
    if (!file || !file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The site's files gzipped one by one, as a server would send them.
function gzippedSize(dir) {
  let total = 0;
  for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
    const file = path.join(dir, entry.name);
    total += entry.isDirectory() ? gzippedSize(file) : zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
  }
  return total;
}

const state = (page) => page.evaluate(() => ({ waits: window.adt.waits, exit: window.adt.exit }));
const text = (page) => page.evaluate(() => window.adt.text());

// Waits until the program waits for input more than `after` times, or ends.
async function settled(page, after) {
  await page.waitForFunction((n) => window.adt && (window.adt.waits > n || window.adt.exit !== null),
    { timeout: 10000 }, after);
}

// Runs act (typing, a click) and waits for the program's next wait.
async function step(page, act) {
  const before = (await state(page)).waits;
  await act();
  await settled(page, before);
}

// Types each line and Enter, each time waiting for the program's next wait.
async function typeLines(page, lines) {
  for (const line of lines) {
    await step(page, async () => {
      await page.keyboard.type(line);
      await page.keyboard.press('Enter');
    });
  }
}

async function open(page, url) {
  await page.goto(url);
  await settled(page, 0);
}

// Navigates by doing act (a change of program, a link) and waits for the
// new page's program to wait.
async function reopen(page, act) {
  await Promise.all([page.waitForNavigation(), act()]);
  await settled(page, 0);
}

async function main() {
  const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'adt-browser-'));
  const site = unpack(process.argv[2], tmp);
  const server = await serve(site);
  const base = 'http://127.0.0.1:' + server.address().port + PREFIX;
  const profile = path.join(tmp, 'profile');
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const started = Date.now();
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(e));
    const firstWait = () => page.evaluate(() => Math.round(window.adt.firstWait));

    // A tree session; Ctrl-D on an empty line ends it. The Chinese on the
    // screen comes with the site's own font, loaded.
    await open(page, base + 'index.html?program=tree_menu&lang=zh&cols=80&rows=24');
    const cold = await firstWait(); // the browser's first page
    await typeLines(page, ['3', '', '', '17']);
    assert.match(await text(page), /树T前序遍历为：\nA B D H K E C F I G J \n--------The End-------/);
    await typeLines(page, ['', '']);
    await page.keyboard.down('Control');
    await page.keyboard.press('d');
    await page.keyboard.up('Control');
    await page.waitForFunction(() => window.adt.exit !== null);
    assert.strictEqual((await state(page)).exit, 0, 'Ctrl-D on an empty line ends the program');
    const fonts = await page.evaluate(async () => {
      await document.fonts.ready;
      return [...document.fonts].map((f) => f.family.replace(/"/g, '') + ' ' + f.status).sort();
    });
    assert.deepStrictEqual(fonts, ['ADT CJK Mono loaded', 'ADT CJK loaded'], 'the site font, for the terminal and the page');

    // A hand-made link whose # is not encoded, then the copied link: both
    // run --tree AB##C## (preorder A B C).
    await open(page, base + 'index.html?lang=zh&program=tree_menu&args=--tree+AB##C##');
    await typeLines(page, ['3', '', '', '17']);
    assert.match(await text(page), /树T前序遍历为：\nA B C \n/, 'a hand-made link with #');
    await page.click('#copy');
    await page.waitForFunction(() => !document.getElementById('link').hidden);
    const copied = await page.$eval('#link', (field) => field.value);
    assert.match(copied, /args=--tree\+AB%23%23C%23%23/);
    await open(page, copied);
    await typeLines(page, ['3', '', '', '17']);
    assert.match(await text(page), /树T前序遍历为：\nA B C \n/, 'the copied link');

    // A change of program restarts at once, without the options of the
    // program left; the language switch restarts it in the other language,
    // the page's words with it.
    await reopen(page, () => page.select('#program', 'queue_menu'));
    assert.match(await text(page), /Menu for Linear Table[^]*请选择你的操作\[0~11\]:/);
    assert.strictEqual(await page.$eval('#copy', (b) => b.textContent), '复制链接');
    await reopen(page, () => page.select('#lang', 'en'));
    assert.match(await text(page), /Choose an operation \[0~11\]:/);
    assert.strictEqual(await page.$eval('#copy', (b) => b.textContent), 'Copy link');
    assert.match(await page.evaluate(() => window.adt.link()), /\?program=queue_menu&lang=en$/);

    // A queue saved, the page reloaded, the queue loaded.
    await open(page, base + 'index.html?program=queue_menu&lang=zh');
    const warm = await firstWait();
    await typeLines(page, ['1', '', '7', '7', '', '7', '-2', '', '10']);
    assert.match(await text(page), /文件保存成功/);
    await page.reload();
    await settled(page, 0);
    await typeLines(page, ['1', '', '11', '', '9']);
    assert.match(await text(page), /7\s+-2/, 'the saved queue after the reload');
    await typeLines(page, ['']);

    // A data.dat written as the desktop programs write it: 4-byte
    // little-endian ints, 300 and -5; the page says what it loaded.
    const file = path.join(tmp, 'numbers.dat');
    fs.writeFileSync(file, Buffer.from('2c010000fbffffff', 'hex'));
    await (await page.$('#upload')).uploadFile(file);
    await page.waitForFunction(() => window.adt.loaded === 1);
    assert.strictEqual(await page.$eval('#statusText', (s) => s.textContent),
      '已把“numbers.dat”载入为 data.dat：共2个值。选择11即可读取。');
    await typeLines(page, ['11', '', '9']);
    assert.match(await text(page), /300\s+-5/, 'the loaded file');
    await typeLines(page, ['', '0']);
    assert.strictEqual((await state(page)).exit, 0);

    // --draw at 80 x 24: the picture's first line and the prompt are on
    // the screen together.
    await open(page, base + 'index.html?program=tree_menu&lang=zh&args=--draw&cols=80&rows=24');
    await typeLines(page, ['3', '', '']);
    const screen = (await text(page)).split('\n').slice(-24).join('\n');
    assert.match(screen, /^(Tree T .*each node as data\(position\)|树T，自上而下（结点写作 数据\(位置\)）)/m);
    assert.match(screen, /请选择你的操作\[0~20\]:/);

    // --step: each button types its key while a frame waits; play goes on
    // to the walk's end.
    await open(page, base + 'index.html?program=tree_menu&lang=zh&args=--step&cols=80&rows=24');
    await typeLines(page, ['3', '', '', '18']);
    const frame = async () => [...(await text(page)).matchAll(/\b(\d+)\/22\b/g)].pop()[1];
    assert.strictEqual(await page.evaluate(() => window.adt.atStep), true);
    assert.strictEqual(await frame(), '1');
    await step(page, () => page.click('#next'));
    assert.strictEqual(await frame(), '2');
    const keysToTerminal = () => page.evaluate(() => document.activeElement.matches('.xterm-helper-textarea'));
    assert.ok(await keysToTerminal(), 'after a button the keys go to the terminal');
    await step(page, () => page.click('#back'));
    assert.strictEqual(await page.evaluate(() => window.adt.handed), 'b\n', 'back types b');
    assert.strictEqual(await frame(), '1');
    // Back during play pauses it: no frame follows on its own.
    await page.select('#speed', '200');
    await page.click('#play');
    await page.waitForFunction(() => /\b4\/22\b/.test(window.adt.text()));
    await step(page, () => page.click('#back'));
    const paused = await frame();
    await new Promise((resolve) => setTimeout(resolve, 700));
    assert.strictEqual(await frame(), paused, 'Back pauses play');
    await page.click('#play');
    await page.waitForFunction(() => /--------The End-------/.test(window.adt.text()), { timeout: 30000 });
    assert.match(await text(page), /22\/22/, 'play shows every frame');
    assert.strictEqual(await page.$eval('#play', (b) => b.disabled), true);

    // A phone: at least 40 columns at 390 x 844, and an Enter button that
    // hands an empty line to the program (the menu comes again).
    const phone = await browser.newPage();
    phone.on('pageerror', (e) => errors.push(e));
    await phone.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
    await open(phone, base + 'index.html?program=tree_menu');
    const cols = await phone.evaluate(() => window.adt.cols());
    assert.ok(cols >= 40, 'columns at 390 x 844: ' + cols);
    await step(phone, () => phone.tap('#enter'));

    // A quote left open in the options is said, and nothing runs.
    await phone.goto(base + 'index.html?args=--tree+%22AB&lang=en');
    await phone.waitForFunction(() => /a " that is not closed/.test(window.adt.text()) && window.adt.waits === 0);

    // Opened as a file, the page says how to serve its folder.
    await phone.goto('file://' + path.join(site, 'index.html'));
    await phone.waitForFunction(() => /python3 -m http\.server/.test(window.adt.text()));

    assert.deepStrictEqual(errors, []);
    console.log('first prompt after navigation: %d ms in a new browser, %d ms in a running one; ' +
      '%d columns at 390 x 844; site %d bytes gzipped; browser test %d ms',
      cold, warm, cols, gzippedSize(site), Date.now() - started);
    console.log('1 passed, 0 failed');
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(tmp, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(e);
  console.log('0 passed, 1 failed');
  process.exit(1);
});
