// The page's download against `vantelo settings set` (and `settings init` for
// "Add missing keys"): the same edits of the same file give the same bytes.
import assert from "node:assert/strict";
import fs from "node:fs";
import { after, before, test } from "node:test";
import * as s from "./support.mjs";

let browser;
before(async () => { browser = await s.launch(); });
after(async () => { await browser?.close(); });

const SECTION = {
  EnableViewScale: "Global Options", EnableTimeStamp: "Global Options",
  HowToDisplayFirstViewScale: "View Scale Options", ListSparator: "View Scale Options",
  ShowScaleAsInventorDecimals: "View Scale Options", SMStylePropertyName: "Sheet Metal Options",
  MassDecimals: "Mass And Volume Options", MassPropertyName: "Mass And Volume Options",
  PaperSizePropertyName: "Paper Size Options", SaveTimePropertyName: "TimeStamp Options",
};
const ADD_MISSING = "add missing keys";

function utf16(text) {
  return Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, "utf16le")]);
}

const withComments = Buffer.from([
  "; Company settings, kept by CAD admin", "[Global Options]", "; the time stamp for every save",
  "EnableTimeStamp=False", "", "[View Scale Options]", "ListSparator=\", \"", "   ; end", ""].join("\r\n"), "latin1");

const CASES = [
  { name: "a file with comments", file: withComments,
    edits: [["EnableTimeStamp", "True"], ["ListSparator", "\" / \""], ["HowToDisplayFirstViewScale", "Scale X:Y"],
            ["ShowScaleAsInventorDecimals", "3"]] },
  { name: "a UTF-16 file", file: utf16("[Global Options]\r\nEnableViewScale=True\r\n[Sheet Metal Options]\r\nSMStylePropertyName=Blech\r\n"),
    edits: [["SMStylePropertyName", "Stil äöü"], ["EnableViewScale", "False"], ["PaperSizePropertyName", "Format"]] },
  { name: "a file with a missing section", file: Buffer.from("[Global Options]\nEnableTimeStamp=True\n"),
    edits: [["SaveTimePropertyName", "Zeit"], ["MassDecimals", "3"], ["EnableTimeStamp", "False"]] },
  { name: "no file at all", file: null, edits: [["MassPropertyName", "Gewicht"], ["EnableViewScale", "True"]] },
  { name: "a value the code page cannot hold, refused", file: Buffer.from("[Global Options]\r\n"),
    edits: [["MassPropertyName", "Masa ł"], ["EnableTimeStamp", "True"]] },
  { name: "missing keys added between edits", file: withComments,
    edits: [["EnableTimeStamp", "True"], [ADD_MISSING], ["MassDecimals", "4"], ["ListSparator", "-"]] },
];

for (const c of CASES) {
  test(`the download is what vantelo settings set gives: ${c.name}`, async () => {
    const { page } = await s.openPage(browser);
    const dir = s.scratch();
    try {
      const path = dir.file("Site.ini");
      if (c.file) {
        fs.writeFileSync(path, c.file);
        await s.openSettings(page, c.file, "Site.ini");
      } else {
        // The page starts from a new file; "Start from the defaults" is
        // `settings init` on no file.
        await page.getByRole("button", { name: "Start from the defaults" }).click();
        assert.equal(s.vantelo(["settings", "init", path, "--format", "json"]).status, 0);
      }
      for (const [key, value] of c.edits) {
        if (key === ADD_MISSING) {
          await page.getByRole("button", { name: "Add missing keys" }).click();
          assert.equal(s.vantelo(["settings", "init", path, "--format", "json"]).status, 0);
          continue;
        }
        await s.setSetting(page, key, value);
        const run = s.vantelo(["settings", "set", "--format", "json", path, SECTION[key], key, value]);
        assert.ok(run.status === 0 || run.status === 2, run.stderr);
        if (run.status === 2) {
          // Refused by the program, refused beside the control with the same words.
          const problem = run.stderr.replace(/^vantelo: /, "").trim();
          assert.equal(await page.locator(`#findings-${key} li.error`).last().textContent(), `not written: ${problem}`);
        }
      }
      const downloaded = await s.download(page);
      assert.equal(downloaded.name, c.file ? "Site.ini" : "Vantelo.ini");
      assert.deepEqual(downloaded.bytes, fs.readFileSync(path));
    } finally {
      dir.remove();
      await page.close();
    }
  });
}
