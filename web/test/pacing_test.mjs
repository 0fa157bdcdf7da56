// The pacer's counts of steps a frame: exact rates at any display's rate,
// and a fresh schedule after a lag instead of a race to catch up.
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { test } from "node:test";

const { StepPacer } = createRequire(import.meta.url)("../page/pacing.js");

// Frames at `hertz` from time `t0` for `seconds`, each taking all it is due;
// the steps taken in each whole second.
function run(pacer, hertz, seconds, t0 = 123.4) {
  const perSecond = new Array(seconds).fill(0);
  const frames = [];
  for (let k = 0; k < hertz * seconds; ++k) {
    const due = pacer.due(t0 + (k * 1000) / hertz);
    pacer.stepsTaken(due);
    frames.push(due);
    perSecond[Math.floor(k / hertz)] += due;
  }
  return { perSecond, frames };
}

test("1000 steps/s at 60 frames/s: 16 or 17 a frame, 1000 every second", () => {
  const { perSecond, frames } = run(new StepPacer(1000), 60, 10);
  // The first frame takes the first step at once; the first second's last
  // frame is due at 983.3 ms.
  assert.deepEqual(perSecond, [1 + 983, ...new Array(9).fill(1000)]);
  assert.ok(frames.slice(1).every((n) => n === 16 || n === 17));
});

test("the rate holds at other display rates and speeds", () => {
  for (const [rate, hertz] of [[1000, 144], [1000, 30], [250, 60], [16000, 75]]) {
    const { perSecond } = run(new StepPacer(rate), hertz, 4);
    assert.deepEqual(perSecond.slice(1), [rate, rate, rate], `${rate} steps/s at ${hertz} Hz`);
  }
});

test("a frame later than the lag starts afresh; restart makes a step due at once", () => {
  const pacer = new StepPacer(1000);
  assert.equal(pacer.due(0), 1);
  pacer.stepsTaken(1);
  assert.equal(pacer.due(40), 40);  // 40 ms late: made up
  pacer.stepsTaken(40);
  assert.equal(pacer.due(500), 1);  // 460 ms late: begun afresh
  pacer.stepsTaken(1);
  assert.equal(pacer.due(510), 10);
  pacer.stepsTaken(3);  // a run stopped after 3 of them
  pacer.restart();
  assert.equal(pacer.due(511), 1);
  assert.equal(new StepPacer(0).paced, false);
});
