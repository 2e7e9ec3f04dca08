// A phone (Chromium's emulation of a Pixel 5): a session by taps on the
// number pad alone, a pad key pressed from a keyboard, the layout from 360
// px down to a 200 % zoom with a table kept, typing as Android's keyboard
// and an input method send it, a browser without JavaScript told so, and
// the first prompt with the processor four times slower.
import { area, audit, check, figure, keep, keptRow, open, paths, phone, sleep, tap, textOf, url } from './harness.mjs';

async function pad() {
  const { page, lab, until } = await open('phone, pad', { device: phone });
  await until('reading');
  check(await page.$eval('#pad', (keys) => getComputedStyle(keys).display !== 'none'), 'no number pad on a phone');
  check((await page.$eval('#field', (field) => field.inputMode)) === 'none', 'the phone shows its own keyboard');
  const sizes = await page.$$eval('#pad button', (keys) => keys.map((key) => {
    const { width, height } = key.getBoundingClientRect();
    return { width, height };
  }));
  check(sizes.length === 14 && sizes.every((r) => r.width >= 48 && r.height >= 48), 'pad keys under 48 x 48 px');
  await audit(page, 'phone, main menu');
  await tap(page, '2', 'enter');
  await until('reading && window.countingLab.output.endsWith("= ")');
  await audit(page, 'phone, distance exercise');
  await page.setViewport({ width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
  await tap(page, '9', 'enter', '7', 'backspace', 'point', '5', 'enter', 'minus', '1', 'enter', '0', 'enter');
  await until('exitStatus !== null');
  check(JSON.stringify(await lab('lines')) === JSON.stringify(['2\n', '9\n', '.5\n', '-1\n', '0\n']),
    `the pad's answers arrived as ${JSON.stringify(await lab('lines'))}`);
  // A pad key pressed from the keyboard keeps the focus; an answer with a
  // comma gets a hint to type a point.
  await page.click('#again');
  await until('reading && window.countingLab.runs === 2');
  await page.focus('[data-key="2"]');
  await page.keyboard.press('Enter');
  await page.keyboard.press('Enter');
  check(await page.evaluate(() => document.activeElement.dataset.key === '2'), 'a pad key pressed from the keyboard lost the focus');
  check((await page.$eval('#field', (f) => f.value)) === '22', 'the pad key pressed from the keyboard did not type');
  await page.focus('#field');
  await page.keyboard.type(',5');
  await page.keyboard.press('Enter');
  await until('reading && window.countingLab.lines.length === 1');
  check(/point/.test(await textOf(page, '#note')), 'no hint to type a point after "22,5"');
  await page.close();
}

// At 360 px, at 320 px, and zoomed to 200 % (a viewport of half its size,
// down to 160 px wide): the layout with three measurements in the table,
// and screenshots in both orientations.
async function layouts() {
  const tab = await open('phone, 360 px', { device: phone });
  const { page, until } = tab;
  await keep(tab, { student: 'Ben', rows: [keptRow({ source: 1, N: 31, second: 1796790020 }),
    keptRow({ source: 2, N: 32, second: 1796790040 }), keptRow({ d: 2.5, N: 33, second: 1796790060 })] });
  await page.setViewport({ width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
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
  const sizes = [[360, 740, 2], [740, 360, 2], [320, 568, 2], [196, 425, 4], [425, 196, 4], [187, 333, 4], [160, 300, 4]];
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
    await page.screenshot({ path: `${paths.out}/phone-${width}x${height}.png`, fullPage: width === 320 });
  }
  await page.close();
}

// Typed through the field as Android's keyboard sends it, 60 ms between
// keys, and one answer through an input method's composition.
async function androidKeyboard() {
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
  check(JSON.stringify(arrived) === JSON.stringify(meant), `typed ${JSON.stringify(meant)}, the program got ${JSON.stringify(arrived)}`);
  const output = await lab('output');
  check(output.split('Not a number!').length - 1 === 4, `"0x14", "nan" or "2,5" read as a number:\n${output}`);
  check(!output.includes('Recording'), 'a recording started from a word that is not a number');
  await page.close();
}

// Without JavaScript only the notice shows: no field, no pad, no bar.
async function withoutJavaScript(browser) {
  const off = await browser.newPage();
  await off.emulate(phone);
  await off.setJavaScriptEnabled(false);
  await off.goto(url);
  const seen = await off.evaluate(() => ['field', 'pad', 'bar'].filter((id) =>
    getComputedStyle(document.getElementById(id)).display !== 'none'));
  check(seen.length === 0, `without JavaScript the page shows ${seen.join(', ')}`);
  check((await off.$eval('body', (body) => body.innerText)).includes('Open this file in a web browser'),
    'without JavaScript the page does not say what to do');
  await off.close();
}

// The first prompt on a phone whose processor is four times slower.
async function slowPhone(browser) {
  const page = await browser.newPage();
  await page.emulate(phone);
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await page.goto(url);
  await page.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 10000 });
  figure(`first prompt on a Pixel 5 with the CPU throttled 4x: ${Math.round(
    await page.evaluate(() => window.countingLab.firstPromptMs))} ms after the page began to load`);
  await page.close();
}

await area('phone', async (browser) => {
  await pad();
  await layouts();
  await androidKeyboard();
  await withoutJavaScript(browser);
  await slowPhone(browser);
}, { chromeOnly: true });
