// No input throws out of a reader: random and mutated hand-in codes, zips
// and the code book's words, from a seeded generator.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { zipSync, strToU8 } from 'fflate';
import { codes, read } from '../shared/hand_in.js';
import { codeBook } from '../guide/codes.js';
import { Unread, unzipped } from '../guide/zip.js';
import { lab, seeded, sample } from './fixtures.js';

const random = seeded(2026);
const pick = (text) => text[Math.floor(random() * text.length)];
const alphabet = 'CL1 /d.-0123456789\n\r\t\u00e9\u0000x';
// `text` with a few characters changed, dropped, doubled or put in.
function mutated(text) {
  const chars = [...text];
  for (let n = 1 + Math.floor(random() * 4); n > 0; n -= 1) {
    const at = Math.floor(random() * (chars.length + 1));
    const how = random();
    if (how < 0.3) chars.splice(at, 1);
    else if (how < 0.6) chars.splice(at, 0, pick(alphabet));
    else if (how < 0.8) chars[at] = pick(alphabet);
    else chars.splice(at, 0, ...chars.slice(at, at + 3));
  }
  return chars.join('');
}
const good = sample('hand-in-code.txt').toString('utf8');
const long = codes('Ann', Array.from({ length: 20 }, (_, i) => ({ exercise: 2, distance_cm: 0.5 + i / 10, t_s: 100, N: 1000 + i,
  second: 1796806800 + 120 * i })))[0];

test('a code read back is a code as a page writes it, or none', () => {
  for (let i = 0; i < 5000; i += 1) {
    const text = i % 5 === 0 ? Array.from({ length: 40 }, () => pick(alphabet)).join('') : mutated(i % 2 ? good : long);
    const code = read(text, lab);
    if (code === null) continue;
    assert.ok(code.part >= 1 && code.part <= code.parts && [...code.student].length <= 80, text);
    for (const row of code.rows) {
      assert.ok(Number.isSafeInteger(row.second) && row.second >= 0 && row.N <= Math.floor(row.t_s / lab.tau) + 1, text);
    }
    for (const { why } of code.refused) assert.ok(typeof why === 'string' && why !== '', text);
  }
});

test('the code book answers every text in words, once for a text read twice in a row', () => {
  const book = codeBook(lab);
  for (let i = 0; i < 2000; i += 1) {
    const text = mutated(good);
    const first = book.take(text);
    assert.match(first.words, /^Codes read: \d+ students?, \d+ rows?\. \S/, text);
    assert.equal(book.take(text).words, null);
  }
  assert.match(book.take(good).words, /(Added|Read again, added once|Replaced by its newer code): Zoë/);
});

test('a zip mutated or cut short is read or refused in words', () => {
  const zip = zipSync({ 'a/counting-lab-A-2026-12-09.csv': strToU8('student,source,t_s,N\nA,1,30,10\n'), 'b.txt': strToU8('x') });
  const zips = [zip, sample('zip64.zip'), sample('zip64-streamed.zip')];
  for (let i = 0; i < 3000; i += 1) {
    const bytes = Uint8Array.from(zips[i % zips.length]);
    if (i % 7 === 0) {
      bytes.subarray(Math.floor(random() * bytes.length));
    }
    for (let n = 1 + Math.floor(random() * 6); n > 0; n -= 1) bytes[Math.floor(random() * bytes.length)] = Math.floor(random() * 256);
    const cut = i % 7 === 0 ? bytes.subarray(0, Math.floor(random() * bytes.length)) : bytes;
    try {
      for (const file of unzipped(cut, 'class.zip').sheets) assert.equal(typeof file.text, 'string');
    } catch (error) {
      assert.ok(error instanceof Unread, `${error.stack} for ${Buffer.from(cut).toString('base64')}`);
    }
  }
});
