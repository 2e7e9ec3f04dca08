// The sheets in a .zip, as an LMS's "download all submissions" gives it (a
// folder or a file name per student), unpacked by fflate, which reads
// zip64 too: .csv, .tsv and .txt files, at most 2,000 of them, the
// workbooks (.xlsx) and the pictures (of hand-in codes), 50 MB unpacked in
// all; every other file in it is named with what it is. A zip it cannot
// take is refused in words (`Unread`).
import { unzipSync } from 'fflate';
import { decoded } from './text.js';
import { isWorkbook } from './workbook.js';

export const zipLimit = { files: 2000, bytes: 50 * 1024 * 1024 };

export class Unread extends Error {}

// A sheet a student may have handed in, not a folder's hidden file or a
// Mac's resource fork.
const handedIn = (name) => !/(^|[/\\])(__MACOSX|\.)/.test(name);
export const isSheet = (name) => /\.(csv|tsv|txt)$/i.test(name) && handedIn(name);
// A picture the browser opens, by its name (a photo or screenshot of a code).
export const isPictureName = (name) => /\.(png|jpe?g|gif|webp|bmp)$/i.test(name);
const isPicture = (name) => isPictureName(name) && handedIn(name);

// What a file that is neither a sheet nor a picture is, by its name.
const kinds = [[/\.(xlsm|xls)$/i, 'an Excel workbook of an older kind: save it as CSV'],
  [/\.ods$/i, 'an OpenDocument spreadsheet: save it as CSV'], [/\.html?$/i, 'a web page'], [/\.pdf$/i, 'a PDF'],
  [/\.(docx?|odt|rtf)$/i, 'a document'], [/\.(heic|tiff?)$/i, 'a picture this guide cannot open'], [/\.zip$/i, 'a zip inside the zip']];
export const whatItIs = (name) => (kinds.find(([pattern]) => pattern.test(name)) || [null, 'not a sheet or a picture'])[1];

// The folder every entry is in, where it is the class's and no student's:
// a zip of a folder (macOS's Finder, Windows' "Send to", a Teams
// download), with more than one file or folder in it. Its name is left off
// the entries', so that a student's folder comes first, as in an LMS's.
function topFolder(names) {
  const top = /^[^/\\]*[/\\]/.exec(names[0] || '');
  if (top === null || !names.every((name) => name.startsWith(top[0]))) return '';
  const within = new Set(names.map((name) => name.slice(top[0].length).split(/[/\\]/)[0]));
  return within.size > 1 ? top[0] : '';
}

// The zip `bytes`, named `zipName`: { sheets: [{ name, text, windows1252 }],
// workbooks and pictures: [{ name, bytes }], others: [{ name, what }] }
// (folders and a Mac's or a folder's hidden files are none of them).
export function unzipped(bytes, zipName) {
  const refuse = (why) => { throw new Unread(`${zipName} ${why}`); };
  const utf8 = new TextDecoder();  // names: a zip's are UTF-8, or ASCII
  let sheets = 0;
  let unpacked = 0;
  let packedOddly = null;
  const others = [];
  let entries;
  try {
    entries = unzipSync(bytes, {
      filenameDecoder: (name) => utf8.decode(name),
      // Only the sheets are unpacked, and only while they stay within the limits.
      filter(file) {
        if (!(isSheet(file.name) || isPicture(file.name) || (isWorkbook(file.name) && handedIn(file.name)))) {
          if (handedIn(file.name) && !file.name.endsWith('/')) others.push({ name: file.name, what: whatItIs(file.name) });
          return false;
        }
        if (packedOddly !== null) return false;
        if (file.compression !== 0 && file.compression !== 8) {
          packedOddly = file.name;
          return false;
        }
        sheets += isSheet(file.name) ? 1 : 0;
        unpacked += file.originalSize;
        if (sheets > zipLimit.files) refuse(`holds more than ${zipLimit.files} sheets: split it.`);
        if (unpacked > zipLimit.bytes) refuse(`unpacks to more than ${zipLimit.bytes / 1024 / 1024} MB: it is not a class's sheets.`);
        return true;
      },
    });
  } catch (error) {
    if (error instanceof Unread) throw error;
    refuse('is not a zip this page can read.');
  }
  if (packedOddly !== null) refuse(`packs ${packedOddly} in a way this page cannot unpack.`);
  const found = Object.entries(entries);
  const files = found.filter(([name]) => isSheet(name)).map(([name, data]) => ({ name, ...decoded(data) }));
  const pictures = found.filter(([name]) => isPicture(name)).map(([name, data]) => ({ name, bytes: data }));
  const workbooks = found.filter(([name]) => isWorkbook(name)).map(([name, data]) => ({ name, bytes: data }));
  if (files.length + pictures.length + workbooks.length === 0) {
    refuse('holds no sheet (.csv, .tsv, .txt or .xlsx) and no picture of a code.');
  }
  const top = topFolder([...files, ...pictures, ...workbooks, ...others].map(({ name }) => name));
  const inside = (entry) => ({ ...entry, name: entry.name.slice(top.length) });
  return { sheets: files.map(inside), workbooks: workbooks.map(inside), pictures: pictures.map(inside), others: others.map(inside) };
}
