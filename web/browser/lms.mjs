// A class of 30 handed in as each LMS, cloud drive and spreadsheet gives it
// to a teacher (tests/hand-in/lms, written by fixtures/lms.mjs): every
// student is in the guide's summary, with rows read or named beside a file
// not read and why; a spreadsheet's re-save has every row read and every
// time read; a workbook alone is read from its first sheet.
import { readdirSync } from 'node:fs';
import { resolve } from 'node:path';
import { area, check, figure, guideUrl, paths, watch } from './harness.mjs';
import { students, typed } from '../fixtures/students.mjs';

const folder = resolve(paths.source, 'tests/hand-in/lms');
const sorted = (name) => name.normalize('NFD').replace(/[^A-Za-z ]/g, '').toLowerCase().split(' ').reverse().join('');
const rowsEach = 27;

async function opened(page, file) {
  await page.evaluate(() => { window.classCheckMs = undefined; });
  const started = Date.now();
  await (await page.$('#class-file')).uploadFile(resolve(folder, file));
  await page.waitForFunction('window.classCheckMs !== undefined', { timeout: 60000 });
  return page.evaluate((ms) => ({
    ms,
    summary: document.getElementById('class-summary').textContent,
    rows: [...document.querySelectorAll('#class-table tbody tr')].map((tr) => [...tr.cells].map((td) => td.textContent)),
  }), Date.now() - started);
}

await area('an LMS\'s downloads', async (browser) => {
  const page = await browser.newPage();
  watch(page, 'lms', guideUrl);
  await page.goto(guideUrl);
  await page.waitForFunction('window.checkerReady', { timeout: 5000 });
  for (const file of readdirSync(folder).filter((name) => name.endsWith('.zip')).sort()) {
    const { ms, summary, rows } = await opened(page, file);
    const withRows = (/^Students with rows: \d+ \((.*)\)\.$/m.exec(summary) || [null, ''])[1].split(', ');
    const notRead = (/^Not read: (.*)$/m.exec(summary) || [null, ''])[1];
    const refused = rows.filter((cells) => / is missing|is not /.test(cells.join(' ')));
    const unnamed = rows.filter((cells) => /student is missing/.test(cells.join(' '))).length;
    // Present: rows under the LMS's name, the typed one or Canvas's sorted
    // one, or a file not read that is the student's; a student whose name
    // nothing gives (Ben, who left it empty, in a shared folder) by the rows
    // refused as having no student.
    const absent = students.filter((name) => {
      const spellings = [name, typed[name], sorted(name)].filter(Boolean);
      return !spellings.some((spelling) => withRows.includes(spelling) || notRead.includes(`, ${spelling}'s)`)) &&
        !(name === 'Ben Okri' && unnamed === rowsEach);
    });
    check(absent.length === 0, `${file}: ${absent.length} students missing from the summary (${absent.join(', ')}):\n${summary.slice(0, 1500)}`);
    check(!rows.some((cells) => cells.includes('time not read')), `${file}: times not read`);
    // The counts are the program's: each reproduced at its second, or fitting its minute.
    check(/resave/.test(file) ? /no second of its minute gives the count in 0\./.test(summary)
      : /Not reproduced by the program at their second: 0 of /.test(summary), `${file}: counts not reproduced`);
    // Refused: only Ben's rows, where nothing names him.
    const unnamedHere = /google-drive|macos-finder/.test(file) ? rowsEach : 0;
    check(refused.length === unnamedHere, `${file}: ${refused.length} rows refused, not ${unnamedHere}:\n${summary.slice(0, 800)}`);
    if (process.env.LMS_SUMMARY) console.log(file, summary);
    figure(`${file}: ${rows.length} rows, ${refused.length} refused, ${students.length - absent.length} of ${students.length} students, ${ms} ms`);
  }
  const { summary, rows } = await opened(page, 'counting-lab-Olivia-Chen-2026-12-09.xlsx');
  check(rows.length === rowsEach && rows.every((cells) => cells.includes('Olivia Chen')) && /^Read from the first sheet of a workbook/.test(summary),
    `a workbook alone: ${rows.length} rows\n${summary.slice(0, 500)}`);
});
