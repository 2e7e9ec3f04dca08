// Opens the built page in headless Chromium and types a session as a student
// would: what the program writes must be the console program's transcript
// of the same session, with the screen cleared where the console clears it.
// Also: no network request, no error in the browser's log, and the figures
// that say how light the page is. Saves a screenshot beside the page.
//   node browser_test.mjs PAGE SESSION EXPECTED SCREENSHOT
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const [pagePath, sessionPath, expectedPath, screenshotPath] = process.argv.slice(2);
const answers = readFileSync(sessionPath, 'utf8').trimEnd().split('\n');
const clear = '\x1b[H\x1b[2J';
// The console program clears the screen before each of these headers.
const expected = readFileSync(expectedPath, 'utf8').replace(/(?====== (Main menu|Part 1|Part 2) )/g, clear);

const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 640 });
  const url = pathToFileURL(pagePath).href;
  const requests = [];
  const errors = [];
  // The program's WebAssembly comes from a data: URL inside the page, which
  // never leaves the browser; anything else would be a request.
  page.on('request', (request) => {
    if (request.url() !== url && !request.url().startsWith('data:')) requests.push(request.url().slice(0, 100));
  });
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));

  const lab = (expression) => page.evaluate(`window.countingLab.${expression}`);
  const until = (expression, timeout = 5000, polling = 10) =>
    page.waitForFunction(`window.countingLab && window.countingLab.${expression}`, { timeout, polling });
  const type = async (line) => {
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
  };

  const opened = Date.now();
  await page.goto(url);
  await until('reading');
  const firstPromptMs = Date.now() - opened;

  // Up to the recording, one answer at each prompt.
  const recordingAt = answers.indexOf('10');
  for (const answer of answers.slice(0, recordingAt)) {
    await until('reading');
    await type(answer);
  }
  await until('reading');
  await type('10');
  // Typed while the recording runs: echoed at once, answered after it.
  await type(answers[recordingAt + 1]);
  await page.waitForFunction(() => document.querySelector('.xterm-rows').textContent.includes('in progress ...0'));
  const screen = await page.evaluate(() =>
    [...document.querySelectorAll('.xterm-rows > div')].map((row) => row.textContent.trimEnd()).join('\n'));
  check(/t \(s\) = 10\nRecording in progress \.\.\.\n0\n/.test(screen), `not the screen of a recording:\n${screen}`);
  await page.screenshot({ path: screenshotPath });
  // The rest of the recording, looked in on seldom so as not to load the
  // page that is measured.
  const before = await page.metrics();
  const started = Date.now();
  await until('output.includes("N = ")', 15000, 1000);
  const ended = Date.now();
  const after = await page.metrics();
  const lateMs = (await lab('lastWrite')) % 1000;
  const busyShare = (after.TaskDuration - before.TaskDuration) / ((ended - started) / 1000);

  // The rest, pasted in one go: several lines answer several prompts.
  await until('reading');
  await page.evaluate((text) => {
    const pasted = new DataTransfer();
    pasted.setData('text/plain', text);
    document.querySelector('.xterm-helper-textarea')
      .dispatchEvent(new ClipboardEvent('paste', { clipboardData: pasted, bubbles: true, cancelable: true }));
  }, answers.slice(recordingAt + 2).join('\n') + '\n');
  await until('exitStatus !== null');

  const output = (await lab('output')).replace(/N = \d+\n/, 'N = <count>\n');
  check(output === expected, `the transcript differs:\n--- expected\n${JSON.stringify(expected)}\n--- got\n${JSON.stringify(output)}`);
  check((await lab('exitStatus')) === 0, 'exit status not 0');
  check((await page.$eval('#status', (e) => e.textContent)).includes('counting-lab has ended'), 'no word that it ended');

  // Start again, and end the input with Ctrl-D on an empty line.
  await page.click('#again');
  await until('reading && window.countingLab.runs === 2');
  await page.keyboard.down('Control');
  await page.keyboard.press('d');
  await page.keyboard.up('Control');
  await until('exitStatus !== null');
  const menu = expected.slice(0, expected.indexOf('Waiting for your choice: ') + 'Waiting for your choice: '.length);
  check((await lab('output')) === menu + '\n', 'Ctrl-D at the main menu did not end the second run with a line break');

  check(requests.length === 0, `network requests: ${requests.join(', ')}`);
  check(errors.length === 0, `errors in the browser's log: ${errors.join(' | ')}`);
  console.log(`first prompt after ${firstPromptMs} ms; ${((ended - started) / 1000).toFixed(2)} s of the recording: ` +
    `renderer busy ${(100 * busyShare).toFixed(3)} % of it; count shown ${lateMs} ms after the second ticked`);
} finally {
  await browser.close();
}
if (failures.length > 0) {
  console.error(failures.join('\n'));
  process.exit(1);
}
console.log('the page ran the session as the console program does');
