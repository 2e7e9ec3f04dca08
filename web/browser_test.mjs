// Opens the built page in headless Chromium and uses it as students would.
// On a desktop: a whole session typed into the field (one real 10 s
// recording, a line typed ahead during it, the rest pasted), which must give
// the console program's transcript, with the screen cleared where the
// console clears it; then a restart, and Ctrl-D. On a phone: a session by
// taps on the number pad alone, and one typed with the events of Android's
// on-screen keyboard and of an input method's composition; every answer must
// reach the program exactly. At 360 px nothing scrolls sideways. axe-core
// finds no accessibility violation, on either, at the main menu and in the
// distance exercise. A browser without WebAssembly is told so. There is no
// network request and no error in the browser's log. Prints the figures
// that say how light the page is, and saves screenshots into OUTDIR.
//   node browser_test.mjs PAGE SESSION EXPECTED OUTDIR
import { readFileSync, statSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { pathToFileURL } from 'node:url';
import puppeteer, { KnownDevices } from 'puppeteer-core';

const [pagePath, sessionPath, expectedPath, outDir] = process.argv.slice(2);
const url = pathToFileURL(pagePath).href;
const answers = readFileSync(sessionPath, 'utf8').trimEnd().split('\n');
const clear = '\x1b[H\x1b[2J';
// The console program clears the screen before each of these headers.
const expected = readFileSync(expectedPath, 'utf8').replace(/(?====== (Main menu|Part 1|Part 2) )/g, clear);
const axeSource = readFileSync(new URL('node_modules/axe-core/axe.min.js', import.meta.url), 'utf8');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };
const figures = [];

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || 'chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});

// A new tab on the page; `device` is puppeteer's emulation of a phone.
async function open(name, { device, viewport, before } = {}) {
  const page = await browser.newPage();
  if (device) await page.emulate(device);
  if (viewport) await page.setViewport(viewport);
  if (before) await page.evaluateOnNewDocument(before);
  // The program's WebAssembly comes from a data: URL inside the page, which
  // never leaves the browser; anything else would be a request.
  page.on('request', (request) => {
    if (request.url() !== url && !request.url().startsWith('data:')) check(false, `${name}: request ${request.url()}`);
  });
  page.on('console', (message) => check(message.type() !== 'error', `${name}: logged ${message.text()}`));
  page.on('pageerror', (error) => check(false, `${name}: ${error.message}`));
  const lab = (expression) => page.evaluate(`window.countingLab.${expression}`);
  const until = (expression, timeout = 5000, polling = 10) =>
    page.waitForFunction(`window.countingLab && window.countingLab.${expression}`, { timeout, polling });
  const opened = Date.now();
  await page.goto(url);
  return { page, lab, until, opened };
}

const focused = (page) => page.evaluate(() => document.activeElement && document.activeElement.id);
const logText = (page) => page.$eval('#log', (log) => log.textContent);

async function audit(page, where) {
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.addScriptTag({ content: axeSource });
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
    // Typed while the recording runs: shown at once, answered after it.
    await type(answers[recordingAt + 1]);
    const shown = await logText(page);
    check(/t \(s\) = 10\nRecording in progress \.\.\.\n0\n$/.test(shown), `not the screen of a recording:\n${shown}`);
    check((await focused(page)) === 'field', 'the field lost the focus after an answer');
    check(['held', 'refused'].includes(await lab('wakeLock')), 'no wake lock asked for during the recording');
    await page.screenshot({ path: `${outDir}/desktop.png` });
    // The rest of the recording, looked in on seldom so as not to load the
    // page that is measured.
    const before = await page.metrics();
    const started = Date.now();
    await until('output.includes("N = ")', 15000, 1000);
    const ended = Date.now();
    const after = await page.metrics();
    const busy = (after.TaskDuration - before.TaskDuration) / ((ended - started) / 1000);
    figures.push(`renderer busy ${(100 * busy).toFixed(2)} % of ${((ended - started) / 1000).toFixed(1)} s of ` +
      `recording; count shown ${(await lab('lastWrite')) % 1000} ms after the second ticked`);
    check(busy < 0.01, 'the renderer was busy 1 % or more of the recording');
    check((await lab('wakeLock')) !== 'held', 'the wake lock was kept after the count');

    // The rest, pasted in one go: several lines answer several prompts.
    await until('reading');
    await page.evaluate((text) => {
      const pasted = new DataTransfer();
      pasted.setData('text/plain', text);
      document.getElementById('field')
        .dispatchEvent(new ClipboardEvent('paste', { clipboardData: pasted, bubbles: true, cancelable: true }));
    }, answers.slice(recordingAt + 2).join('\r\n') + '\r\n');
    await until('exitStatus !== null');
    const output = (await lab('output')).replace(/N = \d+\n/, 'N = <count>\n');
    check(output === expected, `the transcript differs:\n--- expected\n${JSON.stringify(expected)}\n` +
      `--- got\n${JSON.stringify(output)}`);
    check((await lab('exitStatus')) === 0, 'exit status not 0');
    check((await page.$eval('#status', (e) => e.textContent)).includes('has ended'), 'no word that it ended');
    check((await focused(page)) === 'again', 'the restart button has no focus at the end');

    // Started again: the distance exercise, then Ctrl-D on an empty line ends the input.
    await page.click('#again');
    await until('reading && window.countingLab.runs === 2');
    check((await focused(page)) === 'field', 'the field has no focus after a restart');
    await type('2');
    await until('reading && window.countingLab.output.endsWith("= ")');
    await audit(page, 'desktop, distance exercise');
    await page.keyboard.down('Control');
    await page.keyboard.press('d');
    await page.keyboard.up('Control');
    await until('exitStatus !== null');
    check((await lab('output')).endsWith('= \n'), 'Ctrl-D did not end the input with a line break');
    await page.close();
  }

  // --- A phone: taps on the number pad alone.
  const phone = KnownDevices['Pixel 5'];
  {
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

  // --- A phone at 360 px: the layout, and screenshots in both orientations.
  {
    const { page, until } = await open('phone, 360 px', { device: phone });
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
      };
    });
    for (const [width, height] of [[360, 740], [740, 360]]) {
      await page.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
      const seen = await layout();
      check(!seen.sideways, `${width} x ${height}: the page scrolls sideways`);
      check(seen.pieces === 1, `${width} x ${height}: "5.0" is broken across lines`);
      check(seen.smallest >= 14, `${width} x ${height}: text of ${seen.smallest} px`);
      check(seen.fieldShown, `${width} x ${height}: the field is out of view`);
      await page.screenshot({ path: `${outDir}/phone-${width}x${height}.png` });
    }
    await page.close();
  }

  // --- A phone: typed through the field as Android's keyboard sends it, 60 ms
  // between keys, and one answer through an input method's composition.
  {
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

  const size = statSync(pagePath).size;
  figures.unshift(`page ${size} bytes, ${gzipSync(readFileSync(pagePath), { level: 9 }).length} gzipped`);
  check(size < 400 * 1024, 'the page is 400 KB or more');
} catch (error) {
  failures.push(error.stack);
} finally {
  await browser.close();
}
console.log(figures.join('\n'));
if (failures.length > 0) {
  console.error(failures.join('\n'));
  process.exit(1);
}
console.log('the page ran the sessions as the console program does, on a desktop and on a phone');
