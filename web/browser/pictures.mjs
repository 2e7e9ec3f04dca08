// Pictures of hand-in codes for the guide to read: a code shown by the page
// from a student's table, and any text drawn as a code as the page draws it.
import qrcode from 'qrcode-generator';
import { keep, open } from './harness.mjs';

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
