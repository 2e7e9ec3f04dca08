// A desktop: the whole session typed into the field, as at a console (one
// real 10 s recording, during which nothing typed reaches the program, the
// rest pasted), which must give the console program's transcript with the
// screen cleared where the console clears it, and what a screen reader
// hears; a restart, the number grammar, a second recording of the distance
// exercise, and Ctrl-D. Then the table of the two counts: reproduced by the
// program at their seconds, named, downloaded, copied and shown as a code.
import { readFileSync, rmSync } from 'node:fs';
import { resolve } from 'node:path';
import { area, audit, asksBeforeLeaving, check, chrome, countsDownToTheCount, figure, focused, heardWords, logText, open,
  paths, sleep, textOf, type } from './harness.mjs';

const answers = readFileSync(resolve(paths.source, 'tests/session.txt'), 'utf8').trimEnd().split('\n');
const expected = readFileSync(resolve(paths.source, 'tests/session.expected'), 'utf8');
// The console program clears the screen before each of these headers.
const headers = expected.match(/===== (Main menu|Part 1|Part 2) /g).length;

// The renderer's work while a recording runs, counted rather than timed so
// that a loaded machine gives the same: what the countdown does once a
// second (a style recalculation and a layout or so), and nothing between.
async function quietDuring(page, lab) {
  const before = await page.metrics();
  const started = Date.now();
  await page.waitForFunction('window.countingLab.output.includes("N = ")', { timeout: 15000, polling: 1000 });
  const seconds = (Date.now() - started) / 1000;
  const after = await page.metrics();
  const per = (key) => (after[key] - before[key]) / seconds;
  const busy = (after.TaskDuration - before.TaskDuration) / seconds;
  figure(`while recording, each second: ${per('LayoutCount').toFixed(1)} layouts, ${per('RecalcStyleCount').toFixed(1)} style ` +
    `recalculations; renderer busy ${(100 * busy).toFixed(2)} % of ${seconds.toFixed(1)} s`);
  check(per('LayoutCount') <= 3 && per('RecalcStyleCount') <= 3,
    `the page laid itself out ${per('LayoutCount').toFixed(1)} and restyled ${per('RecalcStyleCount').toFixed(1)} times a second while recording`);
  figure(`count shown ${(await lab('lastWrite')) % 1000} ms after the second ticked`);
}

// The table after the two recordings, handed in every way.
async function handedIn({ page, lab }, counts) {
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
  check(await asksBeforeLeaving(page), 'leaving does not ask while the counts are not handed in');
  check(await page.$eval('#table-actions', (a) => !a.hidden && getComputedStyle(a).display !== 'none'), 'no buttons');
  await page.type('#student-name', 'Ada Lovelace');
  check((await textOf(page, '#measurements-title')) === "Ada Lovelace's measurements", 'the table does not say whose it is');
  const utc = (second) => new Date(second * 1000).toISOString().replace('.000Z', 'Z');
  const csv = 'student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc\r\n' +
    `Ada Lovelace,1,3,10.3,,10,${counts[0]},${utc(rows[0].second)}\r\n` +
    `Ada Lovelace,2,,,2.5,10,${counts[1]},${utc(rows[1].second)}\r\n`;
  check((await lab('csv()')) === csv, `the CSV is ${JSON.stringify(await lab('csv()'))}`);
  figure(`the CSV of the desktop session:\n  ${csv.trim().replace(/\r\n/g, '\n  ')}`);
  // Downloaded as a file where the test can say where downloads go (Chromium).
  const today = new Date();
  const name = `counting-lab-Ada-Lovelace-${today.getFullYear()}-${String(today.getMonth() + 1).padStart(2, '0')}-` +
    `${String(today.getDate()).padStart(2, '0')}.csv`;
  let downloaded = null;  // the suggested name, and the file once it is complete
  if (chrome) {
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allowAndName', downloadPath: resolve(paths.out), eventsEnabled: true });
    downloaded = new Promise((done) => {
      let suggested = null;
      cdp.on('Browser.downloadWillBegin', (event) => { suggested = event.suggestedFilename; });
      cdp.on('Browser.downloadProgress', (event) => {
        if (event.state !== 'inProgress') done({ suggested, file: resolve(paths.out, event.guid), state: event.state });
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
  check((await textOf(page, '#table-note')).includes(name), 'no word of the download');
  check(!(await asksBeforeLeaving(page)), 'leaving asks after the counts were downloaded');
  // Copied: to the clipboard, or selected where the browser refuses it.
  await page.click('#copy');
  await page.waitForFunction(() => /Copied|selected/.test(document.getElementById('table-note').textContent), { timeout: 5000 });
  const tsv = await lab('tsv()');
  check(tsv === csv.replace(/,/g, '\t').replace(/\r\n/g, '\n'), `the copied table is ${JSON.stringify(tsv)}`);
  // Shown as a hand-in code: the name and the rows, each time after the one before.
  await page.click('#show-code');
  const code = `CL1 1/1 Ada Lovelace\n3 10 ${counts[0]} ${rows[0].second}\nd2.5 10 ${counts[1]} ${rows[1].second - rows[0].second}`;
  check(JSON.stringify(await lab('codes')) === JSON.stringify([code]) &&
    /^Shown as a hand-in code/.test(await textOf(page, '#table-note')) && !(await asksBeforeLeaving(page)),
  `the hand-in code: ${JSON.stringify(await lab('codes'))}`);
}

await area('desktop session', async () => {
  const { page, lab, until, opened } = await open('desktop', { viewport: { width: 1280, height: 800 } });
  await until('reading');
  // Timings vary with the machine, so they are reported, not checked.
  const loaded = await page.evaluate(() => performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd);
  const firstPromptMs = await lab('firstPromptMs');
  figure(`first prompt ${Math.round(firstPromptMs)} ms after the page began to load, ` +
    `${Math.round(firstPromptMs - loaded)} ms after its HTML was read (${Date.now() - opened} ms after page.goto)`);
  check((await focused(page)) === 'field', 'the field has no focus when the page opens');
  await audit(page, 'desktop, main menu');
  const recordingAt = answers.indexOf('10');
  for (const answer of answers.slice(0, recordingAt + 1)) {
    await until('reading');
    await type(page, answer);
  }
  // Typed while the recording runs: held off, neither shown nor answered.
  await until('recording');
  const handed = (await lab('lines')).length;
  await type(page, answers[recordingAt + 1]);
  const shown = await logText(page);
  check(/t \(s\) = 10\nRecording in progress \.\.\.\n$/.test(shown), `not the screen of a recording:\n${shown}`);
  check((await lab('lines')).length === handed, 'a line typed during the recording reached the program');
  check((await focused(page)) === 'field', 'the field lost the focus after an answer');
  if (await page.evaluate(() => 'wakeLock' in navigator)) {
    check(['held', 'refused'].includes(await lab('wakeLock')), 'no wake lock asked for during the recording');
  }
  await page.screenshot({ path: `${paths.out}/desktop.png` });
  // The rest of the recording, looked in on seldom so as not to load the page that is measured.
  if (chrome) await quietDuring(page, lab);
  else await until('output.includes("N = ")', 15000, 1000);
  check((await lab('wakeLock')) !== 'held', 'the wake lock was kept after the count');
  await countsDownToTheCount(lab, '10 s');
  // A screen reader heard the new screen once, then, after the unknown
  // source 9, only the prompt, and after the recording only the count and
  // the prompt: never the source list again, nor the echo.
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
  await type(page, answers[recordingAt + 1]);
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
  check(output === expected, `the transcript differs:\n--- expected\n${JSON.stringify(expected)}\n--- got\n${JSON.stringify(output)}`);
  const clears = await lab('clears');
  check(clears.length === headers && clears.every((at) => /^===== (Main menu|Part 1|Part 2) /.test(raw.slice(at))),
    `the screen was cleared at ${JSON.stringify(clears)}, not before each of the ${headers} headers`);
  await audit(page, 'desktop, the end');
  check((await lab('exitStatus')) === 0, 'exit status not 0');
  check((await textOf(page, '#note')).includes('has ended'), 'no word that it ended');
  check((await focused(page)) === 'again', 'the restart button has no focus at the end');

  // Started again: the distance exercise, then Ctrl-D on an empty line ends the input.
  await page.click('#again');
  await until('reading && window.countingLab.runs === 2');
  check((await focused(page)) === 'field', 'the field has no focus after a restart');
  await type(page, '2');
  await until('reading && window.countingLab.output.endsWith("= ")');
  await audit(page, 'desktop, distance exercise');
  // The program's number grammar: none of these is a number, and a comma gets a hint.
  const words = ['2,5', '0x14', 'nan'];
  for (const word of words) {
    await type(page, word);
    await until(`reading && window.countingLab.lines.length === ${words.indexOf(word) + 2}`);
    if (word === '2,5') check(/point/.test(await textOf(page, '#note')), 'no hint after "2,5"');
  }
  const refused = await lab('output');
  check(refused.split('Not a number!').length - 1 === 3 && !refused.includes('Recording'),
    `"2,5", "0x14" or "nan" read as a number:\n${refused}`);
  // A second real recording, of the distance exercise: 2.5 cm for 10 s.
  await type(page, '2.5');
  await until('reading && window.countingLab.output.endsWith("t(s) = ")');
  await type(page, '10');
  await until('recording');
  await until('reading && window.countingLab.output.endsWith("d(cm) = ")', 15000, 500);
  await page.keyboard.down('Control');
  await page.keyboard.press('d');
  await page.keyboard.up('Control');
  await until('exitStatus !== null');
  check((await lab('output')).endsWith('= \n'), 'Ctrl-D did not end the input with a line break');
  await handedIn({ page, lab }, [raw, await lab('output')].map((text) => Number(/N = (\d+)\n/.exec(text)[1])));
  await page.close();
});
