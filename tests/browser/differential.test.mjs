// The page's preview against `vantelo save`: for each sample document and
// each of a few dozen settings files and users' machines, the properties the
// page shows a save writing are those the program's save writes, for the
// same scene (the one the page shows) and the same settings file; and the
// findings beside the form are those of `vantelo settings check`.
import assert from "node:assert/strict";
import fs from "node:fs";
import { after, before, test } from "node:test";
import * as s from "./support.mjs";

let browser;
before(async () => { browser = await s.launch(); });
after(async () => { await browser?.close(); });

const SAMPLES = ["drawing", "part", "sheetMetal", "assembly"];
const SET_TITLES = {
  "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}": "User-defined properties",
  "{32853F0F-3444-11D1-9E93-0060B03C1CA6}": "Design tracking properties",
};
// A sample's property sets before its save: the scene gives none, so the
// document has the empty user-defined set and the design-tracking set's
// Mass and Volume as empty texts.
const BEFORE = { "{32853F0F-3444-11D1-9E93-0060B03C1CA6}": { Mass: "\"\"", Volume: "\"\"" } };

const ALL_ON = ["[Global Options]", "EnableViewScale=True", "EnableSheetMetal=True", "EnableMassVolume=True",
                "EnableTimeStamp=True", "EnablePaperSize=True"];

// Settings files: every writer on, then one or more keys of a section
// changed; with users' machines and sample documents of their own.
const COMBINATIONS = [
  { lines: [] },
  { lines: ["[View Scale Options]", "HowToDisplayFirstViewScale=Scale X:Y", "HowToDisplayAllViewScales=x-y", "ListSparator=\" / \""] },
  { lines: ["[View Scale Options]", "ListSparator= ", "ExcludeFirstInAllScales=False"] },
  { lines: ["[View Scale Options]", "ShowScaleAsInventor=False", "ListSparator=;"] },
  { lines: ["[View Scale Options]", "ShowScaleAsInventorDecimals=0"], machine: { decimal: "," } },
  { lines: ["[View Scale Options]", "ShowScaleAsInventorDecimals=3"], samples: { drawing: { views1: "0.333, 2.25, 1.5", views2: "3, 0.1" } } },
  { lines: ["[View Scale Options]", "ShowScaleAsInventorDecimals=-1"] },
  { lines: ["[View Scale Options]", "ShowScaleAsInventorDecimals=2,5"], machine: { decimal: "," } },
  { lines: ["[View Scale Options]", "ShowScaleAsInventorDecimals=2.5"], machine: { decimal: "," } },
  { lines: ["[View Scale Options]", "FirstViewScalePropertyName=Massstab", "AllViewScalesPropertyName=Alle"],
    samples: { drawing: { size1: "USER", size2: "B" } } },
  { lines: ["[Paper Size Options]", "PaperSizePropertyName=Blatt"], samples: { drawing: { size1: "A0" } } },
  { lines: ["[TimeStamp Options]", "SaveTimePropertyName=Zeit", "SaveDatePropertyName=Datum"], machine: { time: "." } },
  { lines: [], machine: { time: "h", now: "2026-01-31T23:59:59" } },
  { lines: [], machine: { decimal: ",", time: ":", now: "2027-02-28T00:00:00" } },
  { lines: ["[Mass And Volume Options]", "MassDecimals=3", "VolumeDecimals=0"] },
  { lines: ["[Mass And Volume Options]", "MassDecimals=4", "VolumeDecimals=1"], machine: { decimal: "," },
    samples: { part: { mass: "0.125", volume: "4.135" } } },
  { lines: ["[Mass And Volume Options]", "MassUnitToDisplay=kg net"], samples: { part: { massUnit: "g" } } },
  { lines: ["[Mass And Volume Options]", "MassPropertyName=Gewicht", "VolumePropertyName=Inhalt"],
    samples: { part: { massUnit: "lbmass", lengthUnit: "in" }, assembly: { lengthUnit: "cm" } } },
  { lines: ["[Mass And Volume Options]", "MassDecimals=-2"] },
  { lines: ["[Sheet Metal Options]", "SMExtentsSizeIfNotAvailable=keine", "SMStylePropertyName=Stil"],
    samples: { sheetMetal: { flat: false } } },
  { lines: ["[Sheet Metal Options]", "SMExtentsSizePropertyName=Zuschnitt", "SMThicknessPropertyName=Dicke"],
    samples: { sheetMetal: { lengthUnit: "in", decimals: "3", thickness: "0.2", thicknessUnit: "in" } } },
  { lines: [], samples: { sheetMetal: { width: "30.48", length: "2.54", decimals: "0" } }, machine: { decimal: "," } },
  { base: ["[Global Options]", "EnableTimeStamp=True"], lines: [] },
  { base: ["[Global Options]", "EnableViewScale=True", "EnablePaperSize=false"], lines: [] },
  { base: ["[Global Options]", "EnableMassVolume=-1", "EnableSheetMetal=1"], lines: [] },
  { base: ["[Global Options]", "EnableTimeStamp=Maybe"], lines: [] },
  { base: ["[Global Options]", "EnableTimeStamp=True", "EnableViewScale=yes"], lines: [] },
  { lines: ["[Mass And Volume Options]", "MassDecimals=40000"] },
  { lines: ["[View Scale Options]", "ListSeparator=\" | \"", "[Unknown]", "Key=1"] },
  { base: [], lines: [] },
  { lines: ["[View Scale Options]", "HowToDisplayAllViewScales=\"  X : Y  \"", "HowToDisplayFirstViewScale='M X/Y'"],
    samples: { drawing: { views1: "1, 1, 0.5", views2: "0.5" } } },
];

async function adjustSamples(page, samples = {}) {
  for (const [sample, fields] of Object.entries(samples)) {
    // As a person would: open the sample's fields first.
    const details = page.locator(`#document-${sample} > details`);
    if (!(await details.evaluate((d) => d.open))) await details.locator("> summary").click();
    for (const [field, value] of Object.entries(fields)) {
      const input = page.locator(`#sample-${sample}-${field}`);
      if (typeof value === "boolean") await input.setChecked(value);
      else if (await input.evaluate((e) => e.tagName === "SELECT")) await input.selectOption(value);
      else await input.fill(value);
    }
  }
}

// What the program's save report says was written, as the page shows rows.
function expectedRows(report) {
  const rows = [];
  for (const set of report.documents[0].propertySets) {
    const before = BEFORE[set.fmtid] || {};
    for (const property of set.properties) {
      const text = property.type === "text" ? `"${property.value}"` : String(property.value);
      const was = before[property.name];
      if (was === text) continue;
      rows.push([SET_TITLES[set.fmtid], property.name, text, was === undefined ? "new" : `changed, was ${was}`]);
    }
  }
  return rows;
}

COMBINATIONS.forEach((combination, index) => {
  const lines = [...(combination.base ?? ALL_ON), ...combination.lines, ""];
  const machine = { decimal: ".", time: ":", now: "2026-12-08T09:05:00", ...combination.machine };
  const keys = [...(combination.base ?? ["every writer on"]), ...combination.lines].filter((l) => !l.startsWith("["));
  test(`combination ${index + 1}: ${keys.join(", ") || "an empty file"}; separators ${machine.decimal} ${machine.time}`,
       async () => {
    const { page, seen } = await s.openPage(browser);
    const dir = s.scratch();
    try {
      const settings = Buffer.from(lines.join("\r\n"), "latin1");
      await s.openSettings(page, settings);
      await s.setMachine(page, machine);
      await adjustSamples(page, combination.samples);
      const common = ["--decimal-separator", machine.decimal, "--time-separator", machine.time, "--format", "json"];

      for (const sample of SAMPLES) {
        const scene = dir.file(`${sample}.json`);
        fs.writeFileSync(scene, await s.sceneText(page, sample));
        // Each save on a fresh copy: a save writes missing keys back.
        fs.writeFileSync(dir.file("Vantelo.ini"), settings);
        const run = s.vantelo(["save", scene, "--settings", dir.file("Vantelo.ini"), "--now", machine.now, ...common]);
        assert.equal(run.status, run.json.status === "ok" ? 0 : 1, run.stderr);
        assert.deepEqual(await s.previewRows(page, sample), expectedRows(run.json), sample);
        const status = await page.locator(`#document-${sample}-status`).textContent();
        assert.equal(status, run.json.status === "ok" ? "The save succeeds"
          : `The save fails: ${run.json.error.code} ${run.json.error.message}`, sample);
        assert.equal(await page.locator(`#document-${sample}-boxes`).textContent(),
                     run.json.messageBoxes.length ? run.json.messageBoxes.map((b) => `Message box: "${b.text}"`).join(" ")
                                                  : "No message box.");
      }

      fs.writeFileSync(dir.file("Vantelo.ini"), settings);
      const check = s.vantelo(["settings", "check", dir.file("Vantelo.ini"), ...common]);
      const shown = await page.locator("#settings-form .findings li, #general-findings li").allTextContents();
      const strip = (text) => text.replace(/^(error|warning|note): (line \d+: )?/, "");
      assert.deepEqual(shown.map(strip).sort(), check.json.findings.map((f) => f.message).sort());
      assert.equal(await page.locator("#every-save-fails").isVisible(), check.json.status === "error");
      assert.deepEqual(seen.errors, []);
    } finally {
      dir.remove();
      await page.close();
    }
  });
});
