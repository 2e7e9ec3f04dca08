// Zips as LMSs and cloud drives give them: their sheets read, the rest
// passed over, and what the guide cannot take refused in words, within
// 50 MB unpacked and 2,000 sheets.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { zipSync, strToU8 } from 'fflate';
import { Unread, unzipped, zipLimit } from '../guide/zip.js';
import { withoutNotes } from '../guide/lms.js';
import { sample } from './fixtures.js';

const refusal = (bytes, words) => assert.throws(() => unzipped(bytes, 'class.zip'),
  (error) => error instanceof Unread && words.test(error.message) && error.message.startsWith('class.zip '));

test('an LMS\'s folders: the sheets and the pictures, and what else each holds, without a Mac\'s forks or hidden files', () => {
  const { sheets: files, workbooks, pictures, others } = unzipped(zipSync({
    'Ada Lovelace_1001_assignsubmission_file_/counting-lab-Ada-Lovelace-2026-12-09.csv': strToU8('student,source,t_s,N\nAda,3,30,100\n'),
    'Ben_1002_assignsubmission_file_\\copied.TXT': [strToU8('x'), { level: 0 }],
    '__MACOSX/Ben_1002_assignsubmission_file_/._counting-lab.csv': strToU8('x'),
    '.hidden.csv': strToU8('x'),
    'Ben_1002_assignsubmission_file_/photo.jpg': strToU8('x'),
    'Ben_1002_assignsubmission_file_/notes.docx': strToU8('x'),
    'Cy_1003_assignsubmission_file_/counting-lab.xlsx': strToU8('x'),
    'Cy_1003_assignsubmission_file_/counting-lab.ods': strToU8('x'),
    'Di_1004_assignsubmission_file_/counting-lab.csv': new Uint8Array([0x4e, 0x0a, 0xd8, 0x6c, 0x65, 0x0a]),  // "Øle" saved as Windows-1252
    'index.html': strToU8('x'),
    'Cy_1003_assignsubmission_file_/': new Uint8Array(0),
  }), 'class.zip');
  assert.deepEqual(files.map((file) => file.name), ['Ada Lovelace_1001_assignsubmission_file_/counting-lab-Ada-Lovelace-2026-12-09.csv',
    'Ben_1002_assignsubmission_file_\\copied.TXT', 'Di_1004_assignsubmission_file_/counting-lab.csv']);
  assert.deepEqual(files.map(({ text, windows1252 }) => [text, windows1252]),
    [['student,source,t_s,N\nAda,3,30,100\n', false], ['x', false], ['N\n\u00d8le\n', true]]);
  assert.deepEqual(workbooks.map((workbook) => workbook.name), ['Cy_1003_assignsubmission_file_/counting-lab.xlsx']);
  assert.deepEqual(pictures.map((picture) => [picture.name, picture.bytes.length]), [['Ben_1002_assignsubmission_file_/photo.jpg', 1]]);
  // Every other file is named with what it is; folders and hidden files are none.
  assert.deepEqual(others, [{ name: 'Ben_1002_assignsubmission_file_/notes.docx', what: 'a document' },
    { name: 'Cy_1003_assignsubmission_file_/counting-lab.ods', what: 'an OpenDocument spreadsheet: save it as CSV' },
    { name: 'index.html', what: 'a web page' }]);
});

test('zip64, as OneDrive and Teams download it, and written as a stream', () => {
  assert.deepEqual(unzipped(sample('zip64.zip'), 'OneDrive.zip').sheets.map((file) => file.text), ['student,source,t_s,N\nAnn,3,30,100\n']);
  assert.deepEqual(unzipped(sample('zip64-streamed.zip'), 'Teams.zip').sheets.map((file) => file.name),
    ['Ben_102_assignsubmission_file_/counting-lab-Ben-2026-12-09.csv']);
});

test('what the guide cannot take is refused in words', () => {
  refusal(zipSync({ 'notes.docx': strToU8('x') }), /holds no sheet \(\.csv, \.tsv, \.txt or \.xlsx\) and no picture of a code\.$/);
  refusal(strToU8('student,source\n'), /is not a zip this page can read\.$/);
  const sheets = {};
  for (let i = 0; i <= zipLimit.files; i += 1) sheets[`s${i}.csv`] = [strToU8('a'), { level: 0 }];
  refusal(zipSync(sheets), /holds more than 2000 sheets: split it\.$/);
  const big = zipSync({ 'big.csv': new Uint8Array(zipLimit.bytes + 1).fill(48) }, { level: 1 });
  refusal(big, /unpacks to more than 50 MB: it is not a class's sheets\.$/);
  // A sheet packed some other way (method 12, bzip2): named.
  const odd = zipSync({ 'a.csv': [strToU8('a'), { level: 0 }] });
  const central = odd.lastIndexOf(0x50, odd.length - 22 - 46 + 1);
  const at = [...odd.keys()].find((i) => i >= 0 && odd[i] === 0x50 && odd[i + 1] === 0x4b && odd[i + 2] === 1 && odd[i + 3] === 2);
  assert.ok(central >= 0 && at !== undefined);
  odd[at + 10] = 12;
  refusal(odd, /packs a\.csv in a way this page cannot unpack\.$/);
});

test('Blackboard\'s notes of an attempt are no sheets, and name whose the attempt\'s files are', () => {
  const note = 'Name: Ben Okri (bokri)\nAssignment: Lab 1\nDate Submitted: Wednesday, 9 December 2026 09:30:12 o\'clock UTC\n';
  const { sheets, notes } = withoutNotes([
    { name: 'Lab 1_bokri_attempt_2026-12-09-09-30-12.txt', text: note },
    { name: 'Lab 1_bokri_attempt_2026-12-09-09-30-12_counting-lab-measurements-2026-12-09.csv', text: 'N\n1\n' },
    { name: 'Lab 1_aada_attempt_2026-12-09-09-31-00_counting-lab-Ada-2026-12-09.csv', text: 'N\n2\n' },
    { name: 'notes.txt', text: 'Name: a list of names, not an attempt\n' },
  ]);
  assert.equal(notes, 1);
  assert.deepEqual(sheets.map((sheet) => sheet.name), ['Ben Okri_bokri/counting-lab-measurements-2026-12-09.csv',
    'Lab 1_aada_attempt_2026-12-09-09-31-00_counting-lab-Ada-2026-12-09.csv', 'notes.txt']);
});
