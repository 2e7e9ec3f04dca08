// How a student's table is handed in, shared by the page that writes it and
// the guide that reads it: the CSV (and the tab-separated text a spreadsheet
// pastes) with the columns
//   student,exercise,source,activity_Bq,distance_cm,t_s,N,time_utc
// and the hand-in code, the same rows as short text for a QR code:
//   CL1 K/M NAME        the format (version 1), code K of M, the student
//   3 20 79 1765265551  source 3 (Part 1), t = 20 s, N = 79, seeded in that
//                       second (Unix time, UTC)
//   d2.5 10 81 34       d = 2.5 cm (Part 2), t = 10 s, N = 81, seeded 34 s
//                       after the row before
// Every code holds at most `rowsPerCode` rows, so that a phone's screen
// shows it coarse enough for a laptop's camera at arm's length; a longer
// table gives numbered codes, each of which stands alone.
// A row is { exercise, source, activity_bq, distance_cm, t_s, N, second }.
const countingLabHandIn = (() => {
  'use strict';
  const rowsPerCode = 20;
  const nameLength = 80;  // at most, in a code
  const columns = ['student', 'exercise', 'source', 'activity_Bq', 'distance_cm', 't_s', 'N', 'time_utc'];
  const utc = (second) => (Number.isInteger(second) ? new Date(second * 1000).toISOString().replace(/\.\d{3}Z$/, 'Z') : '');
  function records(student, rows) {
    return [columns, ...rows.map((row) => [student, row.exercise, row.exercise === 1 ? row.source : '',
      row.exercise === 1 && row.activity_bq !== undefined ? row.activity_bq : '', row.exercise === 2 ? row.distance_cm : '',
      row.t_s, row.N, utc(row.second)].map(String))];
  }
  // A cell that a spreadsheet would take for a formula starts with a quote
  // mark; RFC 4180 quotes a cell with a comma, a quote or a line break.
  const plain = (text) => (/^[=+\-@\t\r]/.test(text) ? `'${text}` : text);
  const quoted = (text) => {
    const safe = plain(text);
    return /[",\r\n\t]/.test(safe) ? `"${safe.replace(/"/g, '""')}"` : safe;
  };
  const csv = (student, rows) => records(student, rows).map((line) => line.map(quoted).join(',')).join('\r\n') + '\r\n';
  const tsv = (student, rows) => records(student, rows)
    .map((line) => line.map((cell) => plain(cell.replace(/[\t\r\n]/g, ' '))).join('\t')).join('\n') + '\n';

  // The codes' texts for a table: one per `rowsPerCode` rows.
  function codes(student, rows) {
    const name = student.replace(/\s+/g, ' ').trim().slice(0, nameLength);
    const parts = Math.max(1, Math.ceil(rows.length / rowsPerCode));
    const texts = [];
    for (let part = 0; part < parts; part += 1) {
      const lines = [`CL1 ${part + 1}/${parts}${name ? ` ${name}` : ''}`];
      let before = null;
      for (const row of rows.slice(part * rowsPerCode, (part + 1) * rowsPerCode)) {
        const setting = row.exercise === 1 ? String(row.source) : `d${row.distance_cm}`;
        const time = before === null ? row.second : row.second - before;
        lines.push(`${setting} ${row.t_s} ${row.N} ${time}`);
        before = row.second;
      }
      texts.push(lines.join('\n'));
    }
    return texts;
  }
  // A code's text read back: { student, part, parts, rows }, or null where
  // it is not a hand-in code of this format.
  function read(text) {
    const lines = text.replace(/\r\n?/g, '\n').replace(/\n+$/, '').split('\n');
    const head = /^CL1 ([1-9]\d*)\/([1-9]\d*)(?: (.*))?$/.exec(lines[0]);
    if (!head || Number(head[1]) > Number(head[2]) || lines.length < 2 || lines.length > rowsPerCode + 1) return null;
    const rows = [];
    let before = null;
    for (const line of lines.slice(1)) {
      const cells = /^(?:([1-9]\d*)|d(\d+(?:\.\d+)?)) (\d+(?:\.\d+)?) (\d+) (-?\d+)$/.exec(line);
      if (!cells || (before === null && cells[5].startsWith('-'))) return null;
      const second = before === null ? Number(cells[5]) : before + Number(cells[5]);
      rows.push(cells[1] ? { exercise: 1, source: Number(cells[1]), t_s: Number(cells[3]), N: Number(cells[4]), second }
        : { exercise: 2, distance_cm: Number(cells[2]), t_s: Number(cells[3]), N: Number(cells[4]), second });
      before = second;
    }
    return { student: (head[3] || '').trim(), part: Number(head[1]), parts: Number(head[2]), rows };
  }
  // The code as an SVG image (black on white whatever the page's colours),
  // with a margin of four modules, as readers expect; and how many modules
  // it is across.
  function drawn(text) {
    /* global qrcode */
    qrcode.stringToBytes = qrcode.stringToBytesFuncs['UTF-8'];
    const code = qrcode(0, 'L');
    code.addData(text, 'Byte');
    code.make();
    const svg = code.createSvgTag({ cellSize: 1, margin: 4, scalable: true }).replace('<svg ', '<svg shape-rendering="crispEdges" ');
    return { svg, modules: code.getModuleCount() };
  }
  return Object.freeze({ rowsPerCode, csv, tsv, codes, read, drawn });
})();
