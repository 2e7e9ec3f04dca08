// "Your measurements": a row per count, whose they are, kept on this device
// until the student clears it (across a reload, a closed tab or browser, an
// installed app swiped away; the same table in every tab of the page),
// handed in as CSV (shared, downloaded or copied, all with the same
// columns) or as hand-in codes. A row holds what the program said the
// recording was of, and the calendar second that seeded its count, from
// which the program gives the same count again. Leaving the page asks
// first while counts are not handed in.
import { save, counted as many } from '../shared/browser.js';
import { csv, fileName, tsv } from '../shared/hand_in.js';
import { askFirst } from './recording_bar.js';
import { codeView } from './code_view.js';
import { observed } from './observed.js';
import { tableStore } from './store.js';

export function tableView() {
  const $ = (id) => document.getElementById(id);
  const [rowsBody, table, none, title, nameField, note] = ['rows', 'table', 'none', 'measurements-title', 'student-name', 'table-note'].map($);
  const [copyText, asking, askingWords, actions, shareButton, ownTable, toTable] =
    ['copy-text', 'asking', 'asking-words', 'table-actions', 'share', 'own-table', 'to-table'].map($);
  const code = codeView();
  let shown = { student: '', rows: [], handed_in: true };  // the table as this tab shows it
  let drawn = null;  // the rows drawn, once the page is ready to draw them (see `ready`)
  let storageSaid = false;
  let clearing = 'all';  // what "Clear them" clears: 'all', or 'own' (the name too)
  const two = (n) => String(n).padStart(2, '0');
  const clockTime = (second) => {
    const at = new Date(second * 1000);
    return `${two(at.getHours())}:${two(at.getMinutes())}:${two(at.getSeconds())}`;
  };
  const cells = (row, i) => [String(i + 1), String(row.exercise),
    row.exercise === 1 ? `${row.source} (${Number(row.activity_bq).toFixed(1)} Bq)` : '',
    row.exercise === 2 ? String(row.distance_cm) : '', String(row.t_s), String(row.N), clockTime(row.second)];
  const counted = () => many(shown.rows.length, 'measurement');
  const heading = (student) => (student ? `${student}'s measurements` : 'Your measurements');
  function drawRows() {
    if (drawn === null || JSON.stringify(drawn) === JSON.stringify(shown.rows)) return;
    drawn = shown.rows;
    rowsBody.replaceChildren(...drawn.map((row, i) => {
      const tr = document.createElement('tr');
      cells(row, i).forEach((text, column) => {
        const td = document.createElement('td');
        td.textContent = text;
        if (column === 6) td.className = 'time';
        tr.append(td);
      });
      return tr;
    }));
  }
  function draw(record) {
    const rowsChanged = JSON.stringify(record.rows) !== JSON.stringify(shown.rows);
    shown = record;
    drawRows();
    title.textContent = heading(record.student);
    if (nameField.value.trim() !== record.student) nameField.value = record.student;
    const empty = record.rows.length === 0;
    table.hidden = empty || drawn === null;
    none.hidden = !empty;
    actions.hidden = empty;
    toTable.hidden = empty;
    toTable.textContent = `Your table, below: ${counted()}`;
    observed.rows = record.rows.map((row) => ({ ...row }));
    observed.student = record.student;
    return rowsChanged;
  }
  // Says once where the browser keeps nothing.
  function keptOrSaid() {
    if (store.kept || storageSaid) return;
    note.textContent = 'This browser keeps no table for the page: a reload loses it. Hand it in before you leave.';
    storageSaid = true;
  }
  const store = tableStore({
    storage: (() => {
      try {
        return window.localStorage;
      } catch (error) {
        return null;  // storage refused outright: a table of this tab alone
      }
    })(),
    listen: (heard) => window.addEventListener('storage', (event) => {
      if (event.key === null || event.key === 'counting-lab measurements') heard();
    }),
    // Another tab changed the table: a code shown here no longer holds it.
    changed: (record) => {
      if (draw(record)) code.close();
      if (record.rows.length === 0) asking.hidden = true;
    },
  });
  const needsName = () => (shown.student ? '' : ' The file names no student: type your name above before you hand it in.');
  function handIn(words) {
    draw(store.handIn(shown.rows));
    keptOrSaid();
    note.textContent = words + needsName();
  }
  nameField.addEventListener('input', () => {
    code.close();
    draw(store.name(nameField.value.trim()));
    keptOrSaid();
  });
  $('copy').addEventListener('click', async () => {
    const text = tsv(shown.student, shown.rows);
    copyText.hidden = true;
    try {
      if (!navigator.clipboard || !window.isSecureContext) throw new Error('no clipboard');
      await navigator.clipboard.writeText(text);
      handIn(`Copied ${counted()}: paste them into a spreadsheet or a message.`);
    } catch (error) {
      // Where the browser refuses the clipboard: the text, selected, to copy by hand.
      copyText.value = text;
      copyText.hidden = false;
      copyText.focus();
      copyText.select();
      const touch = window.matchMedia('(pointer: coarse)').matches;
      handIn(touch ? 'The table is selected below: copy it with your device\'s Copy.'
        : 'The table is selected below: copy it with Ctrl-C (Cmd-C on a Mac).');
    }
  });
  $('download').addEventListener('click', () => {
    const name = fileName(shown.student, new Date());
    save(name, csv(shown.student, shown.rows), 'text/csv;charset=utf-8');
    handIn(`Downloaded ${counted()} as ${name}.`);
  });
  $('show-code').addEventListener('click', () => {
    const codes = code.open(shown.student, shown.rows);
    handIn(`Shown as ${codes === 1 ? 'a hand-in code' : `${codes} hand-in codes`}: hold ` +
      `${codes === 1 ? 'it' : 'each'} up to your teacher's camera.`);
  });
  // Sharing a file, where the browser offers it (as phones do).
  const shareable = () => {
    try {
      return typeof navigator.canShare === 'function' &&
        navigator.canShare({ files: [new File([''], 'counting-lab.csv', { type: 'text/csv' })] });
    } catch (error) {
      return false;
    }
  };
  shareButton.hidden = !shareable();
  shareButton.addEventListener('click', async () => {
    const name = fileName(shown.student, new Date());
    try {
      await navigator.share({ files: [new File([csv(shown.student, shown.rows)], name, { type: 'text/csv' })], title: name });
      handIn(`Shared ${counted()} as ${name}.`);
    } catch (error) {
      if (error && error.name !== 'AbortError') note.textContent = 'This browser could not share the file: download it instead.';
    }
  });
  function ask(words, what) {
    clearing = what;
    askingWords.textContent = words;
    asking.hidden = false;
    $('clear-no').focus();
  }
  $('clear').addEventListener('click', () => {
    ask(`Clear all ${counted()}? ${shown.handed_in ? 'They' : 'They are not handed in, and they'} cannot be brought back.`, 'all');
  });
  ownTable.addEventListener('click', () => {
    ask(`Start a table of your own? The ${counted()} of ${shown.student || 'the last student'} are cleared from this device.`, 'own');
  });
  $('clear-no').addEventListener('click', () => {
    asking.hidden = true;
    $('clear').focus();
  });
  $('clear-yes').addEventListener('click', () => {
    const own = clearing === 'own';
    asking.hidden = true;
    copyText.hidden = true;
    code.close();
    ownTable.hidden = true;
    note.textContent = own ? 'A table of your own: type your name above.' : 'The table is cleared.';
    draw(store.clear(shown.rows, own));
    keptOrSaid();  // where the browser keeps nothing, it says so instead
    (own ? nameField : $('field')).focus();
  });
  window.addEventListener('beforeunload', (event) => {
    const now = store.current();
    if (!now.handed_in && now.rows.length > 0) askFirst(event);
  });
  // What this device kept: this student's table, or the last student's on
  // a shared computer, which the next student replaces with one question.
  draw(store.current());
  if (shown.rows.length > 0) {
    note.textContent = `Kept ${counted()}${shown.student ? ` of ${shown.student}` : ''} from before.` +
      (shown.handed_in ? ' Not yours? Start a table of your own.' : ' Not handed in yet.');
    ownTable.hidden = false;
  }
  Object.assign(observed, {
    csv: () => csv(shown.student, shown.rows),
    tsv: () => tsv(shown.student, shown.rows),
    fileName: () => fileName(shown.student, new Date()),
  });
  return {
    // The rows kept from before are drawn once the first prompt is shown:
    // it does not wait for them.
    ready() {
      if (drawn !== null) return;
      drawn = [];
      draw(shown);
      observed.tableShown = true;
    },
    // A new count: saved at once, with the rows other tabs added.
    add(row) {
      code.close();  // it no longer holds the whole table
      ownTable.hidden = true;
      draw(store.add(row));
      keptOrSaid();
    },
  };
}
