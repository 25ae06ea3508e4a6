// The chart page by every input, with real events: drags, the overview,
// colours against --json with the legend's filter, stepping through
// matches, targets by touch, the lists by keyboard, Back with the search
// text, several targets in view, the legend's marks, print of 1,000 advances.
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/input.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch, openPage } from "./chromium.mjs";
import { stress, trees as made } from "./trees.mjs";

const work = resolve(process.env.LORVANE_WORK);
let trees;
let browser, tab, errors;
const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

before(async () => {
  mkdirSync(work, { recursive: true });
  trees = made(work, "input", { sample: "data/RULES.TXT", warned: "tests/check/fixtures/warnings.txt",
    big: stress(work, "input-1000.txt", 1000) });
  ({ browser, tab, errors } = await launch());
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, []);
});

const open = (name, hash = "", viewport = { width: 1366, height: 768 }) =>
  openPage(tab, trees[name].page, hash, viewport);
// The targets, the search, the view's scroll and its middle in chart units.
const state = () =>
  tab.evaluate(async () => {
    await new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
    const view = document.getElementById("view");
    const zoom = Number(document.getElementById("chart").style.transform.slice(6, -1));
    return {
      target: [...document.querySelectorAll("g.target")].map((g) => Number(g.id.slice(1)))
        .sort((a, b) => a - b),
      find: document.getElementById("find").value,
      matches: document.getElementById("matches").textContent,
      hash: decodeURIComponent(location.hash),
      scroll: [view.scrollLeft, view.scrollTop],
      zoom,
      middle: [view.scrollLeft + view.clientWidth / 2, view.scrollTop + view.clientHeight / 2]
        .map((v) => v / zoom),
      selected: String(getSelection()),
    };
  });
// The screen rectangle of an element; of a box brought into view first.
const rectOf = (selector, reveal = false) =>
  tab.evaluate((s, reveal) => {
    const e = document.querySelector(s);
    if (reveal) e.scrollIntoView({ block: "center", inline: "center" });
    const r = e.getBoundingClientRect();
    const v = document.getElementById("view").getBoundingClientRect();
    const inView = r.left >= v.left && r.right <= v.right && r.top >= v.top && r.bottom <= v.bottom;
    return [r.left, r.top, r.width, r.height, inView];
  }, selector, reveal);
const boxMiddle = async (i) => {
  const [x, y, w, h] = await rectOf(`#a${i} > rect`, true);
  return [x + w / 2, y + h / 2];
};
const near = (a, b, within) => a.every((v, k) => Math.abs(v - b[k]) <= within);
const frames = () =>
  tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

test("every mouse drag pans one to one, selects no text, starts no drag of the browser's", async () => {
  await open("big", "#zoom=2");
  await tab.evaluate(() => addEventListener("dragstart", () => (window.browserDrag = true), true));
  // Each from the middle of a box in the middle of the chart, which stays
  // under the pointer: the click that ends the drag must not select it.
  const middle = await tab.evaluate(() => {
    const { width, height } = document.querySelector("svg.chart").viewBox.baseVal;
    const away = (r) => Math.hypot(r.x.baseVal.value - width / 2, r.y.baseVal.value - height / 2);
    const rects = [...document.querySelectorAll("g.advance > rect")].sort((a, b) => away(a) - away(b));
    return Number(rects[0].parentNode.id.slice(1));
  });
  const moved = [];
  for (let k = 0; k < 10; ++k) {
    const [x, y] = await boxMiddle(middle);
    const before = (await state()).scroll;
    await tab.mouse.move(x, y);
    await tab.mouse.down();
    await tab.mouse.move(x - 20 - k * 7, y - 30, { steps: 4 });
    await tab.mouse.up();
    const seen = await state();
    moved.push([seen.scroll[0] - before[0], seen.scroll[1] - before[1], seen.selected, seen.target.length]);
  }
  assert.deepEqual(moved, moved.map((m, k) => [20 + k * 7, 30, "", 0]));
  assert.equal(await tab.evaluate(() => window.browserDrag), undefined);
  await tab.mouse.click(...(await boxMiddle(middle)));
  assert.deepEqual((await state()).target, [middle], "a click still selects");
  // The box under the pointer gives its tooltip; the chart beside it none.
  const tip = () => tab.evaluate(() => document.getElementById("catcher").title);
  const title = await tab.evaluate((i) => window.chartPage.tooltip(i), middle);
  assert.match(title, /\], level \d+\nprerequisites: /);
  const [x, y, , h] = await rectOf(`#a${middle} > rect`);
  await tab.mouse.move(x + 5, y + h / 2);
  assert.equal(await tip(), title);
  await tab.mouse.move(x + 5, y - 4);
  assert.equal(await tip(), "");
});

test("the overview: a click and a frame drag move the view, it follows zoom and scroll, it hides", async () => {
  await open("big");
  await tab.waitForFunction(() => !document.getElementById("overview").hidden);
  const canvas = await rectOf("#overview canvas");
  const width = await tab.evaluate(() => document.querySelector("svg.chart").viewBox.baseVal.width);
  const scale = canvas[2] / width;
  const point = [canvas[0] + canvas[2] / 2, canvas[1] + canvas[3] * 0.6];
  await tab.mouse.click(...point);
  const clicked = (await state()).middle;
  assert.ok(near(clicked, [(point[0] - canvas[0]) / scale, (point[1] - canvas[1]) / scale], 2 / scale));
  // The frame dragged up 40 pixels takes the view up 40 / scale.
  const frame = await rectOf("#overview-frame");
  await tab.mouse.move(frame[0] + frame[2] / 2, frame[1] + frame[3] / 2);
  await tab.mouse.down();
  await tab.mouse.move(frame[0] + frame[2] / 2, frame[1] + frame[3] / 2 - 40, { steps: 5 });
  await tab.mouse.up();
  assert.ok(near((await state()).middle, [clicked[0], clicked[1] - 40 / scale], 1 / scale));
  const moved = await rectOf("#overview-frame");
  assert.ok(near(moved.slice(0, 4), [frame[0], frame[1] - 40, frame[2], frame[3]], 1), `${frame} -> ${moved}`);
  await tab.keyboard.press("+");
  assert.ok(near([(await rectOf("#overview-frame"))[3]], [moved[3] / 1.25], 1), "zoom shrinks the frame");
  // The wheel scrolls the view, and the frame follows it.
  const scrolled = (await state()).scroll[1];
  await tab.mouse.move(400, 400);
  await tab.mouse.wheel({ deltaY: 300 });
  await tab.waitForFunction((top, scale, scrolled) => {
    const view = document.getElementById("view");
    const zoom = Number(document.getElementById("chart").style.transform.slice(6, -1));
    const frame = document.getElementById("overview-frame").getBoundingClientRect().top - top;
    return view.scrollTop > scrolled && Math.abs(frame - (view.scrollTop * scale) / zoom) <= 1;
  }, {}, canvas[1], scale, scrolled);
  const hidden = () => tab.evaluate(() => document.getElementById("overview").hidden);
  await tab.click("#overview-toggle");
  assert.equal(await hidden(), true);
  await tab.click("#overview-toggle");
  assert.equal(await hidden(), false);
  await open("sample", "", PHONE);
  await frames();
  assert.equal(await hidden(), true, "folded on a phone");
  await tab.tap("#overview-toggle");
  assert.equal(await hidden(), false);
});

test("colours by epoch and category are --json's, counted in the legend, which filters", async () => {
  const { advances } = trees.sample;
  const look = (mode) => tab.evaluate((mode) => ({
    groups: [...document.querySelectorAll("g.advance")].map((g) => [Number(g.id.slice(1)),
      Number(g.dataset[mode]), [...g.classList].filter((c) => c.startsWith("colour-"))]),
    fills: [...document.querySelectorAll("#colours path")].map((p) =>
      [p.getAttribute("class"), p.getAttribute("fill"), (p.getAttribute("d").match(/M/g) || []).length]),
    legend: [...document.querySelectorAll("#colour-values button")]
      .map((b) => b.textContent.replace(/^.*: /, "")),
    filtered: (document.querySelector("#filter path")?.getAttribute("d").match(/M/g) || []).length,
  }), mode);
  for (const mode of ["epoch", "category"]) {
    await open("sample", `#colour=${mode}&have=Fli&route=Jet&find=ing`);
    const counts = new Map();
    for (const a of advances) counts.set(a[mode], (counts.get(a[mode]) ?? 0) + 1);
    const values = [...counts.keys()].sort((a, b) => a - b);
    const page = await look(mode);
    assert.deepEqual(page.groups.sort((a, b) => a[0] - b[0]),
      advances.map((a, i) => [i, a[mode], [`colour-${a[mode]}`]]));
    assert.deepEqual(page.fills.map(([c, , n]) => [c, n]), values.map((v) => [`colour-${v}`, counts.get(v)]));
    assert.equal(new Set(page.fills.map(([, fill]) => fill)).size, values.length);
    const counted = (n) => `${n} advance${n === 1 ? "" : "s"}`;
    assert.deepEqual(page.legend, values.map((v) => counted(counts.get(v))));
    // The filter leaves the route and the matches; a second click ends it.
    const before = await state();
    await tab.click("#colour-values li:nth-child(2) button");
    const after = await state();
    assert.deepEqual([(await look(mode)).filtered, after.target, after.matches],
      [advances.length - counts.get(values[1]), before.target, before.matches]);
    await tab.click("#colour-values li:nth-child(2) button");
    assert.equal((await look(mode)).filtered, 0);
  }
  // The control writes the address and keeps the other entries; no colour is the chart's own look.
  await tab.select("#colour", "");
  assert.deepEqual([(await state()).hash, (await look("epoch")).fills], ["#have=Fli&route=Jet&find=ing", []]);
  await tab.select("#colour", "category");
  assert.equal((await state()).hash, "#have=Fli&route=Jet&find=ing&colour=category");
});

test("Enter and Down step through every match, Shift+Enter and Up back, round the ends", async () => {
  const { advances, units } = trees.sample;
  const byName = (a) => (a.name + "\n" + a.code).toLowerCase().includes("ing");
  const byUnit = (a) => a.units.map((u) => units[u].name).find((n) => n.toLowerCase().includes("ing"));
  const found = advances.map((a, i) => i).filter((i) => byName(advances[i]) || byUnit(advances[i]));
  assert.equal(found.length, 22);
  await open("sample");
  await tab.click("#find");
  await tab.keyboard.type("ing");
  const listed = await tab.$$eval("#match-list li", (items) =>
    items.map((li) => [Number(li.dataset.index), li.textContent]));
  assert.deepEqual(listed, found.map((i) => [i, `${advances[i].name} ${advances[i].code}` +
    (byName(advances[i]) ? "" : `, unit ${byUnit(advances[i])}`)]));
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
  await tab.click("#match-list li:nth-child(5)");
  const s = await state();
  assert.deepEqual([s.target, s.matches], at(4), "a click on the list");
});

test("on a touch screen the toggle adds and removes targets", async () => {
  await open("sample", "", PHONE);
  const tapBox = async (i) => tab.touchscreen.tap(...(await boxMiddle(i)));
  const seen = [];
  for (const act of ["toggle", 7, 30, 7, "toggle", 7]) {
    if (act === "toggle") await tab.tap("#add-target");
    else seen.push(await tapBox(act).then(state).then((s) => s.target));
  }
  assert.deepEqual(seen, [[7], [7, 30], [30], [7]]);
});

test("each list's items take the focus by Tab and Enter chooses one", async () => {
  // Shift+Tab from the second item's first control lands on the first item's button.
  const enter = async (selector) => {
    await tab.$$eval(selector, (items) => (items[1] ?? items[0]).querySelector("input, button").focus());
    await tab.keyboard.down("Shift");
    await tab.keyboard.press("Tab");
    await tab.keyboard.up("Shift");
    const focused = await tab.$eval(selector, (e) => document.activeElement === e.querySelector(".pick"));
    await tab.keyboard.press("Enter");
    return focused;
  };
  await open("warned");
  const warning = trees.warned.diagnostics.find((d) => d.advance !== undefined);
  assert.ok(await enter("#warnings li[data-index]"));
  assert.deepEqual((await state()).target, [warning.advance]);
  await open("sample", "#route=Jet&zoom=2");
  await tab.evaluate(() => document.getElementById("view").scrollTo(0, 0));
  assert.ok(await enter("#route-list li"));
  const first = await tab.$eval("#route-list li", (li) => li.dataset.index);
  assert.ok((await rectOf(`#a${first} > rect`))[4], "the route list's first box in view");
  // From the field to the list by Tab, Down to the second, Enter.
  await tab.click("#find");
  await tab.keyboard.type("ing");
  for (const key of ["Tab", "ArrowDown", "Enter"]) await tab.keyboard.press(key);
  const second = await tab.$eval("#match-list li:nth-child(2)", (li) => Number(li.dataset.index));
  const s = await state();
  assert.deepEqual([s.target, s.matches], [[second], "2 of 22"]);
});

test("Back and Forward restore each entry's search text; several targets are shown together", async () => {
  await open("sample");
  await tab.mouse.click(...(await boxMiddle(3)));
  await tab.click("#find");
  await tab.keyboard.type("ing");
  await tab.mouse.click(...(await boxMiddle(40)));
  const seen = [await state()];
  for (const go of ["goBack", "goBack", "goForward"]) {
    await tab[go]();
    seen.push(await state());
  }
  assert.deepEqual(seen.map((s) => [s.target, s.find]), [[[40], "ing"], [[3], "ing"], [[3], ""], [[3], "ing"]]);
  assert.equal(seen[2].hash, `#route=${trees.sample.advances[3].code}`);
  // Two boxes that fit the view are both in it; else the last one is.
  const { advances } = trees.big;
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const neighbour = advances.findIndex((a, i) => i !== deepest && a.level === advances[deepest].level);
  for (const [pair, shown] of [[[neighbour, deepest], [neighbour, deepest]], [[deepest, 1], [1]]]) {
    await open("big", "#route=" + pair.map((i) => advances[i].code).join(","));
    const inView = [];
    for (const i of pair) if ((await rectOf(`#a${i} > rect`))[4]) inView.push(i);
    assert.deepEqual(inView, shown, pair.join());
  }
});

test("the legend shows every mark the page draws", async () => {
  await open("warned", "#find=a&route=" + trees.warned.advances.at(-1).code);
  assert.deepEqual(await tab.$$eval("#fills > path, #tints > path", (paths) => paths.map((p) => [...p.classList].map((c) => "." + c).join(""))
    .filter((c) => document.querySelector(`#legend ${c}`) === null)), []);
});

test("print: the 1,000-advance page within 60 s, texts at 6 pt; a route prints its strips only", async () => {
  const { advances } = trees.big;
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  for (const hash of ["", `#route=${advances[deepest].code}`]) {
    await open("big", hash);
    // Each strip's scale, and how many of the selection's boxes start in it.
    const strips = await tab.evaluate(() => {
      dispatchEvent(new Event("beforeprint"));
      const chosen = new Set([...document.querySelectorAll("g.route, g.target")].map((g) => g.id));
      const out = [...document.querySelectorAll("#print svg.strip")].map((strip) => {
        const [x, , w] = strip.getAttribute("viewBox").split(" ").map(Number);
        const left = (g) => g.querySelector("rect").x.baseVal.value;
        const held = [...strip.querySelectorAll("g.advance")]
          .filter((g) => chosen.has(g.id) && left(g) >= x && left(g) < x + w);
        return [strip.width.baseVal.value / w, held.length];
      });
      dispatchEvent(new Event("afterprint"));
      return out;
    });
    assert.ok(strips.every(([scale, held]) => scale * 11 * 0.75 >= 6 && (hash === "" || held > 0)));
    const started = Date.now();
    const pdf = join(work, "input-1000.pdf");
    await tab.pdf({ path: pdf, format: "A4", timeout: 60000 });
    const pages = /Pages:\s+(\d+)/.exec(execFileSync("pdfinfo", [pdf], { encoding: "utf8" }))[1];
    const seconds = ((Date.now() - started) / 1000).toFixed(1);
    console.log(`print ${hash || "whole chart"}: ${seconds} s, ${pages} pages`);
  }
});
