// The page's keyboard: what reaches the program, and what the terminal shows.
const test = require('node:test');
const assert = require('node:assert');
const { LineDiscipline } = require('./line_discipline.js');

// The lines handed over and the echo, for keys typed before the program asks.
function typed(data) {
  let shown = '';
  const keyboard = new LineDiscipline((text) => { shown += text; });
  keyboard.input(data);
  return { lines: keyboard.lines, shown };
}

test('Enter hands over the echoed line with a line break; Backspace edits it', () => {
  assert.deepStrictEqual(typed('12\x7f3\r'), { lines: ['13\n'], shown: '12\b \b3\r\n' });
  assert.deepStrictEqual(typed('\x7f\x7fa\r'), { lines: ['a\n'], shown: 'a\r\n' }, 'nothing to erase');
});

test('pasted lines answer one prompt each, whatever their line ends', () => {
  assert.deepStrictEqual(typed('1\r\n3\n20\r0').lines, ['1\n', '3\n', '20\n']);
});

test('Ctrl-D ends the input on an empty line, and hands over a typed one without a line break', () => {
  assert.deepStrictEqual(typed('\x04'), { lines: [null], shown: '' });
  assert.deepStrictEqual(typed('12\x04').lines, ['12']);
});

test('arrow keys, function keys and other control characters are ignored', () => {
  assert.deepStrictEqual(typed('1\x1b[A\x1b[1;5D\x1bOP\x032\t3\r'), { lines: ['12 3\n'], shown: '12 3\r\n' });
});

test('a line typed before the program asks waits for it; a program that asks first is answered', async () => {
  const keyboard = new LineDiscipline(() => {});
  keyboard.input('5\r');
  assert.strictEqual(await keyboard.nextLine(), '5\n');
  const next = keyboard.nextLine();
  keyboard.input('7\r');
  assert.strictEqual(await next, '7\n');
});
