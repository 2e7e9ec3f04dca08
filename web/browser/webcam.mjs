// Codes at arm's length: ten hand-in codes as a 320 px phone shows them,
// seen by a laptop's webcam through Chromium's fake camera, each held up
// for a second: at 1280 x 720 with the phone 40 cm away (about 3 camera pixels a
// module), and at 640 x 480 from 30 cm (the code about 110 pixels across),
// each turned 20 degrees, blurred and noisy. The first must read 9 of 10;
// the second is reported.
import { resolve } from 'node:path';
import { area, check, exampleClass, figure, guideUrl, paths } from './harness.mjs';
import { guideWithCamera, shownCodes, video } from './pictures.mjs';

const cameras = [
  { name: '1280 x 720 at 40 cm', width: 1280, height: 720, pixels: 3, needed: 9 },
  { name: '640 x 480 at 30 cm', width: 640, height: 480, pixels: 110 / 49, needed: null },
];

// How many of the codes the guide reads through a camera that plays `file`,
// a code a second, in `passes` passes of the video.
async function scanned(file, count, passes = 1) {
  return guideWithCamera(file, async (guide) => {
    await guide.click('#scan-start');
    await guide.waitForFunction((n) => window.scannedCodes && window.scannedCodes.codes === n,
      { timeout: passes * count * 1000 + 2000, polling: 250 }, count).catch(() => {});
    return guide.evaluate(() => (window.scannedCodes ? window.scannedCodes.codes : 0));
  });
}

await area('codes at arm\'s length', async (browser) => {
  const pictures = [];
  let across = 0;
  for (const [student, rows] of exampleClass()) {
    if (pictures.length >= 10) break;
    const shown = await shownCodes({ student, rows }, (at) => resolve(paths.out, `webcam-code-${pictures.length + at}.png`));
    pictures.push(...shown.pictures);
    across = Math.max(across, shown.modules);
  }
  pictures.length = 10;
  const guide = await browser.newPage();
  await guide.goto(guideUrl);
  await guide.waitForFunction('window.checkerReady', { timeout: 5000 });
  for (const { name, width, height, pixels, needed } of cameras) {
    const frame = (k) => resolve(paths.out, `webcam-${width}-${k}.png`);
    const file = await video(browser, pictures, { width, height, fps: 1, across, file: resolve(paths.out, `webcam-${width}.y4m`),
      sight: { pixels, tilt: 20, blur: 1, noise: 8 }, frame: needed === null ? null : frame });
    let read = null;
    if (needed !== null) {
      const before = await guide.evaluate(() => [window.scannedCodes ? window.scannedCodes.codes : 0, window.picturesOpened || 0]);
      await (await guide.$('#class-file')).uploadFile(...pictures.map((_, k) => frame(k)));
      await guide.waitForFunction((n) => window.picturesOpened === n, { timeout: 90000 }, before[1] + pictures.length);
      read = (await guide.evaluate(() => (window.scannedCodes ? window.scannedCodes.codes : 0))) - before[0];
      check(read >= needed, `a webcam of ${name}: ${read} of ${pictures.length} codes read from its frames, not ${needed}`);
    }
    const live = await scanned(file, pictures.length);
    figure(`a webcam of ${name} (${pixels.toFixed(1)} camera pixels a module, turned 20 degrees, blurred 1 px, noise of 8 grey ` +
      `levels), codes of ${across} modules: ${read === null ? '' : `${read} of ${pictures.length} read from its frames, `}` +
      `${live} of ${pictures.length} through the fake camera in one pass`);
  }
  await guide.close();
}, { chromeOnly: true });
