// How fast the chart page answers in headless Chromium (a benchmark, not a
// test): for each page, the time from the start of navigation until the
// route of its deepest advance, given in the address, is marked and
// drawn; then clicks on advances once the page has settled, each timed by
// the page itself (performance.now()) from the click until it is drawn.
// "Drawn": two frames later, as the second frame waits for the first to be
// rasterized. Optionally saves a screenshot of the first page with its
// route selected.
//   node tests/browser/page-bench.mjs CHECKER RULES... [--screenshot OUT.png]
import { execFileSync } from "node:child_process";
import { mkdtempSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";
import puppeteer from "puppeteer-core";

const args = process.argv.slice(2);
const shotAt = args.indexOf("--screenshot");
const screenshot = shotAt >= 0 ? args.splice(shotAt, 2)[1] : null;
const [checker, ...files] = args;
const work = mkdtempSync(join(tmpdir(), "lorvane-page-"));
const LOADS = 5;
const CLICKS = 20;

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
});
const tab = await browser.newPage();
await tab.setViewport({ width: 1280, height: 800 });
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

console.log("page                bytes   advances  marked (ms, median of %d)" +
  "  click (ms, median / max of %d)", LOADS, CLICKS);
for (const [n, rules] of files.entries()) {
  const page = join(work, basename(rules) + ".html");
  execFileSync(checker, ["--html", page, rules]);
  const { advances } = JSON.parse(execFileSync(checker, ["--json", rules], { encoding: "utf8" }));
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const code = advances[deepest].code;
  const route = JSON.parse(execFileSync(checker, ["--json", "--route", code, rules]));

  const marked = [];
  for (let i = 0; i < LOADS; ++i) {
    await tab.goto("about:blank");
    await tab.goto(`file://${page}#route=${encodeURIComponent(code)}`);
    // performance.now() counts from the start of the navigation.
    const result = await tab.evaluate(async () => {
      const frame = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
      await frame();
      await frame();
      return {
        at: performance.now(),
        target: [...document.querySelectorAll("g.target")].map((g) => g.id),
        route: document.querySelectorAll("g.route").length,
      };
    });
    if (result.target.join() !== `a${deepest}` || result.route !== route.route.length) {
      throw new Error(`${rules}: the page did not mark the route of ${code}`);
    }
    marked.push(result.at);
  }
  if (n === 0 && screenshot !== null) {
    await tab.evaluate(() =>
      document.querySelector("g.target").scrollIntoView({ block: "center" }));
    await tab.screenshot({ path: screenshot });
  }

  // Clicks on advances spread over the chart, each timed until drawn, with
  // a pause between them so that none waits for the one before.
  const clicks = await tab.evaluate(async (count) => {
    const frame = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
    const pause = () => new Promise((done) => setTimeout(done, 250));
    const groups = [...document.querySelectorAll("g.advance")];
    const times = [];
    await pause();
    for (let i = 0; i < count; ++i) {
      const rect = groups[Math.floor(((i + 0.5) * groups.length) / count)].querySelector("rect");
      const start = performance.now();
      rect.dispatchEvent(new MouseEvent("click", { bubbles: true }));
      await frame();
      await frame();
      times.push(performance.now() - start);
      await pause();
    }
    return times;
  }, CLICKS);
  console.log("%s %s %s %s %s",
    basename(rules).padEnd(16), String(statSync(page).size).padStart(9),
    String(advances.length).padStart(8), median(marked).toFixed(0).padStart(24),
    `${median(clicks).toFixed(1)} / ${Math.max(...clicks).toFixed(1)}`.padStart(30));
}
await browser.close();
