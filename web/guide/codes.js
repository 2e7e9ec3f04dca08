// The hand-in codes read so far, from the camera or from pictures: each
// code's rows join the class as it is read; a code read again is added
// once, and a later code of the same student, number and first row (the
// table grew since) takes the place of the earlier. Every code read is
// answered in words: added (whose, how many rows), read again, refused
// rows with their reasons, or not a hand-in code.
import { csv, read } from '../shared/hand_in.js';
import { counted } from '../shared/browser.js';

// `lab`: the lab's setup, as the program has it (see hand_in.js's read).
export function codeBook(lab) {
  const scanned = new Map();
  let lastText = null;
  const students = () => new Set([...scanned.values()].map((known) => known.student)).size;
  const rows = () => [...scanned.values()].reduce((sum, known) => sum + known.rows, 0);
  // The words for a code, after the running count.
  const said = (words) => `Codes read: ${counted(students(), 'student')}, ${counted(rows(), 'row')}. ${words}`;
  return {
    get size() { return scanned.size; },
    get students() { return students(); },
    get rows() { return rows(); },
    // Each code as a file of the page's columns, for the class's sheet.
    files: () => [...scanned.values()].map((code) => code.file),
    // A code's text: { added, words }, where words is null for the text
    // just answered (a camera sees one code in many frames).
    take(text) {
      const again = text === lastText;
      lastText = text;
      const answer = (added, words) => ({ added, words: again && !added ? null : said(words) });
      const code = read(text, lab);
      if (!code) return answer(false, 'That is not a counting-lab hand-in code.');
      const whose = `${code.student || 'no name'}, code ${code.part} of ${code.parts}`;
      const refused = code.refused.length === 0 ? '' : `; ${counted(code.refused.length, 'row')} refused: ` +
        code.refused.map(({ line, why }) => `row ${line}, ${why}`).join('; ');
      if (code.rows.length === 0) return answer(false, `Not added: ${whose} (no row to add${refused}).`);
      const who = `${whose} (${counted(code.rows.length, 'row')}${refused})`;
      const key = `${code.student}\n${code.part}\n${text.split('\n')[1]}`;
      const known = scanned.get(key);
      if (known && known.text === text) return answer(false, `Read again, added once: ${who}.`);
      scanned.set(key, { text, student: code.student, rows: code.rows.length,
        file: { name: `hand-in code ${code.part} of ${code.parts}`, text: csv(code.student, code.rows) } });
      return answer(true, `${known ? 'Replaced by its newer code' : 'Added'}: ${who}.`);
    },
  };
}
