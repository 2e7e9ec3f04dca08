// A handed-in sheet's bytes as text: UTF-8 (its byte-order mark dropped
// later, with the sheet's reading), or, where they are not UTF-8, Windows-1252,
// which a spreadsheet on Windows saves as "CSV" by default.
const utf8 = new TextDecoder('utf-8', { fatal: true });
const windows1252 = new TextDecoder('windows-1252');

export function decoded(bytes) {
  try {
    return { text: utf8.decode(bytes), windows1252: false };
  } catch {
    return { text: windows1252.decode(bytes), windows1252: true };
  }
}
