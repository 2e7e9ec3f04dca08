// A run of the program in the page: its WebAssembly started with the
// page's console as its input and output. The program asks for each line
// (nextLine), writes, clears the screen, and says when a recording starts,
// when its wait ends and what it counted; lines typed ahead wait for their
// prompts. When the program ends, or cannot run, the page says so and offers
// to start it again, as a fresh run that nothing of the old one reaches.
/* global createCountingLab */
import { bytesOf } from '../shared/browser.js';
import { observed } from './observed.js';
import { narrator } from './narration.js';
import { guardLeaving, recordingBar, showTimeLeft } from './recording_bar.js';

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

// `console` is the page's console; `counted(row)` takes each count;
// `onScreen()` hears that a prompt, or the words that the program ended
// or cannot run, are on screen.
export function runner({ console: screen, counted, onScreen }) {
  const note = document.getElementById('note');
  const hint = document.getElementById('hint');
  const spoken = document.getElementById('spoken');
  const encoder = new TextEncoder();
  let run = null;  // the run that the page shows; one that has ended or failed is no longer it
  const live = () => run !== null && !run.over;

  let lastSpoken = '';
  const narration = narrator((text) => {
    if (text === '') return;
    observed.spoken.push(text);
    // The same words again are still news: make the text differ.
    lastSpoken = text === lastSpoken ? text + '\u00a0' : text;
    spoken.textContent = lastSpoken;
  });
  function clear() {
    screen.clear();
    narration.cleared();
  }
  function recording(on, t) {
    recordingBar(on);
    screen.holdKeys(on);
    if (on) {
      note.textContent = 'Recording for ' + t + ' s.';
    } else {
      // The count itself, with the next prompt, is what is heard next: the
      // status line says nothing more at the same moment.
      note.textContent = '';
      narration.counted();
    }
  }
  function finish(words) {
    if (observed.recording) recording(false);
    guardLeaving(false);
    if (run) {
      run.over = true;
      run.keyboard.hand(null);  // a program still waiting for a line ends
    }
    observed.reading = false;
    hint.hidden = true;
    note.textContent = words;
    screen.close();
    onScreen();
  }
  // Says in the console, where the student looks, that the program could not
  // go on: that it cannot run here, or, once it has run, that it stopped.
  function fail(reason) {
    if (!live()) return;
    observed.failure = String(reason);
    screen.failed(run.started
      ? 'counting-lab stopped: ' + observed.failure + '. Start it again below; the table of your measurements is kept.'
      : 'counting-lab cannot run in this browser (' + observed.failure + '). ' +
        'Try another browser, or ask your teacher for the program for your computer.');
    finish('counting-lab has stopped.');
  }
  window.addEventListener('error', (event) => fail(event.message));
  window.addEventListener('unhandledrejection', (event) => fail(event.reason));

  function start() {
    const thisRun = (run = { keyboard: new Keyboard(), over: false, started: false });
    const mine = () => run === thisRun && !thisRun.over;
    observed.runs += 1;
    Object.assign(observed, { output: '', clears: [], lines: [], spoken: [], exitStatus: null, failure: null });
    narration.cleared();
    screen.open();
    note.textContent = '';
    hint.hidden = false;
    if (typeof WebAssembly !== 'object' || typeof createCountingLab !== 'function') {
      fail('it does not run WebAssembly');
      return;
    }
    let line = new Uint8Array(0);
    const io = (thisRun.io = {
      commaHint: '',  // set by the program as it starts
      write(text) {
        if (!mine()) return;
        observed.output += text;
        observed.lastWrite = Date.now();
        screen.append(text);
        if (!observed.recording) narration.wrote(text);
      },
      clear() {
        if (!mine()) return;
        observed.clears.push(observed.output.length);
        clear();
      },
      async nextLine() {
        if (!mine()) return -1;
        thisRun.started = true;
        if (observed.firstPromptMs === null) observed.firstPromptMs = performance.now();
        const { prompt, question } = narration.prompted(screen.screenText());
        screen.promptFor(prompt, question);
        onScreen();
        observed.reading = true;
        const next = await thisRun.keyboard.next();
        observed.reading = false;
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
        if (mine() && observed.recording) showTimeLeft(endMs);
      },
      recordingEnded(count) {
        if (!mine()) return;
        recording(false);
        counted(count);
      },
      ended(exitStatus) {
        if (!mine()) return;
        observed.exitStatus = exitStatus;
        finish('counting-lab has ended.');
      },
    });
    createCountingLab({ io, wasmBinary: bytesOf('program'), onAbort: (what) => { if (mine()) fail(what || 'it stopped'); } })
      .then((module) => {
        // The program's own count for a setting and the second that seeded
        // it: a row reproduced, as a teacher's check does.
        observed.reproduce = (row) => module._reproduced_count(row.source, row.distance_cm, row.t_s, row.second);
      }, (error) => { if (mine()) fail(error); });
  }
  return {
    start,
    live,
    held: () => observed.recording,
    // A line typed: handed to the program, with a hint where it has a comma.
    hand(line, end) {
      observed.lines.push(line + end);
      note.textContent = line.includes(',') ? run.io.commaHint : '';
      run.keyboard.hand(line + end);
    },
    endInput() { run.keyboard.hand(null); },
  };
}
