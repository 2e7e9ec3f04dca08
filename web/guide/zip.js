// The sheets in a .zip, as an LMS's "download all submissions" gives it (a
// folder or a file name per student), unpacked by fflate, which reads
// zip64 too: .csv, .tsv and .txt files, at most 2,000 of them, and the
// pictures (of hand-in codes), 50 MB unpacked in all; every other file in
// it is named with what it is. A zip it cannot take is refused in words
// (`Unread`).
import { unzipSync } from 'fflate';

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
const kinds = [[/\.(xlsx|xlsm|xls|ods)$/i, 'a spreadsheet workbook'], [/\.html?$/i, 'a web page'], [/\.pdf$/i, 'a PDF'],
  [/\.(docx?|odt|rtf)$/i, 'a document'], [/\.(heic|tiff?)$/i, 'a picture this guide cannot open'], [/\.zip$/i, 'a zip inside the zip']];
export const whatItIs = (name) => (kinds.find(([pattern]) => pattern.test(name)) || [null, 'not a sheet or a picture'])[1];

// The zip `bytes`, named `zipName`: { sheets: [{ name, text }], pictures:
// [{ name, bytes }], others: [{ name, what }] } (folders and a Mac's or a
// folder's hidden files are none of them).
export function unzipped(bytes, zipName) {
  const refuse = (why) => { throw new Unread(`${zipName} ${why}`); };
  const utf8 = new TextDecoder();
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
        if (!(isSheet(file.name) || isPicture(file.name))) {
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
  const files = found.filter(([name]) => isSheet(name)).map(([name, data]) => ({ name, text: utf8.decode(data) }));
  const pictures = found.filter(([name]) => isPicture(name)).map(([name, data]) => ({ name, bytes: data }));
  if (files.length === 0 && pictures.length === 0) refuse('holds no sheet (.csv, .tsv or .txt) and no picture of a code.');
  return { sheets: files, pictures, others };
}
