// The keyboard of counting-lab's page, as a terminal in line mode handles it:
// typed characters are echoed, Backspace edits the line, Enter hands it over
// with its line break, and Ctrl-D hands over what was typed without one, or,
// on an empty line, ends the input. Text typed or pasted ahead of the
// program waits, line by line, for the program to read it.
class LineDiscipline {
  // `echo` writes to the terminal.
  constructor(echo) {
    this.echo = echo;
    this.line = [];        // characters of the line being typed
    this.lines = [];       // finished lines; null marks the end of input
    this.waiting = null;   // the program's pending nextLine()
    this.escape = '';      // an escape sequence in progress (arrow keys and such), ignored
    this.afterCR = false;  // a line feed right after a carriage return ends no second line
  }

  // Handles what the terminal reports the student typed or pasted.
  input(data) {
    for (const ch of data) {
      const afterCR = this.afterCR;
      this.afterCR = false;
      if (this.escape) {
        this.skipEscape(ch);
      } else if (ch === '\x1b') {
        this.escape = ch;
      } else if (ch === '\r' || ch === '\n') {
        if (ch === '\n' && afterCR) continue;
        this.afterCR = ch === '\r';
        this.echo('\r\n');
        this.finish(this.line.join('') + '\n');
      } else if (ch === '\x7f' || ch === '\b') {
        if (this.line.length > 0) {
          this.line.pop();
          this.echo('\b \b');
        }
      } else if (ch === '\x04') {
        this.finish(this.line.length > 0 ? this.line.join('') : null);
      } else if (ch === '\t') {
        this.type(' ');
      } else if (ch >= ' ') {
        this.type(ch);
      }
    }
  }

  // The next line, with its line break if it had one; null at the end of input.
  nextLine() {
    if (this.lines.length > 0) return Promise.resolve(this.lines.shift());
    return new Promise((resolve) => { this.waiting = resolve; });
  }

  type(ch) {
    this.line.push(ch);
    this.echo(ch);
  }

  finish(line) {
    this.line = [];
    if (this.waiting) {
      const resolve = this.waiting;
      this.waiting = null;
      resolve(line);
    } else {
      this.lines.push(line);
    }
  }

  // ESC [ parameters final-byte, or ESC O letter, or ESC and one character.
  skipEscape(ch) {
    if (this.escape === '\x1b') {
      this.escape = ch === '[' || ch === 'O' ? '\x1b' + ch : '';
    } else if (this.escape === '\x1bO' || (ch >= '@' && ch <= '~')) {
      this.escape = '';
    }
  }
}

if (typeof module !== 'undefined') module.exports = { LineDiscipline };
