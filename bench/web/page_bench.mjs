// The page's figures in headless Chromium: its size, how soon it is ready,
// the steps a second and frames a second at Normal and at Maximum, and the
// engine's own speed in WebAssembly with nothing drawn.
// usage: bench/web/page_bench.sh [SECONDS]  (after a release build)
import { statSync } from "node:fs";
import { openPage } from "../../web/test/browser.mjs";

const [pagePath, secondsText = "10"] = process.argv.slice(2);
const seconds = Number(secondsText);

// Steps and frames over `seconds` of a run at a speed, after a second to settle.
async function rate(page, stepsPerSecond) {
  return page.evaluate(async ([speed, seconds]) => {
    const frames = () => new Promise((done) => requestAnimationFrame(done));
    ljgas.setSpeed(speed);
    ljgas.initialize();
    ljgas.go();
    const wait = (ms) => new Promise((done) => setTimeout(done, ms));
    await wait(1000);
    let count = 0;
    let counting = true;
    const count_ = () => { if (counting) { ++count; requestAnimationFrame(count_); } };
    await frames();
    const s0 = ljgas.steps(), t0 = performance.now();
    requestAnimationFrame(count_);
    await wait(seconds * 1000);
    const s1 = ljgas.steps(), t1 = performance.now();
    counting = false;
    ljgas.stop();
    await frames();
    const elapsed = (t1 - t0) / 1000;
    return { steps: (s1 - s0) / elapsed, frames: count / elapsed };
  }, [stepsPerSecond, seconds]);
}

const { page, close } = await openPage(pagePath);
try {
  const ready = await page.evaluate(() => ljgas.readyAt);
  const normal = await rate(page, 1000);
  const maximum = await rate(page, 0);
  const engine = await page.evaluate(() => {
    ljgas.initialize();
    const t0 = performance.now();
    const steps = ljgas.runSteps(20000);
    return steps / ((performance.now() - t0) / 1000);
  });
  const fixed = (x) => x.toFixed(0);
  console.log(`page            ${statSync(pagePath).size} bytes`);
  console.log(`ready           ${ready.toFixed(0)} ms after the page began to load`);
  console.log(`Normal          ${fixed(normal.steps)} steps/s at ${normal.frames.toFixed(1)} frames/s`);
  console.log(`Maximum         ${fixed(maximum.steps)} steps/s at ${maximum.frames.toFixed(1)} frames/s`);
  console.log(`engine alone    ${fixed(engine)} steps/s (20000 steps, nothing drawn)`);
} finally {
  await close();
}
