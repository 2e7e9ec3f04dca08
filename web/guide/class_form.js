// "Check a class": the sheet pasted, or files opened or dropped (read here,
// nothing is uploaded), or hand-in codes scanned. One file is the sheet as
// it stands; many, a zip of them, or codes, are made one sheet, each row
// with its student. The class is checked by the program's own code, whose
// table and figures come as HTML with every student's text escaped. Every
// file, zip and picture that adds nothing is answered in words above the
// summary.
import { counted, save } from '../shared/browser.js';
import { codeBook } from './codes.js';
import { codesIn, isPicture } from './pictures.js';
import { scanner } from './scanner.js';
import { Unread, unzipped, whatItIs } from './zip.js';
import { decoded } from './text.js';
import { withoutNotes } from './lms.js';
import { isWorkbook, workbookSheet } from './workbook.js';

export function classForm(check) {
  const form = document.getElementById('class-form');
  const sheet = form.elements['sheet'];
  const summary = document.getElementById('class-summary');
  const table = document.getElementById('class-table');
  const figures = document.getElementById('class-figures');
  const download = document.getElementById('class-download');
  const scanStatus = document.getElementById('scan-status');
  const book = codeBook(check.lab);
  let csv = '';
  let handedNote = '';  // what making one sheet of the files said
  let openedNote = '';  // what of the files opened last was not read, and why
  let checking = null;  // the class's check, due half a second after the last new code
  let opened = [];  // the files opened last, as { name, text }
  let single = false;  // one sheet opened as it stands
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    const started = performance.now();
    const checked = check.checkClass(sheet.value);
    if (checked.summary) checked.summary = openedNote + handedNote + checked.summary;
    table.innerHTML = checked.table;
    table.tabIndex = table.firstChild ? 0 : -1;  // a table wider than a phone scrolls by keyboard too
    figures.innerHTML = checked.figures;
    summary.textContent = checked.summary;
    csv = checked.csv;
    download.hidden = csv === '';
    form.parentElement.classList.add('checked');  // so that it prints
    window.classCheckMs = performance.now() - started;
  });
  // Only the rows a teacher should look at: refused, queried, impossible,
  // not reproduced, wrong arithmetic, or of a student to talk to.
  const onlyLook = document.getElementById('class-only-look');
  onlyLook.addEventListener('change', () => table.classList.toggle('only-look', onlyLook.checked));

  function checkHanded() {
    clearTimeout(checking);
    const all = [...opened, ...book.files()];
    if (all.length === 0) return;
    if (single && book.size === 0) {
      sheet.value = all[0].text;
      handedNote = '';
    } else {
      const merged = check.classSheet(all);
      sheet.value = merged.sheet;
      handedNote = merged.said;
    }
    form.requestSubmit();
  }
  // A code read: its words in the status line at once; true where it added
  // rows. The class is checked again half a second after the last new code,
  // so that a queue of students holding up codes is not kept waiting.
  function took(text) {
    const { added, words } = book.take(text);
    if (words !== null) scanStatus.textContent = words;
    window.scannedCodes = { students: book.students, rows: book.rows, codes: book.size };
    if (added) {
      clearTimeout(checking);
      checking = setTimeout(checkHanded, 500);
    }
    return added;
  }
  scanner({ took, none: () => book.size === 0 });

  // Files opened or dropped: sheets, zips of sheets, and pictures of codes.
  // Each that cannot be read says why, and the rest are read all the same.
  async function open(files) {
    if (files.length === 0) return;
    let texts = [];
    const unread = [];
    const others = [];  // files that are no sheet or picture: named, with whose they are
    const pictures = files.filter(isPicture);  // opened, and inside the zips
    const workbooks = [];  // opened, and inside the zips
    const pathOf = (file) => file.webkitRelativePath || file.name;
    for (const file of files.filter((file) => !isPicture(file))) {
      try {
        if (/\.zip$/i.test(file.name)) {
          const inside = unzipped(new Uint8Array(await file.arrayBuffer()), file.name);
          texts.push(...inside.sheets);
          workbooks.push(...inside.workbooks);
          pictures.push(...inside.pictures.map((picture) => new File([picture.bytes], picture.name)));
          others.push(...inside.others);
        } else if (isWorkbook(file.name)) {
          workbooks.push({ name: pathOf(file), bytes: new Uint8Array(await file.arrayBuffer()) });
        } else if (whatItIs(file.name) !== whatItIs('')) {
          others.push({ name: pathOf(file), what: whatItIs(file.name) });
        } else {
          texts.push({ name: pathOf(file), ...decoded(new Uint8Array(await file.arrayBuffer())) });
        }
      } catch (error) {
        unread.push(error instanceof Unread ? error.message : `${file.name} could not be read (${error.message || error}).`);
      }
    }
    for (const { name, bytes } of workbooks) {
      try {
        texts.push({ name, text: await workbookSheet(bytes), workbook: true });
      } catch (error) {
        others.push({ name, what: 'an Excel workbook this guide could not read: save it as CSV' });
      }
    }
    const read = withoutNotes(texts);
    texts = read.sheets;
    const asRead = [[texts.filter((text) => text.workbook), 'Read from the first sheet of a workbook'],
      [texts.filter((text) => text.windows1252), 'Read as Windows-1252, not UTF-8 (as a spreadsheet on Windows saves CSV)']];
    for (const [those, words] of asRead) {
      if (those.length > 0) unread.push(`${words}: ${those.map(({ name }) => name).join('; ')}.`);
    }
    if (read.notes > 0) unread.push(`Left out: ${counted(read.notes, 'note')} of an attempt (Blackboard's), no sheets.`);
    if (texts.length > 0) {
      opened = texts;
      single = texts.length === 1 && !/\.zip$/i.test(files[0].name);
    }
    const codesBefore = book.size;
    const noCode = [];
    for (const picture of pictures) {
      let found = [];
      try {
        found = await codesIn(await createImageBitmap(picture), true);
      } catch (error) {
        // not a picture this browser can open: said below
      }
      if (found.length === 0) {
        noCode.push(picture.name);
        others.push({ name: picture.webkitRelativePath || picture.name, what: 'a picture with no code' });
      }
      found.forEach(took);  // each new code checks the class again
    }
    if (noCode.length > 0) scanStatus.textContent += ` No hand-in code found in ${noCode.join(', ')}.`;
    window.picturesOpened = (window.picturesOpened || 0) + pictures.length;
    if (others.length > 0) {
      unread.push(`Not read: ${others.map(({ name, what }) => {
        const whose = /[/\\]/.test(name) ? check.studentOf(name) : '';  // a student's folder says whose
        return `${name} (${what}${whose ? `, ${whose}'s` : ''})`;
      }).join('; ')}.`);
    }
    openedNote = unread.map((line) => `${line}\n`).join('');
    if (texts.length > 0 || book.size > codesBefore) {
      checkHanded();
    } else if (unread.length > 0) {
      // Nothing to check: only what was not read, and why.
      summary.textContent = unread.join('\n');
      table.innerHTML = '';
      figures.innerHTML = '';
      download.hidden = true;
      openedNote = '';
    }
  }
  sheet.addEventListener('input', () => {
    handedNote = '';
    openedNote = '';
  });
  form.elements['file'].addEventListener('change', (event) => open([...event.target.files]));
  const checker = form.parentElement;
  checker.addEventListener('dragover', (event) => {
    event.preventDefault();
    checker.classList.add('dropping');
  });
  checker.addEventListener('dragleave', () => checker.classList.remove('dropping'));
  checker.addEventListener('drop', (event) => {
    event.preventDefault();
    checker.classList.remove('dropping');
    open([...event.dataTransfer.files]);
  });
  download.addEventListener('click', () => save('class-check.csv', csv, 'text/csv;charset=utf-8'));
  summary.textContent = 'Paste a class sheet or open a class file, then Check the class.';
}
