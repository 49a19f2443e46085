// queue_menu's data.dat in two tabs of one browser (headless Chromium, the
// built site served on 127.0.0.1): a save in one tab is what a load in the
// other sees, and the other tab's options neither delete nor revert it; a
// store the browser refuses is a failed save; a name outside the kept
// folder is refused; a name's control characters are not written raw.
//
// Usage: node tests/web/tabs_test.js [SITE]   (default build/web/site)
// Needs web/node_modules (scripts/install-web-deps.sh) and /usr/bin/chromium
// (or CHROMIUM=path); without Chromium it says so and ends with status 77
// (skipped). Ends with '1 passed, 0 failed' or '0 passed, 1 failed'.
'use strict';
const assert = require('assert');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const root = path.resolve(__dirname, '..', '..');
if (!fs.existsSync(process.env.CHROMIUM || '/usr/bin/chromium')) {
  console.log('Chromium not found: the tabs test is skipped (scripts/install-web-deps.sh installs it)');
  process.exit(77);
}
const puppeteer = require(path.join(root, 'web', 'node_modules', 'puppeteer-core'));
const site = path.resolve(process.argv[2] || path.join(root, 'build', 'web', 'site'));

function serve() {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
    const file = path.join(site, path.normalize(name));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    const type = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm' };
    res.writeHead(200, { 'Content-Type': type[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const waits = (page) => page.evaluate(() => window.adt.waits);
const text = (page) => page.evaluate(() => window.adt.text());

async function settled(page, after) {
  await page.waitForFunction((n) => window.adt && (window.adt.waits > n || window.adt.exit !== null),
    { timeout: 10000 }, after);
}

async function typeLines(page, lines) {
  for (const line of lines) {
    const before = await waits(page);
    await page.bringToFront();
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
    await settled(page, before);
  }
}

async function open(browser, base, query) {
  const page = await browser.newPage();
  await page.goto(base + 'index.html?lang=zh&' + query);
  await settled(page, 0);
  return page;
}

// The elements that option 9 showed last.
async function shown(page) {
  const all = [...(await text(page)).matchAll(/-+all elements -+\n(.*)\n/g)];
  return all.length ? all[all.length - 1][1].trim().split(/\s+/).join(' ') : null;
}

async function main() {
  const server = await serve();
  const base = 'http://127.0.0.1:' + server.address().port + '/';
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'adt-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
  });
  try {
    const save = ['1', '', '7', '11', '', '7', '22', '', '10'];
    const load = ['1', '', '11', '', '9'];
    // B opens first; A saves; B's options keep A's save; B loads it.
    const b = await open(browser, base, 'program=queue_menu');
    const a = await open(browser, base, 'program=queue_menu');
    await typeLines(a, save);
    assert.match(await text(a), /文件保存成功/);
    await typeLines(b, ['5', '', ...load]);
    assert.strictEqual(await shown(b), '11 22', "tab B loads tab A's save");
    const c = await open(browser, base, 'program=queue_menu');
    await typeLines(c, load);
    assert.strictEqual(await shown(c), '11 22', 'a new tab loads it too');

    // The browser refuses the store: a failed save, and the old one kept.
    await a.evaluate(() => {
      IDBObjectStore.prototype.put = () => { throw new DOMException('full', 'QuotaExceededError'); };
    });
    await typeLines(a, ['', '7', '33', '', '10']);
    assert.match(await text(a), /文件保存失败！[^]*queue_menu: data.dat: No space left on device/);
    await typeLines(c, ['', '11', '', '9']);
    assert.strictEqual(await shown(c), '11 22', 'the failed save kept the stored one');

    // Names outside the folder the browser keeps, and a name with escapes.
    for (const name of ['../x', '/tmp/y']) {
      const page = await open(browser, base, 'program=queue_menu&args=--file%20' + encodeURIComponent(name));
      await typeLines(page, ['1', '', '10']);
      assert.match(await text(page), new RegExp('File open error\\n文件保存失败！[^]*queue_menu: ' +
        name.replace(/\./g, '\\.') + ': Not in the folder that the browser keeps'));
      await page.close();
    }
    const escapes = await open(browser, base, 'program=queue_menu&args=' +
      encodeURIComponent('--file "a\x1b[2Jb\x1b[8m"'));
    await typeLines(escapes, ['1', '', '11']);
    assert.match(await text(escapes), /FILE OPEN ERROR[^]*queue_menu: a\?\[2Jb\?\[8m: No such file/);
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
