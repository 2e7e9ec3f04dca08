// What the tests of the page's and the guide's code share: the lab's setup
// as the guide's checker gives it from the program's lab.hpp and
// recording.hpp (which the hand-in test reads, so that this copy cannot
// drift), and the samples of what the page writes (tests/hand-in), with
// the table they were written from.
import { readFileSync, readdirSync } from 'node:fs';

export const lab = { sources: 5, counting_time_s: [10, 100], distance_cm: [0.5, 5], tau: 0.06 };

export const samples = new URL('../../tests/hand-in/', import.meta.url);
export const sample = (name) => readFileSync(new URL(name, samples));
export const downloadName = readdirSync(samples).find((name) => name.startsWith('counting-lab-'));
export const sampleStudent = 'Zoë "Zo" Ødegård, Jr.';
export const sampleRows = [
  { exercise: 1, source: 3, activity_bq: 10.3, distance_cm: 0, t_s: 10, N: 36, second: 1796806800 },
  { exercise: 2, source: 0, distance_cm: 2.5, t_s: 10, N: 11, second: 1796806814 },
  { exercise: 1, source: 5, activity_bq: 17.9, distance_cm: 0, t_s: 20, N: 114, second: 1796806845 },
];

// A seeded generator of numbers in [0, 1), so that a failing case comes again.
export function seeded(seed) {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
