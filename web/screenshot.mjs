// Takes the README's picture of the page: the sample drawing's preview with
// the view scales, the paper size and the time stamp switched on. Run by
// scripts/screenshot; the picture goes where the first argument says.
import * as s from "../tests/browser/support.mjs";

const browser = await s.launch();
try {
  const { page } = await s.openPage(browser);
  await page.setViewportSize({ width: 1360, height: 900 });
  await s.setMachine(page);
  for (const key of ["EnableViewScale", "EnablePaperSize", "EnableTimeStamp"]) await s.setSetting(page, key, "True");
  await s.setSetting(page, "HowToDisplayFirstViewScale", "Scale X:Y");
  await s.setSetting(page, "ListSparator", "\" / \"");
  await page.locator("#document-drawing > details > summary").click();
  await page.evaluate(() => { document.activeElement.blur(); window.scrollTo(0, 0); });
  await page.screenshot({ path: process.argv[2] });
} finally {
  await browser.close();
}
