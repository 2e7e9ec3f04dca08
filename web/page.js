// Runs counting-lab in the page as on a console: what the program writes goes
// into the log, the line being typed is the browser's own input field right
// after the prompt, and on touch screens a number pad types into that field.
// Enter hands the line to the program; lines typed or pasted ahead wait for
// it; Ctrl-D on an empty line ends the input. During a recording the keys
// are held off, the time left is shown, the screen stays awake, and leaving
// the page asks first. A screen reader hears each new screen once, then the
// counts, the messages and the prompts, but not the student's own echo or a
// list shown again. When the program ends, or cannot run, the page says so
// and offers to start it again. Beside the console, a table keeps every
// count of the tab (see `measurements`). The program's output and the page's state
// are kept on window.countingLab, where the page's test reads them.
(function () {
  'use strict';
  const screen = document.getElementById('screen');
  const log = document.getElementById('log');
  const field = document.getElementById('field');
  const range = document.getElementById('range');
  const pad = document.getElementById('pad');
  const keys = [...pad.querySelectorAll('button')];
  const recordingBar = document.getElementById('recording');
  const progress = document.getElementById('progress');
  const left = document.getElementById('left');
  const note = document.getElementById('note');
  const spoken = document.getElementById('spoken');
  const hint = document.getElementById('hint');
  const again = document.getElementById('again');
  const loading = document.getElementById('loading');
  const encoder = new TextEncoder();
  document.body.classList.add('running');
  // output: all this run wrote; clears: where in it the screen was cleared;
  // lines: what it was handed; spoken: what a screen reader was given;
  // reading: it waits for a line; lastWrite: when it last wrote (Date.now()).
  const state = (window.countingLab = {
    output: '', clears: [], lines: [], spoken: [], reading: false, recording: false, lastWrite: 0, runs: 0,
    exitStatus: null, failure: null, wakeLock: 'none', leftAtCount: null, zeroEarlyMs: null, rows: [],
    firstPromptMs: null,  // since the page began to load
  });

  // The lines for one run of the program, in the order they were entered;
  // null ends the input.
  class Keyboard {
    constructor() { this.lines = []; this.waiting = null; }
    hand(line) {
      if (this.waiting) {
        const resolve = this.waiting;
        this.waiting = null;
        resolve(line);
      } else {
        this.lines.push(line);
      }
    }
    next() {
      if (this.lines.length > 0) return Promise.resolve(this.lines.shift());
      return new Promise((resolve) => { this.waiting = resolve; });
    }
  }
  // The run that the page shows; a run that has ended or failed is no longer it.
  let run = null;

  // --- What a screen reader is given. The log is not a live region: after
  // a clear the new screen is spoken once, in full; after that, at each
  // prompt, the lines written since the last answer, less the lines of a
  // list shown again, then the prompt. The first line after a recording,
  // the count, is always spoken.
  let shown = [];        // the lines of the screen since the last clear, before `fresh`
  let fresh = '';        // what the program wrote since the last answer, clear or count
  let wholeScreen = true;
  let countNext = false;
  let lastSpoken = '';
  function speak(text) {
    if (text === '') return;
    state.spoken.push(text);
    // The same words again are still news: make the text differ.
    lastSpoken = text === lastSpoken ? text + '\u00a0' : text;
    spoken.textContent = lastSpoken;
  }
  // Whether `lines` stand, one after another, among the lines shown before.
  function shownBefore(lines) {
    for (let at = 0; at + lines.length <= shown.length; at += 1) {
      if (lines.every((line, i) => shown[at + i] === line)) return true;
    }
    return false;
  }
  // The question a prompt answers: the last line said with it that asks
  // ("Enter ..."); else the question last asked with the same prompt (a
  // menu shown again after a count); else the line before the prompt.
  const questions = new Map();
  function question(said, prompt) {
    const asked = said.map((line) => line.trim()).filter((line) => line.startsWith('Enter '));
    if (asked.length > 0) {
      questions.set(prompt, asked[asked.length - 1]);
      return asked[asked.length - 1];
    }
    if (questions.has(prompt)) return questions.get(prompt);
    return said.length > 0 ? said[said.length - 1] : '';
  }
  function promptArrived() {
    const lines = fresh.split('\n');
    const prompt = lines.pop().trim();
    const said = lines.filter((line) => line.trim() !== '');
    field.setAttribute('aria-label', prompt || 'Your answer');
    range.textContent = question(said, prompt);
    let words;
    if (wholeScreen) {
      words = log.textContent.split('\n').filter((line) => line.trim() !== '').map((line) => line.trim());
    } else {
      words = said;
      if (said.length >= 3 && shownBefore(said)) {
        words = [];  // a list shown again, and nothing else
      } else {
        // A list shown again after a first line (a count or a message).
        for (let from = 1; from + 3 <= said.length; from += 1) {
          if (shownBefore(said.slice(from))) {
            words = said.slice(0, from);
            break;
          }
        }
      }
      if (countNext && said.length > 0 && words[0] !== said[0]) words = [said[0], ...words];
      words = [...words, prompt];
    }
    speak(words.join('\n'));
    shown.push(...lines);
    fresh = '';
    wholeScreen = false;
    countNext = false;
  }

  // --- The log.
  function append(text) {
    if (text === '') return;
    loading.remove();
    log.append(text);
    keepFieldInView();
  }
  // The prompt and the field stay in view: after each line, each key of
  // the pad, and when the screen turns or the browser's bar comes back.
  function keepFieldInView() {
    screen.scrollTop = screen.scrollHeight;  // the screen scrolls from its bottom: as far down as it goes
  }
  if (window.ResizeObserver) new ResizeObserver(keepFieldInView).observe(screen);
  else window.addEventListener('resize', keepFieldInView);
  function clearLog() {
    log.replaceChildren();
    shown = [];
    fresh = '';
    wholeScreen = true;
  }

  // --- The keys. During a recording they are held off: the field takes no
  // typing and the pad's keys are disabled, so nothing reaches the program.
  let focusedKey = null;
  function holdKeys(on) {
    field.readOnly = on;
    if (on && keys.includes(document.activeElement)) focusedKey = document.activeElement;
    for (const key of keys) key.disabled = on;
    if (!on && focusedKey && document.activeElement === document.body) focusedKey.focus();
    if (!on) focusedKey = null;
  }
  function live() { return run !== null && !run.over; }

  // Shows a line and hands it over, as a console does: with a line break for
  // Enter, without one for Ctrl-D. An empty line hands nothing.
  function enter(line, end = '\n') {
    if (state.recording || !live() || line.trim() === '') return;
    append(line + end);
    state.lines.push(line + end);
    note.textContent = line.includes(',') ? run.io.commaHint : '';
    run.keyboard.hand(line + end);
  }
  // Empties the field; returns what it held.
  function takeField() {
    const line = field.value;
    field.value = '';
    return line;
  }
  field.addEventListener('keydown', (event) => {
    if (event.isComposing) return;
    if (event.key === 'Enter') {
      event.preventDefault();
      if (!state.recording) enter(takeField());
    } else if (event.ctrlKey && !event.altKey && (event.key === 'd' || event.key === 'D')) {
      // Ctrl-D: the typed line without a line break, or on an empty line the end of the input.
      event.preventDefault();
      if (state.recording || !live()) return;
      const line = takeField();
      if (line !== '') enter(line, '');
      else run.keyboard.hand(null);
    }
  });
  // Pasted lines answer one prompt each; what follows the last line break stays in the field.
  field.addEventListener('paste', (event) => {
    if (state.recording) {
      event.preventDefault();
      return;
    }
    const text = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
    if (!/[\r\n]/.test(text)) return;
    event.preventDefault();
    const lines = text.split(/\r\n|\r|\n/);
    const rest = lines.pop() + field.value.slice(field.selectionEnd);
    lines[0] = field.value.slice(0, field.selectionStart) + lines[0];
    field.value = '';
    for (const line of lines) enter(line);
    field.value = rest;
  });
  // A tap on the console puts the caret back in the field.
  screen.addEventListener('click', (event) => {
    if (event.target === again) return;
    if (!field.hidden && window.getSelection().isCollapsed) field.focus();
  });

  // The number pad types into the field. A tap leaves the focus in the field,
  // so that no on-screen keyboard opens; a key pressed from a keyboard or by
  // assistive technology (a click with no pointer behind it) keeps it on the key.
  pad.addEventListener('pointerdown', (event) => {
    if (event.target.closest('button')) event.preventDefault();
  });
  pad.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button || field.hidden || state.recording) return;
    const key = button.dataset.key;
    const from = field.selectionStart;
    const to = field.selectionEnd;
    if (key === 'enter') {
      enter(takeField());
    } else if (key === 'backspace') {
      if (from !== to) field.setRangeText('', from, to, 'end');
      else if (from > 0) field.setRangeText('', from - 1, from, 'end');
    } else {
      field.setRangeText(key, from, to, 'end');
    }
    keepFieldInView();
    if (event.detail > 0) field.focus();
  });
  // With the pad on screen the field asks for no on-screen keyboard; a real
  // keyboard still types into it.
  const touch = window.matchMedia('(pointer: coarse)');
  const chooseKeyboard = () => { field.inputMode = touch.matches ? 'none' : 'decimal'; };
  chooseKeyboard();
  touch.addEventListener('change', chooseKeyboard);

  // --- Leaving the page asks first while a recording runs, and from the
  // first count until the program ends: the counts on screen would be lost.
  let guarded = false;
  function askFirst(event) {
    event.preventDefault();
    event.returnValue = '';
  }
  function guardLeaving(on) {
    if (on === guarded) return;
    guarded = on;
    if (on) window.addEventListener('beforeunload', askFirst);
    else window.removeEventListener('beforeunload', askFirst);
  }

  // --- The screen stays on from the start of a recording until its count: a
  // locked phone would suspend the page. A lock the browser drops when the
  // page is hidden is asked for again when it is shown; one request at a time.
  let lock = null;
  let asking = false;
  async function keepScreenOn() {
    if (!state.recording || lock || asking || !navigator.wakeLock || document.visibilityState !== 'visible') return;
    asking = true;
    try {
      const held = await navigator.wakeLock.request('screen');
      if (!state.recording) {
        held.release();
        return;
      }
      lock = held;
      state.wakeLock = 'held';
      held.addEventListener('release', () => { if (lock === held) lock = null; });
    } catch (error) {
      state.wakeLock = 'refused';
    } finally {
      asking = false;
    }
  }
  function letScreenSleep() {
    if (lock) {
      lock.release();
      lock = null;
      state.wakeLock = 'released';
    }
  }
  document.addEventListener('visibilitychange', keepScreenOn);

  // --- The time left, shown once a second outside the console, counted down
  // to the instant at which the program's wait ends (Date.now() milliseconds),
  // as the program hands it over.
  let ticking = null;
  let showLeft = null;
  let zeroShownAt = null;  // when "0 s left" first showed
  function showTimeLeft(end) {
    const started = Date.now();
    zeroShownAt = null;
    progress.max = Math.max(end - started, 1);
    showLeft = () => {
      const now = Date.now();
      progress.value = Math.min(now - started, progress.max);
      const seconds = Math.max(0, Math.ceil((end - now) / 1000));
      left.textContent = seconds + ' s left';
      if (seconds === 0 && zeroShownAt === null) zeroShownAt = now;
      return now;
    };
    const tick = () => {
      const now = showLeft();
      if (now < end) ticking = setTimeout(tick, (end - now) % 1000 || 1000);
    };
    recordingBar.hidden = false;
    tick();
  }
  // At the count: the time left as it stands then, and how long "0 s left"
  // had shown before it, which the test reads.
  function hideTimeLeft() {
    clearTimeout(ticking);
    if (showLeft) showLeft();
    state.leftAtCount = left.textContent;
    state.zeroEarlyMs = zeroShownAt === null ? null : Date.now() - zeroShownAt;
    showLeft = null;
    recordingBar.hidden = true;
  }
  function recording(on, t) {
    state.recording = on;
    holdKeys(on);
    if (on) {
      guardLeaving(true);
      note.textContent = 'Recording for ' + t + ' s.';
      keepScreenOn();
    } else {
      // The count itself, with the next prompt, is what is heard next: the
      // status line says nothing more at the same moment.
      hideTimeLeft();
      note.textContent = '';
      letScreenSleep();
      fresh = '';
      countNext = true;
    }
  }

  function finish(words) {
    if (state.recording) recording(false);
    guardLeaving(false);
    if (run) {
      run.over = true;
      run.keyboard.hand(null);  // a program still waiting for a line ends
    }
    state.reading = false;
    field.hidden = true;
    pad.hidden = true;
    hint.hidden = true;
    note.textContent = words;
    again.hidden = false;
    again.scrollIntoView({ block: 'nearest' });
    again.focus();
  }
  // Says in the console, where the student looks, that the program could not
  // go on: that it cannot run here, or, once it has run, that it stopped.
  function fail(reason) {
    if (!live()) return;
    state.failure = String(reason);
    const failure = document.createElement('p');
    failure.className = 'failure';
    failure.setAttribute('role', 'alert');
    failure.textContent = run.started
      ? 'counting-lab stopped: ' + state.failure + '. Start it again below; the table of your measurements is kept.'
      : 'counting-lab cannot run in this browser (' + state.failure + '). ' +
        'Try another browser, or ask your teacher for the program for your computer.';
    again.before(failure);
    finish('counting-lab has stopped.');
  }
  window.addEventListener('error', (event) => fail(event.message));
  window.addEventListener('unhandledrejection', (event) => fail(event.reason));

  // --- The table of the measurements: a row per count, whose they are, kept
  // in localStorage on this device until the student clears it (across a
  // reload, a closed tab or browser, an installed app swiped away), handed in
  // as CSV (shared, downloaded or copied, all with the same columns). A row
  // holds what the program said the recording was of, and the calendar
  // second that seeded its count, from which the program gives the same
  // count again. Leaving the page asks first while counts are not handed in.
  const measurements = (() => {
    const rows = document.getElementById('rows');
    const table = document.getElementById('table');
    const none = document.getElementById('none');
    const title = document.getElementById('measurements-title');
    const nameField = document.getElementById('student-name');
    const tableNote = document.getElementById('table-note');
    const copyText = document.getElementById('copy-text');
    const asking = document.getElementById('asking');
    const askingWords = document.getElementById('asking-words');
    const actions = document.getElementById('table-actions');
    const shareButton = document.getElementById('share');
    const ownTable = document.getElementById('own-table');
    const toTable = document.getElementById('to-table');  // on a phone, where the table is
    const codeBox = document.getElementById('hand-in-code');
    const codeImage = document.getElementById('code-image');
    const codeWords = document.getElementById('code-words');
    const codeNext = document.getElementById('code-next');
    const key = 'counting-lab measurements';
    const list = [];
    let student = '';
    let handedIn = true;  // nothing on the table that is not handed in
    let storageSaid = false;
    let clearing = 'all';  // what "Clear them" clears: 'all', or 'own' (the name too)
    const two = (n) => String(n).padStart(2, '0');
    const clockTime = (second) => {
      const at = new Date(second * 1000);
      return `${two(at.getHours())}:${two(at.getMinutes())}:${two(at.getSeconds())}`;
    };
    const cells = (row, i) => [String(i + 1), String(row.exercise),
      row.exercise === 1 ? `${row.source} (${row.activity_bq.toFixed(1)} Bq)` : '',
      row.exercise === 2 ? String(row.distance_cm) : '', String(row.t_s), String(row.N), clockTime(row.second)];
    const counted = () => `${list.length} measurement${list.length === 1 ? '' : 's'}`;
    function draw() {
      rows.replaceChildren(...list.map((row, i) => {
        const tr = document.createElement('tr');
        cells(row, i).forEach((text, column) => {
          const td = document.createElement('td');
          td.textContent = text;
          if (column === 6) td.className = 'time';
          tr.append(td);
        });
        return tr;
      }));
      title.textContent = student ? `${student}'s measurements` : 'Your measurements';
      if (nameField.value.trim() !== student) nameField.value = student;
      table.hidden = list.length === 0;
      none.hidden = list.length > 0;
      actions.hidden = list.length === 0;
      toTable.hidden = list.length === 0;
      toTable.textContent = `Your table, below: ${counted()}`;
      state.rows = list.map((row) => ({ ...row }));
      state.student = student;
    }
    function save() {
      try {
        localStorage.setItem(key, JSON.stringify({ student, rows: list, handed_in: handedIn }));
      } catch (error) {
        if (!storageSaid) tableNote.textContent = 'This browser keeps no table for the page: a reload loses it. Hand it in before you leave.';
        storageSaid = true;
      }
    }
    const csv = () => countingLabHandIn.csv(student, list);
    // The same columns, tab-separated, as a spreadsheet pastes them.
    const tsv = () => countingLabHandIn.tsv(student, list);
    // counting-lab-Ada-Lovelace-2026-12-09.csv: the name's letters and digits.
    function fileName() {
      const now = new Date();
      const safe = student.normalize('NFC').replace(/[^\p{L}\p{N}]+/gu, '-').replace(/^-+|-+$/g, '').slice(0, 40);
      return `counting-lab-${safe || 'measurements'}-${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())}.csv`;
    }
    const needsName = () => (student ? '' : ' The file names no student: type your name above before you hand it in.');
    function handIn(words) {
      handedIn = true;
      save();
      tableNote.textContent = words + needsName();
    }
    nameField.addEventListener('input', () => {
      student = nameField.value.trim();
      codeBox.hidden = true;
      title.textContent = student ? `${student}'s measurements` : 'Your measurements';
      state.student = student;
      handedIn = handedIn && list.length === 0;
      save();
    });
    document.getElementById('copy').addEventListener('click', async () => {
      const text = tsv();
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
    document.getElementById('download').addEventListener('click', () => {
      const name = fileName();
      countingLabShared.save(name, csv(), 'text/csv;charset=utf-8');
      handIn(`Downloaded ${counted()} as ${name}.`);
    });
    // Handed in without a network: the table as QR codes, one at a time,
    // for the teacher's camera.
    let codes = [];
    function showCode(at) {
      const { svg, modules } = countingLabHandIn.drawn(codes[at]);
      const first = at * countingLabHandIn.rowsPerCode + 1;
      const last = Math.min(list.length, first + countingLabHandIn.rowsPerCode - 1);
      const which = codes.length > 1 ? `Code ${at + 1} of ${codes.length}: ` : '';
      codeImage.innerHTML = svg;
      codeImage.setAttribute('aria-label', `Hand-in code ${at + 1} of ${codes.length}`);
      codeWords.textContent = `${which}${student || 'no name'}, measurement${first === last ? ` ${first}` : `s ${first} to ${last}`} of ${list.length}.` +
        (at + 1 < codes.length ? ' Once it is read, show the next.' : '');
      codeNext.hidden = codes.length === 1;
      codeNext.textContent = at + 1 < codes.length ? `Next code (${at + 2} of ${codes.length})` : 'First code again';
      codeNext.onclick = () => showCode((at + 1) % codes.length);
      Object.assign(state, { codes, codeShown: at, codeModules: modules });
    }
    document.getElementById('show-code').addEventListener('click', () => {
      codes = countingLabHandIn.codes(student, list);
      showCode(0);
      codeBox.hidden = false;
      codeBox.scrollIntoView({ block: 'nearest' });
      handIn(`Shown as ${codes.length === 1 ? 'a hand-in code' : `${codes.length} hand-in codes`}: hold ` +
        `${codes.length === 1 ? 'it' : 'each'} up to your teacher's camera.`);
    });
    document.getElementById('code-close').addEventListener('click', () => {
      codeBox.hidden = true;
      document.getElementById('show-code').focus();
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
      const name = fileName();
      try {
        await navigator.share({ files: [new File([csv()], name, { type: 'text/csv' })], title: name });
        handIn(`Shared ${counted()} as ${name}.`);
      } catch (error) {
        if (error && error.name !== 'AbortError') tableNote.textContent = 'This browser could not share the file: download it instead.';
      }
    });
    function ask(words, what) {
      clearing = what;
      askingWords.textContent = words;
      asking.hidden = false;
      document.getElementById('clear-no').focus();
    }
    document.getElementById('clear').addEventListener('click', () => {
      ask(`Clear all ${counted()}? ${handedIn ? 'They' : 'They are not handed in, and they'} cannot be brought back.`, 'all');
    });
    ownTable.addEventListener('click', () => {
      ask(`Start a table of your own? The ${counted()} of ${student || 'the last student'} are cleared from this device.`, 'own');
    });
    document.getElementById('clear-no').addEventListener('click', () => {
      asking.hidden = true;
      document.getElementById('clear').focus();
    });
    document.getElementById('clear-yes').addEventListener('click', () => {
      list.length = 0;
      if (clearing === 'own') student = '';
      handedIn = true;
      asking.hidden = true;
      copyText.hidden = true;
      codeBox.hidden = true;
      ownTable.hidden = true;
      tableNote.textContent = clearing === 'own' ? 'A table of your own: type your name above.' : 'The table is cleared.';
      save();  // where the browser keeps nothing, it says so instead
      draw();
      (clearing === 'own' ? nameField : field).focus();
    });
    window.addEventListener('beforeunload', (event) => {
      if (!handedIn && list.length > 0) askFirst(event);
    });
    // What this device kept: this student's table, or the last student's on
    // a shared computer, which the next student replaces with one question.
    try {
      const kept = JSON.parse(localStorage.getItem(key) || 'null');
      if (kept && Array.isArray(kept.rows)) {
        list.push(...kept.rows);
        student = typeof kept.student === 'string' ? kept.student : '';
        handedIn = kept.handed_in !== false;
      }
    } catch (error) {
      // no storage, or nothing readable in it: an empty table
    }
    draw();
    if (list.length > 0) {
      tableNote.textContent = `Kept ${counted()}${student ? ` of ${student}` : ''} from before.` +
        (handedIn ? ' Not yours? Start a table of your own.' : ' Not handed in yet.');
      ownTable.hidden = false;
    }
    Object.assign(state, { csv, tsv, fileName });
    return {
      add(count) {
        list.push(count);
        handedIn = false;
        codeBox.hidden = true;  // it no longer holds the whole table
        ownTable.hidden = true;
        save();
        draw();
      },
    };
  })();

  function start() {
    const thisRun = (run = { keyboard: new Keyboard(), over: false, started: false });
    const mine = () => run === thisRun && !thisRun.over;
    state.runs += 1;
    Object.assign(state, { output: '', clears: [], lines: [], spoken: [], exitStatus: null, failure: null });
    clearLog();
    log.append(loading);
    for (const failure of screen.querySelectorAll('.failure')) failure.remove();
    note.textContent = '';
    again.hidden = true;
    hint.hidden = false;
    field.hidden = false;
    pad.hidden = false;
    field.value = '';
    field.focus();
    if (typeof WebAssembly !== 'object' || typeof createCountingLab !== 'function') {
      fail('it does not run WebAssembly');
      return;
    }
    let line = new Uint8Array(0);
    const io = (thisRun.io = {
      commaHint: '',  // set by the program as it starts
      write(text) {
        if (!mine()) return;
        state.output += text;
        state.lastWrite = Date.now();
        append(text);
        if (!state.recording) fresh += text;
      },
      clear() {
        if (!mine()) return;
        state.clears.push(state.output.length);
        clearLog();
      },
      async nextLine() {
        if (!mine()) return -1;
        thisRun.started = true;
        if (state.firstPromptMs === null) state.firstPromptMs = performance.now();
        promptArrived();
        state.reading = true;
        const next = await thisRun.keyboard.next();
        state.reading = false;
        if (next === null || !mine()) return -1;
        line = encoder.encode(next);
        return line.length;
      },
      takeLine() {
        return line;
      },
      recordingStarted(t) {
        if (mine()) recording(true, t);
      },
      waitEnds(endMs) {
        if (mine() && state.recording) showTimeLeft(endMs);
      },
      recordingEnded(count) {
        if (!mine()) return;
        recording(false);
        measurements.add(count);
      },
      ended(exitStatus) {
        if (!mine()) return;
        state.exitStatus = exitStatus;
        finish('counting-lab has ended.');
      },
    });
    createCountingLab({ io, wasmBinary: countingLabShared.bytesOf('program'), onAbort: (what) => { if (mine()) fail(what || 'it stopped'); } })
      .then((module) => {
        // The program's own count for a setting and the second that seeded
        // it: a row reproduced, as a teacher's check does.
        state.reproduce = (row) => module._reproduced_count(row.source, row.distance_cm, row.t_s, row.second);
      }, (error) => { if (mine()) fail(error); });
  }

  again.addEventListener('click', start);
  start();
})();
