// The bar below the console during a recording: the time left, shown once
// a second, counted down to the instant at which the program's wait ends;
// the screen kept on from the start of a recording until its count (a
// locked phone would suspend the page); and leaving the page asking first
// while a recording runs, and from the first count until the program ends.
import { observed } from './observed.js';

// Makes the page ask before it is left, while `on`.
export function askFirst(event) {
  event.preventDefault();
  event.returnValue = '';
}
let guarded = false;
export function guardLeaving(on) {
  if (on === guarded) return;
  guarded = on;
  if (on) window.addEventListener('beforeunload', askFirst);
  else window.removeEventListener('beforeunload', askFirst);
}

// A lock the browser drops when the page is hidden is asked for again when
// it is shown; one request at a time.
let lock = null;
let asking = false;
async function keepScreenOn() {
  if (!observed.recording || lock || asking || !navigator.wakeLock || document.visibilityState !== 'visible') return;
  asking = true;
  try {
    const held = await navigator.wakeLock.request('screen');
    if (!observed.recording) {
      held.release();
      return;
    }
    lock = held;
    observed.wakeLock = 'held';
    held.addEventListener('release', () => { if (lock === held) lock = null; });
  } catch (error) {
    observed.wakeLock = 'refused';
  } finally {
    asking = false;
  }
}
function letScreenSleep() {
  if (lock) {
    lock.release();
    lock = null;
    observed.wakeLock = 'released';
  }
}
document.addEventListener('visibilitychange', keepScreenOn);

const bar = document.getElementById('recording');
const progress = document.getElementById('progress');
const left = document.getElementById('left');
let ticking = null;
let showLeft = null;
let zeroShownAt = null;  // when "0 s left" first showed

// From the program: its wait ends at `end` (Date.now() milliseconds).
export function showTimeLeft(end) {
  const started = Date.now();
  zeroShownAt = null;
  progress.max = Math.max(end - started, 1);
  showLeft = () => {
    const now = Date.now();
    progress.value = Math.min(now - started, progress.max);
    const seconds = Math.max(0, Math.ceil((end - now) / 1000));
    left.textContent = seconds + ' s left';
    if (seconds === 0 && zeroShownAt === null) zeroShownAt = now;
    return now;
  };
  const tick = () => {
    const now = showLeft();
    if (now < end) ticking = setTimeout(tick, (end - now) % 1000 || 1000);
  };
  bar.hidden = false;
  tick();
}
// At the count: the time left as it stands then, and how long "0 s left"
// had shown before it, which the test reads.
function hideTimeLeft() {
  clearTimeout(ticking);
  if (showLeft) showLeft();
  observed.leftAtCount = left.textContent;
  observed.zeroEarlyMs = zeroShownAt === null ? null : Date.now() - zeroShownAt;
  showLeft = null;
  bar.hidden = true;
}

// A recording starts (`on`, for `t` seconds) or ends.
export function recordingBar(on) {
  observed.recording = on;
  if (on) {
    guardLeaving(true);
    keepScreenOn();
  } else {
    hideTimeLeft();
    letScreenSleep();
  }
}
