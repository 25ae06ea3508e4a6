// The chart page in headless Chromium, with real input events: the marks,
// the route list and the warnings against lorvane-check's own answers
// (--route --json, --json); finding and showing boxes, clicks, keys,
// history, zoom, a phone, print and the texts' fit on the sample and on
// generated trees of 300 and 1,000 advances; and a screenshot at zoom 1
// against the viewer's chart bitmap (copied from the viewer under Wine;
// that test is skipped when LORVANE_CHART names no file).
//   LORVANE_CHECK=lorvane-check LORVANE_CHART=chart.ppm LORVANE_WORK=dir \
//     node --test tests/browser/page.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { PNG } from "pngjs";
import { launch, openPage } from "./chromium.mjs";
import { checkedJson } from "./schema.mjs";

const root = resolve(import.meta.dirname, "../..");
const work = resolve(process.env.LORVANE_WORK);
const run = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
// Each rules file with its page, its standalone SVG and the checker's records.
const trees = {};
function tree(name, rules) {
  const [page, svg] = [join(work, name + ".html"), join(work, name + ".svg")];
  run("--html", page, "--svg", svg, rules);
  const records = checkedJson(run("--json", rules));
  trees[name] = { rules, page, svg, ...records };
}
const route = (name, code) => checkedJson(run("--json", "--route", code, trees[name].rules));
let browser, tab, policyErrors;

before(async () => {
  mkdirSync(work, { recursive: true });
  tree("sample", join(root, "data/RULES.TXT"));
  tree("warned", join(root, "tests/check/fixtures/warnings.txt"));
  // More warnings than the page lists: 250 advances with four faults each,
  // then an advance and a unit whose warnings come past the list's end.
  const code = (k) => "C" + k.toString(16).padStart(2, "0");
  const parent = (k) => (k === 0 ? "nil" : code((k - 1) >> 1));
  const advance = (k, faults) => `Adv ${k}, 1${faults}, 1${faults}, ${parent(k)}, ${parent(k)}, ` +
    `0${faults}, 0${faults} ; ${code(k)}\n`;
  const many = join(work, "many-warnings.txt");
  writeFileSync(many, "@CIVILIZE\n" + [...Array(250).keys()].map((k) => advance(k, "x")).join("") +
    advance(250, "").replace(", 1, 1,", ", 1x, 1,") + advance(251, "") + "@IMPROVE\n@UNITS\n" +
    `Unit A, nil, 0, 1x, 0, 1, 1, 10, 1, 1, 0, 0, ${code(251)}, 0\n@TERRAIN\n`);
  tree("many", many);
  for (const n of [300, 1000]) {
    const rules = join(work, `stress-${n}.txt`);
    execFileSync("python3", [join(root, "scripts/gen_stress.py"), "--advances", n, "-o", rules]);
    tree(`stress-${n}`, rules);
  }
  ({ browser, tab, errors: policyErrors } = await launch());
});
after(async () => {
  await browser?.close();
  assert.deepEqual(policyErrors, []);
});

// Each page as a first visit: no plan kept from an earlier test (an R
// typed while a box had the focus marks it researched, and that is saved).
async function open(name, hash = "", viewport = { width: 1280, height: 800 }) {
  const cdp = await tab.createCDPSession();
  await cdp.send("Storage.clearDataForOrigin", { origin: "file://", storageTypes: "local_storage" });
  await cdp.detach();
  await openPage(tab, trees[name].page, hash, viewport);
}
// The page's state: marks by index, the lists, the texts shown.
const state = () =>
  tab.evaluate(async () => {
    // The address is written a task after the frame that shows the marks.
    await new Promise((done) => requestAnimationFrame(() => setTimeout(done)));
    const ids = (selector) =>
      [...document.querySelectorAll(selector)].map((e) => Number(e.id ? e.id.slice(1) : e.dataset.index));
    const marks = {};
    for (const mark of ["target", "route", "opens", "match"]) {
      marks[mark] = ids("g." + mark).sort((a, b) => a - b);
    }
    return {
      ...marks,
      list: ids("#route-list li"),
      summary: document.getElementById("summary").textContent,
      matches: document.getElementById("matches").textContent,
      hash: decodeURIComponent(location.hash),
      zoom: Number(document.getElementById("chart").style.transform.slice(6, -1)),
    };
  });
// Where the box of advance i is on the screen, and where the chart is seen:
// the view's rectangle, below the bar.
const where = (i) =>
  tab.evaluate((i) => {
    const plain = (r) => ({ left: r.left, top: r.top, right: r.right, bottom: r.bottom });
    const view = document.getElementById("view").getBoundingClientRect();
    const bar = document.getElementById("bar").getBoundingClientRect();
    const box = document.querySelector(`#a${i} > rect`).getBoundingClientRect();
    return { box: plain(box), view: plain(view), barBottom: bar.bottom };
  }, i);
async function assertShown(i, message) {
  const { box, view, barBottom } = await where(i);
  const inside = box.left >= view.left - 1 && box.right <= view.right + 1 &&
    box.top >= Math.max(view.top, barBottom) - 1 && box.bottom <= view.bottom + 1;
  assert.ok(inside, `${message}: box ${JSON.stringify(box)} outside ${JSON.stringify(view)}`);
}
const frame = () => tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));

// The route of one target or several as lorvane-check --route gives it:
// the targets, and the page's list (one target's route leaves it out).
function checkerRoute(name, codes) {
  const result = route(name, codes.join(","));
  if (result.targets !== undefined) return { targets: result.targets, list: result.route };
  return { targets: [result.target], list: [...result.route, result.target] };
}

function opens(advances, starts) {
  const seen = new Set();
  const todo = [...starts];
  while (todo.length > 0) {
    for (const c of advances[todo.pop()].children) {
      if (!seen.has(c) && !starts.includes(c)) todo.push(c), seen.add(c);
    }
  }
  return [...seen].sort((a, b) => a - b);
}

test("#find= and #route= mark and list --route --json's route, what it opens", async () => {
  const { advances } = trees.sample;
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const byIndex = (a, b) => a - b;
  const named = advances[5].name.toUpperCase();
  // Units are found too: their advance is the match.
  const unit = trees.sample.units.find((u) => u.prereq !== null);
  const cases = [[[advances[deepest].code], "ing"], [["Brz"], "Sa"], [["nil"], "zzz"],
    [[named], ""], [["Jet", "Fis"], unit.name.toLowerCase()], [["Jet", "Nuclear fission", "Jet"], ""]];
  for (const [codes, text] of cases) {
    await open("sample", `#find=${encodeURIComponent(text)}&route=${encodeURIComponent(codes.join(","))}`);
    const marks = await state();
    const { targets, list } = checkerRoute("sample", codes);
    const holds = (a, i) => (a.name + "\n" + a.code).toLowerCase().includes(text.toLowerCase()) ||
      trees.sample.units.some((u) => u.prereq === i && u.name.toLowerCase().includes(text.toLowerCase()));
    const found = advances.map((a, i) => (text !== "" && holds(a, i) ? i : -1)).filter((i) => i >= 0);
    const routeOnly = list.filter((i) => !targets.includes(i) && i !== 0);
    assert.deepEqual([marks.target, marks.route, marks.match, marks.list],
      [[...targets].sort(byIndex), routeOnly.sort(byIndex), found, list], codes.join());
    assert.deepEqual(marks.opens, opens(advances, targets), codes.join());
    // The summary begins with the checker's own last line.
    const counted = run("--route", codes.join(","), trees.sample.rules).trimEnd().split("\n").pop();
    const n = marks.opens.length;
    const them = targets.length === 1 ? "it" : "them";
    assert.equal(marks.summary, `${counted}; ` +
      (n === 0 ? `nothing needs ${them}` : `${n} advance${n === 1 ? " needs" : "s need"} ${them}`));
    assert.equal(marks.matches, text === "" ? "" :
      `${found.length} advance${found.length === 1 ? "" : "s"} found`);
  }
  // A list item brings its box into view.
  const first = (await state()).list[0];
  await tab.click("#route-list li:first-child");
  await assertShown(first, "the route list's first item");
  await open("sample", "#route=Jet,Zzz");
  const unknown = await state();
  assert.equal(unknown.summary, 'No advance has the code or name "\u2068Zzz\u2069"');
  assert.deepEqual(unknown.target, [trees.sample.advances.findIndex((a) => a.code === "Jet")]);
});

test("the address's unknown texts: quoted isolated and cut, the first five and how many more", async () => {
  const { advances, units } = trees.sample;
  const taken = new Set([...advances, ...units].flatMap((a) => [a.name.toLowerCase(), a.code?.toLowerCase()]));
  const codes = Array.from({ length: 20001 }, (_, k) => "Q" + k).filter((c) => !taken.has(c.toLowerCase()));
  const q = (text) => `"\u2068${text}\u2069"`;
  const jet = advances.findIndex((a) => a.code === "Jet");
  const many = codes.slice(0, 20000).join(",");
  const five = codes.slice(0, 5).map(q).join(", ") + " \u2026 and 19995 more";
  const cases = [
    // 20,000 unknown codes beside a known one, in the route and the plan.
    [`route=Jet,${many}`, [jet], five],
    [`route=Jet&have=Fli,${many}`, [jet], five],
    // 64 KB in one entry (a browser takes seconds for each megabyte of an
    // address); a right-to-left override and what follows it.
    [`have=${"x".repeat(1 << 16)}`, [], q("x".repeat(24) + "\u2026")],
    [`route=${encodeURIComponent("\u202eplan completed")},Zzz`, [], q("\u202eplan completed") + ", " + q("Zzz")],
    [`route=${encodeURIComponent("\u202e\ud83d\ude00".repeat(20))}`, [], q("\u202e\ud83d\ude00".repeat(12) + "\u2026")],
  ];
  for (const [hash, target, quoted] of cases) {
    await open("sample", "#" + hash);
    const shown = await state();
    const wanted = [target, "No advance has the code or name " + quoted];
    assert.deepEqual([shown.target, shown.summary], wanted, hash.slice(0, 40));
    // The sentence's own characters (not the quoted ones) drawn left to right, line by line.
    const backwards = await tab.evaluate(() => {
      const range = document.createRange();
      let [top, left, count] = [-Infinity, -Infinity, 0];
      for (const node of document.getElementById("summary").childNodes) {
        for (let k = 0; node.nodeType === Node.TEXT_NODE && k < node.length; ++k) {
          range.setStart(node, k);
          range.setEnd(node, k + 1);
          const r = range.getBoundingClientRect();
          if (node.data[k] !== " " && (r.top < top - 1 || (Math.abs(r.top - top) <= 1 && r.left <= left))) ++count;
          [top, left] = node.data[k] === " " ? [top, left] : [r.top, r.left];
        }
      }
      return count;
    });
    assert.equal(backwards, 0, `${hash.slice(0, 40)}: characters out of order`);
  }
});

test("a search, a #find= or a #route= brings the box itself into view", async () => {
  for (const name of ["sample", "stress-1000"]) {
    const { advances } = trees[name];
    const picks = advances.map((a, i) => i).filter((i) => i % Math.ceil(advances.length / 8) === 5);
    await open(name);
    await assertShown(0, `${name}: the root at the start`);
    for (const i of picks) {
      const exact = advances[i].name;
      // Unique names only: a search shows the first match.
      if (advances.findIndex((a) => a.name.toLowerCase().includes(exact.toLowerCase())) !== i) continue;
      for (const hash of [`#route=${advances[i].code}`, `#find=${encodeURIComponent(exact)}`]) {
        await open(name, hash);
        await assertShown(i, `${name} ${hash} fresh`);
        await tab.evaluate(() => (location.hash = ""));
        await tab.evaluate((h) => (location.hash = h), hash);
        await frame();
        await assertShown(i, `${name} ${hash} changed`);
      }
      // Typed into the field, and Enter selects the first match.
      await open(name, "#zoom=2");
      await tab.click("#find");
      await tab.keyboard.type(exact);
      await assertShown(i, `${name} typed ${exact}`);
      await tab.keyboard.press("Enter");
      assert.deepEqual((await state()).target, [i]);
      // Escape in the field clears the search alone, elsewhere the selection too.
      await tab.keyboard.press("Escape");
      const searched = await state();
      assert.deepEqual([searched.target, searched.match], [[i], []]);
      assert.match(searched.hash, /^#route=[^&]+&zoom=2$/);
      await tab.evaluate(() => document.activeElement.blur());
      await tab.keyboard.press("Escape");
      const cleared = await state();
      assert.deepEqual([cleared.target, cleared.match, cleared.hash], [[], [], "#zoom=2"]);
    }
  }
});

test("the bar stays in view however the chart is scrolled", async () => {
  for (const viewport of [{ width: 1280, height: 800 },
    { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true }]) {
    await open("stress-1000", "#zoom=3", viewport);
    await tab.click("#find");
    await tab.keyboard.type("a");
    await tab.evaluate(() => {
      const view = document.getElementById("view");
      view.scrollTo(view.scrollWidth, view.scrollHeight);
    });
    await tab.mouse.wheel({ deltaX: 500, deltaY: 500 });
    const seen = await tab.evaluate(() => {
      const find = document.getElementById("find").getBoundingClientRect();
      const view = document.getElementById("view");
      return { left: find.left, top: find.top, right: find.right, scrolled: view.scrollLeft,
        page: [scrollX, document.documentElement.scrollWidth] };
    });
    assert.ok(seen.scrolled > 1000, "the chart scrolled");
    // A narrow page scrolls down to its side panel; the bar stays on top.
    assert.ok(seen.left >= 0 && seen.top >= 0 && seen.right <= viewport.width, JSON.stringify(seen));
    assert.deepEqual(seen.page, [0, viewport.width]);
  }
});

test("on a phone the bar fits, its controls are 32 px tall, a pinch zooms the chart", async () => {
  await open("sample", "", { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true,
    hasTouch: true });
  const sizes = await tab.evaluate(() => ({
    wide: document.documentElement.scrollWidth,
    low: [...document.querySelectorAll("#tools input, #tools button")].filter((e) => e.offsetParent !== null)
      .map((e) => e.getBoundingClientRect()).filter((r) => r.height < 32 || r.right > 390).length,
    viewport: document.querySelector("meta[name=viewport]")?.content,
  }));
  assert.deepEqual(sizes, { wide: 390, low: 0, viewport: "width=device-width, initial-scale=1" });
  const findWidth = await tab.evaluate(() => document.getElementById("find").offsetWidth);
  const cdp = await tab.createCDPSession();
  const touch = (type, points) => cdp.send("Input.dispatchTouchEvent", { type, touchPoints: points });
  const before = (await state()).zoom;
  const [x, y] = [195, 400];
  await touch("touchStart", [{ x: x - 20, y, id: 1 }, { x: x + 20, y, id: 2 }]);
  for (let d = 30; d <= 80; d += 10) {
    await touch("touchMove", [{ x: x - d, y, id: 1 }, { x: x + d, y, id: 2 }]);
  }
  await touch("touchEnd", []);
  const after = (await state()).zoom;
  assert.ok(after > before * 3, `zoom ${before} -> ${after}`);
  // The page itself is not zoomed: the bar keeps its size.
  const bar = await tab.evaluate(() => [visualViewport.scale, document.getElementById("find").offsetWidth]);
  assert.deepEqual(bar, [1, findWidth]);
});

test("only boxes take clicks: every point inside a box selects it, again clears", async () => {
  await open("stress-300");
  const { advances } = trees["stress-300"];
  // A recorder after the page's own handler: the target after each click.
  await tab.evaluate(() => {
    window.seen = [];
    document.addEventListener("click", () =>
      window.seen.push(document.querySelector("g.target")?.id ?? null));
  });
  const expected = [];
  for (let i = 0; i < advances.length; ++i) {
    const { box, view } = await tab.evaluate((i) => {
      const rect = document.querySelector(`#a${i} > rect`);
      rect.scrollIntoView({ block: "center", inline: "center" });
      const r = rect.getBoundingClientRect();
      const v = document.getElementById("view").getBoundingClientRect();
      return { box: [r.left, r.top, r.right, r.bottom], view: [v.left, v.top, v.right, v.bottom] };
    }, i);
    const [l, t, r, b] = box;
    assert.ok(l >= view[0] && t >= view[1] && r <= view[2] && b <= view[3], `box ${i} in view`);
    // Corners 2 px inside the outline and a point by the top line, where
    // links start: select, clear, select.
    for (const [x, y] of [[l + 2, t + 2], [r - 2, b - 2], [(l + r) / 2, t + 1]]) {
      await tab.mouse.click(x, y);
    }
    expected.push(`a${i}`, null, `a${i}`);
  }
  const seen = await tab.evaluate(() => window.seen);
  const wrong = seen.map((s, k) => (s === expected[k] ? null : [k, s])).filter((w) => w);
  assert.equal(seen.length, expected.length);
  assert.deepEqual(wrong.slice(0, 5), [], `${wrong.length} clicks selected the wrong box`);
  // Empty chart clears, Shift+click adds and takes away.
  await open("sample");
  const click = async (i, modifier) => {
    await tab.evaluate((i) => document.querySelector(`#a${i} > rect`).scrollIntoView(), i);
    const { box } = await where(i);
    if (modifier) await tab.keyboard.down(modifier);
    await tab.mouse.click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    if (modifier) await tab.keyboard.up(modifier);
    return (await state()).target;
  };
  const [a, b] = [trees.sample.advances.findIndex((x) => x.level === 1), 0];
  assert.deepEqual(await click(a), [a]);
  assert.deepEqual(await click(b, "Shift"), [b, a].sort((x, y) => x - y));
  assert.deepEqual((await state()).hash, `#route=${trees.sample.advances[a].code},nil`);
  assert.deepEqual(await click(a, "Control"), [b]);
  await tab.evaluate(() => document.querySelector("#a0 > rect").scrollIntoView());
  const { box } = await where(0);
  await tab.mouse.click(box.right + 20, box.bottom + 20);
  assert.deepEqual((await state()).target, []);
});

test("Back and Forward step through selections without leaving the page", async () => {
  await open("sample");
  const [a, b] = [3, 40];
  for (const i of [a, b]) {
    await tab.evaluate((i) => document.querySelector(`#a${i} > rect`).scrollIntoView(), i);
    const { box } = await where(i);
    await tab.mouse.click(box.left + 5, box.top + 5);
    await new Promise((done) => setTimeout(done, 50));
  }
  const code = (i) => trees.sample.advances[i].code;
  assert.equal((await state()).hash, `#route=${code(b)}`);
  await tab.goBack();
  assert.deepEqual([(await state()).target, (await state()).hash], [[a], `#route=${code(a)}`]);
  await tab.goBack();
  assert.deepEqual([(await state()).target, tab.url().startsWith("file://")], [[], true]);
  await tab.goForward();
  assert.deepEqual((await state()).target, [a]);
});

test("without a mouse: Tab to a box, arrows along the row and down, Enter selects", async () => {
  await open("sample");
  const { advances } = trees.sample;
  const focused = () => tab.evaluate(() => document.activeElement.id || document.activeElement.tagName);
  let presses = 0;
  while ((await focused()) !== "a0" && presses++ < 12) await tab.keyboard.press("Tab");
  assert.equal(await focused(), "a0");
  const named = await tab.accessibility.snapshot({ root: await tab.$("#a0"), interestingOnly: false });
  assert.match(named.name, /^Primary Root Ancient Military \(0, 0\) /);
  // Down: the root's first dependant; right: the next box of its row.
  const first = advances.findIndex((a, i) => i > 0 && (a.prereq1 === 0 || a.prereq2 === 0));
  const next = advances.findIndex((a, i) => i > first && a.level === advances[first].level);
  await tab.keyboard.press("ArrowDown");
  assert.equal(await focused(), `a${first}`);
  await tab.keyboard.press("ArrowRight");
  await tab.keyboard.press("ArrowUp");
  const up = advances[next].prereq1;
  assert.equal(await focused(), `a${up}`);
  await tab.keyboard.press("ArrowDown");
  await tab.keyboard.press("ArrowRight");
  await tab.keyboard.press("Enter");
  assert.deepEqual((await state()).target, [next]);
  await assertShown(next, "focused box");
  await tab.keyboard.press("Space");
  assert.deepEqual((await state()).target, []);
  // The zoom buttons are named; "/" goes to the search field.
  const names = await tab.evaluate(() =>
    ["zoom-in", "zoom-out", "fit"].map((id) => document.getElementById(id).getAttribute("aria-label")));
  assert.ok(names.every((n) => n), names.join());
  await tab.keyboard.press("/");
  assert.equal(await focused(), "find");
});

// Both come from the key table of page/keys.js: the help the page makes
// of it, and the guide's copy ("| key | where | what it does |").
test("the page's help of its keys is docs/GUIDE.md's table of keys", async () => {
  await open("sample");
  const help = await tab.evaluate(() =>
    [...document.querySelectorAll("#keys-help tbody tr")].map((row) => [...row.cells].map((c) => c.textContent)));
  const guide = readFileSync(join(root, "docs/GUIDE.md"), "utf8");
  const table = guide.slice(guide.indexOf("| key | where | what it does |")).split("\n\n")[0];
  const rows = table.split("\n").slice(2).map((line) =>
    line.slice(2, -2).split(" | ").map((cell, k) => (k === 0 ? cell.replaceAll("`", "") : cell)));
  assert.ok(help.length > 5, `${help.length} keys in the help`);
  assert.deepEqual(help, rows);
});

// Drags: tests/browser/input.test.mjs.
test("zoom keeps the point under the pointer, steps in proportion, fits the whole chart", async () => {
  await open("stress-1000", "", { width: 1000, height: 700 });
  // The chart point under (x, y) of the screen.
  const under = (x, y) =>
    tab.evaluate((x, y) => {
      const r = document.querySelector("svg.chart").getBoundingClientRect();
      const scale = r.width / document.querySelector("svg.chart").viewBox.baseVal.width;
      return [(x - r.left) / scale, (y - r.top) / scale];
    }, x, y);
  const [x, y] = [300, 400];
  const at = await under(x, y);
  await tab.mouse.move(x, y);
  await tab.keyboard.down("Control");
  for (let k = 0; k < 15; ++k) await tab.mouse.wheel({ deltaY: -4 });
  await tab.keyboard.up("Control");
  const pinched = await state();
  assert.ok(pinched.zoom > 1.1 && pinched.zoom < 1.5, `15 small steps: ${pinched.zoom}`);
  const moved = await under(x, y);
  assert.ok(Math.hypot(moved[0] - at[0], moved[1] - at[1]) < 2, `${at} -> ${moved}`);
  assert.match(pinched.hash, /zoom=1\.[0-9]+/);
  // The keys and buttons keep the middle of the view.
  const middle = await tab.evaluate(() => {
    const r = document.getElementById("view").getBoundingClientRect();
    return [(r.left + r.right) / 2, (r.top + r.bottom) / 2];
  });
  const centre = await under(...middle);
  for (const [act, factor] of [["+", 1.25], ["#zoom-out", 1 / 1.25]]) {
    const z = (await state()).zoom;
    if (act.startsWith("#")) await tab.click(act);
    else await tab.keyboard.press(act);
    assert.ok(Math.abs((await state()).zoom - z * factor) < 1e-6, act);
    const seen = await under(...middle);
    assert.ok(Math.hypot(seen[0] - centre[0], seen[1] - centre[1]) < 2, `${act}: ${centre} -> ${seen}`);
  }
  // Fit (0, the button) fills the width; zooming out stops at the whole
  // chart, never smaller; 8x at most.
  for (const [act, whole] of [["0", false], ["-", true], ["#fit", false]]) {
    if (act.startsWith("#")) await tab.click(act);
    else for (let k = 0; k < (act === "-" ? 20 : 1); ++k) await tab.keyboard.press(act);
    const size = await tab.evaluate(() => {
      const s = document.getElementById("sizer").getBoundingClientRect();
      const v = document.getElementById("view");
      return [s.width, s.height, v.clientWidth, v.clientHeight];
    });
    if (whole) {
      assert.ok(size[0] <= size[2] + 1 && size[1] <= size[3] + 1, `${act}: ${size}`);
      assert.ok(size[0] >= size[2] - 1 || size[1] >= size[3] - 1, `${act}: fits one way exactly`);
    } else {
      assert.ok(Math.abs(size[0] - size[2]) <= 1 && size[1] > size[3], `${act}: the width: ${size}`);
    }
  }
  for (let k = 0; k < 40; ++k) await tab.keyboard.press("+");
  assert.equal((await state()).zoom, 8);
});

test("the warnings panel lists --json's warnings, the first 1,000; a click selects the advance", async () => {
  for (const name of ["warned", "sample", "many"]) {
    await open(name);
    const panel = await tab.evaluate(() => ({
      items: [...document.querySelectorAll("#warnings li")].map((li) =>
        [li.textContent, li.dataset.index === undefined ? null : Number(li.dataset.index)]),
      warned: [...document.querySelectorAll("g.warned")].map((g) => Number(g.id.slice(1)))
        .sort((a, b) => a - b),
      none: document.getElementById("warnings-panel").textContent.includes("No warnings"),
      more: document.getElementById("warnings-more")?.textContent ?? null,
    }));
    const { diagnostics } = trees[name];
    const concerned = diagnostics.filter((d) => d.advance !== undefined).map((d) => d.advance);
    // Every warned advance is marked, also those of the warnings not listed.
    assert.deepEqual(panel, {
      items: diagnostics.slice(0, 1000).map((d) => [d.message, d.advance ?? null]),
      warned: [...new Set(concerned)].sort((a, b) => a - b),
      none: diagnostics.length === 0,
      more: diagnostics.length > 1000 ? `and ${diagnostics.length - 1000} more (see lorvane-check --json)` : null,
    });
  }
  assert.equal(trees.many.diagnostics.length, 1002);
  await open("warned");
  const last = trees.warned.diagnostics.findLastIndex((d) => d.advance !== undefined);
  const i = trees.warned.diagnostics[last].advance;
  await tab.click(`#warnings li:nth-child(${last + 1})`);
  assert.deepEqual((await state()).target, [i]);
  await assertShown(i, "the warned advance");
});

test("no text crosses its box, in the page and the SVG, in DejaVu Sans and Nimbus Sans", async () => {
  const crossing = [];
  for (const name of ["sample", "stress-1000"]) {
    for (const file of [trees[name].page, trees[name].svg]) {
      await tab.goto("file://" + file);
      for (const font of ["DejaVu Sans", "Nimbus Sans"]) {
        // A constructed sheet: the page's policy admits no other style.
        const over = await tab.evaluate(async (font) => {
          const sheet = new CSSStyleSheet();
          sheet.replaceSync(`svg.chart text { font-family: "${font}" !important }`);
          document.adoptedStyleSheets = [sheet];
          await document.fonts.ready;
          const out = [];
          for (const g of document.querySelectorAll("g.advance")) {
            const r = g.querySelector("rect");
            const inner = r.x.baseVal.value + r.width.baseVal.value - 0.5;
            for (const t of g.querySelectorAll("text")) {
              const b = t.getBBox();
              if (b.x + b.width > inner + 1) out.push(`${t.textContent} ${b.x + b.width - inner}`);
            }
          }
          return out;
        }, font);
        crossing.push(...over.map((o) => `${file} ${font}: ${o}`));
      }
    }
  }
  assert.deepEqual(crossing.slice(0, 5), [], `${crossing.length} texts cross their box`);
});

test("print: whole boxes at 6 pt or more, with the title, summary and route", async () => {
  await open("sample", "#route=Jet");
  const strips = await tab.evaluate(() => {
    dispatchEvent(new Event("beforeprint"));
    const out = [];
    for (const strip of document.querySelectorAll("#print svg.strip")) {
      const [x, y, w, h] = strip.getAttribute("viewBox").split(" ").map(Number);
      const cut = [...strip.querySelectorAll("svg.chart rect:not(pattern rect)")].filter((r) => {
        const [rx, ry] = [r.x.baseVal.value, r.y.baseVal.value];
        const [rr, rb] = [rx + r.width.baseVal.value, ry + r.height.baseVal.value];
        const inside = rx >= x && ry >= y && rr <= x + w && rb <= y + h;
        const outside = rr < x || rx > x + w || rb < y || ry > y + h;
        return !inside && !outside;
      }).length;
      out.push({ scale: strip.width.baseVal.value / w, width: strip.width.baseVal.value, cut });
    }
    dispatchEvent(new Event("afterprint"));
    return out;
  });
  assert.ok(strips.length > 1);
  for (const s of strips) {
    assert.deepEqual([s.cut, s.scale * 11 * 0.75 >= 6, s.width <= 680], [0, true, true]);
  }
  const pdf = join(work, "sample.pdf");
  await tab.pdf({ path: pdf });
  const text = execFileSync("pdftotext", [pdf, "-"], { encoding: "utf8" });
  for (const wanted of ["RULES.TXT", "Jet Propulsion: 63 advances to research first", "Flint Knapping, level 1"]) {
    assert.ok(text.includes(wanted), wanted);
  }
});

test("at zoom 1 the page has the viewer's box edges and link colours", async (t) => {
  if (!existsSync(process.env.LORVANE_CHART || "")) {
    t.skip("no viewer bitmap (LORVANE_CHART): the Windows tier leaves it");
    return;
  }
  // The viewer's chart as lorvane-drive writes it: a binary PPM.
  const ppm = readFileSync(process.env.LORVANE_CHART);
  const [header, w, h] = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(ppm.toString("latin1", 0, 40));
  const [width, height, rgb] = [Number(w), Number(h), ppm.subarray(header.length)];
  // Room for the whole chart in the view.
  await open("sample", "", { width: width + 400, height: height + 200 });
  // The overview lies over the chart's corner: hidden, as its button hides it.
  if (await tab.$eval("#overview", (e) => !e.hidden)) await tab.click("#overview-toggle");
  assert.ok(await tab.$eval("#overview", (e) => e.hidden || e.offsetParent === null));
  const { clip, boxes, lineEnds } = await tab.evaluate(() => {
    const r = document.querySelector("svg.chart").getBoundingClientRect();
    return {
      clip: { x: r.x, y: r.y, width: r.width, height: r.height },
      boxes: [...document.querySelectorAll("g.advance > rect")].map((e) =>
        ["x", "y", "width", "height"].map((k) => e[k].baseVal.value)),
      // The viewer leaves out a link's last pixel; the page paints half of it.
      lineEnds: [...document.querySelectorAll("line.near, line.far")].map((e) =>
        `${e.x2.baseVal.value - 0.5},${e.y2.baseVal.value - 0.5}`),
    };
  });
  assert.deepEqual([clip.width, clip.height], [width, height]);
  const ends = new Set(lineEnds);
  const png = await tab.screenshot({ clip });
  const shot = PNG.sync.read(Buffer.from(png)).data;
  // The viewer's pixels are pure colours. The page's links are blended by
  // anti-aliasing: a colour counts where its channel stands above green.
  const viewerRgb = (x, y) => rgb.subarray((y * width + x) * 3, (y * width + x) * 3 + 3);
  const pageRgb = (x, y) => shot.subarray((y * width + x) * 4, (y * width + x) * 4 + 3);
  const viewer = (x, y, c) => viewerRgb(x, y).every((v, i) => v === (i === c ? 255 : 0));
  const black = (x, y) => viewerRgb(x, y).every((v) => v === 0);
  const dark = (x, y) => Math.max(...pageRgb(x, y)) < 64;
  const inPage = (over) => (x, y, c) => pageRgb(x, y)[c] - pageRgb(x, y)[1] >= over;
  const clamp = (v, most) => Math.min(Math.max(v, 0), most);
  const steps = [-1, 0, 1];
  const near = (x, y, test, c) => steps.some((dy) =>
    steps.some((dx) => test(clamp(x + dx, width - 1), clamp(y + dy, height - 1), c)));
  const link = (x, y) => viewer(x, y, 0) || viewer(x, y, 2);
  const faults = { edge: [], red: [], blue: [] };
  // Box outlines black where the viewer's are, but within a pixel of a link.
  for (const [x, y, bw, bh] of boxes) {
    const [left, top] = [x - 0.5, y - 0.5];
    for (let i = 0; i <= bw + bh; ++i) {
      const px = Math.min(i, bw), py = Math.max(i - bw, 0);
      for (const [ex, ey] of [[left + px, top + py], [left + bw - px, top + bh - py]]) {
        if (black(ex, ey) && !near(ex, ey, link) && !dark(ex, ey) && !ends.has(`${ex},${ey}`)) {
          faults.edge.push([ex, ey]);
        }
      }
    }
  }
  // Each red or blue pixel of the viewer's is near that colour in the
  // page, and each strong one of the page's near it in the viewer's: so
  // the dots fall where Wine's pen puts them.
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      for (const [c, name] of [[0, "red"], [2, "blue"]]) {
        if (viewer(x, y, c) && !near(x, y, inPage(48), c)) faults[name].push([x, y]);
        if (inPage(160)(x, y, c) && !near(x, y, viewer, c)) faults[name].push([x, y]);
      }
    }
  }
  for (const [kind, where] of Object.entries(faults)) {
    assert.deepEqual(where.slice(0, 5), [], `${kind}: ${where.length} pixels differ`);
  }
});
