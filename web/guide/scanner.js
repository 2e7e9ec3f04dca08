// "Scan hand-in codes": the camera's picture in the guide (back camera
// preferred, 1280 x 720 ideally), a frame read every tenth of a second;
// each new code flashes the picture green, beeps, and is answered in the
// status line. `took(text)` takes each code read and tells whether it was new;
// `none()` whether no code is read yet.
import { codesIn } from './pictures.js';

export function scanner({ took, none }) {
  const box = document.getElementById('scan');
  const video = document.getElementById('scan-video');
  const button = document.getElementById('scan-start');
  const status = document.getElementById('scan-status');
  let camera = null;
  let sound = null;
  function flash() {
    box.classList.remove('read');
    void box.offsetWidth;  // so that the flash starts again
    box.classList.add('read');
    if (!sound) return;
    const tone = sound.createOscillator();
    const level = sound.createGain();
    level.gain.value = 0.1;
    tone.frequency.value = 880;
    tone.connect(level).connect(sound.destination);
    tone.start();
    tone.stop(sound.currentTime + 0.12);
  }
  function stop() {
    if (!camera) return;
    camera.getTracks().forEach((track) => track.stop());
    camera = null;
    video.srcObject = null;
    box.hidden = true;
    button.textContent = 'Scan hand-in codes';
  }
  button.addEventListener('click', async () => {
    if (camera) {
      stop();
      return;
    }
    try {
      sound = sound || new AudioContext();
    } catch (error) {
      sound = null;  // no sound here: the flash and the words say it
    }
    try {
      if (!navigator.mediaDevices || !navigator.mediaDevices.getUserMedia) throw new Error('no camera');
      camera = await navigator.mediaDevices.getUserMedia({ audio: false,
        video: { facingMode: { ideal: 'environment' }, width: { ideal: 1280 }, height: { ideal: 720 } } });
    } catch (error) {
      status.textContent = (error && error.name === 'NotAllowedError' ? 'The camera was not allowed.' :
        'This browser gives the guide no camera.') + ' Open photos or screenshots of the codes instead.';
      return;
    }
    video.srcObject = camera;
    box.hidden = false;
    button.textContent = 'Stop scanning';
    await video.play().catch(() => {});
    if (none()) status.textContent = 'Hold each code up to the camera.';
    const mine = camera;
    while (camera === mine) {
      if (video.readyState >= 2) {
        for (const text of await codesIn(video)) if (took(text)) flash();
      }
      await new Promise((done) => setTimeout(done, 100));
    }
  });
}
