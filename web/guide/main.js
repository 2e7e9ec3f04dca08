// The guide's checkers, once its WebAssembly has loaded: a student's count,
// a class, and Worksheet 2's key at any counting time.
import { checker } from './bridge.js';
import { countForm } from './count_form.js';
import { classForm } from './class_form.js';

const answer = document.getElementById('check-answer');
answer.textContent = 'Loading the checker ...';
checker().then((check) => {
  classForm(check);
  document.getElementById('key-form').addEventListener('submit', (event) => {
    event.preventDefault();
    const table = document.getElementById('key-table');
    table.innerHTML = check.worksheet2Key(event.target.elements['t'].value);
    table.tabIndex = 0;
  });
  window.checkerReady = true;
  countForm(check.checkCount);
}, (error) => {
  answer.textContent = 'The checker cannot run in this browser (' + error + ').';
});
