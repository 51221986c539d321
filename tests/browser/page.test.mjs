// The page as an administrator meets it: it loads from a folder without
// asking the network for anything, shows an opened file's values, flags what
// `vantelo settings check` flags and previews what a save writes.
import assert from "node:assert/strict";
import fs from "node:fs";
import { after, before, test } from "node:test";
import * as s from "./support.mjs";

let browser;
before(async () => { browser = await s.launch(); });
after(async () => { await browser?.close(); });

test("loads from a file:// address with no console error and no network request", async () => {
  const { page, seen } = await s.openPage(browser);
  assert.match(page.url(), /^file:\/\/.*Vantelo%20Settings\.html$/);
  // Use it a little: open a file, edit, download.
  await s.openSettings(page, "[Global Options]\r\nEnableViewScale=True\r\n");
  await s.setSetting(page, "HowToDisplayFirstViewScale", "Scale X:Y");
  await s.download(page);
  assert.deepEqual(seen.errors, []);
  const others = seen.requests.filter((url) => url !== s.pageUrl && !/^(data|blob):/.test(url));
  assert.deepEqual(others, []);
  await page.close();
});

test("an opened file's values show, each in the control that can show it as written", async () => {
  const { page } = await s.openPage(browser);
  await s.openSettings(page, [
    "[Global Options]", "EnableViewScale=True", "EnableTimeStamp=-1", "EnablePaperSize=false",
    "[View Scale Options]", "ListSparator=\" / \"", "ShowScaleAsInventorDecimals=3",
    "[Mass And Volume Options]", "MassDecimals=2,5", "MassPropertyName=Gewicht", ""].join("\r\n"), "Site.ini");
  const expected = [
    // key, role or type of the control, what it shows
    ["EnableViewScale", "switch", true],
    ["EnableTimeStamp", "text", "-1"], // a switch would write True
    ["EnablePaperSize", "text", "false"],
    ["EnableMassVolume", "switch", false], // not in the file: the default
    ["ListSparator", "text", "\" / \""],
    ["ShowScaleAsInventorDecimals", "number", "3"],
    ["MassDecimals", "text", "2,5"],
    ["MassPropertyName", "text", "Gewicht"],
  ];
  for (const [key, kind, shown] of expected) {
    const input = s.control(page, key);
    const role = await input.getAttribute("role");
    if (kind === "switch") {
      assert.equal(role, "switch", key);
      assert.equal(await input.isChecked(), shown, key);
    } else {
      assert.equal(await input.getAttribute("type"), kind, key);
      assert.equal(await input.inputValue(), shown, key);
    }
  }
  assert.match(await page.locator("#status-MassDecimals").textContent(), /In the file, line 9/);
  assert.match(await page.locator("#status-SaveDatePropertyName").textContent(), /^Not in the file/);
  assert.equal(await page.getByRole("button", { name: /Download/ }).textContent(), "Download Site.ini");
  await page.close();
});

test("Scale X:Y gives SCALE 1:2 for a first view at 0.5", async () => {
  const { page } = await s.openPage(browser);
  await s.setSetting(page, "EnableViewScale", "True");
  await s.setSetting(page, "HowToDisplayFirstViewScale", "Scale X:Y");
  const rows = await s.previewRows(page, "drawing");
  assert.deepEqual(rows.find((row) => row[1] === "FirstViewScale"),
                   ["User-defined properties", "FirstViewScale", "\"SCALE 1:2\"", "new"]);
  await page.close();
});

test("EnableTimeStamp=Maybe shows the check's finding beside it and every save failing", async () => {
  const { page } = await s.openPage(browser);
  const dir = s.scratch();
  try {
    const file = "[Global Options]\r\nEnableTimeStamp=Maybe\r\n";
    fs.writeFileSync(dir.file("Vantelo.ini"), file);
    const check = s.vantelo(["settings", "check", dir.file("Vantelo.ini"), "--format", "json",
                             "--decimal-separator", ".", "--time-separator", ":"]);
    assert.equal(check.status, 1);
    const finding = check.json.findings.find((f) => f.severity === "error");

    await s.openSettings(page, file);
    assert.equal(await page.locator("#findings-EnableTimeStamp li.error").textContent(),
                 `error: ${finding.message}`);
    const banner = page.getByRole("alert").filter({ hasText: "Every save fails" });
    assert.equal(await banner.textContent(), "Every save fails with this file: a value does not convert.");
    for (const sample of ["drawing", "part", "sheetMetal", "assembly"]) {
      assert.match(await page.locator(`#document-${sample}-status`).textContent(),
                   /^The save fails: 0x800A000D /, sample);
      assert.deepEqual(await s.previewRows(page, sample), [], sample);
    }
  } finally {
    dir.remove();
    await page.close();
  }
});

test("every control has a label with its key, the page works from the keyboard and on a narrow window", async () => {
  const { page } = await s.openPage(browser);
  const unlabelled = await page.locator("#settings-form input").evaluateAll((inputs) =>
    inputs.filter((input) => !input.labels.length || !input.labels[0].textContent.includes(input.id.replace("setting-", "")))
      .map((input) => input.id));
  assert.deepEqual(unlabelled, []);
  assert.equal(await page.locator("#settings-form input").count(), 26);

  // From the keyboard: Tab to a switch, Space turns it on.
  await s.control(page, "EnableTimeStamp").focus();
  await page.keyboard.press("Space");
  assert.equal(await s.control(page, "EnableTimeStamp").isChecked(), true);
  assert.ok((await s.previewRows(page, "part")).some((row) => row[1] === "SaveTime"));
  await page.keyboard.press("Shift+Tab");
  assert.equal(await page.evaluate(() => document.activeElement.id), "setting-EnablePartsList");

  // 200% zoom on a 1280-pixel window is a 640-pixel one: nothing runs off the side.
  await page.setViewportSize({ width: 640, height: 800 });
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), true);
  await page.close();
});

test("writes back to the opened file where the browser gives the page its handle", async () => {
  const page = await browser.context.newPage();
  // A stand-in for the browser's file picker, recording what is written.
  await page.addInitScript(() => {
    window.writtenBack = null;
    const file = new File(["[Global Options]\r\nEnableTimeStamp=False\r\n"], "Plant.ini");
    window.showOpenFilePicker = async () => [{
      kind: "file",
      getFile: async () => file,
      createWritable: async () => {
        const parts = [];
        return { write: async (bytes) => parts.push(bytes),
                 close: async () => { window.writtenBack = Array.from(new Uint8Array(await new Blob(parts).arrayBuffer())); } };
      },
    }];
  });
  await page.goto(s.pageUrl);
  await page.getByRole("button", { name: "Open a settings file…" }).click();
  await page.getByRole("button", { name: "Write back to Plant.ini" }).waitFor();
  await s.setSetting(page, "EnableTimeStamp", "True");
  const downloaded = await s.download(page);
  await page.getByRole("button", { name: "Write back to Plant.ini" }).click();
  await page.waitForFunction(() => window.writtenBack !== null);
  assert.deepEqual(Buffer.from(await page.evaluate(() => window.writtenBack)), downloaded.bytes);
  assert.equal(downloaded.bytes.toString("latin1"), "[Global Options]\r\nEnableTimeStamp=True\r\n");
  await page.close();
});
