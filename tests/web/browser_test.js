// The page in a real browser: headless Chromium (the system's) driven by
// puppeteer-core, the built site served by a plain static server of its own
// on 127.0.0.1. One test, four sessions typed at the keyboard:
//   - a tree session: a built tree walked in preorder, then option 0
//   - a queue saved to data.dat; the page reloaded; the queue loaded again
//   - a data.dat in the desktop programs' format loaded from the computer
//   - --draw at 80 x 24: the picture's first line and the prompt on screen
//
// Usage: node tests/web/browser_test.js [SITE]   (default build/web/site)
// Needs web/node_modules (scripts/install-web-deps.sh) and /usr/bin/chromium
// (or CHROMIUM=path). Ends with '1 passed, 0 failed' or '0 passed, 1 failed'.
'use strict';
const assert = require('assert');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const root = path.resolve(__dirname, '..', '..');
const puppeteer = require(path.join(root, 'web', 'node_modules', 'puppeteer-core'));
const site = path.resolve(process.argv[2] || path.join(root, 'build', 'web', 'site'));

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm',
};

// A static server of the site's files, with no special headers.
function serve() {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
    const file = path.join(site, path.normalize(name));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const state = (page) => page.evaluate(() => ({ waits: window.adt.waits, exit: window.adt.exit }));
const text = (page) => page.evaluate(() => window.adt.text());

// Waits until the program waits for input more than `after` times, or ends.
async function settled(page, after) {
  await page.waitForFunction((n) => window.adt && (window.adt.waits > n || window.adt.exit !== null),
    { timeout: 10000 }, after);
}

// Types each line and Enter, each time waiting for the program's next wait.
async function typeLines(page, lines) {
  for (const line of lines) {
    const before = (await state(page)).waits;
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
    await settled(page, before);
  }
}

async function open(page, base, query) {
  await page.goto(base + 'index.html?' + query);
  await settled(page, 0);
}

async function main() {
  const server = await serve();
  const base = 'http://127.0.0.1:' + server.address().port + '/';
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'adt-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
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

    // A tree session.
    await open(page, base, 'program=tree_menu&cols=80&rows=24');
    const firstWait = () => page.evaluate(() => Math.round(window.adt.firstWait));
    const cold = await firstWait(); // the browser's first page
    await typeLines(page, ['3', '', '', '17']);
    assert.match(await text(page), /树T前序遍历为：\nA B D H K E C F I G J \n--------The End-------/);
    await typeLines(page, ['', '', '0']);
    assert.strictEqual((await state(page)).exit, 0);

    // A queue saved, the page reloaded, the queue loaded.
    await open(page, base, 'program=queue_menu');
    const warm = await firstWait();
    await typeLines(page, ['1', '', '7', '7', '', '7', '-2', '', '10']);
    assert.match(await text(page), /文件保存成功/);
    await page.reload();
    await settled(page, 0);
    await typeLines(page, ['1', '', '11', '', '9']);
    assert.match(await text(page), /7\s+-2/, 'the saved queue after the reload');
    await typeLines(page, ['']);

    // A data.dat written as the desktop programs write it: 4-byte
    // little-endian ints, 300 and -5.
    const file = path.join(profile, 'data.dat');
    fs.writeFileSync(file, Buffer.from('2c010000fbffffff', 'hex'));
    await (await page.$('#upload')).uploadFile(file);
    await page.waitForFunction(() => window.adt.loaded === 1);
    await typeLines(page, ['11', '', '9']);
    assert.match(await text(page), /300\s+-5/, 'the loaded file');
    await typeLines(page, ['', '0']);
    assert.strictEqual((await state(page)).exit, 0);

    // --draw at 80 x 24: the picture's first line and the prompt are on
    // the screen together.
    await open(page, base, 'program=tree_menu&args=--draw&cols=80&rows=24');
    await typeLines(page, ['3', '', '']);
    const screen = (await text(page)).split('\n').slice(-24).join('\n');
    assert.match(screen, /^(Tree T .*each node as data\(position\)|树T，自上而下（结点写作 数据\(位置\)）)/m);
    assert.match(screen, /请选择你的操作\[0~20\]:/);

    assert.deepStrictEqual(errors, []);
    console.log('first prompt after navigation: %d ms in a new browser, %d ms in a running one; ' +
      'browser test %d ms', cold, warm, Date.now() - started);
    console.log('1 passed, 0 failed');
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(e);
  console.log('0 passed, 1 failed');
  process.exit(1);
});
