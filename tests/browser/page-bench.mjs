// How fast the chart page answers in headless Chromium (a benchmark, not a
// test), at full speed and with the CPU throttled 4x: for each page, its
// size; the time from the start of navigation until the route of its
// deepest advance, given in the address, is marked and drawn; and, with
// real input events, from the event until drawn: a mouse click on a box,
// a zoom step (the + and - keys, Ctrl+wheel), a keystroke in the search
// field, a step of a drag of the overview's frame. "Drawn": two frames
// later, as the second frame waits for the first to be rasterized.
// Medians, and the largest; and the machine's load average (1 minute) at
// the end of each row, as other work on the machine moves every figure.
// Optionally saves a screenshot of the last page with a two-target route
// selected.
//   node tests/browser/page-bench.mjs CHECKER RULES... [--screenshot OUT.png]
import { execFileSync } from "node:child_process";
import { mkdtempSync, statSync } from "node:fs";
import { loadavg, tmpdir } from "node:os";
import { basename, join } from "node:path";
import puppeteer from "puppeteer-core";

const args = process.argv.slice(2);
const shotAt = args.indexOf("--screenshot");
const screenshot = shotAt >= 0 ? args.splice(shotAt, 2)[1] : null;
const [checker, ...files] = args;
const work = mkdtempSync(join(tmpdir(), "lorvane-page-"));
const LOADS = 5;
const EVENTS = 20;

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
});
const tab = await browser.newPage();
await tab.setViewport({ width: 1280, height: 800 });
const cdp = await tab.createCDPSession();
const pause = (ms = 250) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const figure = (values) => `${median(values).toFixed(0)} / ${Math.max(...values).toFixed(0)}`;

// Each event of these types, timed in the page from its time stamp until drawn.
async function recordTimes() {
  await tab.evaluate(() => {
    window.times = [];
    const frame = (then) => requestAnimationFrame(() => setTimeout(then));
    for (const type of ["click", "keydown", "wheel", "pointermove"]) {
      addEventListener(type, (event) => {
        // Of the pointer's moves, only those that drag the overview.
        if (type === "pointermove" && (event.buttons === 0 || !event.target.closest("#overview"))) return;
        const start = event.timeStamp;
        frame(() => frame(() => window.times.push(performance.now() - start)));
      }, true);
    }
  });
}
// The times recorded so far, once the last event is drawn.
const takeTimes = async (count) => {
  await tab.waitForFunction((count) => window.times.length >= count, {}, count);
  return tab.evaluate(() => window.times.splice(0));
};

console.log("page          CPU     bytes  advances |  load  |  click  |  zoom  |  key    | overview | load avg   (ms, median / max)");
for (const [n, rules] of files.entries()) {
  const page = join(work, basename(rules) + ".html");
  execFileSync(checker, ["--html", page, rules]);
  const { advances } = JSON.parse(execFileSync(checker, ["--json", rules], { encoding: "utf8" }));
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const code = advances[deepest].code;
  const route = JSON.parse(execFileSync(checker, ["--json", "--route", code, rules]));

  for (const rate of [1, 4]) {
    await cdp.send("Emulation.setCPUThrottlingRate", { rate });
    const loads = [];
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
      loads.push(result.at);
    }
    await pause(500);
    await recordTimes();

    // Clicks on boxes spread over the chart, each brought into view first.
    const clicks = [];
    for (let k = 0; k < EVENTS; ++k) {
      const i = Math.floor(((k + 0.5) * advances.length) / EVENTS);
      const box = await tab.evaluate((i) => {
        const rect = document.querySelector(`#a${i} > rect`);
        rect.scrollIntoView({ block: "center", inline: "center" });
        const r = rect.getBoundingClientRect();
        return [r.left + r.width / 2, r.top + r.height / 2];
      }, i);
      await pause();
      await tab.mouse.click(...box);
      clicks.push(...(await takeTimes(1)));
    }

    // Zoom steps about the middle of the view, by keys and by the wheel.
    await tab.evaluate(() => document.activeElement.blur());
    for (let k = 0; k < EVENTS; ++k) {
      if (k % 4 === 3) {
        await tab.keyboard.down("Control");
        await tab.mouse.move(600, 500);
        await tab.mouse.wheel({ deltaY: k % 8 === 3 ? -100 : 100 });
        await tab.keyboard.up("Control");
      } else {
        await tab.keyboard.press(k % 2 === 0 ? "+" : "-");
      }
      await pause();
    }
    const zooms = await takeTimes(EVENTS);

    // A name typed into the search field, a key at a time.
    await tab.click("#find");
    await takeTimes(1);
    const name = advances[Math.floor(advances.length / 3)].name.slice(0, EVENTS);
    for (const key of name) {
      await tab.keyboard.press(key);
      await pause();
    }
    const keys = await takeTimes(name.length);
    await tab.keyboard.press("Escape");

    // The overview's frame dragged down a few pixels a step.
    const frame = await tab.evaluate(() => {
      const r = document.getElementById("overview-frame").getBoundingClientRect();
      return [r.left + r.width / 2, r.top + r.height / 2];
    });
    await tab.mouse.move(...frame);
    await tab.mouse.down();
    for (let k = 1; k <= EVENTS; ++k) {
      await tab.mouse.move(frame[0], frame[1] + k * 2);
      await pause(100);
    }
    await tab.mouse.up();
    const drags = await takeTimes(EVENTS);
    if (process.env.BENCH_VERBOSE) console.log({ loads, clicks, zooms, keys, drags });

    console.log("%s %s %s %s | %s | %s | %s | %s | %s | %s",
      basename(rules).padEnd(13), `${rate}x`.padStart(3), String(statSync(page).size).padStart(9),
      String(advances.length).padStart(9), figure(loads).padStart(6), figure(clicks).padStart(7),
      figure(zooms).padStart(6), figure(keys).padStart(7), figure(drags).padStart(8),
      loadavg()[0].toFixed(2).padStart(8));
  }
  await cdp.send("Emulation.setCPUThrottlingRate", { rate: 1 });

  if (n === files.length - 1 && screenshot !== null) {
    // Two targets a few levels apart, and their list.
    const pick = (level) => advances.findIndex((a) => a.level === level);
    const targets = [pick(Math.floor(advances[deepest].level * 0.6)), deepest];
    const hash = targets.map((i) => encodeURIComponent(advances[i].code)).join(",");
    await tab.goto("about:blank");
    await tab.goto(`file://${page}#route=${hash}&zoom=0.6`);
    await pause(500);
    await tab.screenshot({ path: screenshot });
  }
}
await browser.close();
