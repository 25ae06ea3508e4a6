// The chart page by every input, in headless Chromium with real events:
// drags, the overview, colours by epoch and category against --json with
// the legend's filter, stepping through matches and their list, targets by
// touch, the lists by keyboard, Back and Forward with the search text,
// several targets in view, the legend's marks, and print of a large tree.
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/input.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch, openPage } from "./chromium.mjs";

const root = resolve(import.meta.dirname, "../..");
const work = resolve(process.env.LORVANE_WORK);
const run = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
const trees = {};
let browser, tab, errors;
const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

before(async () => {
  mkdirSync(work, { recursive: true });
  const rules = { sample: join(root, "data/RULES.TXT"), warned: join(root, "tests/check/fixtures/warnings.txt"),
    "stress-1000": join(work, "input-1000.txt") };
  execFileSync("python3", [join(root, "scripts/gen_stress.py"), "--advances", 1000, "-o", rules["stress-1000"]]);
  for (const [name, file] of Object.entries(rules)) {
    const page = join(work, `input-${name}.html`);
    run("--html", page, file);
    trees[name] = { page, ...JSON.parse(run("--json", file)) };
  }
  ({ browser, tab, errors } = await launch());
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, []);
});

const open = (name, hash = "", viewport = { width: 1366, height: 768 }) =>
  openPage(tab, trees[name].page, hash, viewport);
// The targets, the search and the view: its scroll, zoom and middle in chart units.
const state = () =>
  tab.evaluate(async () => {
    await new Promise((done) => setTimeout(done));
    const view = document.getElementById("view");
    const zoom = Number(document.getElementById("chart").style.transform.slice(6, -1));
    return {
      target: [...document.querySelectorAll("g.target")].map((g) => Number(g.id.slice(1))).sort((a, b) => a - b),
      find: document.getElementById("find").value,
      matches: document.getElementById("matches").textContent,
      hash: decodeURIComponent(location.hash),
      scroll: [view.scrollLeft, view.scrollTop],
      zoom,
      middle: [(view.scrollLeft + view.clientWidth / 2) / zoom, (view.scrollTop + view.clientHeight / 2) / zoom],
      selected: String(getSelection()),
    };
  });
// The middle of advance i's box on the screen, brought into view first.
const boxMiddle = (i) =>
  tab.evaluate((i) => {
    const rect = document.querySelector(`#a${i} > rect`);
    rect.scrollIntoView({ block: "center", inline: "center" });
    const r = rect.getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  }, i);
const rectOf = (selector) =>
  tab.evaluate((s) => {
    const r = document.querySelector(s).getBoundingClientRect();
    return [r.left, r.top, r.width, r.height];
  }, selector);
const near = (a, b, within) => a.every((v, k) => Math.abs(v - b[k]) <= within);

test("every mouse drag pans one to one, selects no text, starts no drag of the browser's", async () => {
  await open("stress-1000", "#zoom=2");
  await tab.evaluate(() => {
    window.browserDrags = 0;
    addEventListener("dragstart", () => ++window.browserDrags, true);
  });
  const moved = [];
  for (let k = 0; k < 10; ++k) {
    const before = (await state()).scroll;
    await tab.mouse.move(500, 400);
    await tab.mouse.down();
    await tab.mouse.move(500 - 20 - k * 7, 400 - 30, { steps: 4 });
    await tab.mouse.up();
    const seen = await state();
    moved.push([seen.scroll[0] - before[0], seen.scroll[1] - before[1], seen.selected, seen.target.length]);
  }
  assert.deepEqual(moved, moved.map((m, k) => [20 + k * 7, 30, "", 0]));
  assert.equal(await tab.evaluate(() => window.browserDrags), 0);
  // A click still selects.
  await tab.mouse.click(...(await boxMiddle(500)));
  assert.deepEqual((await state()).target, [500]);
});

test("the overview: a click and a frame drag move the view, it follows zoom and scroll, it hides", async () => {
  await open("stress-1000");
  await tab.waitForFunction(() => !document.getElementById("overview").hidden);
  const canvas = await rectOf("#overview canvas");
  const scale = canvas[2] / (await tab.evaluate(() => document.querySelector("svg.chart").viewBox.baseVal.width));
  // A click away from the frame: the view's middle goes there.
  const point = [canvas[0] + canvas[2] / 2, canvas[1] + canvas[3] * 0.6];
  await tab.mouse.click(...point);
  const clicked = await state();
  const wanted = [(point[0] - canvas[0]) / scale, (point[1] - canvas[1]) / scale];
  assert.ok(near(clicked.middle, wanted, 2 / scale), `${clicked.middle} for ${wanted}`);
  // The frame dragged by 40 pixels takes the view 40 / scale further.
  const frame = await rectOf("#overview-frame");
  await tab.mouse.move(frame[0] + frame[2] / 2, frame[1] + frame[3] / 2);
  await tab.mouse.down();
  await tab.mouse.move(frame[0] + frame[2] / 2, frame[1] + frame[3] / 2 - 40, { steps: 5 });
  await tab.mouse.up();
  const dragged = await state();
  assert.ok(near(dragged.middle, [clicked.middle[0], clicked.middle[1] - 40 / scale], 1 / scale),
    `${clicked.middle} -> ${dragged.middle}`);
  const moved = await rectOf("#overview-frame");
  assert.ok(near(moved, [frame[0], frame[1] - 40, frame[2], frame[3]], 1), `${frame} -> ${moved}`);
  // Zoom shrinks the frame; the wheel moves it.
  await tab.keyboard.press("+");
  const zoomed = await rectOf("#overview-frame");
  assert.ok(near([zoomed[3]], [moved[3] / 1.25], 1), `${moved[3]} -> ${zoomed[3]}`);
  await tab.mouse.move(400, 400);
  await tab.mouse.wheel({ deltaY: 300 });
  await tab.waitForFunction((top) => document.getElementById("overview-frame").getBoundingClientRect().top > top + 1,
    {}, zoomed[1]);
  const scrolled = await state();
  const after = await rectOf("#overview-frame");
  assert.ok(near([after[1] - canvas[1]], [(scrolled.scroll[1] * scale) / scrolled.zoom], 1));
  // Hidden and shown by its button; on a phone folded until asked for.
  const hidden = () => tab.evaluate(() => document.getElementById("overview").hidden);
  await tab.click("#overview-toggle");
  assert.equal(await hidden(), true);
  await tab.click("#overview-toggle");
  assert.equal(await hidden(), false);
  await open("sample", "", PHONE);
  await tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  assert.equal(await hidden(), true);
  await tab.tap("#overview-toggle");
  assert.equal(await hidden(), false);
});

test("colours by epoch and category are --json's, counted in the legend, which filters", async () => {
  const { advances } = trees.sample;
  for (const mode of ["epoch", "category"]) {
    await open("sample", `#colour=${mode}&have=Fli&route=Jet&find=ing`);
    const page = await tab.evaluate((mode) => ({
      select: document.getElementById("colour").value,
      groups: [...document.querySelectorAll("g.advance")].map((g) =>
        [Number(g.id.slice(1)), Number(g.dataset[mode]), [...g.classList].filter((c) => c.startsWith("colour-"))]),
      fills: [...document.querySelectorAll("#colours path")].map((p) =>
        [p.getAttribute("class"), p.getAttribute("fill"), (p.getAttribute("d").match(/M/g) || []).length]),
      legend: [...document.querySelectorAll("#colour-values button")].map((b) => b.textContent.trim()),
      shown: !document.getElementById("colour-key").hidden,
    }), mode);
    assert.equal(page.select, mode);
    assert.deepEqual(page.groups.sort((a, b) => a[0] - b[0]),
      advances.map((a, i) => [i, a[mode], [`colour-${a[mode]}`]]));
    const counts = new Map();
    for (const a of advances) counts.set(a[mode], (counts.get(a[mode]) ?? 0) + 1);
    const values = [...counts.keys()].sort((a, b) => a - b);
    assert.deepEqual(page.fills.map(([c, , n]) => [c, n]), values.map((v) => [`colour-${v}`, counts.get(v)]));
    assert.equal(new Set(page.fills.map(([, fill]) => fill)).size, values.length);
    assert.deepEqual(page.legend.map((t) => t.replace(/^.*: /, "")),
      values.map((v) => `${counts.get(v)} advance${counts.get(v) === 1 ? "" : "s"}`));
    assert.ok(page.shown);
    // The filter keeps the route and the matches, and goes again by a second click.
    const before = await state();
    const filtered = async () => tab.evaluate(() =>
      (document.querySelector("#filter path").getAttribute("d").match(/M/g) || []).length);
    await tab.click("#colour-values li:nth-child(2) button");
    assert.equal(await filtered(), 1 + counts.get(values[1]));
    const after = await state();
    assert.deepEqual([after.target, after.matches], [before.target, before.matches]);
    await tab.click("#colour-values li:nth-child(2) button");
    assert.equal(await filtered(), 0);
  }
  // The control writes the address, keeping the other entries.
  await tab.select("#colour", "");
  assert.equal((await state()).hash, "#have=Fli&route=Jet&find=ing");
  assert.equal(await tab.evaluate(() => document.querySelectorAll("#colours path").length), 0);
  await tab.select("#colour", "category");
  assert.equal((await state()).hash, "#have=Fli&route=Jet&find=ing&colour=category");
});

test("Enter and Down step through every match, Shift+Enter and Up back, round the ends", async () => {
  const { advances, units } = trees.sample;
  const holds = (a, i) => (a.name + "\n" + a.code).toLowerCase().includes("ing");
  const byUnit = (a) => a.units.map((u) => units[u].name).find((n) => n.toLowerCase().includes("ing"));
  const found = advances.map((a, i) => i).filter((i) => holds(advances[i]) || byUnit(advances[i]));
  assert.equal(found.length, 22);
  await open("sample");
  await tab.click("#find");
  await tab.keyboard.type("ing");
  const list = await tab.evaluate(() =>
    [...document.querySelectorAll("#match-list li")].map((li) => [Number(li.dataset.index), li.textContent]));
  assert.deepEqual(list, found.map((i) => [i, `${advances[i].name} ${advances[i].code}` +
    (holds(advances[i]) ? "" : `, unit ${byUnit(advances[i])}`)]));
  const steps = [];
  const press = async (key, times) => {
    for (let k = 0; k < times; ++k) {
      await tab.keyboard.press(key);
      const s = await state();
      steps.push([s.target, s.matches]);
    }
  };
  await press("Enter", 23);
  await press("ArrowUp", 2);
  await tab.keyboard.down("Shift");
  await press("Enter", 1);
  await tab.keyboard.up("Shift");
  await press("ArrowDown", 1);
  const at = (k) => [[found[k]], `${k + 1} of 22`];
  assert.deepEqual(steps, [...found.map((i, k) => at(k)), at(0), at(21), at(20), at(19), at(20)]);
  // A click on the list selects too.
  await tab.click("#match-list li:nth-child(5)");
  assert.deepEqual([(await state()).target, (await state()).matches], at(4));
});

test("on a touch screen the toggle adds and removes targets", async () => {
  await open("sample", "", PHONE);
  const [a, b] = [7, 30];
  const tapBox = async (i) => tab.touchscreen.tap(...(await boxMiddle(i)));
  await tab.tap("#add-target");
  await tapBox(a);
  await tapBox(b);
  assert.deepEqual((await state()).target, [a, b]);
  await tapBox(a);
  assert.deepEqual((await state()).target, [b]);
  await tab.tap("#add-target");
  await tapBox(a);
  assert.deepEqual((await state()).target, [a]);
  assert.equal(await tab.evaluate(() => document.getElementById("add-target").getAttribute("aria-pressed")), "false");
});

test("each list's items take the focus and Enter chooses one", async () => {
  await open("warned", "#route=" + trees.warned.advances.at(-1).code);
  // The item after the one before it, by Tab; Enter then does what a click does.
  const enter = async (selector) => {
    await tab.evaluate((s) => {
      const items = [...document.querySelectorAll(s)];
      (items[1] ?? items[0]).focus();
    }, selector);
    await tab.keyboard.down("Shift");
    await tab.keyboard.press("Tab");
    await tab.keyboard.up("Shift");
    const focused = await tab.evaluate((s) => document.activeElement === document.querySelector(s), selector);
    await tab.keyboard.press("Enter");
    return focused;
  };
  const { diagnostics } = trees.warned;
  const warning = diagnostics.find((d) => d.advance !== undefined);
  assert.ok(await enter("#warnings li[data-index]"));
  assert.deepEqual((await state()).target, [warning.advance]);
  await open("sample", "#route=Jet&zoom=2");
  await tab.evaluate(() => document.getElementById("view").scrollTo(0, 0));
  assert.ok(await enter("#route-list li"));
  const first = await tab.evaluate(() => Number(document.querySelector("#route-list li").dataset.index));
  const box = await tab.evaluate((i) => {
    const r = document.querySelector(`#a${i} > rect`).getBoundingClientRect();
    const v = document.getElementById("view").getBoundingClientRect();
    return r.left >= v.left && r.right <= v.right && r.top >= v.top && r.bottom <= v.bottom;
  }, first);
  assert.ok(box, "the route list's first box in view");
  // The matches: Tab from the field to the list, Down to the next, Enter.
  await tab.click("#find");
  await tab.keyboard.type("ing");
  await tab.keyboard.press("Tab");
  await tab.keyboard.press("ArrowDown");
  await tab.keyboard.press("Enter");
  const second = await tab.evaluate(() => Number(document.querySelector("#match-list li:nth-child(2)").dataset.index));
  assert.deepEqual([(await state()).target, (await state()).matches], [[second], "2 of 22"]);
});

test("Back and Forward restore each entry's search text; several targets are shown together", async () => {
  await open("sample");
  const code = (i) => trees.sample.advances[i].code;
  await tab.mouse.click(...(await boxMiddle(3)));
  await tab.click("#find");
  await tab.keyboard.type("ing");
  await tab.mouse.click(...(await boxMiddle(40)));
  await new Promise((done) => setTimeout(done, 50));
  const seen = [await state()];
  await tab.goBack();
  seen.push(await state());
  await tab.goBack();
  seen.push(await state());
  await tab.goForward();
  seen.push(await state());
  assert.deepEqual(seen.map((s) => [s.target, s.find]), [[[40], "ing"], [[3], "ing"], [[3], ""], [[3], "ing"]]);
  assert.equal(seen[2].hash, `#route=${code(3)}`);
  // Two boxes that fit the view are both in it; else the last one is.
  const { advances } = trees["stress-1000"];
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const neighbour = advances.findIndex((a, i) => i !== deepest && a.level === advances[deepest].level);
  for (const [pair, shown] of [[[neighbour, deepest], [neighbour, deepest]], [[deepest, 1], [1]]]) {
    await open("stress-1000", "#route=" + pair.map((i) => advances[i].code).join(","));
    const inView = await tab.evaluate((pair) => pair.filter((i) => {
      const r = document.querySelector(`#a${i} > rect`).getBoundingClientRect();
      const v = document.getElementById("view").getBoundingClientRect();
      return r.left >= v.left && r.right <= v.right && r.top >= v.top && r.bottom <= v.bottom;
    }), pair);
    assert.deepEqual(inView, shown, pair.join());
  }
});

test("the legend shows every mark the page draws", async () => {
  await open("warned", "#find=a&route=" + trees.warned.advances.at(-1).code);
  const missing = await tab.evaluate(() =>
    [...document.querySelectorAll("#tints path")].map((p) => p.getAttribute("class"))
      .filter((c) => document.querySelector(`#legend .${c}`) === null));
  assert.deepEqual(missing, []);
});

test("print: the 1,000-advance page within 60 s, texts at 6 pt; a route prints its strips only", async () => {
  const { advances } = trees["stress-1000"];
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  for (const hash of ["", `#route=${advances[deepest].code}`]) {
    await open("stress-1000", hash);
    const strips = await tab.evaluate(() => {
      dispatchEvent(new Event("beforeprint"));
      const route = new Set([...document.querySelectorAll("g.route, g.target")].map((g) => g.id));
      const out = [...document.querySelectorAll("#print svg.strip")].map((strip) => {
        const [x, , w] = strip.getAttribute("viewBox").split(" ").map(Number);
        const held = [...strip.querySelectorAll("g.advance")].filter((g) => {
          const left = g.querySelector("rect").x.baseVal.value;
          return route.has(g.id) && left >= x && left < x + w;
        });
        return { scale: strip.width.baseVal.value / w, route: held.length };
      });
      dispatchEvent(new Event("afterprint"));
      return { out, routed: route.size };
    });
    assert.ok(strips.out.every((s) => s.scale * 11 * 0.75 >= 6), "6 pt");
    if (hash !== "") assert.ok(strips.out.every((s) => s.route > 0), "only the route's strips");
    const started = Date.now();
    const pdf = join(work, "input-1000.pdf");
    await tab.pdf({ path: pdf, format: "A4", timeout: 60000 });
    const seconds = (Date.now() - started) / 1000;
    const pages = /Pages:\s+(\d+)/.exec(execFileSync("pdfinfo", [pdf], { encoding: "utf8" }))[1];
    console.log(`print ${hash || "whole chart"}: ${seconds.toFixed(1)} s, ${pages} pages`);
    assert.ok(seconds < 60);
  }
});
