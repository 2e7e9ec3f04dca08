// counting-lab in the page as on a console: what the program writes goes
// into the log, the line being typed is the browser's own input field right
// after the prompt, and on touch screens a number pad types into that field.
// During a recording the keys are held off, the time left is shown, the
// screen stays awake, and leaving the page asks first. A screen reader
// hears each new screen once, then the counts, the messages and the
// prompts, but not the student's own echo or a list shown again. Beside the
// console, the table keeps every count. What the page shows a test is
// window.countingLab.
import { observed } from './observed.js';
import { createConsole } from './console.js';
import { runner } from './run.js';
import { tableView } from './table_view.js';

window.countingLab = observed;
document.body.classList.add('running');
const table = tableView();
let run = null;
const screen = createConsole({
  held: () => run.held(),
  live: () => run.live(),
  handLine: (line, end) => run.hand(line, end),
  endInput: () => run.endInput(),
});
// The table's kept rows are drawn once the first prompt is on screen.
run = runner({ console: screen, counted: (row) => table.add(row), onScreen: () => setTimeout(table.ready) });
document.getElementById('again').addEventListener('click', run.start);
run.start();
