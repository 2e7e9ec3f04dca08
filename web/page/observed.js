// What the page shows a test, as window.countingLab (set once, by main.js):
// output: all this run wrote; clears: where in it the screen was cleared;
// lines: what it was handed; spoken: what a screen reader was given;
// reading: it waits for a line; lastWrite: when it last wrote (Date.now());
// rows and student: the table (tableShown once its kept rows are drawn);
// and the times and states the tests measure.
export const observed = {
  output: '', clears: [], lines: [], spoken: [], reading: false, recording: false, lastWrite: 0, runs: 0,
  exitStatus: null, failure: null, wakeLock: 'none', leftAtCount: null, zeroEarlyMs: null, rows: [], student: '',
  firstPromptMs: null,  // since the page began to load
};
