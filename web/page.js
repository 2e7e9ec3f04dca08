// Runs counting-lab in the page as on a console: what the program writes goes
// into the log, the line being typed is the browser's own input field right
// after the prompt, and on touch screens a number pad types into that field.
// Enter hands the line to the program; lines typed or pasted ahead wait for
// it; Ctrl-D on an empty line ends the input. The screen stays awake during
// a recording. When the program ends, or cannot run, the page says so and
// offers to start it again. The program's output and state are kept on
// window.countingLab, where the page's test reads them.
(function () {
  'use strict';
  const screen = document.getElementById('screen');
  const log = document.getElementById('log');
  const field = document.getElementById('field');
  const pad = document.getElementById('pad');
  const status = document.getElementById('status');
  const hint = document.getElementById('hint');
  const again = document.getElementById('again');
  const encoder = new TextEncoder();
  // output: all the program wrote in this run; lines: what it was handed;
  // reading: it waits for a line; lastWrite: when it last wrote (Date.now()).
  const state = (window.countingLab = {
    output: '', lines: [], reading: false, lastWrite: 0, runs: 0, exitStatus: null, failure: null, wakeLock: 'none',
    firstPromptMs: null,  // since the page began to load
  });

  // The lines for the program, in the order they were entered; null ends the input.
  let keyboard = null;
  class Keyboard {
    constructor() { this.lines = []; this.waiting = null; }
    hand(line) {
      state.lines.push(line);
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

  // The log. The program clears the screen with ESC [ H ESC [ 2 J; that
  // empties the log, and no other control sequence is shown.
  let lastLine = '';
  function append(text) {
    if (text === '') return;
    log.append(text);
    const end = text.lastIndexOf('\n');
    lastLine = end < 0 ? lastLine + text : text.slice(end + 1);
    // The field's name is the prompt it answers.
    field.setAttribute('aria-label', lastLine.trim() || 'Your answer');
    screen.scrollTop = screen.scrollHeight;
  }
  function clear() {
    log.replaceChildren();
    lastLine = '';
  }
  function show(text) {
    const parts = text.split(/\x1b\[([0-9;?]*)([@-~])/);
    for (let i = 0; i < parts.length; i += 3) {
      append(parts[i]);
      if (parts[i + 2] === 'J' && parts[i + 1] === '2') clear();
    }
  }

  // Shows a line and hands it over, as a console does: with a line break for
  // Enter, without one for Ctrl-D.
  function enter(line, end = '\n') {
    append(line + end);
    if (keyboard) keyboard.hand(line + end);
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
      enter(takeField());
    } else if (event.ctrlKey && !event.altKey && (event.key === 'd' || event.key === 'D')) {
      // Ctrl-D: the typed line without a line break, or on an empty line the end of the input.
      event.preventDefault();
      const line = takeField();
      if (line !== '') enter(line, '');
      else if (keyboard) keyboard.hand(null);
    }
  });
  // Pasted lines answer one prompt each; what follows the last line break stays in the field.
  field.addEventListener('paste', (event) => {
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
  screen.addEventListener('click', () => {
    if (!field.hidden && window.getSelection().isCollapsed) field.focus();
  });

  // The number pad types into the field without taking the focus from it.
  pad.addEventListener('pointerdown', (event) => {
    if (event.target.closest('button')) event.preventDefault();
  });
  pad.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button || field.hidden) return;
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
    field.focus();
  });
  // With the pad on screen the field asks for no on-screen keyboard; a real
  // keyboard still types into it.
  const touch = window.matchMedia('(pointer: coarse)');
  const chooseKeyboard = () => { field.inputMode = touch.matches ? 'none' : 'decimal'; };
  chooseKeyboard();
  touch.addEventListener('change', chooseKeyboard);

  // The screen stays on from the start of a recording until its count: a
  // locked phone would suspend the page. A lock the browser drops when the
  // page is hidden is asked for again when it is shown.
  let recording = false;
  let lock = null;
  async function keepScreenOn() {
    if (!recording || lock || !navigator.wakeLock || document.visibilityState !== 'visible') return;
    try {
      const held = await navigator.wakeLock.request('screen');
      if (!recording) {
        held.release();
        return;
      }
      lock = held;
      state.wakeLock = 'held';
      held.addEventListener('release', () => { if (lock === held) lock = null; });
    } catch (error) {
      state.wakeLock = 'refused';
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

  function finish(words) {
    recording = false;
    letScreenSleep();
    keyboard = null;
    state.reading = false;
    field.hidden = true;
    pad.hidden = true;
    hint.hidden = true;
    status.textContent = words;
    again.hidden = false;
    again.focus();
  }
  // Says in the console, where the student looks, that the program could not go on.
  function fail(reason) {
    if (state.failure !== null || state.exitStatus !== null) return;
    state.failure = String(reason);
    const note = document.createElement('p');
    note.className = 'failure';
    note.setAttribute('role', 'alert');
    note.textContent = 'counting-lab cannot run in this browser (' + state.failure + '). ' +
      'Try another browser, or ask your teacher for the program for your computer.';
    screen.append(note);
    finish('counting-lab has stopped.');
  }
  window.addEventListener('error', (event) => fail(event.message));
  window.addEventListener('unhandledrejection', (event) => fail(event.reason));

  function start() {
    state.runs += 1;
    state.output = '';
    state.lines = [];
    state.exitStatus = null;
    state.failure = null;
    clear();
    for (const note of screen.querySelectorAll('.failure')) note.remove();
    status.textContent = '';
    again.hidden = true;
    hint.hidden = false;
    field.hidden = false;
    pad.hidden = false;
    field.value = '';
    field.focus();
    keyboard = new Keyboard();
    if (typeof WebAssembly !== 'object' || typeof createCountingLab !== 'function') {
      fail('it does not run WebAssembly');
      return;
    }
    let line = new Uint8Array(0);
    const io = {
      write(text) {
        state.output += text;
        state.lastWrite = Date.now();
        show(text);
      },
      async nextLine() {
        if (state.firstPromptMs === null) state.firstPromptMs = performance.now();
        state.reading = true;
        const next = await keyboard.next();
        state.reading = false;
        if (next === null) return -1;
        line = encoder.encode(next);
        return line.length;
      },
      takeLine() {
        return line;
      },
      recording(on) {
        recording = on;
        if (on) keepScreenOn();
        else letScreenSleep();
      },
      ended(exitStatus) {
        state.exitStatus = exitStatus;
        finish('counting-lab has ended.');
      },
    };
    createCountingLab({ io, onAbort: (what) => fail(what || 'it stopped') }).catch((error) => fail(error));
  }

  again.addEventListener('click', start);
  start();
})();
