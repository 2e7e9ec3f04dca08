// "Show hand-in code": the table handed in without a network, as QR codes
// shown one at a time for the teacher's camera, black on white whatever
// the page's colours, with a line under each of what it holds.
import { codeParts } from '../shared/hand_in.js';
import { observed } from './observed.js';

// The code library, run the first time a code is shown rather than as the
// page loads: the bundler wraps a CommonJS module so that it runs when it is
// first required, and the first prompt does not wait for it.
/* global require */
let library = null;
const qrcodeLibrary = () => (library = library || require('qrcode-generator'));

// The code as an SVG image, with a margin of four modules, as readers
// expect; and how many modules it is across.
function drawn(text) {
  const qrcode = qrcodeLibrary();
  qrcode.stringToBytes = (s) => [...new TextEncoder().encode(s)];  // the name in UTF-8
  const code = qrcode(0, 'L');
  code.addData(text, 'Byte');
  code.make();
  const svg = code.createSvgTag({ cellSize: 1, margin: 4, scalable: true }).replace('<svg ', '<svg shape-rendering="crispEdges" ');
  return { svg, modules: code.getModuleCount() };
}

export function codeView() {
  const box = document.getElementById('hand-in-code');
  const image = document.getElementById('code-image');
  const words = document.getElementById('code-words');
  const next = document.getElementById('code-next');
  let codes = [];
  function show(at, student, count) {
    const { text, first, last } = codes[at];
    const { svg, modules } = drawn(text);
    const which = codes.length > 1 ? `Code ${at + 1} of ${codes.length}: ` : '';
    image.innerHTML = svg;
    image.setAttribute('aria-label', `Hand-in code ${at + 1} of ${codes.length}`);
    words.textContent = `${which}${student || 'no name'}, measurement${first === last ? ` ${first}` : `s ${first} to ${last}`} of ${count}.` +
      (at + 1 < codes.length ? ' Once it is read, show the next.' : '');
    next.hidden = codes.length === 1;
    next.textContent = at + 1 < codes.length ? `Next code (${at + 2} of ${codes.length})` : 'First code again';
    next.onclick = () => show((at + 1) % codes.length, student, count);
    Object.assign(observed, { codes: codes.map((code) => code.text), codeShown: at, codeModules: modules });
  }
  document.getElementById('code-close').addEventListener('click', () => {
    box.hidden = true;
    document.getElementById('show-code').focus();
  });
  return {
    // Shows the first code of the table; gives how many codes it takes.
    open(student, rows) {
      codes = codeParts(student, rows);
      show(0, student, rows.length);
      box.hidden = false;
      box.scrollIntoView({ block: 'nearest' });
      return codes.length;
    },
    // The table changed: the code no longer holds it.
    close() { box.hidden = true; },
  };
}
