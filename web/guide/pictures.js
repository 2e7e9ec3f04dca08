// The hand-in codes in a picture, a photo or the camera's frame: the
// browser's own detector where it has one that takes QR codes (if it fails
// once, jsQR reads every picture after), else jsQR on the pixels. A code
// far from a laptop's webcam is only two or three camera pixels a module,
// which jsQR reads better enlarged: each view below is a part of the
// picture (x, y, width and height as fractions of it) drawn `times` as
// large, on a picture at most `across` pixels wide or high.
import jsQR from 'jsqr';
import { isPictureName } from './zip.js';

let detector = null;
try {
  if ('BarcodeDetector' in window) detector = new window.BarcodeDetector({ formats: ['qr_code'] });
} catch (error) {
  detector = null;
}
const canvas = document.createElement('canvas');
const view = (x, y, width, height, times, across = 1280) => ({ x, y, width, height, times, across });
const whole = view(0, 0, 1, 1, 1);
const middle = (times) => view(0.25, 0.25, 0.5, 0.5, times);
// A picture opened as a file: at its full size (a phone's photo), then as a
// camera's frame, whole and enlarged, and its middle enlarged; then in the
// camera's other views below.
const fileViews = [view(0, 0, 1, 1, 1, 4096), whole, view(0, 0, 1, 1, 2), view(0, 0, 1, 1, 1.5), middle(2)];
// The camera's frames, one view each in turn: the whole frame, its middle
// (where a code is held up) and the whole enlarged by steps, so that a code
// held still for a second or two is tried in every view; the view that
// read a code stays for the next, which a student holds up at about the
// same distance.
const frameViews = [whole, middle(2), middle(1.5), view(0, 0, 1, 1, 2), middle(2.5), view(0, 0, 1, 1, 1.5), middle(1.75),
  view(0, 0, 1, 1, 1.25), middle(3)];
let turn = 0;
const sameView = (a, b) => ['x', 'y', 'width', 'height', 'times', 'across'].every((key) => a[key] === b[key]);
// A picture opened: its own views, then the camera's that are not among them.
const pictureViews = [...fileViews, ...frameViews.filter((one) => !fileViews.some((other) => sameView(one, other)))];

export const isPicture = (file) => /^image\//.test(file.type) || isPictureName(file.name);

// The text of the code that jsQR finds in `seen` of `image`, or null.
function jsqrIn(image, seen, invert) {
  const across = image.videoWidth || image.width;
  const down = image.videoHeight || image.height;
  if (!across || !down) return null;
  const scale = Math.min(1, seen.across / Math.max(across, down)) * seen.times;
  canvas.width = Math.max(1, Math.round(across * seen.width * scale));
  canvas.height = Math.max(1, Math.round(down * seen.height * scale));
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.imageSmoothingQuality = 'high';
  context.drawImage(image, across * seen.x, down * seen.y, across * seen.width, down * seen.height, 0, 0, canvas.width, canvas.height);
  const pixels = context.getImageData(0, 0, canvas.width, canvas.height);
  const code = jsQR(pixels.data, pixels.width, pixels.height, { inversionAttempts: invert ? 'attemptBoth' : 'dontInvert' });
  return code ? new TextDecoder().decode(Uint8Array.from(code.binaryData)) : null;
}

// The texts of the codes in `image` (an ImageBitmap or the video element);
// `thorough` (a picture opened) tries every view of it, and light codes on
// dark; else (a frame) the next view in turn.
export async function codesIn(image, thorough = false) {
  if (detector) {
    try {
      return (await detector.detect(image)).map((code) => code.rawValue);
    } catch (error) {
      detector = null;  // this platform detects no QR codes: read the pixels, now and after
    }
  }
  if (thorough) {
    for (const seen of pictureViews) {
      const text = jsqrIn(image, seen, true);
      if (text !== null) return [text];
    }
    return [];
  }
  const text = jsqrIn(image, frameViews[turn], false);
  if (text !== null) return [text];
  turn = (turn + 1) % frameViews.length;
  return [];
}
