// The table on the device: two tabs recording in turn keep every count and
// show each other's; a reload, a tab opened later and a tab opened after
// another closed find it; clearing asks first and clears it in every tab;
// the next student on a shared computer starts a table of their own; and a
// browser that keeps nothing still keeps the table in the tab and says
// once that a reload loses it.
import { area, asksBeforeLeaving, check, chrome, keep, keptRow, open, textOf, type } from './harness.mjs';

// One recording of source `source` for 10 s, typed in that tab.
async function record({ page, lab, until }, source) {
  await page.bringToFront();
  await until('reading');
  const rows = (await lab('rows')).length;
  await type(page, String(source));
  await until('reading');
  await type(page, '10');
  await until('recording');
  await until(`rows.length > ${rows}`, 15000, 250);
}
const sources = (rows) => rows.map((row) => row.source).join(',');

async function twoTabs(browser) {
  const a = await open('tab A');
  const b = await open('tab B');
  for (const tab of [a, b]) {
    await tab.until('reading');
    await type(tab.page, '1');
  }
  await record(a, 3);
  await record(b, 5);
  check(sources(await a.lab('rows')) === '3,5', `tab A does not show tab B's count: ${sources(await a.lab('rows'))}`);
  await record(a, 2);
  for (const [name, tab] of [['A', a], ['B', b]]) {
    await tab.page.reload();
    await tab.until('reading');
    check(sources(await tab.lab('rows')) === '3,5,2', `after a reload tab ${name} shows ${sources(await tab.lab('rows'))}, not 3,5,2`);
  }
  // Kept for a tab opened later, and for one opened after another closed.
  await b.page.close();
  const later = await browser.newPage();
  await later.goto(a.page.url());
  await later.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 5000 });
  check((await later.evaluate(() => window.countingLab.rows.length)) === 3, 'a tab opened after another closed lost the table');
  // Clearing asks first, and clears every tab.
  await a.page.bringToFront();
  await a.page.click('#clear');
  check(await a.page.$eval('#asking', (asking) => !asking.hidden), 'clearing the table does not ask');
  await a.page.click('#clear-no');
  check((await a.lab('rows')).length === 3, 'keeping the table cleared it');
  await a.page.click('#clear');
  await a.page.click('#clear-yes');
  await later.waitForFunction('window.countingLab.rows.length === 0', { timeout: 5000 }).catch(() => {});
  check((await a.lab('rows')).length === 0 && (await a.page.$eval('#table', (t) => t.hidden)) &&
    (await later.evaluate(() => window.countingLab.rows.length)) === 0, 'the table was not cleared in every tab');
  await later.close();
  await a.page.close();
}

// The last student's table on a shared computer: kept, named, and replaced
// by the next student's own with one question.
async function sharedComputer() {
  const tab = await open('shared computer');
  await keep(tab, { student: 'Ada Lovelace', rows: [keptRow({ source: 3, N: 37, second: 1796806810 }),
    keptRow({ d: 2.5, N: 11, second: 1796806870 })], handed_in: false });
  const { page, lab } = tab;
  check((await lab('rows')).length === 2 && (await lab('student')) === 'Ada Lovelace', 'the kept table was not shown');
  check(/^Kept 2 measurements of Ada Lovelace from before\. Not handed in yet\./.test(await textOf(page, '#table-note')),
    `no word of what was kept: ${await textOf(page, '#table-note')}`);
  check(await asksBeforeLeaving(page), 'leaving does not ask with counts not handed in');
  await page.click('#own-table');
  check(/^Start a table of your own\? The 2 measurements of Ada Lovelace are cleared/.test(await textOf(page, '#asking-words')),
    'starting a table of one\'s own does not ask');
  await page.click('#clear-yes');
  check((await lab('rows')).length === 0 && (await lab('student')) === '' && !(await asksBeforeLeaving(page)) &&
    (await page.$eval('#student-name', (field) => field.value)) === '', 'the last student\'s table or name was kept');
  await page.close();
}

// A private window, a full quota (Chromium: Firefox lets no preload script
// of a file: page touch its storage).
async function keepsNothing() {
  const kept = JSON.stringify({ student: 'Cy', rows: [keptRow({ source: 1, N: 31, second: 1796790020 })] });
  const { page, lab, until } = await open('no storage', { before: `localStorage.setItem('counting-lab measurements',
    ${JSON.stringify(kept)}); Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };` });
  await until('reading');
  await page.click('#clear');
  await page.click('#clear-yes');
  const said = await textOf(page, '#table-note');
  check((await lab('rows')).length === 0 && /keeps no table/.test(said), `with no storage: ${JSON.stringify(said)}`);
  await page.close();
}

await area('table', async (browser) => {
  await twoTabs(browser);
  await sharedComputer();
  if (chrome) await keepsNothing();
});
