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
// of advances take minutes). With --app, Lorvane.html too: its size; for
// each file, from the file chosen (its button's file chooser) until the
// chart is drawn, beside the checker's own page of the same file opened
// until drawn, and their ratio; the module's part of it (the load: read,
// link and rank; making the page), the page written into its frame, and
// the redraw after a watched change (from the change seen until drawn).
// --app-only leaves the page's own rows out. With --before OLD, the page's
// rows of OLD's page ("before", an older checker's) and of CHECKER's
// ("after"), each load and each round of events (the page loaded with the
// route, then a few of each kind) taken on the two in turns, so that the
// machine's other work falls on both alike, the order turned round each
// round; and under them after / before: for a load, the median over each
// two rounds of the geometric mean of the two pairs' ratios, which the
// machine's drift over the run and the order of a pair move least; for an
// event, the median of its pairs' ratios (the same event of the same round
// on the two pages). With --warnings, the load of a file with very many
// warnings, whose page lists the first 1,000, against the same file
// without the faulty lines and against its own page with the warnings
// panel emptied (what the rest of the page costs), loads taken in turns.
//   node tests/browser/page-bench.mjs CHECKER [RULES...] [--screenshot OUT.png] [--loads]
//     [--before OLD] [--app Lorvane.html] [--app-only] [--warnings FAULTY CLEAN]
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, statSync, writeFileSync } from "node:fs";
import { loadavg, tmpdir } from "node:os";
import { basename, join, resolve } from "node:path";
import puppeteer from "puppeteer-core";
import { openApp } from "./app.mjs";
import { boxMiddle } from "./box.mjs";

const args = process.argv.slice(2);
const shotAt = args.indexOf("--screenshot");
const screenshot = shotAt >= 0 ? args.splice(shotAt, 2)[1] : null;
const appAt = args.indexOf("--app");
const appFile = appAt >= 0 ? resolve(args.splice(appAt, 2)[1]) : null;
const onlyAt = args.indexOf("--app-only");
const appOnly = onlyAt >= 0 && args.splice(onlyAt, 1).length > 0;
const warningsAt = args.indexOf("--warnings");
const warned = warningsAt >= 0 ? args.splice(warningsAt, 3).slice(1) : null;
const beforeAt = args.indexOf("--before");
const before = beforeAt >= 0 ? resolve(args.splice(beforeAt, 2)[1]) : null;
const loadsOnly = args.includes("--loads");
const [checker, ...files] = args.filter((arg) => arg !== "--loads");
const work = mkdtempSync(join(tmpdir(), "lorvane-page-"));
// Even, so that each of the two pages is loaded first in half the pairs.
// Side by side, one load of a pair may take twice the other's time, and
// the median of ten pairs' ratios moved between 0.97 and 1.32 in runs of
// the same two pages within the hour, most of it the order of the two
// (the ratio over two rounds cancels that): thirty with --before.
const LOADS = before === null ? 10 : 30;
// Eight rounds of five of each kind: the median of twenty pairs of an
// event moved by 0.1 between runs of the same two pages, more than the
// tenth it is to tell apart; forty narrow that by nearly a third.
const EVENTS = 40;
const ROUNDS = 8;
const DRAG_STEP = 24;

// A browser of its own for each file and for each part: the heap that one
// file's pages leave behind is swept during the next file's loads, and
// most in the page that makes the more of its own.
let browser = null, tab = null, cdp = null;
async function freshBrowser() {
  await browser?.close();
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  tab = await browser.newPage();
  await tab.setViewport({ width: 1280, height: 800 });
  cdp = await tab.createCDPSession();
}
const pause = (ms = 250) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const figure = (values) => (values.length === 0 ? "-" : `${median(values).toFixed(0)} / ${Math.max(...values).toFixed(0)}`);

// Each event of these types, timed in the page from its time stamp until
// drawn, with its type and, for a move of the pointer, its height. A
// modifier's own keydown is no step of a kind (the Ctrl held for a wheel
// step), and of the pointer's moves only those that drag the overview.
async function recordTimes() {
  await tab.evaluate(() => {
    window.times = [];
    const frame = (then) => requestAnimationFrame(() => setTimeout(then));
    for (const type of ["click", "keydown", "wheel", "pointermove"]) {
      addEventListener(type, (event) => {
        if (type === "pointermove" && (event.buttons === 0 || !event.target.closest("#overview"))) return;
        if (type === "keydown" && ["Control", "Shift", "Alt", "Meta"].includes(event.key)) return;
        const [start, y] = [event.timeStamp, event.clientY];
        frame(() => frame(() => window.times.push({ type, y, time: performance.now() - start })));
      }, true);
    }
    // The times of the events sent: those of these types; with ys, the
    // first move near each height sent (the browser moves the pointer again
    // where it was after a scroll).
    window.sent = (types, ys, near) => {
      const kind = window.times.filter((e) => types.includes(e.type));
      if (ys === null) return kind.map((e) => e.time);
      return ys.flatMap((y) => kind.find((e) => Math.abs(e.y - y) < near)?.time ?? []);
    };
  });
}
// The times of the next count events sent, once drawn. What else came
// meanwhile is dropped (a click the page makes of a drag's release, the
// pointer's moves after a scroll), so that the n-th time of a kind is the
// same event on both pages and the pairs of --before stay pairs.
const takeTimes = async (count, types, ys = null, near = 0) => {
  await tab.waitForFunction((count, types, ys, near) => window.sent(types, ys, near).length >= count, {}, count, types, ys, near);
  return tab.evaluate((count, types, ys, near) => {
    const times = window.sent(types, ys, near).slice(0, count);
    window.times = [];
    return times;
  }, count, types, ys, near);
};
const dropTimes = () => tab.evaluate(() => (window.times = []));

if (!appOnly && files.length > 0) {
  console.log("page".padEnd(before === null ? 14 : 23) + "CPU     bytes  advances |  load  |  click  |  zoom  |  key    | overview |  mark   | plan load " +
    "| unknown link | load avg   (ms, median / max)");
}
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
  if (appOnly) continue;
  await freshBrowser();
  // The pages timed, each row named by the file (and by before or after).
  const pages = [[basename(rules), page]];
  if (before !== null) {
    const old = join(work, basename(rules) + ".before.html");
    execFileSync(before, ["--html", old, rules]);
    pages.splice(0, 1, [basename(rules) + " before", old], [basename(rules) + " after", page]);
  }

  // The pages in turns, the order turned round each time, so that what
  // else the machine does falls on both alike.
  const turn = (i) => (i % 2 === 0 ? pages : [...pages].reverse());
  for (const rate of [1, 4]) {
    await cdp.send("Emulation.setCPUThrottlingRate", { rate });
    const rows = new Map(pages.map(([row]) => [row,
      { times: { route: [], plan: [], unknown: [] }, clicks: [], zooms: [], keys: [], drags: [], marks: [] }]));
    for (let i = 0; i < LOADS; ++i) for (const kind of Object.keys(links)) for (const [row, shown] of turn(i)) {
      const at = await loadDrawn(`file://${shown}${links[kind]}`);
      const result = await tab.evaluate(() => {
        return {
          target: [...document.querySelectorAll("g.target")].map((g) => g.id),
          route: document.querySelectorAll("g.route").length,
          researched: document.querySelectorAll("g.researched").length,
          summary: document.getElementById("summary").textContent,
        };
      });
      await tab.evaluate(() => localStorage.clear());
      const expected = kind === "plan" ? planned : { route: route.route, have: [] };
      if (result.target.join() !== `a${deepest}` || result.route !== expected.route.length ||
        result.researched !== expected.have.length) {
        throw new Error(`${rules}: the page did not mark the route of ${code}`);
      }
      if (kind === "unknown" && !result.summary.endsWith(` and ${unknown.length - 5} more`)) {
        throw new Error(`${rules}: the summary does not count the unknown codes: ${result.summary}`);
      }
      rows.get(row).times[kind].push(at);
    }
    // The input events in rounds, each round a batch of each kind on each
    // page loaded afresh with the route selected, unless only the loads
    // are asked for.
    if (!loadsOnly) for (let round = 0; round < ROUNDS; ++round) for (const [row, shown] of turn(round)) {
      await loadDrawn(`file://${shown}${links.route}`);
      await eventsRound(round, rows.get(row));
      await tab.evaluate(() => localStorage.clear());
    }
    for (const [row, shown] of pages) {
      const { times, clicks, zooms, keys, drags, marks } = rows.get(row);
      if (process.env.BENCH_VERBOSE) console.log(row, rows.get(row));
      console.log("%s %s %s %s | %s | %s | %s | %s | %s | %s | %s | %s | %s",
        row.padEnd(before === null ? 13 : 22), `${rate}x`.padStart(3), String(statSync(shown).size).padStart(9),
        String(advances.length).padStart(9), figure(times.route).padStart(6), figure(clicks).padStart(7),
        figure(zooms).padStart(6), figure(keys).padStart(7), figure(drags).padStart(8),
        figure(marks).padStart(7), figure(times.plan).padStart(9), figure(times.unknown).padStart(12),
        loadavg()[0].toFixed(2).padStart(8));
    }
    if (before !== null) {
      const [was, now] = pages.map(([row]) => rows.get(row));
      // A load's ratio: each two rounds (the pages in turns, the order
      // turned round) make one figure, the geometric mean of after / before
      // in the one and in the other. Which page goes first moves a load by
      // as much as 1.5x (it follows the other page's load, or its own of
      // another link), and the two orders cancel that. An event's: the
      // median of the ratios of its pairs, each the same event in the same
      // state (the box the round's clicks left selected, the part of the
      // chart in view), as one kind's times spread over 3x with the state
      // and the median of such a mix jumps between its heaps; the rounds,
      // in the orders B A, A B, B A, A B and so on, are even against the order.
      const loadRatio = (a, b) =>
        median(a.flatMap((t, q) => (q % 2 === 1 ? [] : [Math.sqrt((b[q] * b[q + 1]) / (t * a[q + 1]))])));
      const eventRatio = (a, b) => {
        if (a.length !== b.length) throw new Error(`${rules}: ${a.length} events before, ${b.length} after`);
        return median(a.map((t, q) => b[q] / t));
      };
      const columns = [["route", 6], ["clicks", 7], ["zooms", 6], ["keys", 7], ["drags", 8], ["marks", 7], ["plan", 9], ["unknown", 12]]
        .map(([name, width]) => {
          const [a, b] = [was, now].map((row) => row.times[name] ?? row[name]);
          if (a.length === 0) return "-".padStart(width);
          return (name in was.times ? loadRatio : eventRatio)(a, b).toFixed(2).padStart(width);
        });
      console.log("%s %s %s | %s", `${basename(rules)} after/before`.padEnd(22), `${rate}x`.padStart(3), "".padStart(19), columns.join(" | "));
    }
  }

  // One round of the input events, the round's share of each kind, its
  // times added to the row's.
  async function eventsRound(round, into) {
    const per = EVENTS / ROUNDS;
    const ks = Array.from({ length: per }, (_, j) => round * per + j);
    await pause(500);
    await recordTimes();

    // Clicks on boxes spread over the chart, each brought into view first.
    for (const k of ks) {
      const i = Math.floor(((k + 0.5) * advances.length) / EVENTS);
      const box = await boxMiddle(tab, i);
      await pause();
      await tab.mouse.click(...box);
      into.clicks.push(...(await takeTimes(1, ["click"])));
    }

    // Zoom steps about the middle of the view, by keys and by the wheel.
    await tab.evaluate(() => document.activeElement.blur());
    for (const k of ks) {
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
    into.zooms.push(...(await takeTimes(per, ["keydown", "wheel"])));

    // A name typed into the search field, a key at a time.
    await tab.click("#find");
    await takeTimes(1, ["click"]);
    const name = advances[Math.floor((advances.length * (round + 1)) / (ROUNDS + 2))].name.slice(0, per);
    for (const key of name) {
      await tab.keyboard.press(key);
      await pause();
    }
    into.keys.push(...(await takeTimes(name.length, ["keydown"])));
    await tab.keyboard.press("Escape");
    await takeTimes(1, ["keydown"]);
    await tab.evaluate(() => document.activeElement.blur());

    // The overview's frame dragged down, each step moving the view by
    // DRAG_STEP pixels: the overviews of two pages may differ in size,
    // and a step that moves the view further draws more of the chart.
    const [frame, step] = await tab.evaluate((drag) => {
      const r = document.getElementById("overview-frame").getBoundingClientRect();
      const small = document.querySelector("#overview canvas").getBoundingClientRect().height;
      const large = document.getElementById("sizer").getBoundingClientRect().height;
      return [[r.left + r.width / 2, r.top + r.height / 2], (drag * small) / large];
    }, DRAG_STEP);
    const ys = Array.from({ length: per }, (_, j) => frame[1] + (j + 1) * step);
    await tab.mouse.move(...frame);
    await tab.mouse.down();
    for (const y of ys) {
      await tab.mouse.move(frame[0], y);
      await pause(100);
    }
    await tab.mouse.up();
    into.drags.push(...(await takeTimes(per, ["pointermove"], ys, step / 2)));
    // The click of the release, if the page makes one, is no box's.
    await pause();
    await dropTimes();

    // R on a selected box, spread over the chart: a box below researched
    // ones is marked with all it needs, a researched one unmarked with all
    // that needs it.
    for (const k of ks) {
      const i = 1 + Math.floor(((k * 7) % EVENTS + 0.5) * (advances.length - 1) / EVENTS);
      const box = await boxMiddle(tab, i);
      await tab.mouse.click(...box);
      await takeTimes(1, ["click"]);
      await pause();
      await tab.keyboard.press("r");
      into.marks.push(...(await takeTimes(1, ["keydown"])));
      await pause();
    }
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

// Lorvane.html against the checker's page of the same file.
if (appFile !== null) {
  await freshBrowser();
  // The time when the app has done its work and the frame after it is
  // drawn, on the app's clock.
  const whenDrawn = () =>
    tab.evaluate(() => {
      const stage = document.getElementById("stage");
      window.benchDrawn = new Promise((done) => {
        const observer = new MutationObserver(() => {
          if (stage.getAttribute("aria-busy") !== "false") return;
          observer.disconnect();
          requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => done(performance.now()))));
        });
        observer.observe(stage, { attributes: true, attributeFilter: ["aria-busy"] });
      });
    });
  const measure = (name) => tab.evaluate((name) => performance.getEntriesByName(name).at(-1).duration, name);
  console.log(`\nLorvane.html: ${statSync(appFile).size} bytes; from a file chosen until drawn, beside the checker's page of it`);
  console.log("file            CPU | checker page | Lorvane.html | ratio | module: load + page | write  | watched redraw | load avg   (ms, median / max)");
  for (const rules of files) {
    const page = join(work, basename(rules) + ".html");
    for (const rate of [1, 4]) {
      await cdp.send("Emulation.setCPUThrottlingRate", { rate });
      const pages = [];
      for (let i = 0; i < LOADS; ++i) {
        await tab.goto("about:blank");
        await tab.goto(`file://${page}`);
        pages.push(await tab.evaluate(() => new Promise((done) =>
          requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => done(performance.now())))))));
      }
      const app = await openApp(browser, tab, appFile);
      const apps = [];
      const modules = [];
      const writes = [];
      for (let i = 0; i < LOADS; ++i) {
        await tab.evaluate(() => document.getElementById("file").addEventListener("change",
          (event) => (window.benchChosen = event.timeStamp), { once: true }));
        await whenDrawn();
        const [chooser] = await Promise.all([tab.waitForFileChooser(), tab.click("#open")]);
        await chooser.accept([resolve(rules)]);
        apps.push(await tab.evaluate(async () => (await window.benchDrawn) - window.benchChosen));
        modules.push((await measure("Lorvane: load")) + (await measure("Lorvane: make the page")));
        writes.push(await measure("Lorvane: write the page"));
      }
      // Watched: the same file through a handle of the benchmark's, its
      // time changed each round.
      await tab.evaluate((bytes, name) => {
        window.watched = { bytes: new Uint8Array(bytes), modified: 1 };
        const getFile = async () => new File([watched.bytes], name, { lastModified: watched.modified });
        window.showOpenFilePicker = async () => [{ kind: "file", name, getFile }];
      }, [...readFileSync(rules)], basename(rules));
      await whenDrawn();
      await tab.click("#watch");
      await tab.evaluate(() => window.benchDrawn);
      const redraws = [];
      for (let i = 0; i < LOADS; ++i) {
        await whenDrawn();
        await tab.evaluate((i) => (watched.modified = i + 2), i);
        redraws.push(await tab.evaluate(async () =>
          (await window.benchDrawn) - performance.getEntriesByName("Lorvane: change seen").at(-1).startTime));
      }
      await tab.click("#watch");
      console.log("%s %s | %s | %s | %s | %s | %s | %s | %s",
        basename(rules).padEnd(15), `${rate}x`.padStart(3), figure(pages).padStart(12),
        figure(apps).padStart(12), (median(apps) / median(pages)).toFixed(2).padStart(5),
        figure(modules).padStart(19), figure(writes).padStart(6), figure(redraws).padStart(14),
        loadavg()[0].toFixed(2).padStart(8));
    }
    await cdp.send("Emulation.setCPUThrottlingRate", { rate: 1 });
  }
}

// The time from the start of the navigation to the address until the page
// is drawn (two frames after its scripts ran).
async function loadDrawn(url) {
  await tab.goto("about:blank");
  // No timeout: throttled 4x, 5,000 advances take longer than puppeteer's 30 s on a busy machine.
  await tab.goto(url, { timeout: 0 });
  return tab.evaluate(async () => {
    const frame = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
    await frame();
    await frame();
    // performance.now() counts from the start of the navigation.
    return performance.now();
  });
}

// The load until drawn of each page, in turns, and what its warnings panel
// shows.
async function loadInTurns(pages) {
  const times = pages.map(() => []);
  const panels = [];
  for (let i = 0; i < 2 * LOADS * pages.length; ++i) {
    const k = i % pages.length;
    const at = await loadDrawn(`file://${pages[k]}`);
    const result = await tab.evaluate(() => {
      return {
        listed: document.querySelectorAll("#warnings li").length,
        more: document.getElementById("warnings-more")?.textContent ?? "",
        warned: document.querySelectorAll("g.warned").length,
      };
    });
    times[k].push(at);
    panels[k] = result;
  }
  return { times, panels };
}

if (warned !== null) {
  await freshBrowser();
  const [faulty, clean] = warned;
  const page = (rules) => join(work, basename(rules) + ".html");
  for (const rules of warned) execFileSync(checker, ["--html", page(rules), rules]);
  const counts = warned.map((rules) => JSON.parse(execFileSync(checker, ["--json", rules],
    { encoding: "utf8", maxBuffer: 1 << 30 })).warnings.length);
  // The faulty file's page as one of a file without warnings would be.
  const unlisted = join(work, "unlisted.html");
  writeFileSync(unlisted, readFileSync(page(faulty), "utf8").replace(
    /<ul id="warnings"[^>]*>\n[^]*?<\/ul>\n(<p id="warnings-more">.*?<\/p>\n)?/,
    "<ul id=\"warnings\">\n</ul>\n<p>No warnings</p>\n"));
  const pages = [page(faulty), page(clean), unlisted];
  const names = [`${basename(faulty)} (${counts[0]} warnings)`, `${basename(clean)} (${counts[1]})`,
    `${basename(faulty)}, panel emptied`];
  const { times, panels } = await loadInTurns(pages);
  if (panels[0].listed !== Math.min(counts[0], 1000) || panels[2].listed !== 0) {
    throw new Error(`the page lists ${panels[0].listed} of ${counts[0]} warnings`);
  }
  console.log();
  console.log("page                                    bytes  listed  warned |  load (ms, median / max) | ratio");
  for (const [k, name] of names.entries()) {
    console.log("%s %s %s %s | %s | %s", name.padEnd(34), String(statSync(pages[k]).size).padStart(10),
      String(panels[k].listed).padStart(7), String(panels[k].warned).padStart(7),
      figure(times[k]).padStart(24), (median(times[0]) / median(times[k])).toFixed(2).padStart(5));
  }
  console.log("the faulty page says: %s; load average %s", panels[0].more, loadavg()[0].toFixed(2));
}
await browser?.close();
