// Runs counting-lab in the page's terminal, and offers to start it again
// when it has ended. The program's output and state are kept on
// window.countingLab, where the page's test reads them.
(function () {
  'use strict';
  const term = new Terminal({
    screenReaderMode: true,
    cursorBlink: false,
    fontFamily: 'DejaVu Sans Mono, Menlo, Consolas, monospace',
    fontSize: 16,
    theme: { background: '#101418', foreground: '#e8e8e8' },
  });
  const fit = new FitAddon.FitAddon();
  term.loadAddon(fit);
  term.open(document.getElementById('terminal'));
  fit.fit();
  window.addEventListener('resize', () => fit.fit());

  const status = document.getElementById('status');
  const again = document.getElementById('again');
  const hint = document.getElementById('hint');
  const encoder = new TextEncoder();
  // output: all the program wrote in this run; reading: it waits for a line;
  // lastWrite: when it last wrote (Date.now()).
  const state = (window.countingLab = { output: '', reading: false, lastWrite: 0, runs: 0, exitStatus: null });

  let keyboard = null;
  term.onData((data) => keyboard && keyboard.input(data));

  function start() {
    state.runs += 1;
    state.output = '';
    state.exitStatus = null;
    status.textContent = '';
    again.hidden = true;
    hint.hidden = false;
    keyboard = new LineDiscipline((text) => term.write(text));
    let line = new Uint8Array(0);
    const io = {
      write(text) {
        state.output += text;
        state.lastWrite = Date.now();
        term.write(text.replace(/\n/g, '\r\n'));
      },
      async nextLine() {
        state.reading = true;
        const next = await keyboard.nextLine();
        state.reading = false;
        if (next === null) return -1;
        line = encoder.encode(next);
        return line.length;
      },
      takeLine() {
        return line;
      },
      ended(exitStatus) {
        state.exitStatus = exitStatus;
        keyboard = null;
        status.textContent = 'counting-lab has ended.';
        hint.hidden = true;
        again.hidden = false;
        again.focus();
      },
    };
    term.focus();
    createCountingLab({ io });
  }

  again.addEventListener('click', () => {
    term.reset();
    start();
  });
  start();
})();
