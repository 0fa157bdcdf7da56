// Debian's Chromium, headless, driven through playwright-core: launched as
// this closed network needs it (no background connections, a fresh profile),
// with the page opened from its file and every console error kept.
import { createRequire } from "node:module";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";

export const Chromium = process.env.LJGAS_CHROMIUM || "/usr/bin/chromium";

// playwright-core as `npm ci` put it into the build folder (LJGAS_NODE_MODULES).
function playwright() {
  const modules = process.env.LJGAS_NODE_MODULES;
  if (!modules) throw new Error("LJGAS_NODE_MODULES must name the folder that holds playwright-core");
  return createRequire(join(resolve(modules), "index.js"))("playwright-core");
}

export async function openPage(pagePath, { width = 1366, height = 768 } = {}) {
  const profile = mkdtempSync(join(tmpdir(), "ljgas-chromium-"));
  // A persistent context on a profile of its own is the way to give
  // Chromium a --user-data-dir of ours; it holds the one page.
  const context = await playwright().chromium.launchPersistentContext(profile, {
    executablePath: Chromium,
    headless: true,
    args: [
      "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
    ],
    viewport: { width, height },
    deviceScaleFactor: 1,
    acceptDownloads: true,
  });
  const page = context.pages()[0] ?? (await context.newPage());
  const errors = [];
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(message.text());
  });
  page.on("pageerror", (error) => errors.push(String(error)));
  const started = Date.now();
  await page.goto(pathToFileURL(resolve(pagePath)).href);
  await page.waitForFunction(() => window.ljgas !== undefined && window.ljgas.ready === true);
  const close = async () => {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { context, page, errors, close, readyMilliseconds: Date.now() - started };
}
