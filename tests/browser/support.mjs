// What the browser tests share: headless Chromium driven by Playwright, the
// page opened from its file:// address, and the vantelo program that the
// page must agree with.
//
// Environment (set by ctest): VANTELO_PAGE (Vantelo Settings.html),
// VANTELO_PROGRAM (the native vantelo), VANTELO_NODE_MODULES (where npm put
// playwright-core), VANTELO_CHROMIUM (the browser).
import { execFileSync, spawnSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";

const { chromium } = createRequire(path.join(process.env.VANTELO_NODE_MODULES, "x.js"))("playwright-core");

export const pageUrl = pathToFileURL(process.env.VANTELO_PAGE).href;
export const program = process.env.VANTELO_PROGRAM;

// Flags for this machine: no sandbox as root, and none of Chromium's own
// connections, which the closed network refuses.
const CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync"];

// A browser with a fresh profile of its own; close() removes it.
export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "vantelo-chromium-"));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.VANTELO_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: CHROMIUM_FLAGS,
    acceptDownloads: true,
  });
  return {
    context,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// The page, loaded and ready, with every console error, page error and
// request it made.
export async function openPage(browser) {
  const page = await browser.context.newPage();
  const seen = { errors: [], requests: [] };
  page.on("console", (message) => {
    if (message.type() === "error") seen.errors.push(message.text());
  });
  page.on("pageerror", (error) => seen.errors.push(String(error)));
  page.on("request", (request) => seen.requests.push(request.url()));
  await page.goto(pageUrl);
  await page.locator("#file-panel").waitFor({ state: "visible" });
  await page.waitForFunction(() => window.vanteloFirstPreview !== undefined);
  return { page, seen };
}

// Opens a settings file through the page's file input.
export async function openSettings(page, bytes, name = "Vantelo.ini") {
  await page.locator("#open-input").setInputFiles({ name, mimeType: "text/plain", buffer: Buffer.from(bytes) });
  await page.waitForFunction((n) => document.querySelector("#file-status").textContent.startsWith(n), name);
}

// The control of a setting, found by its label as a person would.
export function control(page, key) {
  return page.getByLabel(key, { exact: true });
}

// Types a value into a setting's text or number field, or sets a switch.
export async function setSetting(page, key, value) {
  const input = control(page, key);
  if ((await input.getAttribute("role")) === "switch") {
    await input.setChecked(value === "True");
  } else {
    await input.fill(value);
  }
}

export async function setMachine(page, { decimal = ".", time = ":", now = "2026-12-08T09:05:00" } = {}) {
  await page.getByLabel("Decimal separator").fill(decimal);
  await page.getByLabel("Time separator").fill(time);
  await page.getByLabel("Save date and time (empty: now)").fill(now);
}

// The file the Download button saves.
export async function download(page) {
  const [file] = await Promise.all([page.waitForEvent("download"),
                                    page.getByRole("button", { name: /Download/ }).click()]);
  const saved = await file.path();
  return { name: file.suggestedFilename(), bytes: fs.readFileSync(saved) };
}

// Each sample document's rows as shown: set, name, value, change.
export async function previewRows(page, sample) {
  return page.locator(`#document-${sample}-writes tbody tr`).evaluateAll((rows) =>
    rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
}

export async function sceneText(page, sample) {
  return page.locator(`#document-${sample}-scene`).textContent();
}

// A directory of its own for one test's files.
export function scratch() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "vantelo-browser-"));
  return { dir, file: (name) => path.join(dir, name), remove: () => fs.rmSync(dir, { recursive: true, force: true }) };
}

// Runs the vantelo program; its JSON output, its exit status.
export function vantelo(args) {
  const run = spawnSync(program, args, { encoding: "utf8" });
  if (run.error) throw run.error;
  return { status: run.status, json: run.stdout.trim() ? JSON.parse(run.stdout) : null, stderr: run.stderr };
}

export { execFileSync };
