// How a student's table is handed in, written by the page and read by the
// guide: the CSV (and the tab-separated text a spreadsheet pastes) with the
// columns
//   student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc
// its file name, and the hand-in code, the same rows as short text for a
// QR code:
//   CL1 K/M NAME        the format (version 1), code K of M, the student
//   3 20 79 1765265551  source 3 (Part 1), t = 20 s, N = 79, seeded in that
//                       second (Unix time, UTC)
//   d2.5 10 81 34       d = 2.5 cm (Part 2), t = 10 s, N = 81, seeded 34 s
//                       after the row before
// A code holds as many rows as fit in `codeBytes`, so that it is at most
// 41 modules across and a phone's screen shows it coarse enough for a
// laptop's camera at arm's length; a longer table gives numbered codes,
// each of which stands alone. The reader takes up to `rowsPerCode` rows, as
// the page wrote codes before.
// A row is { exercise, source, activity_bq, distance_cm, t_s, N, second }.
export const codeBytes = 134;  // what a QR code of 41 modules holds (version 6, error correction L)
export const rowsPerCode = 20;  // at most, in a code
export const nameLength = 80;  // at most, in a code
export const columns = ['student', 'exercise', 'source', 'activity_Bq', 'distance_cm', 't_s', 'N', 'time_utc'];

// The seconds a clock can give and a time_utc cell can hold: from 1970 to
// the end of year 9999, whose dates have four digits.
export const firstSecond = 0;
export const lastSecond = 253402300799;  // 9999-12-31T23:59:59Z
const aSecond = (second) => Number.isSafeInteger(second) && second >= firstSecond && second <= lastSecond;

// 2026-12-09T09:00:14Z: the second as UTC, or '' where it is no such second.
export const utc = (second) => (aSecond(second) ? new Date(second * 1000).toISOString().replace(/\.\d{3}Z$/, 'Z') : '');

function records(student, rows) {
  return [columns, ...rows.map((row) => [student, row.exercise, row.exercise === 1 ? row.source : '',
    row.exercise === 1 && row.activity_bq !== undefined ? row.activity_bq : '', row.exercise === 2 ? row.distance_cm : '',
    row.t_s, row.N, utc(row.second)].map(String))];
}
// A cell that a spreadsheet would take for a formula starts with a quote
// mark; a cell with a comma, a quote, a tab or a line break is quoted (RFC
// 4180), as the guide's own CSV quotes it.
const plain = (text) => (/^[=+\-@\t\r]/.test(text) ? `'${text}` : text);
export const cellOf = (text) => (/[",\r\n\t]/.test(text) ? `"${text.replace(/"/g, '""')}"` : text);
export const quoted = (text) => cellOf(plain(text));
export const csv = (student, rows) => records(student, rows).map((line) => line.map(quoted).join(',')).join('\r\n') + '\r\n';
export const tsv = (student, rows) => records(student, rows)
  .map((line) => line.map((cell) => plain(cell.replace(/[\t\r\n]/g, ' '))).join('\t')).join('\n') + '\n';

// counting-lab-Ada-Lovelace-2026-12-09.csv: the name's letters and digits,
// and the day of `now` on the device's calendar.
export function fileName(student, now) {
  const two = (n) => String(n).padStart(2, '0');
  const safe = student.normalize('NFC').replace(/[^\p{L}\p{N}]+/gu, '-').replace(/^-+|-+$/g, '').slice(0, 40);
  return `counting-lab-${safe || 'measurements'}-${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())}.csv`;
}

// The codes of a table, each { text, first, last } (its rows, counted
// from 1): as many rows a code as fit in `codeBytes`, at least one.
export function codeParts(student, rows) {
  const name = student.replace(/\s+/g, ' ').trim().slice(0, nameLength);
  const bytes = (text) => new TextEncoder().encode(text).length;
  const lineOf = (row, before) => {
    const setting = row.exercise === 1 ? String(row.source) : `d${row.distance_cm}`;
    return `${setting} ${row.t_s} ${row.N} ${before === null ? row.second : row.second - before}`;
  };
  // Packed for `parts` codes in all, whose number the head of each holds.
  const packed = (parts) => {
    const made = [];
    let at = 0;
    do {
      const lines = [`CL1 ${made.length + 1}/${parts}${name ? ` ${name}` : ''}`];
      const first = at;
      let size = bytes(lines[0]);
      for (let before = null; at < rows.length && at - first < rowsPerCode; at += 1) {
        const line = lineOf(rows[at], before);
        if (at > first && size + 1 + bytes(line) > codeBytes) break;
        lines.push(line);
        size += 1 + bytes(line);
        before = rows[at].second;
      }
      made.push({ text: lines.join('\n'), first: first + 1, last: at });
    } while (at < rows.length);
    return made;
  };
  // The number of codes is in every head: packed again until it holds.
  let parts = 1;
  for (let made = packed(parts); ; made = packed(parts)) {
    if (made.length === parts) return made;
    parts = made.length;
  }
}

// The codes' texts for a table.
export const codes = (student, rows) => codeParts(student, rows).map((part) => part.text);

// Why a row of a code, well formed, is not one the page can have written
// in the lab `lab` sets up ({ sources, counting_time_s: [low, high],
// distance_cm: [low, high], tau }, as the program has them); '' where it is.
function refusal(row, lab) {
  const [tLow, tHigh] = lab.counting_time_s;
  const [dLow, dHigh] = lab.distance_cm;
  if (row.exercise === 1 && row.source > lab.sources) return `there is no source ${row.source}`;
  if (row.exercise === 2 && !(row.distance_cm >= dLow && row.distance_cm <= dHigh)) {
    return `d = ${row.distance_cm} cm is outside ${dLow} to ${dHigh} cm`;
  }
  if (!(row.t_s >= tLow && row.t_s <= tHigh)) return `t = ${row.t_s} s is outside ${tLow} to ${tHigh} s`;
  const highest = Math.floor(row.t_s / lab.tau) + 1;
  if (!Number.isSafeInteger(row.N) || row.N > highest) return `N = ${row.N} is more than ${row.t_s} s can count (${highest})`;
  if (!aSecond(row.second)) return 'its second is outside the years a clock can give';
  return '';
}

// A code's text read back: { student, part, parts, rows, refused }, where
// `refused` lists the rows that no page writes in `lab` ({ line, why });
// or null where the text is not a hand-in code of this format.
export function read(text, lab) {
  if (typeof text !== 'string') return null;
  const lines = text.replace(/\r\n?/g, '\n').replace(/\n+$/, '').split('\n');
  const head = /^CL1 ([1-9]\d{0,3})\/([1-9]\d{0,3})(?: (.*))?$/.exec(lines[0]);
  if (!head || Number(head[1]) > Number(head[2]) || lines.length < 2 || lines.length > rowsPerCode + 1) return null;
  const student = (head[3] || '').trim();
  // eslint-disable-next-line no-control-regex -- a name typed into a page has no control characters
  if ([...student].length > nameLength || /[\u0000-\u001f\u007f]/.test(student)) return null;
  const rows = [];
  const refused = [];
  let before = null;
  for (const [at, line] of lines.slice(1).entries()) {
    const cells = /^(?:([1-9]\d{0,2})|d(\d{1,3}(?:\.\d{1,6})?)) (\d{1,3}(?:\.\d{1,6})?) (\d{1,9}) (-?\d{1,20})$/.exec(line);
    if (!cells || (before === null && cells[5].startsWith('-'))) return null;
    const second = before === null ? Number(cells[5]) : before + Number(cells[5]);
    const row = cells[1] ? { exercise: 1, source: Number(cells[1]), t_s: Number(cells[3]), N: Number(cells[4]), second }
      : { exercise: 2, distance_cm: Number(cells[2]), t_s: Number(cells[3]), N: Number(cells[4]), second };
    const why = refusal(row, lab);
    if (why) refused.push({ line: at + 1, why });
    else rows.push(row);
    before = second;
  }
  return { student, part: Number(head[1]), parts: Number(head[2]), rows, refused };
}
