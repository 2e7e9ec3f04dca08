// What a screen reader is given. The log is not a live region: after a
// clear the new screen is spoken once, in full; after that, at each prompt,
// the lines written since the last answer, less the lines of a list shown
// again, then the prompt. The first line after a recording, the count, is
// always spoken. `say(words)` hands the words to the live region.
export function narrator(say) {
  let shown = [];        // the lines of the screen since the last clear, before `fresh`
  let fresh = '';        // what the program wrote since the last answer, clear or count
  let wholeScreen = true;
  let countNext = false;
  // Whether `lines` stand, one after another, among the lines shown before.
  function shownBefore(lines) {
    for (let at = 0; at + lines.length <= shown.length; at += 1) {
      if (lines.every((line, i) => shown[at + i] === line)) return true;
    }
    return false;
  }
  // The question a prompt answers: the last line said with it that asks
  // ("Enter ..."); else the question last asked with the same prompt (a
  // menu shown again after a count); else the line before the prompt.
  const questions = new Map();
  function question(said, prompt) {
    const asked = said.map((line) => line.trim()).filter((line) => line.startsWith('Enter '));
    if (asked.length > 0) {
      questions.set(prompt, asked[asked.length - 1]);
      return asked[asked.length - 1];
    }
    if (questions.has(prompt)) return questions.get(prompt);
    return said.length > 0 ? said[said.length - 1] : '';
  }
  return {
    wrote(text) { fresh += text; },
    cleared() {
      shown = [];
      fresh = '';
      wholeScreen = true;
    },
    // A recording's count comes next: it is spoken whatever else is left out.
    counted() {
      fresh = '';
      countNext = true;
    },
    // At a prompt, with the whole screen's text: speaks, and gives the
    // prompt and the question it answers.
    prompted(screenText) {
      const lines = fresh.split('\n');
      const prompt = lines.pop().trim();
      const said = lines.filter((line) => line.trim() !== '');
      let words;
      if (wholeScreen) {
        words = screenText.split('\n').filter((line) => line.trim() !== '').map((line) => line.trim());
      } else {
        words = said;
        if (said.length >= 3 && shownBefore(said)) {
          words = [];  // a list shown again, and nothing else
        } else {
          // A list shown again after a first line (a count or a message).
          for (let from = 1; from + 3 <= said.length; from += 1) {
            if (shownBefore(said.slice(from))) {
              words = said.slice(0, from);
              break;
            }
          }
        }
        if (countNext && said.length > 0 && words[0] !== said[0]) words = [said[0], ...words];
        words = [...words, prompt];
      }
      say(words.join('\n'));
      const asks = question(said, prompt);
      shown.push(...lines);
      fresh = '';
      wholeScreen = false;
      countNext = false;
      return { prompt, question: asks };
    },
  };
}
