// How fast the chart page answers in headless Chromium (a benchmark, not a
// test), at full speed and with the CPU throttled 4x: for each page, its
// size; the time from the start of navigation until the route of its
// deepest advance, given in the address, is marked and drawn; and, with
// real input events, from the event until drawn: a mouse click on a box,
// a zoom step (the + and - keys, Ctrl+wheel), a keystroke in the search
// field, a step of a drag of the overview's frame, marking or unmarking
// the selected advance researched (R: the chart restyled, both lists
// rebuilt, the address written); the load of a link that holds a route
// and a plan (have=) of half the advances, at most 500; and the load of
// the route's link with 20,000 codes beside it that name nothing, which
// the summary counts. "Drawn": two frames later, as the second frame
// waits for the first to be rasterized.
// Medians, and the largest; and the machine's load average (1 minute) at
// the end of each row, as other work on the machine moves every figure.
// Optionally saves a screenshot of the last page with a two-target route
// selected; --loads times the loads alone (the input events of thousands
// of advances take minutes).
//   node tests/browser/page-bench.mjs CHECKER RULES... [--screenshot OUT.png] [--loads]
import { execFileSync } from "node:child_process";
import { mkdtempSync, statSync } from "node:fs";
import { loadavg, tmpdir } from "node:os";
import { basename, join } from "node:path";
import puppeteer from "puppeteer-core";
import { boxMiddle } from "./box.mjs";

const args = process.argv.slice(2);
const shotAt = args.indexOf("--screenshot");
const screenshot = shotAt >= 0 ? args.splice(shotAt, 2)[1] : null;
const loadsOnly = args.includes("--loads");
const [checker, ...files] = args.filter((arg) => arg !== "--loads");
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
const figure = (values) => (values.length === 0 ? "-" : `${median(values).toFixed(0)} / ${Math.max(...values).toFixed(0)}`);

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

console.log("page          CPU     bytes  advances |  load  |  click  |  zoom  |  key    | overview |  mark   | plan load " +
  "| unknown link | load avg   (ms, median / max)");
for (const [n, rules] of files.entries()) {
  const page = join(work, basename(rules) + ".html");
  // The checker's answers, which for thousands of advances pass the default 1 MB.
  const answer = (...args) => JSON.parse(execFileSync(checker, args, { encoding: "utf8", maxBuffer: 1 << 30 }));
  execFileSync(checker, ["--html", page, rules]);
  const { advances, units } = answer("--json", rules);
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const code = advances[deepest].code;
  const route = answer("--json", "--route", code, rules);
  // The plan of a player half-way: the advances of the first levels.
  const early = advances.map((a, i) => i).filter((i) => i > 0)
    .sort((a, b) => advances[a].level - advances[b].level || a - b);
  const have = early.slice(0, Math.min(500, Math.floor(advances.length / 2))).map((i) => advances[i].code);
  const planned = answer("--json", "--route", code, "--have", have.join(","), rules);
  // Codes of three characters, as the file's are, that name no advance or unit.
  const taken = new Set([...advances, ...units].flatMap((a) => [a.code ?? "", a.name].map((t) => t.toLowerCase())));
  const letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const unknown = [];
  for (let k = 0; unknown.length < 20000; ++k) {
    const text = [k / 3844, (k / 62) % 62, k % 62].map((d) => letters[Math.floor(d)]).join("");
    if (!taken.has(text.toLowerCase())) unknown.push(text);
  }
  const links = {
    route: `#route=${encodeURIComponent(code)}`,
    plan: `#route=${encodeURIComponent(code)}&have=${encodeURIComponent(have.join(","))}`,
    unknown: `#route=${encodeURIComponent([code, ...unknown].join(","))}`,
  };

  for (const rate of [1, 4]) {
    await cdp.send("Emulation.setCPUThrottlingRate", { rate });
    const times = { route: [], plan: [], unknown: [] };
    for (let i = 0; i < 3 * LOADS; ++i) {
      const kind = Object.keys(links)[Math.floor(i / LOADS)];
      const hash = links[kind];
      await tab.goto("about:blank");
      // No timeout: throttled 4x, 5,000 advances take longer than puppeteer's 30 s on a busy machine.
      await tab.goto(`file://${page}${hash}`, { timeout: 0 });
      // performance.now() counts from the start of the navigation.
      const result = await tab.evaluate(async () => {
        const frame = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
        await frame();
        await frame();
        return {
          at: performance.now(),
          target: [...document.querySelectorAll("g.target")].map((g) => g.id),
          route: document.querySelectorAll("g.route").length,
          researched: document.querySelectorAll("g.researched").length,
          summary: document.getElementById("summary").textContent,
        };
      });
      const expected = kind === "plan" ? planned : { route: route.route, have: [] };
      if (result.target.join() !== `a${deepest}` || result.route !== expected.route.length ||
        result.researched !== expected.have.length) {
        throw new Error(`${rules}: the page did not mark the route of ${code}`);
      }
      if (kind === "unknown" && !result.summary.endsWith(` and ${unknown.length - 5} more`)) {
        throw new Error(`${rules}: the summary does not count the unknown codes: ${result.summary}`);
      }
      times[kind].push(result.at);
    }
    // The input events, unless only the loads are asked for.
    let [clicks, zooms, keys, drags, marks] = [[], [], [], [], []];
    if (!loadsOnly) {
      await pause(500);
      await recordTimes();

      // Clicks on boxes spread over the chart, each brought into view first.
      for (let k = 0; k < EVENTS; ++k) {
        const i = Math.floor(((k + 0.5) * advances.length) / EVENTS);
        const box = await boxMiddle(tab, i);
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
      zooms = await takeTimes(EVENTS);

      // A name typed into the search field, a key at a time.
      await tab.click("#find");
      await takeTimes(1);
      const name = advances[Math.floor(advances.length / 3)].name.slice(0, EVENTS);
      for (const key of name) {
        await tab.keyboard.press(key);
        await pause();
      }
      keys = await takeTimes(name.length);
      await tab.keyboard.press("Escape");
      await takeTimes(1);
      await tab.evaluate(() => document.activeElement.blur());

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
      drags = await takeTimes(EVENTS);

      // R on a selected box, spread over the chart: a box below researched
      // ones is marked with all it needs, a researched one unmarked with all
      // that needs it.
      for (let k = 0; k < EVENTS; ++k) {
        const i = 1 + Math.floor(((k * 7) % EVENTS + 0.5) * (advances.length - 1) / EVENTS);
        const box = await boxMiddle(tab, i);
        await tab.mouse.click(...box);
        await takeTimes(1);
        await pause();
        await tab.keyboard.press("r");
        marks.push(...(await takeTimes(1)));
        await pause();
      }
    }
    await tab.evaluate(() => localStorage.clear());
    if (process.env.BENCH_VERBOSE) console.log({ times, clicks, zooms, keys, drags, marks });

    console.log("%s %s %s %s | %s | %s | %s | %s | %s | %s | %s | %s | %s",
      basename(rules).padEnd(13), `${rate}x`.padStart(3), String(statSync(page).size).padStart(9),
      String(advances.length).padStart(9), figure(times.route).padStart(6), figure(clicks).padStart(7),
      figure(zooms).padStart(6), figure(keys).padStart(7), figure(drags).padStart(8),
      figure(marks).padStart(7), figure(times.plan).padStart(9), figure(times.unknown).padStart(12),
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
