// How long the page takes to its first prompt on a phone: Chromium's
// emulation of a Pixel 5 with the processor four times slower, pages
// loaded in turn (interleaved, so that the machine's load falls on all
// alike), ROUNDS times each; a static page of text for scale. For each
// page: the median first prompt, and where a load's time went (Chromium's
// metrics: compiling and running script, style and layout; and the
// WebAssembly's compiling, timed round WebAssembly.instantiate).
//   CHROMIUM=/usr/bin/chromium node bench/first_prompt.mjs [--rounds N] [--table ROWS] PAGE...
import { writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer, { KnownDevices } from 'puppeteer-core';

const args = process.argv.slice(2);
const option = (name, fallback) => {
  const at = args.indexOf(name);
  return at < 0 ? fallback : Number(args.splice(at, 2)[1]);
};
const rounds = option('--rounds', 9);
const tableRows = option('--table', 0);  // a kept table of this many rows, as a student's after a lab
const staticPage = resolve(tmpdir(), 'counting-lab-static.html');
writeFileSync(staticPage, '<!DOCTYPE html><html lang="en"><meta name="viewport" content="width=device-width">' +
  '<title>static</title><pre>===== Main menu =======\nWaiting for your choice: </pre>' +
  '<script>window.countingLab = { reading: true, firstPromptMs: performance.now() };</script></html>');
const pages = [staticPage, ...args];
const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'] });
const table = JSON.stringify({ student: 'Ada', handed_in: true, rows: Array.from({ length: tableRows }, (_, i) =>
  ({ exercise: 1, source: 1 + (i % 5), activity_bq: 2.1, distance_cm: 0, t_s: 30, N: 20 + i, second: 1796806800 + 40 * i })) });

async function load(path) {
  const page = await browser.newPage();
  await page.emulate(KnownDevices['Pixel 5']);
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await page.evaluateOnNewDocument((kept) => {
    if (kept) localStorage.setItem('counting-lab measurements', kept);
    const instantiate = WebAssembly.instantiate;
    window.wasmMs = 0;
    WebAssembly.instantiate = async (...given) => {
      const from = performance.now();
      try {
        return await instantiate.apply(WebAssembly, given);
      } finally {
        window.wasmMs += performance.now() - from;
      }
    };
  }, tableRows > 0 ? table : '');
  await page.tracing.start({ categories: ['devtools.timeline', 'v8', 'disabled-by-default-devtools.timeline'] });
  await page.goto(pathToFileURL(path).href);
  await page.waitForFunction('window.countingLab && window.countingLab.reading', { timeout: 30000, polling: 50 });
  const trace = JSON.parse(Buffer.from(await page.tracing.stop()).toString('utf8'));
  const seen = await page.evaluate(() => ({ first: window.countingLab.firstPromptMs, wasmMs: window.wasmMs }));
  await page.close();
  return { ...seen, ...mainThread(trace.traceEvents, pathToFileURL(path).href) };
}

// The renderer's main thread during the load: the self time of its
// traced events (their time less that of the events inside them), in ms,
// by what they did: the HTML parsed, script compiled, script run, the
// WebAssembly compiled, style, layout and paint.
const kinds = { parse: ['ParseHTML'], compile: ['v8.compile', 'V8.CompileCode', 'v8.compileModule', 'V8.ParseProgram',
  'V8.ParseFunction', 'v8.parseOnBackground'], script: ['EvaluateScript', 'FunctionCall', 'v8.run', 'V8.Execute', 'TimerFire',
  'RunMicrotasks', 'v8.callFunction'], wasm: ['v8.wasm.compiledModule', 'wasm.SyncCompile', 'wasm.CompileLazy',
  'v8.wasm.compileLazy', 'wasm.AsyncCompile', 'v8.wasm.streamingCompile'], style: ['UpdateLayoutTree', 'RecalculateStyles', 'ParseAuthorStyleSheet'],
  layout: ['Layout'], paint: ['Paint', 'PrePaint', 'Layerize', 'UpdateLayer'] };
function mainThread(events, at) {
  const main = events.find((event) => event.name === 'ParseHTML' && event.args.beginData && event.args.beginData.url === at);
  if (!main) return {};
  const mine = events.filter((event) => event.pid === main.pid && event.tid === main.tid && event.ph === 'X' && event.dur)
    .sort((a, b) => a.ts - b.ts || b.dur - a.dur);
  const self = new Map();
  const stack = [];
  for (const event of mine) {
    while (stack.length && stack[stack.length - 1].ts + stack[stack.length - 1].dur <= event.ts) stack.pop();
    if (stack.length) {
      const parent = stack[stack.length - 1];
      self.set(parent, (self.get(parent) ?? parent.dur) - event.dur);
    }
    if (!self.has(event)) self.set(event, event.dur);
    stack.push(event);
  }
  const found = {};
  for (const [kind, names] of Object.entries(kinds)) {
    found[kind] = mine.filter((event) => names.includes(event.name)).reduce((total, event) => total + self.get(event) / 1000, 0);
  }
  found.layouts = mine.filter((event) => event.name === 'Layout').length;
  found.styles = mine.filter((event) => event.name === 'UpdateLayoutTree').length;
  return found;
}

const results = pages.map(() => []);
for (let round = 0; round < rounds; round += 1) {
  for (const [i, path] of pages.entries()) results[i].push(await load(path));
}
await browser.close();
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
for (const [i, path] of pages.entries()) {
  const of = (key) => Math.round(median(results[i].map((result) => result[key])));
  console.log(`${of('first')} ms to the first prompt (median of ${rounds}; ${results[i].map((r) => Math.round(r.first)).join(', ')}): ` +
    `HTML parsed ${of('parse')} ms, script compiled ${of('compile')} ms and run ${of('script')} ms ` +
    `(WebAssembly.instantiate ${of('wasmMs')} ms, its compiling ${of('wasm')} ms), style ${of('style')} ms (${of('styles')} times), layout ${of('layout')} ms (${of('layouts')} times), paint ${of('paint')} ms ` +
    ` ${path === staticPage ? 'a static page' : path}`);
}
