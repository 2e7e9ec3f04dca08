// Opens the built page in a headless browser, Chromium or Firefox, and uses
// it as students would. Chromium runs every part; Firefox, driven over
// WebDriver BiDi, runs the parts that need no touch emulation, no CPU
// throttling and no performance metrics, which only Chrome's DevTools
// protocol gives: the desktop session, the two recordings (typed, not
// tapped), the page without WebAssembly, the guide, and the served page.
// On a desktop: a whole session typed into the field (one real 10 s
// recording, during which nothing typed reaches the program, the rest
// pasted), which must give the console program's transcript, with the
// screen cleared where the console clears it; then a restart, and Ctrl-D.
// On a phone: a session by taps on the number pad alone, and one typed with
// the events of Android's on-screen keyboard and of an input method's
// composition; every answer must reach the program exactly. During a
// recording on a phone the pad is held off, the time left moves, and leaving
// asks first; after a failure, a restart shows nothing of the old run. What
// a screen reader is given: each new screen once, then the counts, messages
// and prompts, never a list shown again. At 360 px nothing scrolls sideways.
// axe-core finds no accessibility violation, on either, at the main menu, in
// the distance exercise, during a recording and at the end. A browser
// without WebAssembly, or without JavaScript, is told so. There is no
// network request and no error in the browser's log. Prints the figures
// that say how light the page is, and saves screenshots into OUTDIR. Then
// the teacher's guide: its checker of a student's count and its check of a
// class must give what the guide's generator printed for the same input,
// answer bad input in words, the guide printed on A4 and on Letter must put
// the worksheets and keys on the pages it names (Chromium), and the guide
// must pass axe-core too.
// Both are also served over HTTP with the header that packaging/web-host.txt
// tells a course site to send, and no security policy may be violated.
//   BROWSER=chrome|firefox CHROMIUM=... FIREFOX=... node browser_test.mjs PAGE SESSION EXPECTED OUTDIR GUIDE HOST
// Exits with 77 (skipped) when the browser is not installed.
import { existsSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { createServer } from 'node:http';
import { crc32, deflateRawSync, gzipSync } from 'node:zlib';
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';
import puppeteer, { KnownDevices } from 'puppeteer-core';

const [pagePath, sessionPath, expectedPath, outDir, guidePath, hostPath, editionDir] = process.argv.slice(2);
const chrome = process.env.BROWSER !== 'firefox';
const executable = chrome ? process.env.CHROMIUM : process.env.FIREFOX;
if (!executable || executable.endsWith('-NOTFOUND')) {
  console.log(`skipped: no ${chrome ? 'Chromium' : 'Firefox'} was found when the build was configured; ` +
    'install it (Debian: chromium, firefox-esr) and run cmake --preset web again');
  process.exit(77);
}
const url = pathToFileURL(pagePath).href;
const answers = readFileSync(sessionPath, 'utf8').trimEnd().split('\n');
const expected = readFileSync(expectedPath, 'utf8');
// The console program clears the screen before each of these headers.
const headers = expected.match(/===== (Main menu|Part 1|Part 2) /g).length;
const axeSource = readFileSync(new URL('node_modules/axe-core/axe.min.js', import.meta.url), 'utf8');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };
const figures = [];
let sessionCsv = '';  // the desktop session's download and copy, which the guide's class check takes
let sessionTsv = '';
const adaCode = resolve(outDir, 'hand-in-code-ada.png');  // a picture of the desktop session's hand-in code

const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync'];
const browser = await puppeteer.launch(chrome ? {
  executablePath: executable,
  headless: true,
  args: chromiumFlags,
} : { browser: 'firefox', executablePath: executable, headless: true });
const label = chrome ? 'Chromium' : 'Firefox';

// A new tab on the page; `device` is puppeteer's emulation of a phone, which
// only Chromium has: Firefox opens a desktop window instead.
async function open(name, { device, viewport, before, at = url, within = at } = {}) {
  const page = await browser.newPage();
  if (device && chrome) await page.emulate(device);
  if (viewport) {
    try {
      await page.setViewport(viewport);
    } catch (error) {
      // Firefox ESR 140, as Debian 12 has it without its security updates,
      // has no emulation.setScreenOrientationOverride: the tab keeps the
      // window's size, and the test goes on.
      if (chrome || !/setScreenOrientationOverride/.test(String(error))) throw error;
      console.log(`${name}: this Firefox cannot set the screen's size and orientation; the window's are kept`);
    }
  }
  await page.evaluateOnNewDocument(listenToLiveRegion);
  if (before) await page.evaluateOnNewDocument(before);
  // The page holds its program's WebAssembly; any request but the page's
  // own would be one too many.
  watch(page, name, within);
  const lab = (expression) => page.evaluate(`window.countingLab.${expression}`);
  const until = (expression, timeout = 5000, polling = 10) =>
    page.waitForFunction(`window.countingLab && window.countingLab.${expression}`, { timeout, polling });
  const opened = Date.now();
  await page.goto(at);
  await page.bringToFront();  // where the keyboard types
  return { page, lab, until, opened };
}

// What a screen reader hears: each new text of the page's live region, in
// window.heard.
// Watched from the first byte of the page, before its script can speak.
function listenToLiveRegion() {
  window.heard = [];
  new MutationObserver((records) => {
    const region = document.getElementById('spoken');
    if (region && records.some((record) => record.target === region || region.contains(record.target))) {
      window.heard.push(region.textContent);
    }
  }).observe(document, { childList: true, characterData: true, subtree: true });
}
// The words heard, less the mark that makes the same words again news.
const heardWords = async (page) => (await page.evaluate(() => window.heard)).map((words) => words.replace(/\u00a0+$/, ''));

// Fails the test on any request but the page itself (or, for a served
// folder, the folder's own files), any error in the browser's log, and any
// violation of the page's security policy.
function watch(page, name, within) {
  page.on('request', (request) => {
    const asked = request.url();
    const allowed = within.endsWith('/') ? asked.startsWith(within) : asked === within;
    if (!allowed && !asked.startsWith('data:')) check(false, `${name}: request ${asked}`);
  });
  page.on('console', (message) => check(message.type() !== 'error', `${name}: logged ${message.text()}`));
  page.on('pageerror', (error) => check(false, `${name}: ${error.message}`));
}
const violations = (page) => page.evaluate(() => window.violations || []);
const noteViolations = () => {
  window.violations = [];
  document.addEventListener('securitypolicyviolation', (event) =>
    window.violations.push(`${event.violatedDirective} ${event.blockedURI}`));
};

// A .zip of these files, each deflated, as an LMS's "download all" gives it.
function zipOf(files) {
  const parts = [];
  const directory = [];
  let offset = 0;
  for (const { name, data } of files) {
    const raw = Buffer.from(data);
    const packed = deflateRawSync(raw);
    const path = Buffer.from(name);
    const head = (size, signature, at) => {
      const b = Buffer.alloc(size);
      b.writeUInt32LE(signature, 0);
      b.writeUInt16LE(20, 4);
      b.writeUInt16LE(8, at);  // deflated
      b.writeUInt32LE(crc32(raw), at + 6);
      b.writeUInt32LE(packed.length, at + 10);
      b.writeUInt32LE(raw.length, at + 14);
      b.writeUInt16LE(path.length, at + 18);
      return b;
    };
    const central = head(46, 0x02014b50, 10);
    central.writeUInt32LE(offset, 42);
    parts.push(head(30, 0x04034b50, 8), path, packed);
    directory.push(central, path);
    offset += 30 + path.length + packed.length;
  }
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054b50, 0);
  end.writeUInt16LE(files.length, 8);
  end.writeUInt16LE(files.length, 10);
  end.writeUInt32LE(Buffer.concat(directory).length, 12);
  end.writeUInt32LE(offset, 16);
  return Buffer.concat([...parts, ...directory, end]);
}

// The table of the measurements after the desktop session's two
// recordings: its rows, their counts reproduced by the program from their
// seconds, the CSV, the copy, a reload, a new tab, and clearing it.
async function measurementsAreKept({ page, lab }, counts) {
  const rows = await lab('rows');
  check(rows.length === 2 && rows[0].exercise === 1 && rows[0].source === 3 && rows[0].activity_bq === 10.3 &&
    rows[0].t_s === 10 && rows[1].exercise === 2 && rows[1].distance_cm === 2.5 && rows[1].t_s === 10 &&
    rows.every((row, i) => row.N === counts[i] && Number.isInteger(row.second)),
  `the table's rows are ${JSON.stringify(rows)}, the counts shown ${JSON.stringify(counts)}`);
  const shown = await page.$$eval('#rows tr', (trs) => trs.map((tr) => [...tr.cells].map((td) => td.textContent)));
  check(shown.length === 2 && shown[0].slice(0, 6).join('|') === `1|1|3 (10.3 Bq)||10|${counts[0]}` &&
    shown[1].slice(0, 6).join('|') === `2|2||2.5|10|${counts[1]}` && shown.every((row) => /^\d\d:\d\d:\d\d$/.test(row[6])),
  `the table shows ${JSON.stringify(shown)}`);
  for (const row of rows) {
    const again = await page.evaluate((r) => window.countingLab.reproduce(r), row);
    check(again === row.N, `the program gives ${again}, not ${row.N}, for ${JSON.stringify(row)} again`);
  }
  // The program has ended; leaving still asks while the counts are not handed in.
  const asks = () => page.evaluate(() => {
    const leaving = new Event('beforeunload', { cancelable: true });
    window.dispatchEvent(leaving);
    return leaving.defaultPrevented;
  });
  check(await asks(), 'leaving does not ask while the counts are not handed in');
  // Whose they are: the name, kept with the table, heads it and the CSV.
  check(await page.$eval('#table-actions', (a) => !a.hidden && getComputedStyle(a).display !== 'none'), 'no buttons');
  await page.type('#student-name', 'Ada Lovelace');
  check((await page.$eval('#measurements-title', (h) => h.textContent)) === "Ada Lovelace's measurements",
    'the table does not say whose it is');
  const utc = (second) => new Date(second * 1000).toISOString().replace('.000Z', 'Z');
  const csv = 'student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n' +
    `Ada Lovelace,1,3,10.3,,10,${counts[0]},${utc(rows[0].second)}\r\n` +
    `Ada Lovelace,2,,,2.5,10,${counts[1]},${utc(rows[1].second)}\r\n`;
  check((await lab('csv()')) === csv, `the CSV is ${JSON.stringify(await lab('csv()'))}`);
  sessionCsv = csv;
  figures.push(`the CSV of the desktop session:\n  ${csv.trim().replace(/\r\n/g, '\n  ')}`);
  // Downloaded as a file where the test can say where downloads go (Chromium).
  const today = new Date();
  const name = `counting-lab-Ada-Lovelace-${today.getFullYear()}-${String(today.getMonth() + 1).padStart(2, '0')}-` +
    `${String(today.getDate()).padStart(2, '0')}.csv`;
  let downloaded = null;  // the suggested name, and the file once it is complete
  if (chrome) {
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allowAndName', downloadPath: resolve(outDir), eventsEnabled: true });
    downloaded = new Promise((done) => {
      let suggested = null;
      cdp.on('Browser.downloadWillBegin', (event) => { suggested = event.suggestedFilename; });
      cdp.on('Browser.downloadProgress', (event) => {
        if (event.state !== 'inProgress') done({ suggested, file: resolve(outDir, event.guid), state: event.state });
      });
    });
  }
  await page.click('#download');
  if (chrome) {
    const got = await Promise.race([downloaded, sleep(10000).then(() => ({ state: 'not finished in 10 s' }))]);
    check(got.state === 'completed' && got.suggested === name && readFileSync(got.file, 'utf8') === csv,
      `the download: ${JSON.stringify(got)}`);
    if (got.file) rmSync(got.file, { force: true });
  }
  check((await page.$eval('#table-note', (n) => n.textContent)).includes(name), 'no word of the download');
  check(!(await asks()), 'leaving asks after the counts were downloaded');
  // Copied: to the clipboard, or selected where the browser refuses it.
  await page.click('#copy');
  await page.waitForFunction(() => /Copied|selected/.test(document.getElementById('table-note').textContent), { timeout: 5000 });
  const tsv = await lab('tsv()');
  check(tsv === csv.replace(/,/g, '\t').replace(/\r\n/g, '\n'), `the copied table is ${JSON.stringify(tsv)}`);
  sessionTsv = tsv;
  // Shown as a hand-in code: the name and the rows, each time after the one
  // before. The guide reads a picture of it.
  rmSync(adaCode, { force: true });
  await page.click('#show-code');
  const code = `CL1 1/1 Ada Lovelace\n3 10 ${counts[0]} ${rows[0].second}\nd2.5 10 ${counts[1]} ${rows[1].second - rows[0].second}`;
  check(JSON.stringify(await lab('codes')) === JSON.stringify([code]) &&
    /^Shown as a hand-in code/.test(await page.$eval('#table-note', (n) => n.textContent)) && !(await asks()),
  `the hand-in code: ${JSON.stringify(await lab('codes'))}`);
  await (await page.$('#code-image')).screenshot({ path: adaCode });
  // Kept on the device: across a reload, and in a tab opened after this one closes.
  await page.reload();
  await page.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 5000 });
  check((await lab('rows')).length === 2 && (await lab('student')) === 'Ada Lovelace', 'the table was lost in a reload');
  check(/Kept 2 measurements of Ada Lovelace/.test(await page.$eval('#table-note', (n) => n.textContent)),
    'no word of what was kept');
  const other = await browser.newPage();
  await other.goto(url);
  await other.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 5000 });
  check((await other.evaluate(() => window.countingLab.rows.length)) === 2, 'another tab lost the table');
  await other.close();
  const afterClosing = await browser.newPage();  // a tab opened after one was closed
  await afterClosing.goto(url);
  await afterClosing.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 5000 });
  check((await afterClosing.evaluate(() => window.countingLab.rows.length)) === 2, 'a closed tab took the table with it');
  await afterClosing.close();
  // Clearing asks first.
  await page.bringToFront();
  await page.click('#clear');
  check(await page.$eval('#asking', (a) => !a.hidden), 'clearing the table does not ask');
  await page.click('#clear-no');
  check((await lab('rows')).length === 2, 'keeping the table cleared it');
  await page.click('#clear');
  await page.click('#clear-yes');
  check((await lab('rows')).length === 0 && (await page.$eval('#table', (t) => t.hidden)), 'the table was not cleared');
}

// The web edition, served from a folder of a course site (here /lab/ on
// 127.0.0.1) with the header of packaging/web-host.txt: its worker is
// active after the first visit, Chromium finds it installable, and with
// the server stopped the page and the guide load from the worker's cache
// and a 10 s recording gives its count; a second version's worker then
// takes over at the next visit and leaves only its own cache.
async function webEdition() {
  const header = readFileSync(hostPath, 'utf8').match(/^Content-Security-Policy: (.*)$/m)[1];
  const types = { html: 'text/html; charset=utf-8', js: 'text/javascript', webmanifest: 'application/manifest+json',
    png: 'image/png', svg: 'image/svg+xml', txt: 'text/plain' };
  let version = null;  // null: as built; else the version that the served worker says
  const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://here').pathname;
    if (path === '/') {  // the site's own page, outside the edition
      response.writeHead(200, { 'Content-Type': types.html, 'Content-Security-Policy': header }).end('<!DOCTYPE html><title>site</title><link rel="icon" href="data:,">');
      return;
    }
    const name = path === '/lab/' ? 'index.html' : path.slice('/lab/'.length);
    const file = resolve(editionDir, name);
    if (!path.startsWith('/lab/') || name.includes('/') || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    let body = readFileSync(file);
    if (version && name === 'service-worker.js') {
      body = Buffer.from(body.toString().replace(/'counting-lab-[^']*'/, `'counting-lab-${version}'`));
    }
    response.writeHead(200, { 'Content-Type': types[name.split('.').pop()], 'Content-Security-Policy': header,
      'Cache-Control': 'no-cache' });
    response.end(body);
  });
  const serve = (port = 0) => new Promise((done) => server.listen(port, '127.0.0.1', done));
  const stop = () => new Promise((done) => {
    server.closeAllConnections();
    server.close(done);
  });
  await serve();
  const port = server.address().port;
  const at = `http://127.0.0.1:${port}/lab/`;
  const caches = (page) => page.evaluate(() => window.caches.keys());
  try {
    const edition = await open('web edition', { at, before: noteViolations });
    const { page, lab, until } = edition;
    page.on('dialog', (dialog) => dialog.accept());  // leaving after a count asks first
    await until('reading');
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const kept = await caches(page);
    check(kept.length === 1 && /^counting-lab-\d/.test(kept[0]), `the worker's caches: ${JSON.stringify(kept)}`);
    if (chrome) {
      const cdp = await page.createCDPSession();
      const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
      check(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
      figures.push(`web edition: installability errors ${JSON.stringify(installabilityErrors)}`);
    }
    // No network: the server stopped (and, in Chromium, the page offline too).
    await stop();
    if (chrome) await page.setOfflineMode(true);
    await page.reload();
    await until('reading');
    check((await lab('output')).startsWith('===== Main menu'), 'offline, the page did not show the main menu');
    const firstPrompt = await lab('firstPromptMs');
    for (const answer of ['1', '3', '10']) {
      await until('reading');
      await page.keyboard.type(answer);
      await page.keyboard.press('Enter');
    }
    await until('recording');
    await until('reading && window.countingLab.output.includes("N = ")', 15000, 500);
    const count = /N = \d+/.exec(await lab('output'))[0];
    figures.push(`web edition offline: first prompt ${Math.round(firstPrompt)} ms after the reload began, then ${count}`);
    check((await violations(page)).length === 0, `web edition: ${await violations(page)}`);
    await page.goto(`${at}teaching-guide.html`);
    await page.waitForFunction('window.checkerReady', { timeout: 5000 });
    check((await violations(page)).length === 0, `web edition's guide: ${await violations(page)}`);
    // A second version: found at the next visit, in charge at the one after.
    version = 'second';
    await serve(port);
    if (chrome) await page.setOfflineMode(false);
    await page.goto(at);
    await until('reading');
    // The new worker has its files before the old page goes: it waits, and
    // takes over once no page of the old version is open.
    const waiting = await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      await registration.update();
      for (let waited = 0; waited < 10000 && !registration.waiting; waited += 100) {
        await new Promise((done) => setTimeout(done, 100));
      }
      return registration.waiting !== null;
    });
    check(waiting, 'the second version\'s worker was not installed at the next visit');
    await page.close();
    // Looked at from a page of the site outside the edition, which no worker controls.
    const site = `http://127.0.0.1:${port}/`;
    const outside = await open('the site, outside the edition', { at: site, within: site });
    let now = [];
    for (let waited = 0; waited < 10000; waited += 250) {
      now = await caches(outside.page);
      if (now.length === 1 && now[0] === 'counting-lab-second') break;
      await sleep(250);
    }
    check(now.length === 1 && now[0] === 'counting-lab-second', `after a second version the caches are ${JSON.stringify(now)}`);
    await outside.page.close();
    const next = await open('web edition, second version', { at, before: noteViolations });
    await next.until('reading');
    check(JSON.stringify(await caches(next.page)) === '["counting-lab-second"]', 'the second version mixed with the first');
    await next.page.close();
  } finally {
    if (server.listening) await stop();
  }
}

// The time left reaches 0 as the count comes, not before it.
async function countsDownToTheCount(lab, t) {
  const [shown, early] = [await lab('leftAtCount'), await lab('zeroEarlyMs')];
  check(shown === '0 s left' && early !== null && early < 750,
    `a recording of ${t}: at the count the page showed "${shown}", "0 s left" ${early} ms before it`);
  figures.push(`a recording of ${t}: "0 s left" ${early} ms before the count`);
}
const focused = (page) => page.evaluate(() => document.activeElement && document.activeElement.id);
const logText = (page) => page.$eval('#log', (log) => log.textContent);

async function audit(page, where) {
  // Run from the test's side: the page's own policy lets no injected script in.
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.evaluate(axeSource);
  const result = await page.evaluate(() => window.axe.run(document, {
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'] },
  }));
  for (const v of result.violations) {
    check(false, `axe, ${where}: ${v.id} (${v.help}) at ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  }
  figures.push(`axe ${where}: ${result.violations.length} violations, ${result.passes.length} rules passed`);
}

try {
  // --- A desktop: the whole session, as at a console.
  {
    const { page, lab, until, opened } = await open('desktop', { viewport: { width: 1280, height: 800 } });
    await until('reading');
    // Timings vary with the machine, so they are reported, not checked.
    const loaded = await page.evaluate(() => performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd);
    const firstPromptMs = await lab('firstPromptMs');
    figures.push(`first prompt ${Math.round(firstPromptMs)} ms after the page began to load, ` +
      `${Math.round(firstPromptMs - loaded)} ms after its HTML was read (${Date.now() - opened} ms after page.goto)`);
    check((await focused(page)) === 'field', 'the field has no focus when the page opens');
    await audit(page, 'desktop, main menu');
    const type = async (line) => {
      await page.keyboard.type(line);
      await page.keyboard.press('Enter');
    };
    const recordingAt = answers.indexOf('10');
    for (const answer of answers.slice(0, recordingAt + 1)) {
      await until('reading');
      await type(answer);
    }
    // Typed while the recording runs: held off, neither shown nor answered.
    await until('recording');
    const handed = (await lab('lines')).length;
    await type(answers[recordingAt + 1]);
    const shown = await logText(page);
    check(/t \(s\) = 10\nRecording in progress \.\.\.\n$/.test(shown), `not the screen of a recording:\n${shown}`);
    check((await lab('lines')).length === handed, 'a line typed during the recording reached the program');
    check((await focused(page)) === 'field', 'the field lost the focus after an answer');
    if (await page.evaluate(() => 'wakeLock' in navigator)) {
      check(['held', 'refused'].includes(await lab('wakeLock')), 'no wake lock asked for during the recording');
    }
    await page.screenshot({ path: `${outDir}/desktop.png` });
    // The rest of the recording, looked in on seldom so as not to load the
    // page that is measured.
    const before = chrome ? await page.metrics() : null;
    const started = Date.now();
    await until('output.includes("N = ")', 15000, 1000);
    const ended = Date.now();
    figures.push(`count shown ${(await lab('lastWrite')) % 1000} ms after the second ticked`);
    if (chrome) {
      const after = await page.metrics();
      const busy = (after.TaskDuration - before.TaskDuration) / ((ended - started) / 1000);
      figures.push(`renderer busy ${(100 * busy).toFixed(2)} % of ${((ended - started) / 1000).toFixed(1)} s of recording`);
      check(busy < 0.01, 'the renderer was busy 1 % or more of the recording');
    }
    check((await lab('wakeLock')) !== 'held', 'the wake lock was kept after the count');
    await countsDownToTheCount(lab, '10 s');
    // A screen reader heard the new screen once, then, after the unknown
    // source 9, only the prompt, and after the recording only the count
    // and the prompt: never the source list again, nor the echo.
    const heard = await heardWords(page);
    check(heard[0].startsWith('===== Main menu') && heard[0].endsWith('Waiting for your choice:'),
      `the first screen was not spoken in full: ${JSON.stringify(heard[0])}`);
    const afterNine = heard[heard.indexOf(heard.find((words) => words.startsWith('===== Part 1'))) + 1];
    check(afterNine === 'Waiting for your choice:', `after "9" a screen reader heard ${JSON.stringify(afterNine)}`);
    check(/^N = \d+\nWaiting for your choice:$/.test(heard[heard.length - 1]),
      `after the recording a screen reader heard ${JSON.stringify(heard[heard.length - 1])}`);
    check(heard.every((words) => !/^(1|9|3|abc|5|10)$/m.test(words)), 'a screen reader heard an echoed answer');
    // The line typed during the recording, now; Enter on an empty line hands nothing.
    await until('reading');
    await page.keyboard.press('Enter');
    await type(answers[recordingAt + 1]);
    check((await lab('lines')).length === handed + 1, 'an empty line was handed to the program');

    // The rest, pasted in one go over a selected "99": several lines answer
    // several prompts, and the selection is replaced.
    await until('reading');
    const leftInField = await page.evaluate((text, withDataTransfer) => {
      // Firefox lets no script fill a DataTransfer for an event; it takes the text as `data` instead.
      const pasted = new DataTransfer();
      pasted.setData('text/plain', text);
      const contents = withDataTransfer ? { clipboardData: pasted } : { dataType: 'text/plain', data: text };
      const field = document.getElementById('field');
      field.value = '99';
      field.setSelectionRange(0, 2);
      field.dispatchEvent(new ClipboardEvent('paste', { ...contents, bubbles: true, cancelable: true }));
      return field.value;
    }, answers.slice(recordingAt + 2).join('\r\n') + '\r\n', chrome);
    check(leftInField === '', `pasted over a selection, the field kept "${leftInField}"`);
    await until('exitStatus !== null');
    const raw = await lab('output');
    const output = raw.replace(/N = \d+\n/, 'N = <count>\n');
    check(output === expected, `the transcript differs:\n--- expected\n${JSON.stringify(expected)}\n` +
      `--- got\n${JSON.stringify(output)}`);
    const clears = await lab('clears');
    check(clears.length === headers && clears.every((at) => /^===== (Main menu|Part 1|Part 2) /.test(raw.slice(at))),
      `the screen was cleared at ${JSON.stringify(clears)}, not before each of the ${headers} headers`);
    await audit(page, 'desktop, the end');
    check((await lab('exitStatus')) === 0, 'exit status not 0');
    check((await page.$eval('#note', (e) => e.textContent)).includes('has ended'), 'no word that it ended');
    check((await focused(page)) === 'again', 'the restart button has no focus at the end');

    // Started again: the distance exercise, then Ctrl-D on an empty line ends the input.
    await page.click('#again');
    await until('reading && window.countingLab.runs === 2');
    check((await focused(page)) === 'field', 'the field has no focus after a restart');
    await type('2');
    await until('reading && window.countingLab.output.endsWith("= ")');
    await audit(page, 'desktop, distance exercise');
    // The program's number grammar: none of these is a number, and a comma gets a hint.
    for (const word of ['2,5', '0x14', 'nan']) {
      await type(word);
      await until(`reading && window.countingLab.lines.length === ${['2,5', '0x14', 'nan'].indexOf(word) + 2}`);
      if (word === '2,5') check(/point/.test(await page.$eval('#note', (n) => n.textContent)), 'no hint after "2,5"');
    }
    const refused = await lab('output');
    check(refused.split('Not a number!').length - 1 === 3 && !refused.includes('Recording'),
      `"2,5", "0x14" or "nan" read as a number:\n${refused}`);
    // A second real recording, of the distance exercise: 2.5 cm for 10 s.
    await type('2.5');
    await until('reading && window.countingLab.output.endsWith("t(s) = ")');
    await type('10');
    await until('recording');
    await until('reading && window.countingLab.output.endsWith("d(cm) = ")', 15000, 500);
    await page.keyboard.down('Control');
    await page.keyboard.press('d');
    await page.keyboard.up('Control');
    await until('exitStatus !== null');
    check((await lab('output')).endsWith('= \n'), 'Ctrl-D did not end the input with a line break');
    await measurementsAreKept({ page, lab }, [raw, await lab('output')].map((text) => Number(/N = (\d+)\n/.exec(text)[1])));
    await page.close();
  }

  // --- A phone: taps on the number pad alone.
  const phone = KnownDevices['Pixel 5'];
  if (chrome) {
    const { page, lab, until } = await open('phone, pad', { device: phone });
    await until('reading');
    check(await page.$eval('#pad', (pad) => getComputedStyle(pad).display !== 'none'), 'no number pad on a phone');
    check((await page.$eval('#field', (field) => field.inputMode)) === 'none', 'the phone shows its own keyboard');
    const sizes = await page.$$eval('#pad button', (keys) => keys.map((key) => {
      const { width, height } = key.getBoundingClientRect();
      return { width, height };
    }));
    check(sizes.length === 14 && sizes.every((r) => r.width >= 48 && r.height >= 48), 'pad keys under 48 x 48 px');
    await audit(page, 'phone, main menu');
    const tap = async (...names) => {
      for (const name of names) await page.tap(`::-p-aria([name="${name}"][role="button"])`);
    };
    await tap('2', 'enter');
    await until('reading && window.countingLab.output.endsWith("= ")');
    await audit(page, 'phone, distance exercise');
    await page.setViewport({ width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
    await tap('9', 'enter', '7', 'backspace', 'point', '5', 'enter', 'minus', '1', 'enter', '0', 'enter');
    await until('exitStatus !== null');
    check(JSON.stringify(await lab('lines')) === JSON.stringify(['2\n', '9\n', '.5\n', '-1\n', '0\n']),
      `the pad's answers arrived as ${JSON.stringify(await lab('lines'))}`);
    await page.close();
  }

  // --- Two phones side by side, each through one 10 s recording of Part 1
  // (in Firefox, two desktop windows, typed into).
  const typed = { enter: 'Enter', backspace: 'Backspace', minus: '-', point: '.' };
  const tap = (page, ...names) => names.reduce((done, name) => done.then(() => (chrome
    ? page.tap(`::-p-aria([name="${name}"][role="button"])`)
    : page.keyboard.press(typed[name] || name))), Promise.resolve());
  const asksBeforeLeaving = (page) => page.evaluate(() => {
    const leaving = new Event('beforeunload', { cancelable: true });
    window.dispatchEvent(leaving);
    return leaving.defaultPrevented;
  });
  const startRecording = async ({ page, until }, time = ['1', '0']) => {
    await until('reading');
    await tap(page, '1', 'enter', '3', 'enter', ...time, 'enter');
    await until('recording');
  };
  const timeLeft = (page) => page.$eval('#left', (left) => left.textContent);
  // One records 10.4 s on: the pad is held off, the time left moves and is 0
  // when the count comes, leaving asks first, and after the count the next
  // prompt waits for a new answer.
  const holdsOff = (async () => {
    const phone = await open('phone, recording', { device: KnownDevices['Pixel 5'] });
    const { page, lab, until } = phone;
    await until('reading');
    await tap(page, '2', 'backspace');
    check(!(await asksBeforeLeaving(page)), 'leaving asks before any count');
    await startRecording(phone, ['1', '0', 'point', '4']);
    const disabled = await page.$$eval('#pad button', (keys) => keys.every((key) => key.disabled));
    check(disabled, 'the pad keys are not disabled during a recording');
    const handed = (await lab('lines')).length;
    await tap(page, '1', '0', 'enter', 'minus');
    check((await lab('lines')).length === handed && (await page.$eval('#field', (f) => f.value)) === '',
      'taps during a recording reached the program');
    check(await asksBeforeLeaving(page), 'leaving does not ask during a recording');
    const first = await timeLeft(page);
    await audit(page, chrome ? 'phone, during a recording' : 'desktop, during a recording');
    await page.screenshot({ path: `${outDir}/phone-recording.png` });
    await sleep(2100);
    const later = await timeLeft(page);
    check(/^\d+ s left$/.test(first) && parseInt(later, 10) < parseInt(first, 10),
      `the time left did not move: "${first}", then "${later}"`);
    await until('output.includes("N = ")', 15000, 200);
    await countsDownToTheCount(lab, '10.4 s');
    await until('reading');
    await sleep(300);
    check((await lab('lines')).length === handed && (await lab('reading')),
      'the prompt after the count did not wait for a new answer');
    check(!(await page.$eval('#recording', (bar) => bar.hidden === false)), 'the time left stays after the count');
    check(await asksBeforeLeaving(page), 'leaving does not ask after a count');
    // The field is described by the question asked now: the menu of sources.
    const described = await page.$eval('#range', (range) => range.textContent);
    check(described === 'Enter source number (1-5) or 0 to return to the main menu.',
      `after a count the field is described as "${described}"`);
    await page.screenshot({ path: `${outDir}/phone-count.png` });
    await page.evaluate(() => localStorage.clear());  // no count kept for the next page
    await page.close();
  })();
  // The other fails during its recording and is started again: nothing of
  // the old run, its count or its list, reaches the new one.
  const restarts = (async () => {
    const phone = await open('phone, failure', { device: KnownDevices['Pixel 5'] });
    const { page, lab, until } = phone;
    await startRecording(phone);
    await page.evaluate(() => window.dispatchEvent(new ErrorEvent('error', { message: 'a failure planted by the test' })));
    await page.waitForSelector('.failure[role="alert"]', { timeout: 5000 });
    check(!(await asksBeforeLeaving(page)), 'leaving asks after the program stopped');
    await (chrome ? page.tap('#again') : page.click('#again'));
    await until('reading && window.countingLab.runs === 2');
    await tap(page, '2', 'enter');
    await sleep(11000);  // past the end of the old run's recording
    const text = await logText(page);
    check(!text.includes('N = ') && !text.includes('A = ') && (await lab('output')).startsWith('===== Main menu'),
      `the old run wrote into the new one:\n${text}`);
    check(JSON.stringify(await lab('lines')) === JSON.stringify(['2\n']) && text.includes('===== Part 2'),
      'the answer after the restart did not go to the new run');
    check(await page.$$eval('.failure', (notes) => notes.length === 0), 'the failure is still shown after the restart');
    await page.close();
  })();
  await Promise.all([holdsOff, restarts]);

  // --- A phone's keyboard user: a pad key pressed from the keyboard keeps
  // the focus; an answer with a comma gets a hint to type a point.
  if (chrome) {
    const { page, lab, until } = await open('phone, keys', { device: KnownDevices['Pixel 5'] });
    await until('reading');
    await page.focus('[data-key="2"]');
    await page.keyboard.press('Enter');
    await page.keyboard.press('Enter');
    check(await page.evaluate(() => document.activeElement.dataset.key === '2'), 'a pad key pressed from the keyboard lost the focus');
    check((await page.$eval('#field', (f) => f.value)) === '22', 'the pad key pressed from the keyboard did not type');
    await page.focus('#field');
    await page.keyboard.type(',5');
    await page.keyboard.press('Enter');
    await until('reading && window.countingLab.lines.length === 1');
    check(/point/.test(await page.$eval('#note', (n) => n.textContent)), 'no hint to type a point after "22,5"');
    await page.close();
  }

  // --- A browser that keeps nothing (a private window, a full quota): the
  // table still works in the page, and the page says once that a reload loses it.
  // (Chromium only: Firefox lets no preload script of a file: page touch its storage.)
  if (chrome) {
    const kept = JSON.stringify({ student: 'Cy', rows: [{ N: 31, exercise: 1, source: 1, activity_bq: 2.1,
      distance_cm: 0, t_s: 10, second: 1796790020 }] });
    const { page, lab, until } = await open('no storage', { before: `localStorage.setItem('counting-lab measurements',
      ${JSON.stringify(kept)}); Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };` });
    await until('reading');
    await page.click('#clear');
    await page.click('#clear-yes');
    const said = await page.$eval('#table-note', (n) => n.textContent);
    check((await lab('rows')).length === 0 && /keeps no table/.test(said), `with no storage: ${JSON.stringify(said)}`);
    await page.close();
  }

  // --- A phone at 360 px, at 320 px, and zoomed to 200 % (a viewport of half
  // its size, down to 160 px wide): the layout with three measurements in
  // the table, and screenshots in both orientations.
  if (chrome) {
    const kept = [1, 2, 3].map((i) => ({ N: 30 + i, exercise: i === 3 ? 2 : 1, source: i === 3 ? 0 : i,
      activity_bq: [0, 2.1, 5.0][i] || 0, distance_cm: i === 3 ? 2.5 : 0, t_s: 10, second: 1796790000 + 20 * i }));
    const { page, until } = await open('phone, 360 px', { device: phone, before: `localStorage.setItem(
      'counting-lab measurements', ${JSON.stringify(JSON.stringify({ student: 'Ben', rows: kept }))})` });
    await page.setViewport({ width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
    await until('reading');
    await page.type('#field', '2');
    await page.keyboard.press('Enter');
    await until('reading && window.countingLab.output.endsWith("= ")');
    await page.type('#field', '2.5');
    const layout = () => page.evaluate(() => {
      const log = document.getElementById('log');
      const text = [...log.childNodes].find((node) => node.data.includes('5.0 cm'));
      const range = document.createRange();
      const at = text.data.indexOf('5.0 cm');
      range.setStart(text, at);
      range.setEnd(text, at + 3);
      const smallest = Math.min(...[...document.querySelectorAll('#screen, #field, #bar, #pad button')]
        .map((e) => parseFloat(getComputedStyle(e).fontSize)));
      return {
        sideways: document.documentElement.scrollWidth > document.documentElement.clientWidth,
        pieces: new Set([...range.getClientRects()].map((r) => Math.round(r.top))).size,
        smallest,
        fieldShown: document.getElementById('field').getBoundingClientRect().bottom <=
          document.getElementById('screen').getBoundingClientRect().bottom,
        // Lines of the console in view, the prompt's among them.
        lines: document.getElementById('screen').clientHeight / parseFloat(getComputedStyle(log).lineHeight),
        rows: document.querySelectorAll('#rows tr').length,
      };
    });
    const sizes = [[360, 740, 2], [740, 360, 2], [320, 568, 2], [196, 425, 4], [425, 196, 4], [187, 333, 4],
      [160, 300, 4]];
    for (const [width, height, deviceScaleFactor] of sizes) {
      await page.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor });
      await sleep(100);  // the page keeps the field in view on resize
      const seen = await layout();
      const size = `${width} x ${height}`;
      check(!seen.sideways, `${size}: the page scrolls sideways`);
      if (width >= 320) check(seen.pieces === 1, `${size}: "5.0" is broken across lines`);
      check(seen.smallest >= 14, `${size}: text of ${seen.smallest} px`);
      check(seen.fieldShown, `${size}: the field is out of view`);
      check(seen.lines >= 5, `${size}: ${seen.lines.toFixed(1)} lines of the console in view`);
      check(seen.rows === 3, `${size}: ${seen.rows} rows in the table, not the 3 kept`);
      await page.screenshot({ path: `${outDir}/phone-${width}x${height}.png`, fullPage: width === 320 });
    }
    await page.close();
  }

  // --- A phone: typed through the field as Android's keyboard sends it, 60 ms
  // between keys, and one answer through an input method's composition.
  if (chrome) {
    const { page, lab, until } = await open('phone, keyboard', { device: phone });
    const cdp = await page.createCDPSession();
    const key229 = { windowsVirtualKeyCode: 229, nativeVirtualKeyCode: 229, key: 'Unidentified', code: '' };
    const typeAndroid = async (text) => {
      for (const ch of text) {
        await cdp.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...key229 });
        await cdp.send('Input.insertText', { text: ch });
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', ...key229 });
        await sleep(60);
      }
      await page.keyboard.press('Enter');
    };
    const compose = async (text) => {
      for (let n = 1; n <= text.length; n += 1) {
        await cdp.send('Input.imeSetComposition', { text: text.slice(0, n), selectionStart: n, selectionEnd: n });
        await sleep(60);
      }
      await cdp.send('Input.insertText', { text });
      await page.keyboard.press('Enter');
    };
    // "0x14", "nan" and "2,5" are not numbers in the browser's build either.
    const typed = ['2', '2,5', '0x14', 'nan', '12', 'composed 0.5', '0x14', '5', '-1', '0'];
    for (const answer of typed) {
      await until('reading');
      if (answer.startsWith('composed ')) await compose(answer.slice('composed '.length));
      else await typeAndroid(answer);
    }
    await until('exitStatus !== null');
    const arrived = (await lab('lines')).map((line) => line.replace(/\n$/, ''));
    const meant = typed.map((answer) => answer.replace('composed ', ''));
    check(JSON.stringify(arrived) === JSON.stringify(meant), `typed ${JSON.stringify(meant)}, ` +
      `the program got ${JSON.stringify(arrived)}`);
    const output = await lab('output');
    check(output.split('Not a number!').length - 1 === 4, `"0x14", "nan" or "2,5" read as a number:\n${output}`);
    check(!output.includes('Recording'), 'a recording started from a word that is not a number');
    await page.close();
  }

  // --- A browser that cannot run the program says so.
  {
    const { page } = await open('no WebAssembly', { before: () => { delete window.WebAssembly; } });
    await page.waitForSelector('.failure[role="alert"]', { timeout: 5000 });
    check(await page.$eval('#field', (field) => field.hidden), 'the field still invites typing after a failure');
    await page.close();
  }
  // Without JavaScript only the notice shows: no field, no pad, no bar.
  if (chrome) {
    const page = await browser.newPage();
    await page.emulate(KnownDevices['Pixel 5']);
    await page.setJavaScriptEnabled(false);
    await page.goto(url);
    const seen = await page.evaluate(() => ['field', 'pad', 'bar'].filter((id) =>
      getComputedStyle(document.getElementById(id)).display !== 'none'));
    check(seen.length === 0, `without JavaScript the page shows ${seen.join(', ')}`);
    check((await page.$eval('body', (body) => body.innerText)).includes('Open this file in a web browser'),
      'without JavaScript the page does not say what to do');
    await page.close();
  }

  // --- The first prompt on a phone whose processor is four times slower.
  if (chrome) {
    const page = await browser.newPage();
    await page.emulate(KnownDevices['Pixel 5']);
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
    await page.goto(url);
    await page.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 10000 });
    figures.push(`first prompt on a Pixel 5 with the CPU throttled 4x: ${Math.round(
      await page.evaluate(() => window.countingLab.firstPromptMs))} ms after the page began to load`);
    await page.close();
  }

  // --- Hand-in codes of the class of the guide's example (30 students, 27
  // counts each: two codes apiece) as a 320 px phone shows them; the guide
  // scans them and Ada's through Chromium's fake camera, which plays their
  // screenshots as a video, four codes a second.
  async function classCodes() {
    const activity = [2.1, 5, 10.3, 15.2, 17.9];
    const students = new Map();
    for (const line of readFileSync(resolve(guidePath, '..', 'class-sheet-example.csv'), 'utf8').trim().split('\n').slice(1)) {
      const [student, source, distance, t, N, , , , time] = line.split(',');
      const row = { t_s: Number(t), N: Number(N), second: Date.parse(time) / 1000,
        ...(source ? { exercise: 1, source: Number(source), activity_bq: activity[source - 1] } : { exercise: 2, distance_cm: Number(distance) }) };
      students.set(student, [...(students.get(student) || []), row]);
    }
    const { page, lab } = await open('hand-in codes', { viewport: { width: 320, height: 640, isMobile: true, hasTouch: true, deviceScaleFactor: 2 } });
    const pictures = [adaCode];
    let modules = 0;
    for (const [student, rows] of students) {
      await page.evaluate((kept) => localStorage.setItem('counting-lab measurements', kept),
        JSON.stringify({ student, rows, handed_in: true }));
      await page.reload();
      await page.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 5000 });
      await page.click('#show-code');
      for (let at = 0; at < (await lab('codes')).length; at += 1) {
        if (at > 0) await page.click('#code-next');
        modules = Math.max(modules, await lab('codeModules'));
        const path = resolve(outDir, `hand-in-code-${pictures.length}.png`);
        await (await page.$('#code-image')).screenshot({ path });
        if (pictures.length === 1) {
          await page.screenshot({ path: resolve(outDir, 'phone-hand-in-code.png') });
          await audit(page, 'phone at 320 px, a hand-in code shown');
        }
        pictures.push(path);
      }
    }
    await page.evaluate(() => localStorage.removeItem('counting-lab measurements'));
    await page.close();
    figures.push(`hand-in codes: ${pictures.length - 1} for ${students.size} students of 27 counts, at most ${modules} modules across`);
    return pictures;
  }
  async function scanned(pictures) {
    const [width, height] = [480, 360];
    const drawing = await browser.newPage();
    const frames = [];
    for (const picture of pictures) {
      frames.push(Buffer.from(await drawing.evaluate(async (png, width, height) => {
        const image = await createImageBitmap(new Blob([Uint8Array.from(atob(png), (c) => c.charCodeAt(0))]));
        const canvas = Object.assign(document.createElement('canvas'), { width, height });
        const context = canvas.getContext('2d');
        context.fillStyle = '#808080';
        context.fillRect(0, 0, width, height);
        const side = height - 20;
        context.drawImage(image, (width - side) / 2, 10, side, side);
        const rgba = context.getImageData(0, 0, width, height).data;
        let luma = '';
        for (let i = 0; i < rgba.length; i += 4) luma += String.fromCharCode(Math.round(0.299 * rgba[i] + 0.587 * rgba[i + 1] + 0.114 * rgba[i + 2]));
        return btoa(luma);
      }, readFileSync(picture).toString('base64'), width, height), 'base64'));
    }
    await drawing.close();
    const chroma = Buffer.alloc(width * height / 2, 128);
    const video = resolve(outDir, 'hand-in-codes.y4m');
    writeFileSync(video, Buffer.concat([Buffer.from(`YUV4MPEG2 W${width} H${height} F4:1 Ip A1:1 C420jpeg\n`),
      ...frames.flatMap((luma) => [Buffer.from('FRAME\n'), luma, chroma])]));
    const camera = await puppeteer.launch({ executablePath: executable, headless: true, args: [...chromiumFlags,
      '--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream', `--use-file-for-fake-video-capture=${video}`] });
    try {
      const guide = await camera.newPage();
      guide.on('pageerror', (error) => failures.push(`the guide, scanning: ${error.message}`));
      await guide.setViewport({ width: 1280, height: 900 });
      await guide.goto(pathToFileURL(guidePath).href);
      await guide.waitForFunction('window.checkerReady', { timeout: 5000 });
      const started = Date.now();
      await guide.click('#scan-start');
      await guide.waitForFunction((n) => window.scannedCodes && window.scannedCodes.codes === n, { timeout: 120000, polling: 200 },
        pictures.length).catch(() => {});
      const seconds = (Date.now() - started) / 1000;
      const status = await guide.$eval('#scan-status', (p) => p.textContent);
      const summary = await guide.$eval('#class-summary', (o) => o.textContent);
      check(/^Codes read: 31 students, 812 rows\./.test(status) && /\nRows: 812 read, 0 refused\./.test(summary) &&
        /\nNot reproduced by the program at their second: 0 of 812 rows/.test(summary),
        `scanned through the camera: ${status}\n${summary.slice(0, 300)}`);
      figures.push(`guide: ${pictures.length} hand-in codes scanned through the fake camera in ${seconds.toFixed(1)} s ` +
        `(the video shows each for 0.25 s; it plays ${(pictures.length / 4).toFixed(2)} s): ${status}`);
      await guide.$eval('#scan', (box) => box.scrollIntoView({ block: 'center' }));
      await guide.screenshot({ path: resolve(outDir, 'guide-scan.png') });
      await guide.click('#scan-start');
      check(await guide.$eval('#scan', (box) => box.hidden), 'scanning does not stop');
    } finally {
      await camera.close();
    }
  }
  if (chrome) await scanned(await classCodes());

  // The guide's class check: the example sheet, pasted, must give the table
  // and the summary that the generator printed; the class's honest sheet
  // beside the guide, opened as a file, and one of 10,000 rows are timed;
  // the desktop session's download, with a student's name, is reproduced;
  // a sheet over 10,000 rows is refused in words.
  async function classCheck(page, printed) {
    const sheetOf = (block) => block.startsWith('student,');
    const example = printed.find(sheetOf);
    // Starts a check, pasted or opened, and reads its answer off the page.
    const answer = async (start) => {
      await page.evaluate(() => { window.classCheckMs = undefined; });
      await start();
      await page.waitForFunction('window.classCheckMs !== undefined', { timeout: 20000 });
      return page.evaluate(() => ({
        ms: window.classCheckMs,
        summary: document.getElementById('class-summary').textContent,
        rows: [...document.querySelectorAll('#class-table tbody tr')].map((tr) => [...tr.cells].map((td) => td.textContent)),
        figures: document.querySelectorAll('#class-figures svg').length,
        titled: document.querySelectorAll('#class-figures svg[role="img"] title').length,
        download: !document.getElementById('class-download').hidden,
      }));
    };
    const run = (sheet) => answer(async () => {
      await page.$eval('#class-sheet', (area, text) => { area.value = text; }, sheet);
      await page.click('#class-form button[type="submit"]');
    });
    const pasted = await run(example);
    check(printed.includes(pasted.summary), `the class check's summary is not the guide's:\n${pasted.summary}`);
    const guideRows = await page.$$eval('table:not(.class-check)', (tables) => {
      const table = tables.find((t) => t.querySelector('th') && t.querySelector('th').textContent === 'Row');
      return [...table.tBodies[0].rows].map((tr) => [...tr.cells].map((td) => td.textContent.trim()));
    });
    const filled = (rows) => JSON.stringify(rows.map((cells) => cells.filter((text) => text !== '')));
    check(filled(pasted.rows) === filled(guideRows),
      `the class check's table is not the guide's:\n${filled(pasted.rows)}\n${filled(guideRows)}`);
    check(pasted.download && pasted.figures === 0, `example: download ${pasted.download}, ${pasted.figures} figures`);
    const honestPath = resolve(guidePath, '..', 'class-sheet-example.csv');
    const field = await page.$('#class-file');
    const opened = await answer(() => field.uploadFile(honestPath));
    const lines = readFileSync(honestPath, 'utf8').trim().split('\n');
    check(opened.summary.includes(`\nRows: ${lines.length - 1} read, 0 refused.`) && opened.titled > 0 &&
      opened.titled === opened.figures,
    `the class's honest sheet, opened, gives ${opened.figures} figures (${opened.titled} with a title) and:\n${opened.summary}`);
    const tenThousand = [lines[0]];
    for (let copy = 0; tenThousand.length <= 10000; copy += 1) {
      for (const line of lines.slice(1)) if (tenThousand.length <= 10000) tenThousand.push(`${copy}${line}`);
    }
    const big = await run(tenThousand.join('\n'));
    check(big.summary.includes('\nRows: 10,000 read, 0 refused.'), `10,000 rows: ${big.summary.slice(0, 200)}`);
    figures.push(`guide: the class check of ${lines.length - 1} rows (opened as a file) took ${Math.round(opened.ms)} ms, ` +
      `of 10,000 rows ${Math.round(big.ms)} ms, drawn with ${opened.figures} and ${big.figures} histograms`);
    // A planted copier of Student 01's counts, without the times, and an
    // inventor who hands in Student 02's settings with the counts at their
    // means: both are named first, among the students to talk to; "Only rows
    // to look at" shows theirs alone.
    const cells = (line) => line.split(',');
    const copier = lines.slice(1).filter((line) => line.startsWith('Student 01,'))
      .map((line) => ['Copier', ...cells(line).slice(1, 5), '', '', '', ''].join(','));
    const inventor = opened.rows.map((row, i) => [row, cells(lines[i + 1])]).filter(([row]) => row[1] === 'Student 02')
      .map(([row, sheet]) => ['Inventor', ...sheet.slice(1, 4), Math.round(parseFloat(row[5])), '', '', '', ''].join(','));
    const planted = await run([...lines, ...copier, ...inventor].join('\n'));
    const talk = planted.summary.slice(0, planted.summary.indexOf('\nRows: '));
    check(/^Students to talk to:\n/.test(talk) && /\n- Copier: same counts as Student 01(\n|;|$)/.test(talk) &&
      /\n- Inventor: too regular(\n|;|$)/.test(talk), `the planted copier and inventor are not named:\n${talk}`);
    await page.click('#class-only-look');
    const shown = await page.$$eval('#class-table tbody tr', (rows) => rows.filter((tr) => tr.offsetParent !== null)
      .map((tr) => tr.cells[1].textContent));
    check(shown.length > 0 && shown.every((name) => ['Copier', 'Inventor', 'Student 01'].includes(name)) &&
      shown.includes('Copier') && shown.includes('Inventor'), `only the rows to look at: ${JSON.stringify(shown)}`);
    await page.click('#class-only-look');
    figures.push(`guide: the planted copier and inventor:\n  ${talk.replace(/\n/g, '\n  ')}`);
    const over = await run(`${tenThousand.join('\n')}\n${lines[1]}`);
    check(/10,001 rows/.test(over.summary) && over.rows.length === 0, `10,001 rows: ${over.summary}`);
    // The page's download and its copy, as they stand.
    for (const handed of [sessionCsv, sessionTsv].filter(Boolean)) {
      const own = await run(handed);
      check(own.rows.length === 2 && own.rows.every((cells) => cells[1] === 'Ada Lovelace' && cells[9] === 'yes'),
        `the desktop session's hand-in is not read as it stands: ${JSON.stringify(own.rows)}`);
    }
    // Opened at once: Ada's download, the same file again, and Ben's whose
    // student column is gone, so that his file's name says whose it is.
    if (sessionCsv) {
      const ada = resolve(outDir, 'counting-lab-Ada-Lovelace-2026-12-09.csv');
      const again = resolve(outDir, 'counting-lab-Ada-Lovelace-2026-12-09 (1).csv');
      const ben = resolve(outDir, 'counting-lab-Ben-Okri-2026-12-09.csv');
      writeFileSync(ada, sessionCsv);
      writeFileSync(again, sessionCsv);
      writeFileSync(ben, sessionCsv.split('\r\n').map((line) => line.slice(line.indexOf(',') + 1)).join('\r\n'));
      const field = await page.$('#class-file');
      const many = await answer(() => field.uploadFile(ada, again, ben));
      check(many.rows.length === 4 && many.rows.every((cells, i) => cells[1] === (i < 2 ? 'Ada Lovelace' : 'Ben Okri') &&
        cells[9] === 'yes') && /^Files: 2 read, 1 handed in again and read once\./.test(many.summary) &&
        /taken from its folder or file name/.test(many.summary),
      `three files at once: ${many.summary.slice(0, 300)} ${JSON.stringify(many.rows)}`);
      figures.push(`guide: three files opened at once: ${many.summary.split('\n').slice(0, 2).join(' ')}`);
      // An LMS's download of all submissions: a folder per student.
      const lms = resolve(outDir, 'Physics lab-Counting-1234.zip');
      writeFileSync(lms, zipOf([
        { name: 'Ada Lovelace_1001_assignsubmission_file_/counting-lab-Ada-Lovelace-2026-12-09.csv', data: sessionCsv },
        { name: 'Ben Okri_1002_assignsubmission_file_/counting-lab-measurements-2026-12-09.csv',
          data: readFileSync(ben, 'utf8') },
        { name: '__MACOSX/Ben Okri_1002_assignsubmission_file_/._counting-lab-measurements-2026-12-09.csv', data: 'x' }]));
      const zipped = await answer(() => field.uploadFile(lms));
      check(zipped.rows.length === 4 && zipped.rows.every((cells, i) => cells[1] === (i < 2 ? 'Ada Lovelace' : 'Ben Okri') &&
        cells[9] === 'yes') && /^Files: 2 read\./.test(zipped.summary),
      `an LMS's zip: ${zipped.summary.slice(0, 300)} ${JSON.stringify(zipped.rows)}`);
      figures.push(`guide: an LMS's zip: ${zipped.summary.split('\n').slice(0, 2).join(' ')}`);
      // A picture of Ada's hand-in code joins the zip's files: her rows, in
      // both, are read once.
      const pictured = await answer(() => field.uploadFile(adaCode));
      const status = await page.$eval('#scan-status', (p) => p.textContent);
      check(pictured.rows.length === 4 && /\n2 rows were handed in in another file too/.test(pictured.summary) &&
        /^Codes read: 1 student, 2 rows\. Added: Ada Lovelace, code 1 of 1 \(2 rows\)\.$/.test(status),
      `a picture of the hand-in code: ${status} ${pictured.summary.slice(0, 300)}`);
      // A zip that unpacks beyond 50 MB, and one without a sheet, refused in words.
      for (const [file, words] of [[zipOf([{ name: 'big.csv', data: Buffer.alloc(51 * 1024 * 1024, 48) }]), /more than 50 MB/],
        [zipOf([{ name: 'photo.jpg', data: 'x' }]), /holds no sheet/]]) {
        const path = resolve(outDir, `refused-${words.source.length}.zip`);
        writeFileSync(path, file);
        await field.uploadFile(path);
        await page.waitForFunction((w) => new RegExp(w).test(document.getElementById('class-summary').textContent),
          { timeout: 10000 }, words.source).catch(() => {});
        const said = await page.$eval('#class-summary', (o) => o.textContent);
        check(words.test(said), `a zip to refuse: ${said.slice(0, 200)}`);
      }
    }
    // Worksheet 2's key at the worksheet's time is the printed one; at
    // another time it has that time's columns.
    const keyAt = async (t) => {
      await page.$eval('#key-time', (input, value) => { input.value = value; }, t);
      await page.click('#key-form button[type="submit"]');
      return page.$eval('#key-table', (div) => [...div.querySelectorAll('tr')]
        .map((tr) => [...tr.cells].map((cell) => cell.textContent.trim())));
    };
    const printedKey = await page.$$eval('table:not(.key-table)', (tables) => {
      const table = tables.find((t) => /^m for t = /.test(t.rows[0].cells[5]?.textContent ?? ''));
      return [...table.rows].map((tr) => [...tr.cells].map((cell) => cell.textContent.trim()));
    });
    check(JSON.stringify(await keyAt('30')) === JSON.stringify(printedKey), 'Worksheet 2\'s key at 30 s is not the guide\'s');
    const at45 = await keyAt('45');
    check(at45.length === printedKey.length && at45[0][5] === 'm for t = 45 s (1/s)', `the key at 45 s: ${JSON.stringify(at45[0])}`);
    await keyAt('2,5');
    const refused = await page.$eval('#key-table', (div) => div.textContent);
    check(/10 to 100/.test(refused) && /point/.test(refused), `the key's time "2,5" is answered: ${refused}`);
    figures.push(`guide: the class check of 30 students' honest sheet:\n  ${opened.summary.replace(/\n/g, '\n  ')}`);
  }

  // The guide printed on A4 and on Letter (Chromium prints): the worksheets
  // and the answer keys are the pages that its first page names, one page
  // each, and they end the guide. Read with poppler's pdftotext.
  async function printedPages(page) {
    const said = (await page.$eval('p.print-only', (p) => p.textContent.replace(/\s+/g, ' ')))
      .match(/Worksheet 1 is page (\d+) and Worksheet 2 page (\d+),.* pages (\d+) and (\d+)/).slice(1).map(Number);
    const starts = ['Worksheet 1:', 'Worksheet 2:', 'Answer key: not for students', 'Answer key: not for students'];
    for (const format of ['A4', 'Letter']) {
      const file = resolve(outDir, `guide-${format}.pdf`);
      writeFileSync(file, await page.pdf({ format }));
      let pages = [];
      try {
        const text = execFileSync('pdftotext', ['-layout', file, '-'], { encoding: 'utf8' });
        pages = text.split('\f').filter((sheet, i, all) => i < all.length - 1 || sheet.trim() !== '')
          .map((sheet) => sheet.trim().split('\n')[0].trim());
      } catch (error) {
        check(false, `the printed guide could not be read (install poppler-utils): ${error.message}`);
        return;
      }
      const found = starts.map((start, i) => (pages[said[i] - 1] ?? '').startsWith(start));
      check(found.every(Boolean) && pages.length === said[3],
        `printed on ${format}, the guide has ${pages.length} pages, not the worksheets and keys on pages ` +
        `${said.join(', ')}: ${JSON.stringify(said.map((n) => pages[n - 1]))}`);
      figures.push(`guide printed on ${format}: ${pages.length} pages, the worksheets and keys on pages ${said.join(', ')}`);
    }
  }

  // --- The teacher's guide and its checker.
  {
    const guideUrl = pathToFileURL(guidePath).href;
    const page = await browser.newPage();
    watch(page, 'guide', guideUrl);
    // A browser whose own code detector refuses QR codes: the guide reads
    // pictures of codes with jsQR instead (below), and the checks still run.
    await page.evaluateOnNewDocument(() => {
      window.BarcodeDetector = class { constructor() { throw new TypeError('QR codes are not supported here'); } };
    });
    await page.goto(guideUrl);
    await page.bringToFront();
    await page.waitForFunction('window.checkerReady', { timeout: 5000 });
    // Typed as a teacher types, field by field, then Check.
    const ask = async (source, distance, time, count) => {
      for (const [name, value] of [['Source (1-5)', source], ['Distance d (cm)', distance],
        ['Counting time t (s)', time], ['Count N', count]]) {
        const field = await page.$(`::-p-aria([name="${name}"][role="textbox"])`);
        await field.evaluate((input) => input.select());
        await page.keyboard.press('Backspace');
        if (value !== '') await field.type(value);
      }
      await page.click('#check-form button[type="submit"]');
      return page.$eval('output', (output) => output.textContent.trim());
    };
    if (chrome) await printedPages(page);
    // The generator printed these with the same code, compiled natively.
    const printed = await page.$$eval('pre code', (blocks) => blocks.map((block) => block.textContent.trim()));
    const bySource = await ask('3', '', '10', '37');
    check(printed.includes(bySource), `the checker's answer for source 3 is not the guide's:\n${bySource}`);
    const byDistance = await ask('', '2.5', '50', '70');
    check(printed.includes(byDistance), `the checker's answer at 2.5 cm is not the guide's:\n${byDistance}`);
    const comma = await ask('', '2,5', '50', '70');
    check(/point/.test(comma) && /2,5/.test(comma), `"2,5" was not refused with a hint:\n${comma}`);
    const part = await ask('3', '', '10', '37.5');
    check(/whole number/.test(part), `N = 37.5 was not refused:\n${part}`);
    for (const answer of [bySource, byDistance, comma, part, await ask('', '', '', '')]) {
      check(answer !== '' && !/NaN|Infinity|undefined/.test(answer), `the checker answered "${answer}"`);
    }
    figures.push(`guide: the checker answers source 3, 10 s, N = 37:\n  ${bySource.replace(/\n/g, '\n  ')}`);
    await classCheck(page, printed);
    await audit(page, 'the teacher\'s guide');
    const guideSize = statSync(guidePath).size;
    figures.push(`guide ${guideSize} bytes`);
    check(guideSize < 640 * 1024, 'the guide is 640 KB or more');  // 130 KB of it the QR code reader
    await page.close();
  }

  // --- The page and the guide served over HTTP, as a course site serves
  // them, with the header that packaging/web-host.txt gives.
  {
    const host = readFileSync(hostPath, 'utf8');
    const header = host.match(/^Content-Security-Policy: (.*)$/m)[1];
    const permissions = host.match(/^Permissions-Policy: (.*)$/m)[1];
    const files = { '/counting-lab.html': pagePath, '/teaching-guide.html': guidePath };
    const server = createServer((request, response) => {
      const file = files[request.url];
      response.writeHead(file ? 200 : 404, { 'Content-Type': 'text/html; charset=utf-8', 'Content-Security-Policy': header,
        'Permissions-Policy': permissions });
      response.end(file ? readFileSync(file) : '');
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const origin = `http://127.0.0.1:${server.address().port}`;
    try {
      const served = await open('served page', { at: `${origin}/counting-lab.html`, before: noteViolations });
      await served.until('reading');
      // An unknown source twice: the same prompt twice in a row, which a
      // screen reader hears only if the live region's text changes.
      for (const [i, answer] of ['1', '9', '9', '0', '0'].entries()) {
        await served.until('reading');
        await served.page.keyboard.type(answer);
        await served.page.keyboard.press('Enter');
        await served.until(`lines.length === ${i + 1}`);
      }
      await served.until('exitStatus === 0');
      const told = await served.page.evaluate(() => window.heard);
      const words = await heardWords(served.page);
      const part1 = words.findIndex((screen) => screen.startsWith('===== Part 1'));
      const twice = words.slice(part1 + 1, part1 + 3);
      check(told.every((words, i) => i === 0 || words !== told[i - 1]) &&
        twice.length === 2 && twice.every((words) => words === 'Waiting for your choice:'),
      `served page: the live region said ${JSON.stringify(told)}`);
      check((await violations(served.page)).length === 0, `served page: ${await violations(served.page)}`);
      await served.page.close();
      const guide = await browser.newPage();
      watch(guide, 'served guide', `${origin}/teaching-guide.html`);
      await guide.evaluateOnNewDocument(noteViolations);
      await guide.goto(`${origin}/teaching-guide.html`);
      await guide.waitForFunction('window.checkerReady', { timeout: 5000 });
      check((await violations(guide)).length === 0, `served guide: ${await violations(guide)}`);
      check(await guide.evaluate(() => !document.featurePolicy || document.featurePolicy.allowsFeature('camera')),
        'the served guide may not use the camera');
      await guide.close();
    } finally {
      server.close();
    }
  }

  await webEdition();

  const size = statSync(pagePath).size;
  figures.unshift(`page ${size} bytes, ${gzipSync(readFileSync(pagePath), { level: 9 }).length} gzipped`);
  check(size < 400 * 1024, 'the page is 400 KB or more');
} catch (error) {
  failures.push(error.stack);
} finally {
  await browser.close();
}
console.log(figures.map((figure) => `${label}: ${figure}`).join("\n"));
if (failures.length > 0) {
  console.error(failures.join('\n'));
  process.exit(1);
}
console.log(`the page ran the sessions in ${label} as the console program does` +
  (chrome ? ', on a desktop and on a phone' : ', on a desktop'));
