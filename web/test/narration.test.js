// What a screen reader hears: a new screen once, whole; then what is new
// at each prompt, never a list shown again; after a recording, the count.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { narrator } from '../page/narration.js';

const sources = 'Enter source number (1-5) or 0 to return to the main menu.\n1: A =  2.1 Bq\n2: A =  5.0 Bq\n3: A = 10.3 Bq\n';

test('a screen, a list shown again, a message and a count', () => {
  const heard = [];
  const narration = narrator((words) => heard.push(words));
  let screen = '';
  const write = (text) => {
    screen += text;
    narration.wrote(text);
  };
  write(`===== Part 1 =====\n${sources}Waiting for your choice: `);
  assert.deepEqual(narration.prompted(screen),
    { prompt: 'Waiting for your choice:', question: 'Enter source number (1-5) or 0 to return to the main menu.' });
  assert.match(heard[0], /^===== Part 1 =====\nEnter source number .*\n3: A = 10\.3 Bq\nWaiting for your choice:$/s);
  // An unknown source (the student's echo is the console's, not the
  // program's): the list again, and only the prompt is heard.
  screen += '9\n';
  write(`${sources}Waiting for your choice: `);
  narration.prompted(screen);
  assert.equal(heard[1], 'Waiting for your choice:');
  write('t (s) = ');
  narration.prompted(screen);
  screen += '5\n';
  write('Out of range!\nt (s) = ');
  narration.prompted(screen);
  assert.equal(heard[3], 'Out of range!\nt (s) =');
  // The count, then the list again: the count and the prompt, and the
  // prompt's question is still the list's.
  narration.counted();
  write(`N = 37\n\n${sources}Waiting for your choice: `);
  assert.equal(narration.prompted(screen).question, 'Enter source number (1-5) or 0 to return to the main menu.');
  assert.equal(heard[4], 'N = 37\nWaiting for your choice:');
  // A cleared screen is heard whole again.
  narration.cleared();
  screen = '===== Main menu =======\nWaiting for your choice: ';
  narration.wrote(screen);
  narration.prompted(screen);
  assert.equal(heard[5], '===== Main menu =======\nWaiting for your choice:');
});
