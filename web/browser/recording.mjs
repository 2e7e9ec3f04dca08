// Two phones side by side (in Firefox, two desktop windows, typed into),
// each through one 10 s recording of Part 1. One records 10.4 s: the pad is
// held off, the time left moves and is 0 when the count comes, leaving asks
// first, and after the count the next prompt waits for a new answer. The
// other fails during its recording and is started again: nothing of the
// old run, its count or its list, reaches the new one. And a browser that
// cannot run the program says so.
import { area, asksBeforeLeaving, audit, check, chrome, countsDownToTheCount, logText, open, paths, phone, sleep, tap,
  textOf } from './harness.mjs';

const startRecording = async ({ page, until }, time = ['1', '0']) => {
  await until('reading');
  await tap(page, '1', 'enter', '3', 'enter', ...time, 'enter');
  await until('recording');
};

async function holdsOff(into) {
  const tab = await open('phone, recording', { device: phone, into });
  const { page, lab, until } = tab;
  await until('reading');
  await tap(page, '2', 'backspace');
  check(!(await asksBeforeLeaving(page)), 'leaving asks before any count');
  await startRecording(tab, ['1', '0', 'point', '4']);
  check(await page.$$eval('#pad button', (keys) => keys.every((key) => key.disabled)), 'the pad keys are not disabled during a recording');
  const handed = (await lab('lines')).length;
  await tap(page, '1', '0', 'enter', 'minus');
  check((await lab('lines')).length === handed && (await page.$eval('#field', (f) => f.value)) === '',
    'taps during a recording reached the program');
  check(await asksBeforeLeaving(page), 'leaving does not ask during a recording');
  const first = await textOf(page, '#left');
  await audit(page, chrome ? 'phone, during a recording' : 'desktop, during a recording');
  await page.screenshot({ path: `${paths.out}/phone-recording.png` });
  await sleep(2100);
  const later = await textOf(page, '#left');
  check(/^\d+ s left$/.test(first) && parseInt(later, 10) < parseInt(first, 10), `the time left did not move: "${first}", then "${later}"`);
  await until('output.includes("N = ")', 15000, 200);
  await countsDownToTheCount(lab, '10.4 s');
  await until('reading');
  await sleep(300);
  check((await lab('lines')).length === handed && (await lab('reading')), 'the prompt after the count did not wait for a new answer');
  check(!(await page.$eval('#recording', (bar) => bar.hidden === false)), 'the time left stays after the count');
  check(await asksBeforeLeaving(page), 'leaving does not ask after a count');
  // The field is described by the question asked now: the menu of sources.
  const described = await textOf(page, '#range');
  check(described === 'Enter source number (1-5) or 0 to return to the main menu.', `after a count the field is described as "${described}"`);
  await page.screenshot({ path: `${paths.out}/phone-count.png` });
  await page.close();
}

async function restarts(into) {
  const tab = await open('phone, failure', { device: phone, into });
  const { page, lab, until } = tab;
  await startRecording(tab);
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
}

await area('recording', async (browser) => {
  // Two phones, each with a storage of its own: one's count is not the other's table.
  const [one, two] = await Promise.all([browser.createBrowserContext(), browser.createBrowserContext()]);
  await Promise.all([holdsOff(one), restarts(two)]);
  const { page } = await open('no WebAssembly', { before: () => { delete window.WebAssembly; } });
  await page.waitForSelector('.failure[role="alert"]', { timeout: 5000 });
  check(await page.$eval('#field', (field) => field.hidden), 'the field still invites typing after a failure');
  await page.close();
});
