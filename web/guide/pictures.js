// The hand-in codes in a picture, a photo or the camera's frame: the
// browser's own detector where it has one that takes QR codes (if it fails
// once, jsQR reads every picture after), else jsQR on the pixels, at most
// 1,280 px across, as a camera gives them.
import jsQR from 'jsqr';
let detector = null;
try {
  if ('BarcodeDetector' in window) detector = new window.BarcodeDetector({ formats: ['qr_code'] });
} catch (error) {
  detector = null;
}
const canvas = document.createElement('canvas');

export const isPicture = (file) => /^image\//.test(file.type) || /\.(png|jpe?g|gif|webp|bmp)$/i.test(file.name);

// The texts of the codes in `image` (an ImageBitmap or the video element);
// `thorough` also tries light codes on dark.
export async function codesIn(image, thorough = false) {
  if (detector) {
    try {
      return (await detector.detect(image)).map((code) => code.rawValue);
    } catch (error) {
      detector = null;  // this platform detects no QR codes: read the pixels, now and after
    }
  }
  const across = image.videoWidth || image.width;
  const down = image.videoHeight || image.height;
  if (!across || !down) return [];
  const scale = Math.min(1, 1280 / Math.max(across, down));
  canvas.width = Math.round(across * scale);
  canvas.height = Math.round(down * scale);
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.drawImage(image, 0, 0, canvas.width, canvas.height);
  const pixels = context.getImageData(0, 0, canvas.width, canvas.height);
  const code = jsQR(pixels.data, pixels.width, pixels.height, { inversionAttempts: thorough ? 'attemptBoth' : 'dontInvert' });
  return code ? [new TextDecoder().decode(Uint8Array.from(code.binaryData))] : [];
}
