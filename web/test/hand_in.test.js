// The hand-in format both ways: the page's CSV, its file name and its code,
// against the samples that the grading library's test reads too; the
// code's reading refusing what no page writes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import qrcode from 'qrcode-generator';
import { codes, csv, fileName, nameLength, read, rowsPerCode, tsv, utc } from '../shared/hand_in.js';
import { downloadName, lab, sample, sampleRows as rows, sampleStudent as student } from './fixtures.js';

const withoutActivity = rows.map(({ activity_bq: _, distance_cm, ...row }) => (row.exercise === 2 ? { ...row, distance_cm } : row));

test('the page writes the sample CSV, its file name and its code, byte for byte', () => {
  assert.equal(csv(student, rows), sample(downloadName).toString('utf8'));
  assert.equal(fileName(student, new Date(2026, 11, 9, 23, 59)), downloadName);
  assert.equal(fileName('  ', new Date(2026, 0, 2)), 'counting-lab-measurements-2026-01-02.csv');
  assert.deepEqual(codes(student, rows), [sample('hand-in-code.txt').toString('utf8')]);
});

test('the sample code reads back as its rows, and as the sample of the CSV the guide makes of it', () => {
  const code = read(sample('hand-in-code.txt').toString('utf8'), lab);
  assert.deepEqual(code, { student, part: 1, parts: 1, rows: withoutActivity.map(({ source, ...row }) =>
    (row.exercise === 1 ? { ...row, source } : row)), refused: [] });
  assert.equal(csv(code.student, code.rows), sample('hand-in-code.csv').toString('utf8'));
});

test('the lab as the tests have it is the program\'s', () => {
  const source = (file) => readFileSync(new URL(`../../src/simulation/${file}`, import.meta.url), 'utf8');
  const setup = source('lab.hpp');
  assert.equal((setup.match(/^\s*\{[\d.]+, "\d: A = /gm) || []).length, lab.sources);
  assert.match(setup, new RegExp(`counting_time_s\\{${lab.counting_time_s.join(', ')}\\}`));
  assert.match(setup, /distance_cm\{0\.5, 5\.0\}/);
  assert.match(source('recording.hpp'), new RegExp(`double tau = ${lab.tau};`));
});

test('a cell a spreadsheet would run is quoted off, and one with a separator is quoted', () => {
  const cells = (text) => text.split('\r\n')[1];
  assert.equal(cells(csv('=1+1', rows.slice(0, 1))), "'=1+1,1,3,10.3,,10,36,2026-12-09T09:00:00Z");
  assert.match(csv('a\tb', rows.slice(0, 1)), /^"a\tb",/m);
  assert.match(csv('-x', rows.slice(0, 1)), /^'-x,/m);
  assert.equal(tsv('Ann\tB', rows.slice(0, 1)).split('\n')[1].split('\t')[0], 'Ann B');
});

// How many modules across a code's text is, drawn as the page draws it.
function modules(text) {
  qrcode.stringToBytes = (chars) => [...new TextEncoder().encode(chars)];
  const code = qrcode(0, 'L');
  code.addData(text, 'Byte');
  code.make();
  return code.getModuleCount();
}

test('a long table gives numbered codes of at most 41 modules, each standing alone, and reads back whole', () => {
  const many = Array.from({ length: 27 }, (_, i) => ({ exercise: 1, source: 1 + (i % 5), t_s: 30, N: 20 + i, second: 1796806800 + 40 * i }));
  for (const name of ['Ann', 'Student 01', 'Zoë Ødegård-Lindqvist, née Papadopoulou']) {
    const texts = codes(name, many);
    assert.ok(texts.every((text) => modules(text) <= 41), `${name}: ${texts.map(modules)}`);
    assert.ok(texts.every((text, k) => text.startsWith(`CL1 ${k + 1}/${texts.length} ${name}\n`)), name);
    assert.deepEqual(texts.flatMap((text) => read(text, lab).rows), many);
  }
  assert.equal(codes('Student 01', many).length, 3);
  assert.match(codes('Ann', many)[1], /^CL1 2\/3 Ann\n\d 30 \d+ 179680\d{4}\n/);
  // A name too long for a code of 41 modules still gets a row a code.
  assert.ok(codes('é'.repeat(nameLength), many.slice(0, 3)).every((text) => read(text, lab).rows.length >= 1));
});

test('a code is read only as a page writes it', () => {
  const code = (name, ...lines) => [`CL1 1/1${name}`, ...lines].join('\n');
  // Seconds outside any clock: refused rows, with the reason.
  const far = read(code(' Mal', '3 10 38 99999999999999999999'), lab);
  assert.deepEqual(far.rows, []);
  assert.match(far.refused[0].why, /outside the years a clock can give/);
  const back = read(code(' Mal', '3 10 38 1796806800', '3 10 38 -99999999999999'), lab);
  assert.equal(back.rows.length, 1);
  assert.deepEqual(back.refused.map(({ line }) => line), [2]);
  // The highest count t allows: floor(t / tau) + 1.
  assert.equal(read(code('', '1 10 167 1796806800'), lab).rows.length, 1);
  assert.match(read(code('', '1 10 168 1796806800'), lab).refused[0].why, /^N = 168 is more than 10 s can count \(167\)$/);
  assert.match(read(code('', '6 10 1 1796806800'), lab).refused[0].why, /no source 6/);
  assert.match(read(code('', 'd0.4 10 1 1796806800'), lab).refused[0].why, /0.5 to 5 cm/);
  assert.match(read(code('', '1 9 1 1796806800'), lab).refused[0].why, /10 to 100 s/);
  // A name at most as long as a page writes it.
  assert.equal(read(code(` ${'é'.repeat(nameLength)}`, '1 10 1 0'), lab).student.length, nameLength);
  assert.equal(read(code(` ${'a'.repeat(300)}`, '1 10 1 0'), lab), null);
  for (const text of ['CL1 2/1 A\n1 10 1 0', 'CL1 1/1 A', 'CL2 1/1 A\n1 10 1 0', 'CL1 1/1 A\n1 10 1 -5', 'CL1 1/1 A\n1 10 1.5 0',
    `CL1 1/1 A${'\n1 10 1 0'.repeat(rowsPerCode + 1)}`, 'CL1 1/1 A\u0007\n1 10 1 0', null]) {
    assert.equal(read(text, lab), null, JSON.stringify(text));
  }
});

test('a second is written as UTC only where a clock can give it', () => {
  assert.equal(utc(0), '1970-01-01T00:00:00Z');
  assert.equal(utc(253402300799), '9999-12-31T23:59:59Z');
  for (const second of [-1, 253402300800, 1.5, NaN, 1e20, undefined]) assert.equal(utc(second), '');
});
