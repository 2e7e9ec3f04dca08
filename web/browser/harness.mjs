// What every browser test shares: the browser (Chromium or Firefox, as the
// build found them), a tab on the page with what a screen reader hears and
// every request, error and policy violation watched, axe-core, and the
// figures and failures each test prints. A test is a file of this folder:
//   BROWSER=chrome|firefox CHROMIUM=... FIREFOX=... node AREA.mjs PAGE GUIDE HOST EDITION OUTDIR
// run by `area(name, body)`, which exits 0, 1 (a check failed) or 77
// (skipped: the browser is not installed, or the area needs Chromium).
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';
import puppeteer, { KnownDevices } from 'puppeteer-core';

const [pagePath, guidePath, hostPath, editionDir, outDir] = process.argv.slice(2);
export const paths = { page: pagePath, guide: guidePath, host: hostPath, edition: editionDir, out: outDir,
  source: resolve(new URL('../..', import.meta.url).pathname) };
export const chrome = process.env.BROWSER !== 'firefox';
export const label = chrome ? 'Chromium' : 'Firefox';
export const url = pathToFileURL(pagePath).href;
export const guideUrl = pathToFileURL(guidePath).href;
export const phone = KnownDevices['Pixel 5'];
export const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const executable = chrome ? process.env.CHROMIUM : process.env.FIREFOX;

const failures = [];
const figures = [];
export const check = (ok, what) => { if (!ok) failures.push(what); };
export const figure = (what) => figures.push(what);
let browser = null;

export function launch(args = []) {
  return puppeteer.launch(chrome ? { executablePath: executable, headless: true, args: [...chromiumFlags, ...args] }
    : { browser: 'firefox', executablePath: executable, headless: true });
}

// Runs the test `body(browser)`; `chromeOnly` skips it in Firefox, which
// has no touch emulation, CPU throttling or fake camera.
export async function area(name, body, { chromeOnly = false } = {}) {
  const skip = (why) => {
    console.log(`skipped: ${why}`);
    process.exitCode = 77;
  };
  if (!executable || executable.endsWith('-NOTFOUND')) {
    skip(`no ${label} was found when the build was configured; install it (Debian: chromium, firefox-esr) and run cmake --preset web again`);
    return;
  }
  if (chromeOnly && !chrome) {
    skip(`${name} needs Chromium`);
    return;
  }
  try {
    browser = await launch();
    await body(browser);
  } catch (error) {
    failures.push(error.stack);
  } finally {
    if (browser) await browser.close();
  }
  console.log(figures.map((text) => `${label}, ${name}: ${text}`).join('\n'));
  if (failures.length > 0) {
    console.error(failures.join('\n'));
    process.exitCode = 1;
  } else {
    console.log(`${name}: passed in ${label}`);
  }
}

// What a screen reader hears: each new text of the page's live region, in
// window.heard. Watched from the first byte of the page, before its script
// can speak.
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
export const heardWords = async (page) => (await page.evaluate(() => window.heard)).map((words) => words.replace(/\u00a0+$/, ''));

// Fails the test on any request but the page itself (or, for a served
// folder, the folder's own files), any error in the browser's log, and any
// violation of the page's security policy.
export function watch(page, name, within) {
  page.on('request', (request) => {
    const asked = request.url();
    const allowed = within.endsWith('/') ? asked.startsWith(within) : asked === within;
    if (!allowed && !asked.startsWith('data:')) check(false, `${name}: request ${asked}`);
  });
  page.on('console', (message) => check(message.type() !== 'error', `${name}: logged ${message.text()}`));
  page.on('pageerror', (error) => check(false, `${name}: ${error.message}`));
}
export const violations = (page) => page.evaluate(() => window.violations || []);
export const noteViolations = () => {
  window.violations = [];
  document.addEventListener('securitypolicyviolation', (event) =>
    window.violations.push(`${event.violatedDirective} ${event.blockedURI}`));
};

// A new tab on the page (or `at`); `device` is puppeteer's emulation of a
// phone, which only Chromium has: Firefox opens a desktop window instead.
export async function open(name, { device, viewport, before, at = url, within = at, into = browser } = {}) {
  const page = await into.newPage();
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
  watch(page, name, within);
  // Leaving the page with counts not handed in asks first (a reload, say): yes.
  page.on('dialog', (dialog) => dialog.accept());
  const lab = (expression) => page.evaluate(`window.countingLab.${expression}`);
  const until = (expression, timeout = 5000, polling = 10) =>
    page.waitForFunction(`window.countingLab && window.countingLab.${expression}`, { timeout, polling });
  const opened = Date.now();
  await page.goto(at);
  await page.bringToFront();  // where the keyboard types
  return { page, lab, until, opened };
}

// Puts a student's table ({ student, rows, handed_in }) on the device, as
// the page keeps it, and opens the page again, until it shows the table
// (drawn just after the first prompt).
export async function keep({ page, until }, table) {
  await page.evaluate((kept) => localStorage.setItem('counting-lab measurements', kept), JSON.stringify(table));
  await page.reload();
  await until('reading && window.countingLab.tableShown');
}

// axe-core's findings on the page as it stands, each a failure.
const axeSource = readFileSync(new URL('../node_modules/axe-core/axe.min.js', import.meta.url), 'utf8');
export async function audit(page, where) {
  // Run from the test's side: the page's own policy lets no injected script in.
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.evaluate(axeSource);
  const result = await page.evaluate(() => window.axe.run(document, {
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'] },
  }));
  for (const v of result.violations) {
    check(false, `axe, ${where}: ${v.id} (${v.help}) at ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  }
  figure(`axe ${where}: ${result.violations.length} violations, ${result.passes.length} rules passed`);
}

// Whether leaving the page would ask first.
export const asksBeforeLeaving = (page) => page.evaluate(() => {
  const leaving = new Event('beforeunload', { cancelable: true });
  window.dispatchEvent(leaving);
  return leaving.defaultPrevented;
});
export const focused = (page) => page.evaluate(() => document.activeElement && document.activeElement.id);
export const logText = (page) => page.$eval('#log', (log) => log.textContent);
export const textOf = (page, selector) => page.$eval(selector, (element) => element.textContent);

// Taps on the pad by the keys' names (Chromium), or the same keys typed (Firefox).
const typedKeys = { enter: 'Enter', backspace: 'Backspace', minus: '-', point: '.' };
export const tap = (page, ...names) => names.reduce((done, name) => done.then(() => (chrome
  ? page.tap(`::-p-aria([name="${name}"][role="button"])`)
  : page.keyboard.press(typedKeys[name] || name))), Promise.resolve());

// Types a line and presses Enter.
export async function type(page, line) {
  await page.keyboard.type(line);
  await page.keyboard.press('Enter');
}

// The time left reaches 0 as the count comes, not before it.
export async function countsDownToTheCount(lab, t) {
  const [shown, early] = [await lab('leftAtCount'), await lab('zeroEarlyMs')];
  check(shown === '0 s left' && early !== null && early < 750,
    `a recording of ${t}: at the count the page showed "${shown}", "0 s left" ${early} ms before it`);
  figure(`a recording of ${t}: "0 s left" ${early} ms before the count`);
}

// A student's table as the page keeps it: rows of the source-activity
// exercise (source, N, second) or, with a distance, of the distance one.
const activities = [2.1, 5, 10.3, 15.2, 17.9];
export const keptRow = ({ source = 0, d = 0, t = 10, N, second }) => (source
  ? { exercise: 1, source, activity_bq: activities[source - 1], distance_cm: 0, t_s: t, N, second }
  : { exercise: 2, source: 0, distance_cm: d, t_s: t, N, second });

// The guide's example class, as the page would keep each student's table.
export function exampleClass() {
  const students = new Map();
  const lines = readFileSync(resolve(paths.guide, '..', 'class-sheet-example.csv'), 'utf8').trim().split('\n');
  for (const line of lines.slice(1)) {
    const [student, source, distance, t, N, , , , time] = line.split(',');
    const row = keptRow({ source: Number(source), d: Number(distance), t: Number(t), N: Number(N), second: Date.parse(time) / 1000 });
    students.set(student, [...(students.get(student) || []), row]);
  }
  return students;
}
