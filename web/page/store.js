// The student's table on the device: one record { student, rows,
// handed_in } under one key of the page's storage, shared by every tab of
// the page. Each change reads what storage holds at that moment and changes
// it by row (a row is its setting, t, N and second): a tab never writes
// over rows it has not seen, so two tabs recording in turn keep every
// count. A tab hears of another's changes through `listen` (the storage
// event) and calls `changed`. Where the browser keeps nothing (a private
// window, a full quota), the table lives in the tab alone and `kept` is
// false.
export const storageKey = 'counting-lab measurements';

const sameRow = (a, b) => a.exercise === b.exercise && a.source === b.source && a.distance_cm === b.distance_cm &&
  a.t_s === b.t_s && a.N === b.N && a.second === b.second;
const holds = (rows, row) => rows.some((other) => sameRow(other, row));

// A record as stored, or an empty one where nothing readable is stored.
function parsed(text) {
  try {
    const kept = JSON.parse(text || 'null');
    if (kept && Array.isArray(kept.rows)) {
      return { student: typeof kept.student === 'string' ? kept.student : '',
        rows: kept.rows.filter((row) => row && typeof row === 'object'), handed_in: kept.handed_in !== false };
    }
  } catch (error) {
    // nothing readable: an empty table
  }
  return { student: '', rows: [], handed_in: true };
}

export function tableStore({ storage, listen = () => {}, changed = () => {} }) {
  let memory = parsed(null);
  let kept = true;  // false once the browser refused to keep the table
  function current() {
    if (kept) {
      try {
        memory = parsed(storage.getItem(storageKey));
      } catch (error) {
        kept = false;
      }
    }
    return { ...memory, rows: [...memory.rows] };
  }
  function write(record) {
    memory = record;
    if (!kept) return;
    try {
      storage.setItem(storageKey, JSON.stringify(record));
    } catch (error) {
      kept = false;
    }
  }
  // Reads, changes and writes the record; gives it as written.
  function update(change) {
    const record = current();
    change(record);
    write(record);
    return current();
  }
  listen(() => changed(current()));
  return {
    current,
    get kept() { return kept; },
    add: (row) => update((record) => {
      if (!holds(record.rows, row)) record.rows.push(row);
      record.handed_in = false;
    }),
    // The name, as typed; a table with counts is then not handed in under it.
    name: (student) => update((record) => {
      record.handed_in = record.handed_in && record.rows.length === 0;
      record.student = student;
    }),
    // Handed in: the rows `seen` are; where storage holds others, the table is not.
    handIn: (seen) => update((record) => {
      record.handed_in = record.rows.every((row) => holds(seen, row));
    }),
    // Cleared of the rows `seen` (rows another tab added since stay), and
    // of the name too where `own` (a table of one's own).
    clear: (seen, own) => update((record) => {
      record.rows = record.rows.filter((row) => !holds(seen, row));
      record.handed_in = record.rows.length === 0 || record.handed_in;
      if (own) record.student = '';
    }),
  };
}
