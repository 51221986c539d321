// The settings page's speed in headless Chromium: the time from opening the
// page until the first preview shows, and the time each edit takes to update
// the form, the preview of the four sample documents and the file text (the
// page's own work on the change, the add-in's saves included). Run by
// scripts/bench; prints the figures that docs/performance.md records.
//
// Environment: as the browser tests (tests/browser/support.mjs).
import * as s from "../tests/browser/support.mjs";

const LOADS = 5;
const EDITS = 100;

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

const browser = await s.launch();
try {
  const firstPreview = [];
  for (let i = 0; i < LOADS; ++i) {
    const { page } = await s.openPage(browser);
    firstPreview.push(await page.evaluate(() => window.vanteloFirstPreview));
    await page.close();
  }

  const { page } = await s.openPage(browser);
  await s.setMachine(page);
  const before = await page.evaluate(() => state.timings.length);
  // Text, switches and numbers in turn, as an administrator edits.
  for (let i = 0; i < EDITS; ++i) {
    switch (i % 4) {
    case 0: await s.setSetting(page, "HowToDisplayFirstViewScale", `Scale X:Y ${i}`); break;
    case 1: await s.setSetting(page, "EnableViewScale", i % 8 === 1 ? "True" : "False"); break;
    case 2: await s.setSetting(page, "MassDecimals", String(i % 5)); break;
    default: await s.setSetting(page, "ListSparator", `" ${i} "`); break;
    }
  }
  const updates = (await page.evaluate(() => state.timings.slice())).slice(before);
  const saves = (await page.evaluate(() => state.saveTimings.slice())).slice(-updates.length);
  await page.close();
  if (updates.length !== EDITS) throw new Error(`${updates.length} updates for ${EDITS} edits`);

  const ms = (value) => `${value.toFixed(1)} ms`;
  console.log(`Vantelo Settings.html in headless Chromium`);
  console.log(`  first preview after opening the page: median ${ms(median(firstPreview))}, ` +
              `max ${ms(Math.max(...firstPreview))} (${LOADS} loads)`);
  console.log(`  update after an edit: median ${ms(median(updates))}, max ${ms(Math.max(...updates))} ` +
              `(${EDITS} edits)`);
  console.log(`    of which the add-in's four saves: median ${ms(median(saves))}, ` +
              `max ${ms(Math.max(...saves))}`);
} finally {
  await browser.close();
}
