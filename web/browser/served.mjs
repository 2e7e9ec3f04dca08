// The page and the guide served over HTTP, as a course site serves them,
// with the header that packaging/web-host.txt gives: no policy violated,
// the live region says the same prompt twice, the guide may use the
// camera. Then the web edition from a folder of a course site (/lab/ on
// 127.0.0.1): its worker is active after the first visit, Chromium finds it
// installable, and with the server stopped the page and the guide load
// from the worker's cache and a 10 s recording gives its count; a second
// version's worker takes over at the next visit and leaves only its own cache.
import { existsSync, readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { gzipSync } from 'node:zlib';
import { resolve } from 'node:path';
import { area, check, chrome, figure, heardWords, noteViolations, open, paths, sleep, violations, watch } from './harness.mjs';

const host = readFileSync(paths.host, 'utf8');
const header = host.match(/^Content-Security-Policy: (.*)$/m)[1];
const permissions = host.match(/^Permissions-Policy: (.*)$/m)[1];
const listen = (server, port = 0) => new Promise((done) => server.listen(port, '127.0.0.1', done));

async function served(browser) {
  const files = { '/counting-lab.html': paths.page, '/teaching-guide.html': paths.guide };
  const server = createServer((request, response) => {
    const file = files[request.url];
    response.writeHead(file ? 200 : 404, { 'Content-Type': 'text/html; charset=utf-8', 'Content-Security-Policy': header,
      'Permissions-Policy': permissions });
    response.end(file ? readFileSync(file) : '');
  });
  await listen(server);
  const origin = `http://127.0.0.1:${server.address().port}`;
  try {
    const page = await open('served page', { at: `${origin}/counting-lab.html`, before: noteViolations });
    await page.until('reading');
    // An unknown source twice: the same prompt twice in a row, which a
    // screen reader hears only if the live region's text changes.
    for (const [i, answer] of ['1', '9', '9', '0', '0'].entries()) {
      await page.until('reading');
      await page.page.keyboard.type(answer);
      await page.page.keyboard.press('Enter');
      await page.until(`lines.length === ${i + 1}`);
    }
    await page.until('exitStatus === 0');
    const told = await page.page.evaluate(() => window.heard);
    const words = await heardWords(page.page);
    const part1 = words.findIndex((screen) => screen.startsWith('===== Part 1'));
    const twice = words.slice(part1 + 1, part1 + 3);
    check(told.every((said, i) => i === 0 || said !== told[i - 1]) && twice.length === 2 &&
      twice.every((said) => said === 'Waiting for your choice:'), `served page: the live region said ${JSON.stringify(told)}`);
    check((await violations(page.page)).length === 0, `served page: ${await violations(page.page)}`);
    await page.page.close();
    const guide = await browser.newPage();
    watch(guide, 'served guide', `${origin}/teaching-guide.html`);
    await guide.evaluateOnNewDocument(noteViolations);
    await guide.goto(`${origin}/teaching-guide.html`);
    await guide.waitForFunction('window.checkerReady', { timeout: 5000 });
    check((await violations(guide)).length === 0, `served guide: ${await violations(guide)}`);
    check(await guide.evaluate(() => !document.featurePolicy || document.featurePolicy.allowsFeature('camera')),
      'the served guide may not use the camera');
    await guide.close();
  } finally {
    server.close();
  }
}

async function webEdition() {
  const types = { html: 'text/html; charset=utf-8', js: 'text/javascript', webmanifest: 'application/manifest+json',
    png: 'image/png', svg: 'image/svg+xml', txt: 'text/plain' };
  let version = null;  // null: as built; else the version that the served worker says
  const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://here').pathname;
    if (path === '/') {  // the site's own page, outside the edition
      response.writeHead(200, { 'Content-Type': types.html, 'Content-Security-Policy': header })
        .end('<!DOCTYPE html><title>site</title><link rel="icon" href="data:,">');
      return;
    }
    const name = path === '/lab/' ? 'index.html' : path.slice('/lab/'.length);
    const file = resolve(paths.edition, name);
    if (!path.startsWith('/lab/') || name.includes('/') || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    let body = readFileSync(file);
    if (version && name === 'service-worker.js') body = Buffer.from(body.toString().replace(/'counting-lab-[^']*'/, `'counting-lab-${version}'`));
    response.writeHead(200, { 'Content-Type': types[name.split('.').pop()], 'Content-Security-Policy': header, 'Cache-Control': 'no-cache' });
    response.end(body);
  });
  const stop = () => new Promise((done) => {
    server.closeAllConnections();
    server.close(done);
  });
  await listen(server);
  const port = server.address().port;
  const at = `http://127.0.0.1:${port}/lab/`;
  const caches = (page) => page.evaluate(() => window.caches.keys());
  try {
    const { page, lab, until } = await open('web edition', { at, before: noteViolations });
    await until('reading');
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const kept = await caches(page);
    check(kept.length === 1 && /^counting-lab-\d/.test(kept[0]), `the worker's caches: ${JSON.stringify(kept)}`);
    if (chrome) {
      const cdp = await page.createCDPSession();
      const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
      check(installabilityErrors.length === 0, `not installable: ${JSON.stringify(installabilityErrors)}`);
      figure(`web edition: installability errors ${JSON.stringify(installabilityErrors)}`);
    }
    // No network: the server stopped (and, in Chromium, the page offline too).
    await stop();
    if (chrome) await page.setOfflineMode(true);
    await page.reload();
    await until('reading');
    check((await lab('output')).startsWith('===== Main menu'), 'offline, the page did not show the main menu');
    const firstPrompt = await lab('firstPromptMs');
    for (const answer of ['1', '3', '10']) {
      await until('reading');
      await page.keyboard.type(answer);
      await page.keyboard.press('Enter');
    }
    await until('recording');
    await until('reading && window.countingLab.output.includes("N = ")', 15000, 500);
    const count = /N = \d+/.exec(await lab('output'))[0];
    figure(`web edition offline: first prompt ${Math.round(firstPrompt)} ms after the reload began, then ${count}`);
    check((await violations(page)).length === 0, `web edition: ${await violations(page)}`);
    await page.goto(`${at}teaching-guide.html`);
    await page.waitForFunction('window.checkerReady', { timeout: 5000 });
    check((await violations(page)).length === 0, `web edition's guide: ${await violations(page)}`);
    // A second version: found at the next visit, in charge at the one after.
    version = 'second';
    await listen(server, port);
    if (chrome) await page.setOfflineMode(false);
    await page.goto(at);
    await until('reading');
    // The new worker has its files before the old page goes: it waits, and
    // takes over once no page of the old version is open.
    const waiting = await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      await registration.update();
      for (let waited = 0; waited < 10000 && !registration.waiting; waited += 100) {
        await new Promise((done) => setTimeout(done, 100));
      }
      return registration.waiting !== null;
    });
    check(waiting, 'the second version\'s worker was not installed at the next visit');
    await page.close();
    // Looked at from a page of the site outside the edition, which no worker controls.
    const site = `http://127.0.0.1:${port}/`;
    const outside = await open('the site, outside the edition', { at: site, within: site });
    let now = [];
    for (let waited = 0; waited < 10000; waited += 250) {
      now = await caches(outside.page);
      if (now.length === 1 && now[0] === 'counting-lab-second') break;
      await sleep(250);
    }
    check(now.length === 1 && now[0] === 'counting-lab-second', `after a second version the caches are ${JSON.stringify(now)}`);
    await outside.page.close();
    const next = await open('web edition, second version', { at, before: noteViolations });
    await next.until('reading');
    check(JSON.stringify(await caches(next.page)) === '["counting-lab-second"]', 'the second version mixed with the first');
    await next.page.close();
  } finally {
    if (server.listening) await stop();
  }
}

await area('served', async (browser) => {
  await served(browser);
  await webEdition();
  const size = statSync(paths.page).size;
  figure(`page ${size} bytes, ${gzipSync(readFileSync(paths.page), { level: 9 }).length} gzipped`);
  check(size < 400 * 1024, 'the page is 400 KB or more');
});
