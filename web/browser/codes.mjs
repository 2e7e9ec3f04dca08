// Hand-in codes of the class of the guide's example (30 students, 27
// counts each: three codes apiece) as a 320 px phone shows them; the guide
// scans them through Chromium's fake camera, which plays their screenshots
// as a video, four codes a second, and must reproduce every row.
import { resolve } from 'node:path';
import { area, audit, check, exampleClass, figure, paths } from './harness.mjs';
import { guideWithCamera, shownCodes, video } from './pictures.mjs';

await area('hand-in codes', async (browser) => {
  const students = exampleClass();
  const pictures = [];
  let modules = 0;
  for (const [student, rows] of students) {
    const shown = await shownCodes({ student, rows }, (at) => resolve(paths.out, `hand-in-code-${pictures.length + at}.png`),
      async (page, at) => {
        if (pictures.length > 0 || at > 0) return;  // the first code of the first student
        await page.screenshot({ path: resolve(paths.out, 'phone-hand-in-code.png') });
        await audit(page, 'phone at 320 px, a hand-in code shown');
      });
    pictures.push(...shown.pictures);
    modules = Math.max(modules, shown.modules);
  }
  figure(`${pictures.length} codes for ${students.size} students of 27 counts, at most ${modules} modules across`);
  const file = await video(browser, pictures, { width: 480, height: 360, file: resolve(paths.out, 'hand-in-codes.y4m') });
  await guideWithCamera(file, async (guide) => {
    const started = Date.now();
    await guide.click('#scan-start');
    await guide.waitForFunction((n) => window.scannedCodes && window.scannedCodes.codes === n, { timeout: 120000, polling: 200 },
      pictures.length).catch(() => {});
    const seconds = (Date.now() - started) / 1000;
    // The class is checked again half a second after the last new code.
    await guide.waitForFunction(() => /\nRows: 810 read/.test(document.getElementById('class-summary').textContent),
      { timeout: 5000 }).catch(() => {});
    const status = await guide.$eval('#scan-status', (p) => p.textContent);
    const summary = await guide.$eval('#class-summary', (o) => o.textContent);
    check(/^Codes read: 30 students, 810 rows\./.test(status) && /\nRows: 810 read, 0 refused\./.test(summary) &&
      /\nNot reproduced by the program at their second: 0 of 810 rows/.test(summary),
    `scanned through the camera: ${status}\n${summary.slice(0, 300)}`);
    figure(`${pictures.length} codes scanned through the fake camera in ${seconds.toFixed(1)} s ` +
      `(the video shows each for 0.25 s; it plays ${(pictures.length / 4).toFixed(2)} s): ${status}`);
    await guide.$eval('#scan', (box) => box.scrollIntoView({ block: 'center' }));
    await guide.screenshot({ path: resolve(paths.out, 'guide-scan.png') });
    await guide.click('#scan-start');
    check(await guide.$eval('#scan', (box) => box.hidden), 'scanning does not stop');
  });
}, { chromeOnly: true });
