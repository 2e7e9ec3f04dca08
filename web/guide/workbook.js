// A workbook (.xlsx) handed in instead of the CSV: its first sheet as CSV,
// read by read-excel-file; a cell a spreadsheet keeps as a date and time is
// written as the page writes a time (Excel keeps no time zone: the time is
// the one typed or saved, UTC as the page wrote it).
import { readSheet } from 'read-excel-file/browser';
import { cellOf, utc } from '../shared/hand_in.js';

const cell = (value) => {
  if (value === null || value === undefined) return '';
  // (a date-time is a fraction of a day: to the nearest second, as the page wrote it)
  if (value instanceof Date) return Number.isNaN(value.getTime()) ? '' : utc(Math.round(value.getTime() / 1000));
  return String(value);
};

export const isWorkbook = (name) => /\.xlsx$/i.test(name);

export async function workbookSheet(bytes) {
  const rows = await readSheet(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength));
  return rows.map((row) => row.map((value) => cellOf(cell(value))).join(',')).join('\r\n') + '\r\n';
}
