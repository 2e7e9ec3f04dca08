// The table's store: two tabs over one storage keep every count and follow
// each other's changes; a browser that keeps nothing keeps the tab's table.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { storageKey, tableStore } from '../page/store.js';

// One device's storage, and its tabs: a change in one is heard by the
// others once `settle()` delivers it, as a browser's event comes later.
function device() {
  const items = new Map();
  const tabs = [];
  let pending = [];
  const storage = (tab) => ({
    getItem: (key) => (items.has(key) ? items.get(key) : null),
    setItem: (key, value) => {
      items.set(key, String(value));
      pending.push(...tabs.filter((other) => other !== tab));
    },
  });
  return {
    items,
    settle() {
      const now = pending;
      pending = [];
      for (const tab of now) tab.heard();
    },
    tab() {
      const tab = { heard: () => {}, seen: [] };
      tabs.push(tab);
      tab.store = tableStore({ storage: storage(tab), listen: (heard) => { tab.heard = heard; },
        changed: (record) => { tab.seen.push(record); } });
      return tab;
    },
  };
}
const row = (source, N, second) => ({ exercise: 1, source, activity_bq: 2.1, distance_cm: 0, t_s: 10, N, second });

test('two tabs recording in turn keep every count, and each hears the other', () => {
  const here = device();
  const a = here.tab();
  const b = here.tab();
  // Before either has heard of the other's count.
  a.store.add(row(3, 30, 100));
  b.store.add(row(5, 50, 120));
  const last = a.store.add(row(2, 20, 140));
  assert.deepEqual(last.rows.map((r) => r.source), [3, 5, 2]);
  here.settle();
  assert.deepEqual(b.seen.at(-1).rows.map((r) => r.source), [3, 5, 2]);
  assert.equal(JSON.parse(here.items.get(storageKey)).rows.length, 3);
  // The same row twice (a tab saving again what it holds) is one row.
  assert.equal(b.store.add(row(2, 20, 140)).rows.length, 3);
});

test('clearing clears every tab, but not a row another tab added unseen', () => {
  const here = device();
  const a = here.tab();
  const b = here.tab();
  const seenByA = a.store.add(row(1, 10, 100)).rows;
  here.settle();
  b.store.add(row(4, 40, 130));  // A has not heard of it yet
  const left = a.store.clear(seenByA, false);
  assert.deepEqual(left.rows.map((r) => r.source), [4]);
  here.settle();
  assert.deepEqual(b.store.current().rows.map((r) => r.source), [4]);
  b.store.name('Ann');
  const own = b.store.clear(b.store.current().rows, true);
  assert.deepEqual([own.rows, own.student, own.handed_in], [[], '', true]);
  here.settle();
  assert.deepEqual(a.seen.at(-1).rows, []);
});

test('handing in holds only for the rows the tab has seen', () => {
  const here = device();
  const a = here.tab();
  const b = here.tab();
  const seen = a.store.add(row(1, 10, 100)).rows;
  assert.equal(a.store.current().handed_in, false);
  b.store.add(row(2, 20, 110));
  assert.equal(a.store.handIn(seen).handed_in, false);
  assert.equal(a.store.handIn(a.store.current().rows).handed_in, true);
  // A name typed after a count: the table is not handed in under it.
  assert.equal(a.store.name('Ben').handed_in, false);
});

test('a browser that keeps nothing keeps the table in the tab, and says it', () => {
  const full = { getItem: () => null, setItem: () => { throw new Error('QuotaExceededError'); } };
  const store = tableStore({ storage: full });
  store.add(row(1, 10, 100));
  assert.equal(store.add(row(2, 20, 110)).rows.length, 2);
  assert.equal(store.kept, false);
  const none = tableStore({ storage: null });
  assert.equal(none.add(row(1, 10, 100)).rows.length, 1);
  assert.equal(none.kept, false);
});

test('what storage holds that no page wrote is an empty table', () => {
  for (const kept of ['{', '[]', '{"rows":5}', 'null', '{"rows":[null,7],"student":3}']) {
    const store = tableStore({ storage: { getItem: () => kept, setItem: () => {} } });
    assert.deepEqual(store.current(), { student: '', rows: [], handed_in: true }, kept);
  }
});
