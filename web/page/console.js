// The console: the log of what the program wrote, the browser's own input
// field right after the prompt, and on touch screens a number pad that
// types into it. Enter hands the line over; lines pasted ahead answer one
// prompt each; Ctrl-D on an empty line ends the input. While `held()` (a
// recording) nothing typed or tapped is handed over.
//   handLine(line): a line typed, with its line break or without (Ctrl-D);
//   endInput(): Ctrl-D on an empty line.
export function createConsole({ held, live, handLine, endInput }) {
  const screen = document.getElementById('screen');
  const log = document.getElementById('log');
  const field = document.getElementById('field');
  const pad = document.getElementById('pad');
  const keys = [...pad.querySelectorAll('button')];
  const again = document.getElementById('again');
  const loading = document.getElementById('loading');

  // The prompt and the field stay in view: after each line, each key of
  // the pad, and when the screen turns or the browser's bar comes back.
  function keepFieldInView() {
    screen.scrollTop = screen.scrollHeight;  // the screen scrolls from its bottom: as far down as it goes
  }
  if (window.ResizeObserver) new ResizeObserver(keepFieldInView).observe(screen);
  else window.addEventListener('resize', keepFieldInView);
  function append(text) {
    if (text === '') return;
    loading.remove();
    log.append(text);
    keepFieldInView();
  }

  // During a recording the keys are held off: the field takes no typing and
  // the pad's keys are disabled, so nothing reaches the program.
  let focusedKey = null;
  function holdKeys(on) {
    field.readOnly = on;
    if (on && keys.includes(document.activeElement)) focusedKey = document.activeElement;
    for (const key of keys) key.disabled = on;
    if (!on && focusedKey && document.activeElement === document.body) focusedKey.focus();
    if (!on) focusedKey = null;
  }
  // Shows a line and hands it over, as a console does: with a line break for
  // Enter, without one for Ctrl-D. An empty line hands nothing.
  function enter(line, end = '\n') {
    if (held() || !live() || line.trim() === '') return;
    append(line + end);
    handLine(line, end);
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
      if (!held()) enter(takeField());
    } else if (event.ctrlKey && !event.altKey && (event.key === 'd' || event.key === 'D')) {
      // Ctrl-D: the typed line without a line break, or on an empty line the end of the input.
      event.preventDefault();
      if (held() || !live()) return;
      const line = takeField();
      if (line !== '') enter(line, '');
      else endInput();
    }
  });
  // Pasted lines answer one prompt each; what follows the last line break stays in the field.
  field.addEventListener('paste', (event) => {
    if (held()) {
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
    if (!button || field.hidden || held()) return;
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

  return {
    append,
    holdKeys,
    screenText: () => log.textContent,
    clear() { log.replaceChildren(); },
    // A new run: the console empty but for the loading notice, the field and pad shown.
    open() {
      log.replaceChildren(loading);
      for (const failure of screen.querySelectorAll('.failure')) failure.remove();
      again.hidden = true;
      field.hidden = false;
      pad.hidden = false;
      field.value = '';
      field.focus();
    },
    // The run is over: no field, no pad; the restart button, with the focus.
    close() {
      field.hidden = true;
      pad.hidden = true;
      again.hidden = false;
      again.scrollIntoView({ block: 'nearest' });
      again.focus();
    },
    // A failure, said where the student looks, before the restart button.
    failed(words) {
      const failure = document.createElement('p');
      failure.className = 'failure';
      failure.setAttribute('role', 'alert');
      failure.textContent = words;
      again.before(failure);
    },
    promptFor(prompt, question) {
      field.setAttribute('aria-label', prompt || 'Your answer');
      document.getElementById('range').textContent = question;
    },
  };
}
