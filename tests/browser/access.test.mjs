// The chart page for every player, in headless Chromium with real input:
// axe-core (every rule) on each state in both colour schemes; the boxes'
// names and states; the keyboard alone (the skip link, Tab to the side
// panel, R on a list item, the focus after a list empties, Escape in the
// field); Undo and Redo; the match list closed by a choice; Fit; the
// contrast of dimmed texts in pixels; 320 px; print with the legend.
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/access.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join, resolve } from "node:path";
import { PNG } from "pngjs";
import { launch, openPage } from "./chromium.mjs";
import { stress, trees as made } from "./trees.mjs";

const work = resolve(process.env.LORVANE_WORK);
const run = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
const axeSource = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
let trees, browser, tab, errors;

before(async () => {
  mkdirSync(work, { recursive: true });
  trees = made(work, "access", { sample: "data/RULES.TXT", big: stress(work, "access-1000.txt", 1000) });
  ({ browser, tab, errors } = await launch());
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, []);
});

const DESKTOP = { width: 1280, height: 800 };
async function open(name, hash = "", viewport = DESKTOP, scheme = "light") {
  const cdp = await tab.createCDPSession();
  await cdp.send("Storage.clearDataForOrigin", { origin: "file://", storageTypes: "local_storage" });
  await cdp.detach();
  await tab.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
  await openPage(tab, trees[name].page, hash, viewport);
  await settle();
}
// Two frames and a task: drawn, and the address written.
const settle = () => tab.evaluate(() =>
  new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(done)))));
const focused = () => tab.evaluate(() => {
  const e = document.activeElement;
  return e.id || e.closest("[data-index]")?.dataset.index || e.tagName;
});
const researched = () => tab.evaluate(() =>
  [...document.querySelectorAll("g.researched")].map((g) => Number(g.id.slice(1))).sort((a, b) => a - b));
const targets = () => tab.evaluate(() => [...document.querySelectorAll("g.target")].map((g) => Number(g.id.slice(1))));
// Puppeteer focuses HTML elements only; a box is an SVG group.
const focusBox = (i) => tab.evaluate((i) => document.getElementById("a" + i).focus(), i);
const text = (id) => tab.$eval("#" + id, (e) => e.textContent);
const code = (name, i) => trees[name].advances[i].code;
const deepest = (name) => {
  const { advances } = trees[name];
  return advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
};

// Every rule axe-core has, experimental and best practice among them, on
// the page as it stands; the CSP is bypassed for axe's own script only
// in this test (the page is opened with the bypass on).
async function axe() {
  if (!(await tab.evaluate(() => "axe" in window))) await tab.addScriptTag({ content: axeSource });
  return tab.evaluate(async () => {
    const rules = Object.fromEntries(window.axe.getRules().map((r) => [r.ruleId, { enabled: true }]));
    const result = await window.axe.run(document, { rules, resultTypes: ["violations"] });
    return result.violations.map((v) => `${v.id} (${v.impact}): ` +
      v.nodes.slice(0, 3).map((n) => n.target.join(" ")).join("; ") + ` of ${v.nodes.length}`);
  });
}

test("axe-core finds nothing in any state, in either colour scheme", async () => {
  // Each state opened once and checked in the light scheme, then in the
  // dark one as the page turns to it. The 1,000 advances once, with a
  // route: its boxes are the sample's many times over.
  const states = [
    ["load", "sample", "", null],
    ["#route=", "sample", "#route=Cmp&have=Prn,Gui&find=ing", null],
    ["Units open", "sample", "", async () => tab.click("#units-panel summary")],
    ["match list open", "sample", "", async () => {
      await tab.click("#find");
      await tab.keyboard.type("ing");
      await tab.keyboard.press("ArrowDown");
    }],
    ["colours", "sample", "#colour=epoch&route=Jet", null],
    ["1,000 advances, a route", "big", `#route=${code("big", deepest("big"))}`, null],
  ];
  await tab.setBypassCSP(true);
  const found = [];
  try {
    for (const [state, name, hash, act] of states) {
      await open(name, hash);
      if (act) await act();
      for (const scheme of ["light", "dark"]) {
        await tab.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
        await settle();
        const violations = await axe();
        console.log(`axe-core ${state}, ${scheme}: ${violations.length} violations`);
        found.push(...violations.map((v) => `${state}, ${scheme}: ${v}`));
      }
    }
  } finally {
    await tab.setBypassCSP(false);
  }
  assert.deepEqual(found, []);
});

test("a box is named by what it shows; its state, level, needs and dependants described; a target pressed", async () => {
  const { advances } = trees.sample;
  const cmp = advances.findIndex((a) => a.code === "Cmp");
  const prn = advances.findIndex((a) => a.code === "Prn");
  await open("sample", "#route=Cmp&have=Prn&find=Computing");
  const onRoute = await tab.evaluate(() => Number(document.querySelector("g.route").id.slice(1)));
  const dimmed = await tab.evaluate(() => Number(document.querySelector("g.dimmed").id.slice(1)));
  const available = await tab.evaluate(() => Number(document.querySelector("g.available").id.slice(1)));
  // Everything that needs advance i, near or far.
  const needers = (i) => {
    const seen = new Set();
    for (const todo = [i]; todo.length > 0;) {
      for (const c of advances[todo.pop()].children) if (!seen.has(c)) seen.add(c), todo.push(c);
    }
    return seen.size;
  };
  const cases = [[cmp, "^found; ", true], [onRoute, "^on the route; ", false], [prn, "researched; ", false],
    [dimmed, "dimmed; ", false], [available, "ready to research; ", false]];
  for (const [i, state, pressed] of cases) {
    const node = await tab.$(`#a${i}`);
    const ax = await tab.accessibility.snapshot({ root: node, interestingOnly: false });
    const shown = await tab.$eval(`#a${i}`, (g) => [...g.querySelectorAll("text")].map((t) => t.textContent.trim()).join(" "));
    const n = needers(i);
    const need = n === 0 ? "nothing needs it" : `${n} advance${n === 1 ? " needs" : "s need"} it`;
    assert.deepEqual([ax.role, ax.name.replace(/\s+/g, " "), ax.pressed ?? false], ["button", shown, pressed], `box ${i}`);
    assert.match(ax.description, new RegExp(state), `box ${i}: ${ax.description}`);
    assert.ok(ax.description.endsWith(`level ${advances[i].level}` +
      (i === 0 ? "" : `; needs ${[...new Set([advances[i].prereq1, advances[i].prereq2])].map((p) => advances[p].name).join(", ")}`) +
      `; ${need}`), `box ${i}: ${ax.description}`);
  }
});

test("by keyboard: the skip link, Tab to the side panel, R on a list item, the focus kept, Escape in the field", async () => {
  // The chart is one stop: as many presses to the side panel on 1,000 advances as on the sample.
  const presses = {};
  for (const name of ["sample", "big"]) {
    await open(name);
    let n = 0;
    while (!(await tab.evaluate(() => document.getElementById("side").contains(document.activeElement))) && n < 40) {
      await tab.keyboard.press("Tab");
      ++n;
    }
    presses[name] = n;
  }
  assert.ok(presses.sample <= 12 && presses.big === presses.sample, JSON.stringify(presses));
  // The skip link is the first stop and takes the focus to the side panel.
  await open("sample");
  await tab.keyboard.press("Tab");
  assert.equal(await focused(), "skip");
  await tab.keyboard.press("Enter");
  assert.equal(await focused(), "side");

  // R on the route's third item marks that advance (with what it needs),
  // not the target; the focus goes to the item now in its place.
  const { advances } = trees.sample;
  await open("sample", "#route=Cmp");
  // The chart's one stop is the address's target.
  const stop = await tab.evaluate(() => document.querySelector('g.advance[tabindex="0"]').dataset.code);
  assert.equal(stop, "Cmp");
  const list = () => tab.$$eval("#route-list li", (items) => items.map((li) => Number(li.dataset.index)));
  const before = await list();
  await tab.focus("#route-list li:nth-child(3) .pick");
  await tab.keyboard.press("r");
  await settle();
  const { have } = JSON.parse(run("--json", "--have", code("sample", before[2]), trees.sample.rules));
  assert.deepEqual(await researched(), have);
  const after = await list();
  assert.equal(await focused(), String(after[2]));
  // The tick of an item too; a list emptied leaves the focus on its heading.
  const level1 = advances.findIndex((a) => a.level === 1);
  await open("sample", `#route=${code("sample", level1)}`);
  await tab.focus("#route-list li .tick");
  await tab.keyboard.press("Space");
  await settle();
  assert.deepEqual([await researched(), await focused()], [[level1], "route-heading"]);
  // Clear leaves the focus on Undo, which brings the plan back.
  await tab.focus("#clear-researched");
  await tab.keyboard.press("Enter");
  await settle();
  assert.deepEqual([await researched(), await focused()], [[], "undo"]);
  await tab.keyboard.press("Enter");
  await settle();
  assert.deepEqual(await researched(), [level1]);

  // Escape in the field: the search and its list go, the selection stays.
  await open("sample", "#route=Cmp");
  const selected = await targets();
  await tab.click("#find");
  await tab.keyboard.type("ing");
  await tab.keyboard.press("Escape");
  await settle();
  assert.deepEqual([await tab.$eval("#find", (f) => f.value), await tab.$eval("#match-list", (l) => l.hidden),
    await targets(), await text("matches")], ["", true, selected, ""]);
  // From a match (Tab from the field goes to the one stepped to), back to the field.
  await tab.keyboard.type("ing");
  await tab.keyboard.press("ArrowDown");
  await tab.keyboard.press("ArrowDown");
  await tab.keyboard.press("Tab");
  const stepped = await tab.$eval("#match-list li[aria-selected]", (li) => li.id);
  assert.equal(await focused(), stepped);
  await tab.keyboard.press("Escape");
  assert.deepEqual([await focused(), await tab.$eval("#find", (f) => f.value)], ["find", ""]);
});

test("Undo and Redo step back and forth through marks, unmarks and Clear, 50 steps at most", async () => {
  const { advances } = trees.sample;
  await open("sample");
  const picks = [10, 40, 70].map((i) => advances.findIndex((a, j) => j >= i && a.level > 3));
  const seen = [await researched()];
  for (const i of picks) {
    await focusBox(i);
    await tab.keyboard.press("r");
    await settle();
    seen.push(await researched());
  }
  // Unmarking the first takes those that need it, and says how many.
  await focusBox(picks[0]);
  await tab.keyboard.press("r");
  await settle();
  const after = await researched();
  const gone = seen.at(-1).filter((i) => !after.includes(i)).length;
  assert.match(await text("plan-note"), new RegExp(`^${advances[picks[0]].name}` +
    (gone > 1 ? ` and ${gone - 1} that needs? it` : "") + " no longer researched"));
  seen.push(after);
  await tab.click("#clear-researched");
  await settle();
  seen.push(await researched());
  // Back through every step by Ctrl+Z and the button, forward by Ctrl+Y.
  const back = [];
  for (let k = 0; k < seen.length - 1; ++k) {
    if (k % 2 === 0) await tab.keyboard.down("Control"), await tab.keyboard.press("z"), await tab.keyboard.up("Control");
    else await tab.click("#undo");
    await settle();
    back.push(await researched());
  }
  assert.deepEqual(back, seen.slice(0, -1).reverse());
  assert.equal(await tab.$eval("#undo", (b) => b.disabled), true);
  const forth = [];
  for (let k = 0; k < seen.length - 1; ++k) {
    await tab.keyboard.down("Control");
    await tab.keyboard.press("y");
    await tab.keyboard.up("Control");
    await settle();
    forth.push(await researched());
  }
  assert.deepEqual(forth, seen.slice(1));
  // Back in the browser's history is the address's, apart from Undo.
  await tab.goBack();
  await settle();
  assert.deepEqual(await researched(), seen.at(-2));
  // 51 changes: 50 undone, then nothing more.
  await open("sample");
  const level = advances.map((a, i) => i).filter((i) => advances[i].level >= 2);
  for (let k = 0; k < 51; ++k) await focusBox(level[k % level.length]), await tab.keyboard.press("r");
  const undoable = [];
  await tab.keyboard.down("Control");
  for (let k = 0; k < 50; ++k) {
    await tab.keyboard.press("z");
    if (k >= 48) undoable.push(await tab.$eval("#undo", (b) => !b.disabled));
  }
  await tab.keyboard.up("Control");
  assert.deepEqual(undoable, [true, false]);
});

test("the match list closes on a choice and never covers the summary", async () => {
  await open("sample", "#route=Cmp");
  await tab.click("#find");
  await tab.keyboard.type("ing");
  const covers = () => tab.evaluate(() => {
    const [l, s] = ["match-list", "summary"].map((id) => document.getElementById(id).getBoundingClientRect());
    return l.top < s.bottom && l.bottom > s.top && l.left < s.right && l.right > s.left;
  });
  const hidden = () => tab.$eval("#match-list", (l) => l.hidden);
  assert.deepEqual([await hidden(), await covers()], [false, false]);
  await tab.keyboard.press("Enter");
  assert.equal(await hidden(), true, "Enter");
  await tab.keyboard.press("ArrowDown");
  assert.equal(await hidden(), false, "Down opens it again");
  await tab.click("#match-list li:nth-child(3)");
  const third = await tab.$eval("#match-list li:nth-child(3)", (li) => Number(li.dataset.index));
  assert.deepEqual([await hidden(), await targets(), await text("matches")], [true, [third], "3 of 22"]);
  // Another box chosen: the step's count no longer stands.
  await focusBox(0);
  await tab.keyboard.press("Enter");
  assert.equal(await text("matches"), "22 advances found");
});

test("Fit fills the width with the tree, centred; with a route, fits the route", async () => {
  const name = "big";
  for (const viewport of [DESKTOP, { width: 1000, height: 700 }]) {
    await open(name, "#zoom=2", viewport);
    await tab.keyboard.press("0");
    const fit = await tab.evaluate(() => {
      const [v, s] = [document.getElementById("view"), document.getElementById("sizer").getBoundingClientRect()];
      const r = v.getBoundingClientRect();
      return { width: s.width, room: v.clientWidth, left: s.left - r.left, tall: v.scrollHeight > v.clientHeight };
    });
    assert.ok(Math.abs(fit.width - fit.room) <= 1 && Math.abs(fit.left) <= 1 && fit.tall, JSON.stringify(fit));
  }
  // The sample is narrower at 100% than the view: in its middle.
  await open("sample", "", { width: 2400, height: 800 });
  const middle = await tab.evaluate(() => {
    const [v, s] = [document.getElementById("view"), document.getElementById("sizer").getBoundingClientRect()];
    const r = v.getBoundingClientRect();
    return [s.left - r.left, r.left + v.clientWidth - s.right];
  });
  assert.ok(middle[0] > 100 && Math.abs(middle[0] - middle[1]) <= 1, String(middle));
  // A route: its boxes all in view, one way filled to the margin.
  await open(name, `#route=${code(name, deepest(name))}`);
  await tab.click("#fit");
  const shown = await tab.evaluate(() => {
    const v = document.getElementById("view").getBoundingClientRect();
    const boxes = [...document.querySelectorAll("g.route > rect, g.target > rect")].map((r) => r.getBoundingClientRect());
    const inside = boxes.every((b) => b.left >= v.left && b.right <= v.right && b.top >= v.top && b.bottom <= v.bottom);
    const span = [Math.max(...boxes.map((b) => b.right)) - Math.min(...boxes.map((b) => b.left)),
      Math.max(...boxes.map((b) => b.bottom)) - Math.min(...boxes.map((b) => b.top))];
    return { inside, filled: span[0] >= v.width - 40 || span[1] >= v.height - 40 };
  });
  assert.deepEqual(shown, { inside: true, filled: true });
});

// Relative luminance and contrast, as WCAG defines them.
const luminance = ([r, g, b]) => {
  const linear = (c) => ((c /= 255) <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4);
  return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
};
const contrast = (a, b) => {
  const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
};

test("a dimmed box's texts keep 4.5:1 against its hatched ground, in pixels, plain and coloured, light and dark", async () => {
  const worst = [];
  const flat = [];
  for (const scheme of ["light", "dark"]) {
    for (const colour of ["", "&colour=epoch", "&colour=category"]) {
      await open("sample", `#route=Fli${colour}`, DESKTOP, scheme);
      // One picture of the view; in it, the names of the dimmed boxes
      // wholly in view, clear of the overview.
      const clips = await tab.evaluate(() => {
        const view = document.getElementById("view");
        const [v, o] = [view, document.getElementById("overview")].map((e) => e.getBoundingClientRect());
        const clear = (r) => r.left >= v.left && r.top >= v.top && r.right <= v.left + view.clientWidth &&
          r.bottom <= v.top + view.clientHeight && (r.right <= o.left || r.left >= o.right || r.bottom <= o.top || r.top >= o.bottom);
        return [...document.querySelectorAll("g.dimmed text.name")].map((t) => [t.closest("g").id, t.getBoundingClientRect()])
          .filter(([, r]) => clear(r)).slice(0, 12)
          .map(([id, r]) => [id, Math.floor(r.left), Math.floor(r.top), Math.ceil(r.right), Math.ceil(r.bottom)]);
      });
      const png = PNG.sync.read(Buffer.from(await tab.screenshot()));
      for (const [id, left, top, right, bottom] of clips) {
        const counts = new Map();
        let darkest = [255, 255, 255];
        for (let y = top; y < bottom; ++y) {
          for (let x = left; x < right; ++x) {
            const k = (y * png.width + x) * 4;
            const pixel = [png.data[k], png.data[k + 1], png.data[k + 2]];
            counts.set(pixel.join(), (counts.get(pixel.join()) ?? 0) + 1);
            if (luminance(pixel) < luminance(darkest)) darkest = pixel;
          }
        }
        // The ground: the two commonest colours but the text's own (the
        // hatching's two); the text: the darkest pixel.
        const commonest = [...counts].filter(([c]) => c !== darkest.join()).sort((a, b) => b[1] - a[1]).slice(0, 2);
        const ground = commonest.map(([c]) => c.split(",").map(Number));
        worst.push([Math.min(...ground.map((g) => contrast(darkest, g))), `${scheme}${colour} ${id}`]);
        // Hatched, so never taken for a colour of the legend: two greys,
        // the lines' a fair share (a lost pattern leaves the bare paper).
        const hatched = commonest[1][1] >= 0.05 * (right - left) * (bottom - top) &&
          ground.every(([r, g, b]) => r === g && g === b) && Math.abs(ground[0][0] - ground[1][0]) >= 12;
        if (!hatched) flat.push(`${scheme}${colour} ${id}`);
      }
    }
  }
  assert.deepEqual(flat, []);
  worst.sort((a, b) => a[0] - b[0]);
  assert.ok(worst.length > 30 && worst[0][0] >= 4.5, JSON.stringify(worst.slice(0, 3)));
  console.log(`dimmed texts: the least contrast ${worst[0][0].toFixed(1)}:1 (${worst[0][1]})`);
});

test("at 320 px the bar folds and the chart takes the height below it; the side panel follows", async () => {
  for (const height of [256, 568]) {
    await open("sample", "", { width: 320, height, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
    const layout = await tab.evaluate(() => {
      const [bar, view, side] = ["bar", "view", "side"].map((id) => document.getElementById(id).getBoundingClientRect());
      const shown = [...document.querySelectorAll("#tools > *")].filter((e) => e.offsetParent !== null).map((e) => e.id);
      return { bar: bar.height, view: view.height, top: view.top - bar.bottom, below: side.top >= view.bottom,
        wide: document.documentElement.scrollWidth, shown };
    });
    assert.deepEqual([layout.shown, layout.below, layout.wide, Math.abs(layout.top) <= 1],
      [["finder", "more"], true, 320, true], JSON.stringify(layout));
    assert.ok(layout.bar <= 100 && layout.view >= height - layout.bar - 1, JSON.stringify(layout));
    // The folded tools come back by their button.
    await tab.tap("#more");
    assert.ok(await tab.$eval("#zoom-in", (b) => b.offsetParent !== null));
  }
});

test("print: the legend, what is available now and the route, no heading over nothing", async () => {
  await open("sample", "#route=Cmp&have=Prn");
  const pdf = join(work, "access-sample.pdf");
  await tab.pdf({ path: pdf });
  const printed = execFileSync("pdftotext", [pdf, "-"], { encoding: "utf8" });
  const available = await tab.$eval("#available li .pick", (b) => b.textContent);
  const route = await tab.$eval("#route-list li .pick", (b) => b.textContent);
  for (const wanted of ["Legend", "Available now", available, "Route", route, "ready to research"]) {
    assert.ok(printed.includes(wanted), wanted);
  }
  for (const unwanted of ["Units", "Warnings", "Clear researched"]) assert.ok(!printed.includes(unwanted), unwanted);
});
