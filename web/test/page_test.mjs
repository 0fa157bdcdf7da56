// The page in a real browser, as a teacher uses it: it loads without a
// console error and shows 225 discs; its state after 1000 steps is byte for
// byte ljgas-batch's; Go runs the gas to T near Tsoll, Stop stops it; a
// state it saves reads back in ljgas-batch, and one ljgas-batch wrote opens
// in it; the window's keys work; a web server serves it as well.
//
// usage: node page_test.mjs PAGE LJGAS_BATCH WORK_FOLDER
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, readFileSync, rmSync } from "node:fs";
import { createServer } from "node:http";
import { join } from "node:path";
import { inflateSync } from "node:zlib";
import { openPage } from "./browser.mjs";

const [pagePath, batch, work] = process.argv.slice(2);
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });

// The pixels of an 8-bit RGB or RGBA PNG, as Chromium's screenshots are.
function decodePng(bytes) {
  let at = 8;
  let width = 0, height = 0, channels = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString("latin1", at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      assert.equal(body[8], 8, "8 bits per channel");
      assert.equal(body[12], 0, "not interlaced");
      channels = { 2: 3, 6: 4 }[body[9]];
      assert.ok(channels, `colour type ${body[9]}`);
    } else if (type === "IDAT") {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let row = 0; row < height; ++row) {
    const filter = raw[row * (stride + 1)];
    for (let m = 0; m < stride; ++m) {
      const x = raw[row * (stride + 1) + 1 + m];
      const a = m >= channels ? pixels[row * stride + m - channels] : 0;
      const b = row > 0 ? pixels[(row - 1) * stride + m] : 0;
      const c = m >= channels && row > 0 ? pixels[(row - 1) * stride + m - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a
                  : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      pixels[row * stride + m] = (x + [0, a, b, (a + b) >> 1, paeth][filter]) & 0xff;
    }
  }
  return { width, height, channels, pixels };
}

// Rings of lit pixels, 8-connected, and how many of them are red.
function countDiscs({ width, height, channels, pixels }) {
  const seen = new Uint8Array(width * height);
  const at = (i) => pixels.subarray(i * channels, i * channels + 3);
  const lit = (i) => Math.max(...at(i)) > 100;
  let discs = 0, red = 0;
  for (let start = 0; start < width * height; ++start) {
    if (seen[start] || !lit(start)) continue;
    ++discs;
    let reddish = false;
    const stack = [start];
    seen[start] = 1;
    while (stack.length > 0) {
      const i = stack.pop();
      const [r, g] = at(i);
      reddish ||= r > 200 && g < 150;
      const x = i % width, y = (i - x) / width;
      for (let dy = -1; dy <= 1; ++dy) {
        for (let dx = -1; dx <= 1; ++dx) {
          const nx = x + dx, ny = y + dy;
          const j = ny * width + nx;
          if (nx >= 0 && ny >= 0 && nx < width && ny < height && !seen[j] && lit(j)) {
            seen[j] = 1;
            stack.push(j);
          }
        }
      }
    }
    if (reddish) ++red;
  }
  return { discs, red };
}

async function download(page, act, name) {
  const [file] = await Promise.all([page.waitForEvent("download"), act()]);
  const path = join(work, name);
  await file.saveAs(path);
  return path;
}

function runBatch(...args) {
  execFileSync(batch, ["--quiet", ...args], { stdio: ["ignore", "inherit", "inherit"] });
}

const { page, errors, close } = await openPage(pagePath);
try {
  // The start-up's lattice: 15 x 15 discs, particle 1 red.
  // The whole pixels inside the canvas, which may sit at a fractional place.
  const box = await page.locator("#window").boundingBox();
  const [left, top] = [Math.ceil(box.x), Math.ceil(box.y)];
  const clip = { x: left, y: top, width: Math.floor(box.x + box.width) - left, height: Math.floor(box.y + box.height) - top };
  const shot = decodePng(await page.screenshot({ clip }));
  assert.deepEqual(countDiscs(shot), { discs: 225, red: 1 }, "the start-up's discs on the screenshot");

  // 1000 steps from the start-up's state, saved with Ctrl+S, against ljgas-batch's.
  assert.equal(await page.evaluate(() => ljgas.runSteps(1000)), 1000);
  const saved = await download(page, () => page.keyboard.press("Control+s"), "page-1000.csv");
  const batchState = join(work, "batch-1000.csv");
  runBatch("--steps", "1000", "--state-out", batchState);
  assert.ok(readFileSync(saved).equals(readFileSync(batchState)), "the state after 1000 steps is ljgas-batch's, byte for byte");

  // The conserving dynamics from the same lattice, to the byte as well; and
  // Reverse Time takes it back to the lattice's positions.
  const lattice = join(work, "lattice.csv");
  runBatch("--steps", "0", "--thermostat", "off", "--state-out", lattice);
  await page.evaluate((text) => ljgas.openState(text), readFileSync(lattice, "utf8"));
  await page.evaluate(() => ljgas.setDynamics("conserving"));
  assert.equal(await page.evaluate(() => ljgas.runSteps(1000)), 1000);
  const conserving = join(work, "batch-conserving.csv");
  runBatch("--state-in", lattice, "--dynamics", "conserving", "--steps", "1000", "--state-out", conserving);
  assert.equal(await page.evaluate(() => ljgas.stateText()), readFileSync(conserving, "utf8"),
               "the conserving state after 1000 steps is ljgas-batch's, byte for byte");
  await page.keyboard.press("Control+r");
  await page.evaluate(() => ljgas.runSteps(1000));
  const positions = (text) => text.split("\n").filter((l) => /^\d/.test(l)).map((l) => l.split(",").slice(0, 3).join());
  assert.deepEqual(positions(await page.evaluate(() => ljgas.stateText())), positions(readFileSync(lattice, "utf8")),
                   "Reverse Time brings the lattice back");
  await page.evaluate(() => ljgas.setDynamics("designed"));
  await page.click("#Thermostat");

  // Initialize, then Go at Normal speed until a read-out near Tsoll.
  await page.click("#Initialize");
  assert.equal(await page.evaluate(() => ljgas.steps()), 0);
  await page.click("#Go");
  await page.waitForFunction(() => ljgas.steps() >= 1000 && Math.abs(ljgas.temperature() - 0.3) < 0.05, null,
                             { timeout: 60000 });
  const shown = await page.textContent("#Ttxt");
  assert.ok(Math.abs(Number(shown) - 0.3) < 0.06, `Tist= shows ${shown}`);

  // Stop stops: no step in the frames after it.
  await page.click("#pause");
  await page.waitForFunction(() => !ljgas.running());
  const stopped = await page.evaluate(() => ljgas.steps());
  await page.evaluate(() => new Promise((done) => {
    let frames = 0;
    const next = () => (++frames < 10 ? requestAnimationFrame(next) : done());
    requestAnimationFrame(next);
  }));
  assert.equal(await page.evaluate(() => ljgas.steps()), stopped, "no steps after Stop");

  // The state saved with the button reads back in ljgas-batch, to the byte.
  const after = await download(page, () => page.click("#saveState"), "page-stopped.csv");
  const again = join(work, "batch-again.csv");
  runBatch("--state-in", after, "--steps", "0", "--state-out", again);
  assert.ok(readFileSync(after).equals(readFileSync(again)), "ljgas-batch reads the saved state back as it was");

  // ljgas-batch's state opens in the page with its steps, and saves as it was.
  await page.setInputFiles("#stateFile", batchState);
  await page.waitForFunction(() => ljgas.steps() === 1000);
  assert.equal(await page.evaluate(() => ljgas.stateText()), readFileSync(batchState, "utf8"));

  // The window's keys: F5 Go, Escape Stop.
  await page.keyboard.press("F5");
  await page.waitForFunction(() => ljgas.steps() > 1000);
  await page.keyboard.press("Escape");
  await page.waitForFunction(() => !ljgas.running());

  // The same file from a static web server (on this machine's loopback).
  const server = createServer((request, response) => {
    response.writeHead(200, { "Content-Type": "text/html; charset=utf-8" });
    response.end(readFileSync(pagePath));
  });
  await new Promise((listening) => server.listen(0, "127.0.0.1", listening));
  try {
    await page.goto(`http://127.0.0.1:${server.address().port}/ljgas.html`);
    await page.waitForFunction(() => window.ljgas !== undefined && ljgas.ready && ljgas.runSteps(20) === 20);
  } finally {
    server.close();
  }

  assert.deepEqual(errors, [], "no console errors");
} finally {
  await close();
}
