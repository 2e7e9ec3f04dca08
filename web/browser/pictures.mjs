// Pictures of hand-in codes for the guide to read: a code shown by the page
// from a student's table, any text drawn as a code as the page draws it,
// and a video of pictures for Chromium's fake camera, each as a camera
// sees it.
import { readFileSync, writeFileSync } from 'node:fs';
import qrcode from 'qrcode-generator';
import { check, guideUrl, keep, launch, open } from './harness.mjs';

// The page's hand-in codes of `table` ({ student, rows }), each a
// screenshot at `path(k)`, as a phone at 320 px shows them; `each(page, k)`
// looks at the screen showing code k.
export async function shownCodes(table, path, each = async () => {}) {
  const tab = await open('hand-in codes', { viewport: { width: 320, height: 640, isMobile: true, hasTouch: true, deviceScaleFactor: 2 } });
  await keep(tab, { ...table, handed_in: true });
  const { page, lab } = tab;
  await page.click('#show-code');
  const pictures = [];
  let modules = 0;
  for (let at = 0; at < (await lab('codes')).length; at += 1) {
    if (at > 0) await page.click('#code-next');
    modules = Math.max(modules, await lab('codeModules'));
    await (await page.$('#code-image')).screenshot({ path: path(at) });
    await each(page, at);
    pictures.push(path(at));
  }
  await page.evaluate(() => localStorage.removeItem('counting-lab measurements'));
  await page.close();
  return { pictures, modules };
}

// `text` as a QR code, as the page draws one, in a picture at `path`.
export async function drawnCode(browser, text, path) {
  qrcode.stringToBytes = (s) => [...new TextEncoder().encode(s)];
  const code = qrcode(0, 'L');
  code.addData(text, 'Byte');
  code.make();
  const page = await browser.newPage();
  await page.setViewport({ width: 400, height: 400 });
  await page.setContent(`<body style="margin:0;background:#fff">${code.createSvgTag({ cellSize: 6, margin: 4 })}</body>`);
  await (await page.$('svg')).screenshot({ path });
  await page.close();
  return path;
}

// The pictures at `paths` as a Y4M video of `width` x `height`, `fps`
// frames a second, at `file`. Each picture (a screenshot of a code, `across`
// modules and its margin of 4 on each side) is drawn on grey: filling the
// height less 20 px, or, with `sight`, as a camera sees a phone's screen:
// `pixels` camera pixels a module, on the white of the screen, turned by
// `tilt` degrees, blurred by `blur` px and with noise of `noise` grey levels
// (a seeded sequence, the same each run). With `frame(k)`, each frame is
// also written as a picture there.
export async function video(browser, paths, { width, height, fps = 4, file, across = 0, sight = null, frame = null }) {
  const drawing = await browser.newPage();
  const frames = [];
  for (const [k, path] of paths.entries()) {
    const drawn = await drawing.evaluate(async (png, w, h, modules, seen, seed, picture) => {
      const image = await createImageBitmap(new Blob([Uint8Array.from(atob(png), (c) => c.charCodeAt(0))]));
      const canvas = Object.assign(document.createElement('canvas'), { width: w, height: h });
      const context = canvas.getContext('2d');
      context.fillStyle = '#808080';
      context.fillRect(0, 0, w, h);
      if (!seen) {
        const side = h - 20;
        context.drawImage(image, (w - side) / 2, 10, side, side);
      } else {
        const side = seen.pixels * (modules + 8);
        context.translate(w / 2, h / 2);
        context.rotate((seen.tilt * Math.PI) / 180);
        context.filter = `blur(${seen.blur}px)`;
        context.fillStyle = '#f4f4f4';  // the phone's screen round the code
        context.fillRect(-side * 0.7, -side * 0.9, side * 1.4, side * 1.8);
        context.drawImage(image, -side / 2, -side / 2, side, side);
        context.setTransform(1, 0, 0, 1, 0, 0);
        context.filter = 'none';
      }
      const rgba = context.getImageData(0, 0, w, h).data;
      let state = seed >>> 0;
      const gaussian = () => {  // Box-Muller on a xorshift sequence
        const uniform = () => {
          state ^= state << 13; state >>>= 0; state ^= state >>> 17; state ^= state << 5; state >>>= 0;
          return (state + 1) / 4294967297;
        };
        return Math.sqrt(-2 * Math.log(uniform())) * Math.cos(2 * Math.PI * uniform());
      };
      let luma = '';
      for (let i = 0; i < rgba.length; i += 4) {
        const grey = Math.max(0, Math.min(255, Math.round(0.299 * rgba[i] + 0.587 * rgba[i + 1] + 0.114 * rgba[i + 2] +
          (seen ? seen.noise * gaussian() : 0))));
        luma += String.fromCharCode(grey);
        rgba[i] = rgba[i + 1] = rgba[i + 2] = grey;
      }
      if (!picture) return { luma: btoa(luma) };
      context.putImageData(new ImageData(rgba, w, h), 0, 0);
      return { luma: btoa(luma), png: canvas.toDataURL('image/png').split(',')[1] };
    }, readFileSync(path).toString('base64'), width, height, across, sight, 2026 + k, frame !== null);
    frames.push(Buffer.from(drawn.luma, 'base64'));
    if (frame) writeFileSync(frame(k), Buffer.from(drawn.png, 'base64'));
  }
  await drawing.close();
  const chroma = Buffer.alloc(width * height / 2, 128);
  writeFileSync(file, Buffer.concat([Buffer.from(`YUV4MPEG2 W${width} H${height} F${fps}:1 Ip A1:1 C420jpeg\n`),
    ...frames.flatMap((luma) => [Buffer.from('FRAME\n'), luma, chroma])]));
  return file;
}

// The guide in a browser whose camera plays the video `file` (Chromium's
// fake camera), ready to check: `use(guide)` drives it.
export async function guideWithCamera(file, use) {
  const camera = await launch(['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
    `--use-file-for-fake-video-capture=${file}`]);
  try {
    const guide = await camera.newPage();
    guide.on('pageerror', (error) => check(false, `the guide, scanning: ${error.message}`));
    await guide.setViewport({ width: 1280, height: 900 });
    await guide.goto(guideUrl);
    await guide.waitForFunction('window.checkerReady', { timeout: 5000 });
    return await use(guide);
  } finally {
    await camera.close();
  }
}
