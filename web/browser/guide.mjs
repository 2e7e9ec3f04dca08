// The teacher's guide: its checker of a student's count and its check of a
// class give what the guide's generator printed for the same input and
// answer bad input in words; the class's honest sheet and one of 10,000
// rows are timed; planted copiers and inventors are named; the page's own
// files, a zip as an LMS gives it, zip64, and pictures of hand-in codes are
// read, a picture inside a zip too; zips and codes it cannot take are
// answered in words; Worksheet 2's
// key follows its time. Printed on A4 and on Letter (Chromium), the
// worksheets and keys are the pages its first page names; axe finds nothing.
import { readFileSync, statSync, writeFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { resolve } from 'node:path';
import { strToU8, zipSync } from 'fflate';
import { area, audit, check, chrome, figure, guideUrl, paths, textOf, watch } from './harness.mjs';
import { drawnCode, shownCodes } from './pictures.mjs';
import { tsv } from '../shared/hand_in.js';
import { downloadName, sampleRows as zoeRows, sampleStudent as zoe } from '../test/fixtures.js';

const samples = resolve(paths.source, 'tests/hand-in');
const out = (name) => resolve(paths.out, name);
const download = readFileSync(resolve(samples, downloadName), 'utf8');
// Starts a check, pasted or opened, and reads its answer off the page.
async function answer(page, start) {
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
}
const pasted = (page, sheet) => answer(page, async () => {
  await page.$eval('#class-sheet', (area, text) => { area.value = text; }, sheet);
  await page.click('#class-form button[type="submit"]');
});
// Files opened, whose answer is a summary with these words (no new check where nothing is read).
async function saidOf(page, field, path, words) {
  await field.uploadFile(path);
  await page.waitForFunction((w) => new RegExp(w).test(document.getElementById('class-summary').textContent),
    { timeout: 10000 }, words.source).catch(() => {});
  return textOf(page, '#class-summary');
}

// The example sheet pasted, the honest class opened as a file, 10,000
// rows, a planted copier and inventor, and 10,001 rows refused.
async function classSheets(page, printed) {
  const example = await pasted(page, printed.find((block) => block.startsWith('student,')));
  check(printed.includes(example.summary), `the class check's summary is not the guide's:\n${example.summary}`);
  const guideRows = await page.$$eval('table:not(.class-check)', (tables) => {
    const table = tables.find((t) => t.querySelector('th') && t.querySelector('th').textContent === 'Row');
    return [...table.tBodies[0].rows].map((tr) => [...tr.cells].map((td) => td.textContent.trim()));
  });
  const filled = (rows) => JSON.stringify(rows.map((cells) => cells.filter((text) => text !== '')));
  check(filled(example.rows) === filled(guideRows), `the class check's table is not the guide's:\n${filled(example.rows)}\n${filled(guideRows)}`);
  check(example.download && example.figures === 0, `example: download ${example.download}, ${example.figures} figures`);
  const honestPath = resolve(paths.guide, '..', 'class-sheet-example.csv');
  const opened = await answer(page, async () => (await page.$('#class-file')).uploadFile(honestPath));
  const lines = readFileSync(honestPath, 'utf8').trim().split('\n');
  check(opened.summary.includes(`\nRows: ${lines.length - 1} read, 0 refused.`) && opened.titled > 0 && opened.titled === opened.figures,
    `the class's honest sheet, opened, gives ${opened.figures} figures (${opened.titled} with a title) and:\n${opened.summary}`);
  const tenThousand = [lines[0]];
  for (let copy = 0; tenThousand.length <= 10000; copy += 1) {
    for (const line of lines.slice(1)) if (tenThousand.length <= 10000) tenThousand.push(`${copy}${line}`);
  }
  const big = await pasted(page, tenThousand.join('\n'));
  check(big.summary.includes('\nRows: 10,000 read, 0 refused.'), `10,000 rows: ${big.summary.slice(0, 200)}`);
  figure(`the class check of ${lines.length - 1} rows (opened as a file) took ${Math.round(opened.ms)} ms, ` +
    `of 10,000 rows ${Math.round(big.ms)} ms, drawn with ${opened.figures} and ${big.figures} histograms`);
  // A copier of Student 01's counts, without the times, and an inventor who
  // hands in Student 02's settings with the counts at their means: both are
  // named among the students to talk to; "Only rows to look at" shows theirs alone.
  const cells = (line) => line.split(',');
  const copier = lines.slice(1).filter((line) => line.startsWith('Student 01,'))
    .map((line) => ['Copier', ...cells(line).slice(1, 5), '', '', '', ''].join(','));
  const inventor = opened.rows.map((row, i) => [row, cells(lines[i + 1])]).filter(([row]) => row[1] === 'Student 02')
    .map(([row, sheet]) => ['Inventor', ...sheet.slice(1, 4), Math.round(parseFloat(row[5])), '', '', '', ''].join(','));
  const planted = await pasted(page, [...lines, ...copier, ...inventor].join('\n'));
  const talk = planted.summary.slice(0, planted.summary.indexOf('\nRows: '));
  check(/^Students to talk to:\n/.test(talk) && /\n- Copier: same counts as Student 01(\n|;|$)/.test(talk) &&
    /\n- Inventor: too regular(\n|;|$)/.test(talk), `the planted copier and inventor are not named:\n${talk}`);
  await page.click('#class-only-look');
  const shown = await page.$$eval('#class-table tbody tr', (rows) => rows.filter((tr) => tr.offsetParent !== null)
    .map((tr) => tr.cells[1].textContent));
  check(shown.length > 0 && shown.every((name) => ['Copier', 'Inventor', 'Student 01'].includes(name)) &&
    shown.includes('Copier') && shown.includes('Inventor'), `only the rows to look at: ${JSON.stringify(shown)}`);
  await page.click('#class-only-look');
  figure(`the planted copier and inventor:\n  ${talk.replace(/\n/g, '\n  ')}`);
  const over = await pasted(page, `${tenThousand.join('\n')}\n${lines[1]}`);
  check(/10,001 rows/.test(over.summary) && over.rows.length === 0, `10,001 rows: ${over.summary}`);
  figure(`the class check of 30 students' honest sheet:\n  ${opened.summary.replace(/\n/g, '\n  ')}`);
}

// What the page hands in: its download and its copy as they stand; files
// opened at once; an LMS's zip and zip64; pictures of codes; and what
// cannot be read, answered in words.
async function handedIn(page, browser) {
  const reproduced = (rows, students) => rows.length === students.length &&
    rows.every((cells, i) => cells[1] === students[i] && cells[9] === 'yes');
  const threeOf = (name) => [name, name, name];
  for (const handed of [download, tsv(zoe, zoeRows)]) {
    const own = await pasted(page, handed);
    check(reproduced(own.rows, threeOf(zoe)), `the page's hand-in is not read as it stands: ${JSON.stringify(own.rows)}`);
  }
  // Zoë's download, the same file again, and Ben's whose student column is
  // gone, so that his file's name says whose it is.
  const again = out(downloadName.replace('.csv', ' (1).csv'));
  const ben = out('counting-lab-Ben-Okri-2026-12-09.csv');
  const benText = download.split('\r\n').map((line) => line.replace(/^(student|".*?"),/, '')).join('\r\n');
  writeFileSync(again, download);
  writeFileSync(ben, benText);
  const field = await page.$('#class-file');
  const many = await answer(page, () => field.uploadFile(resolve(samples, downloadName), again, ben));
  check(reproduced(many.rows, [...threeOf(zoe), ...threeOf('Ben Okri')]) &&
    /^Files: 2 read, 1 handed in again and read once\./.test(many.summary) && /taken from its folder or file name/.test(many.summary),
  `three files at once: ${many.summary.slice(0, 300)} ${JSON.stringify(many.rows)}`);
  // An LMS's download of all submissions: a folder per student.
  const lms = out('Physics lab-Counting-1234.zip');
  writeFileSync(lms, zipSync({
    [`Zoe Odegard_1001_assignsubmission_file_/${downloadName}`]: strToU8(download),
    'Ben Okri_1002_assignsubmission_file_/counting-lab-measurements-2026-12-09.csv': strToU8(benText),
    '__MACOSX/Ben Okri_1002_assignsubmission_file_/._counting-lab-measurements-2026-12-09.csv': strToU8('x'),
    'Cy Twombly_1003_assignsubmission_file_/counting-lab.xlsx': strToU8('x'), 'index.html': strToU8('x') }));
  const zipped = await answer(page, () => field.uploadFile(lms));
  await page.waitForFunction(() => /^Not read: /.test(document.getElementById('class-summary').textContent), { timeout: 5000 })
    .catch(() => {});
  zipped.summary = await textOf(page, '#class-summary');
  check(reproduced(zipped.rows, [...threeOf(zoe), ...threeOf('Ben Okri')]) && zipped.summary.startsWith('Not read: index.html (a web page); Cy Twombly_1003_' +
    'assignsubmission_file_/counting-lab.xlsx (an Excel workbook this guide could not read: save it as CSV, Cy Twombly\'s).\nFiles: 2 read.'),
  `an LMS's zip: ${zipped.summary.slice(0, 300)} ${JSON.stringify(zipped.rows)}`);
  figure(`an LMS's zip: ${zipped.summary.split('\n').slice(0, 2).join(' ')}`);
  // A picture of Zoë's hand-in code joins the zip's files: her rows, in both, are read once.
  const { pictures: [code] } = await shownCodes({ student: zoe, rows: zoeRows }, () => out('hand-in-code-zoe.png'));
  const pictured = await answer(page, () => field.uploadFile(code));
  const status = await textOf(page, '#scan-status');
  check(pictured.rows.length === 6 && /\n3 rows were handed in in another file too/.test(pictured.summary) &&
    status === `Codes read: 1 student, 3 rows. Added: ${zoe}, code 1 of 1 (3 rows).`,
  `a picture of the hand-in code: ${status} ${pictured.summary.slice(0, 300)}`);
  // Zip64, as OneDrive and Teams give it.
  const big = await answer(page, () => field.uploadFile(resolve(samples, 'zip64.zip')));
  check(/^Files: 2 read\./.test(big.summary) && big.rows.some((cells) => cells[1] === 'Ann'), `zip64: ${big.summary.slice(0, 200)}`);
  // A picture of a code inside a zip, as an LMS hands it in, is read as one opened.
  const { pictures: [benCode] } = await shownCodes({ student: 'Ben Okri', rows: zoeRows }, () => out('hand-in-code-ben.png'));
  const zippedPicture = out('pictures.zip');
  writeFileSync(zippedPicture, zipSync({ 'Ben Okri_1002_assignsubmission_file_/code.png': readFileSync(benCode) }));
  await field.uploadFile(zippedPicture);
  await page.waitForFunction(() => /Ben Okri/.test(document.getElementById('scan-status').textContent), { timeout: 10000 }).catch(() => {});
  check((await textOf(page, '#scan-status')) === 'Codes read: 2 students, 6 rows. Added: Ben Okri, code 1 of 1 (3 rows).',
    `a picture of a code in a zip: ${await textOf(page, '#scan-status')}`);
  // Codes no page writes: each answered in words, nothing added.
  const far = await drawnCode(browser, 'CL1 1/1 Mal\n3 10 38 99999999999999999999', out('code-far.png'));
  await field.uploadFile(far);
  await page.waitForFunction(() => /Mal/.test(document.getElementById('scan-status').textContent), { timeout: 10000 }).catch(() => {});
  check((await textOf(page, '#scan-status')) === 'Codes read: 2 students, 6 rows. Not added: Mal, code 1 of 1 (no row to add; ' +
    '1 row refused: row 1, its second is outside the years a clock can give).', `a code from beyond the clock: ${await textOf(page, '#scan-status')}`);
  const long = await drawnCode(browser, `CL1 1/1 ${'a'.repeat(300)}\n3 10 38 1796806800`, out('code-long.png'));
  await field.uploadFile(long);
  await page.waitForFunction(() => /not a counting-lab/.test(document.getElementById('scan-status').textContent), { timeout: 10000 }).catch(() => {});
  check(/That is not a counting-lab hand-in code\.$/.test(await textOf(page, '#scan-status')), `a 300-letter name: ${await textOf(page, '#scan-status')}`);
  // Zips to refuse, in words.
  for (const [file, words] of [[zipSync({ 'big.csv': new Uint8Array(51 * 1024 * 1024).fill(48) }, { level: 1 }), /more than 50 MB/],
    [zipSync({ 'notes.docx': strToU8('x') }), /holds no sheet/], [strToU8('not a zip'), /is not a zip this page can read/]]) {
    const path = out(`refused-${words.source.length}.zip`);
    writeFileSync(path, file);
    const said = await saidOf(page, field, path, words);
    check(words.test(said), `a zip to refuse: ${said.slice(0, 200)}`);
  }
}

// Worksheet 2's key at the worksheet's time is the printed one; at another
// time it has that time's columns; a time that is no number is answered.
async function key(page) {
  const keyAt = async (t) => {
    await page.$eval('#key-time', (input, value) => { input.value = value; }, t);
    await page.click('#key-form button[type="submit"]');
    return page.$eval('#key-table', (div) => [...div.querySelectorAll('tr')].map((tr) => [...tr.cells].map((cell) => cell.textContent.trim())));
  };
  const printedKey = await page.$$eval('table:not(.key-table)', (tables) => {
    const table = tables.find((t) => /^m for t = /.test(t.rows[0].cells[5]?.textContent ?? ''));
    return [...table.rows].map((tr) => [...tr.cells].map((cell) => cell.textContent.trim()));
  });
  check(JSON.stringify(await keyAt('30')) === JSON.stringify(printedKey), 'Worksheet 2\'s key at 30 s is not the guide\'s');
  const at45 = await keyAt('45');
  check(at45.length === printedKey.length && at45[0][5] === 'm for t = 45 s (1/s)', `the key at 45 s: ${JSON.stringify(at45[0])}`);
  await keyAt('2,5');
  const refused = await textOf(page, '#key-table');
  check(/10 to 100/.test(refused) && /point/.test(refused), `the key's time "2,5" is answered: ${refused}`);
}

// Printed on A4 and on Letter: the worksheets and the answer keys are the
// pages that its first page names, one page each, and they end the guide.
async function printedPages(page) {
  const said = (await page.$eval('p.print-only', (p) => p.textContent.replace(/\s+/g, ' ')))
    .match(/Worksheet 1 is page (\d+) and Worksheet 2 page (\d+),.* pages (\d+) and (\d+)/).slice(1).map(Number);
  const starts = ['Worksheet 1:', 'Worksheet 2:', 'Answer key: not for students', 'Answer key: not for students'];
  for (const format of ['A4', 'Letter']) {
    const file = out(`guide-${format}.pdf`);
    writeFileSync(file, await page.pdf({ format }));
    const text = execFileSync('pdftotext', ['-layout', file, '-'], { encoding: 'utf8' });
    const pages = text.split('\f').filter((sheet, i, all) => i < all.length - 1 || sheet.trim() !== '')
      .map((sheet) => sheet.trim().split('\n')[0].trim());
    const found = starts.map((start, i) => (pages[said[i] - 1] ?? '').startsWith(start));
    check(found.every(Boolean) && pages.length === said[3], `printed on ${format}, the guide has ${pages.length} pages, not the ` +
      `worksheets and keys on pages ${said.join(', ')}: ${JSON.stringify(said.map((n) => pages[n - 1]))}`);
    figure(`printed on ${format}: ${pages.length} pages, the worksheets and keys on pages ${said.join(', ')}`);
  }
}

await area('guide', async (browser) => {
  const page = await browser.newPage();
  watch(page, 'guide', guideUrl);
  // A browser whose own code detector refuses QR codes: the guide reads
  // pictures of codes with jsQR instead, and the checks still run.
  await page.evaluateOnNewDocument(() => {
    window.BarcodeDetector = class { constructor() { throw new TypeError('QR codes are not supported here'); } };
  });
  await page.goto(guideUrl);
  await page.waitForFunction('window.checkerReady', { timeout: 5000 });
  // Typed as a teacher types, field by field, then Check.
  const ask = async (...values) => {
    for (const [name, value] of [['Source (1-5)'], ['Distance d (cm)'], ['Counting time t (s)'], ['Count N']].map(([n], i) => [n, values[i]])) {
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
  for (const said of [bySource, byDistance, comma, part, await ask('', '', '', '')]) {
    check(said !== '' && !/NaN|Infinity|undefined/.test(said), `the checker answered "${said}"`);
  }
  figure(`the checker answers source 3, 10 s, N = 37:\n  ${bySource.replace(/\n/g, '\n  ')}`);
  await classSheets(page, printed);
  await handedIn(page, browser);
  await key(page);
  await audit(page, 'the teacher\'s guide');
  const size = statSync(paths.guide).size;
  figure(`the guide: ${size} bytes`);
  check(size < 720 * 1024, 'the guide is 720 KB or more');  // 130 KB of it the QR code reader, 65 KB the workbook reader
  await page.close();
});
