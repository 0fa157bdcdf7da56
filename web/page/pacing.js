// Pacing: how many steps a frame takes so that a run keeps to a number of
// steps a second. The steps due by a frame's time are counted from the
// start of the schedule, not frame by frame, so that at 1000 steps/s and
// 60 frames/s the frames take 17, 17, 16, ... and every second exactly
// 1000, whatever the display's rate; only a frame late by more than the
// lag below starts the schedule afresh, so that after an idle spell, a
// hidden tab or a machine too slow for the rate the run does not race to
// catch up.
"use strict";

const Pacing = (() => {
  const MaxLagMilliseconds = 50;

  class StepPacer {
    // stepsPerSecond 0: no pacing, as fast as the machine goes.
    constructor(stepsPerSecond) {
      this.setStepsPerSecond(stepsPerSecond);
    }

    setStepsPerSecond(stepsPerSecond) {
      this.rate = Math.max(0, Math.floor(stepsPerSecond));
      this.restart();
    }

    get paced() {
      return this.rate > 0;
    }

    // A new schedule: its first step is due at the next frame.
    restart() {
      this.origin = null;
      this.taken = 0;
    }

    // The steps due at a frame at time `now` (milliseconds); tell taken()
    // how many were done.
    due(now) {
      if (this.origin === null) {
        this.origin = now;
        this.taken = 0;
      }
      let target = 1 + Math.floor(((now - this.origin) * this.rate) / 1000);
      if (target - this.taken > 1 + (MaxLagMilliseconds * this.rate) / 1000) {
        this.origin = now;
        this.taken = 0;
        target = 1;
      }
      return Math.max(0, target - this.taken);
    }

    stepsTaken(count) {
      this.taken += count;
    }
  }

  return { StepPacer, MaxLagMilliseconds };
})();

if (typeof module !== "undefined") module.exports = Pacing;
