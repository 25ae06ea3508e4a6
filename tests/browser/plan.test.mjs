// The player's plan on the chart page in headless Chromium, with real input
// events, against lorvane-check --have: marking and unmarking by key, button
// and touch, the available list and the route left (made again touching
// only the items that leave or join them), have= in the address,
// the browser's storage (kept only by the player's changes, whatever the
// address; advances that share a name and code told apart), a unit as
// goal; the sample and 1,000 advances.
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/plan.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch } from "./chromium.mjs";
import { stress, trees as made } from "./trees.mjs";
import { boxMiddle } from "./box.mjs";

const work = resolve(process.env.LORVANE_WORK);
const run = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
let trees;
// The checker's answer for a researched set, with a route or without.
const checker = (name, have, route) =>
  JSON.parse(run("--json", ...(route ? ["--route", route] : []), "--have", have || "nil", trees[name].rules));
let browser, tab, errors;

before(async () => {
  mkdirSync(work, { recursive: true });
  // Two advances of one name and code, the second after the first.
  const twins = join(work, "plan-twins.txt");
  writeFileSync(twins, ["@CIVILIZE", "Stone Tools, 1, 0, nil, nil, 0, 0 ; Sto",
    "Stone Tools, 1, 0, nil, nil, 0, 0 ; Sto", "Bronze, 1, 0, Sto, nil, 0, 0 ; Brz",
    "@IMPROVE", "@UNITS", "Club, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, Sto, 0",
    "Club, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 0, Brz, 0", "@TERRAIN", ""].join("\n"));
  // 64 roots, 1,024 advances that each need two of them, then layers of
  // halving width, each advance needing two of the layer below.
  const layers = join(work, "plan-layers.txt");
  const code = (k) => "QR"[Math.floor(k / 1296)] + (k % 1296).toString(36).padStart(2, "0");
  const lines = ["@CIVILIZE"];
  for (let k = 0; k < 64; ++k) lines.push(`Root ${k}, 1, 0, nil, nil, 0, 0 ; ${code(k)}`);
  for (let k = 0; k < 1024; ++k) lines.push(`Wide ${k}, 1, 0, ${code(k % 64)}, ${code((k % 64 + 1 + (k >> 6)) % 64)}, 0, 0 ; ${code(64 + k)}`);
  for (let width = 512, first = 1088, below = 64; width >= 1; below = first, first += width, width /= 2) {
    for (let k = 0; k < width; ++k) {
      lines.push(`Layer ${first + k}, 1, 0, ${code(below + 2 * k)}, ${code(below + 2 * k + 1)}, 0, 0 ; ${code(first + k)}`);
    }
  }
  writeFileSync(layers, [...lines, "@IMPROVE", "@UNITS", "@TERRAIN", ""].join("\n"));
  trees = made(work, "plan", { sample: "data/RULES.TXT", names: "tests/check/fixtures/names.txt",
    stress: stress(work, "plan-stress-1000.txt", 1000), twins, layers });
  ({ browser, tab, errors } = await launch());
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, []);
});

// A frame and a few tasks: the address is written; and the kept plan read or written,
// which waits for the storage's key (a digest, as slow as the machine).
async function settle(inTab = tab) {
  await inTab.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(() => setTimeout(done, 20)))));
  await inTab.waitForFunction(() => !document.querySelector('[aria-busy="true"]'));
}
async function open(name, hash = "", viewport = { width: 1280, height: 800 }) {
  await tab.setViewport(viewport);
  await tab.goto("about:blank");
  await tab.goto(`file://${trees[name].page}${hash}`);
  await settle();
}
const forget = () => tab.evaluate(() => localStorage.clear());
// The plan this browser keeps, as a new tab opened without have= shows it.
// A write reaches another tab through the browser's own process, which on
// a busy machine can lag: a tab that shows another plan than the one
// wanted is opened again, for at most 10 s.
async function keptPlan(name, want) {
  for (const end = Date.now() + 10000; ;) {
    const other = await browser.newPage();
    await other.goto(`file://${trees[name].page}`);
    await settle(other);
    const researched = await other.$$eval("g.researched", (gs) => gs.map((g) => Number(g.id.slice(1))));
    await other.close();
    researched.sort((a, b) => a - b);
    if (researched.join() === want.join() || Date.now() > end) return researched;
  }
}
// The page's plan: the marks by index, the lists, the texts.
async function plan() {
  await settle();
  return tab.evaluate(() => {
    const ids = (selector) =>
      [...document.querySelectorAll(selector)].map((e) => Number(e.id ? e.id.slice(1) : e.dataset.index));
    const text = (id) => document.getElementById(id).textContent;
    return {
      researched: ids("g.researched").sort((a, b) => a - b),
      available: ids("g.available").sort((a, b) => a - b),
      list: ids("#available li"),
      count: text("available-count"),
      route: ids("#route-list li"),
      summary: text("summary"),
      note: text("plan-note"),
      button: text("researched"),
      have: new URLSearchParams(location.hash.slice(1)).get("have") ?? "",
      routed: new URLSearchParams(location.hash.slice(1)).get("route"),
    };
  });
}
const clickBox = async (i) => tab.mouse.click(...(await boxMiddle(tab, i)));
// The items the lists lose and gain from now on, by index; and, once
// asked, those and the items that left or joined each list meanwhile.
const LISTS = ["route-list", "available"];
const watchLists = () => tab.evaluate((lists) => {
  const indexes = (id) => [...document.getElementById(id).children].map((li) => li.dataset.index);
  const before = lists.map(indexes);
  const touched = lists.map(() => ({ removed: [], added: [] }));
  const watch = new MutationObserver((records) => {
    for (const r of records) {
      const into = touched[lists.indexOf(r.target.id)];
      into.removed.push(...[...r.removedNodes].map((n) => n.dataset.index));
      into.added.push(...[...r.addedNodes].map((n) => n.dataset.index));
    }
  });
  for (const id of lists) watch.observe(document.getElementById(id), { childList: true });
  window.listChanges = () => {
    watch.disconnect();
    const sorted = (v) => v.map(Number).sort((a, b) => a - b);
    return lists.map((id, k) => {
      const now = indexes(id);
      return { id, removed: sorted(touched[k].removed), added: sorted(touched[k].added),
        left: sorted(before[k].filter((i) => !now.includes(i))), joined: sorted(now.filter((i) => !before[k].includes(i))) };
    });
  };
}, LISTS);
// Everything from i along next (prerequisites or dependants), i too, the root not.
function reach(advances, i, next) {
  const seen = new Set([i]);
  for (const todo = [i]; todo.length > 0;) {
    for (const j of next(advances[todo.pop()])) if (j !== null && !seen.has(j)) seen.add(j), todo.push(j);
  }
  seen.delete(0);
  return seen;
}
// The page's marks, lists and address against the checker's for the same set.
function assertAgrees(name, shown, expected, message) {
  const { have, available } = checker(name, shown.have);
  assert.deepEqual([shown.researched, have, shown.list, shown.available, shown.count],
    [[...expected].sort((a, b) => a - b), shown.researched, available, available, `(${available.length})`], message);
}

test("marking takes the prerequisites, unmarking the dependants, by key, button and touch; as --have", async () => {
  const needs = (a) => [a.prereq1, a.prereq2];
  for (const name of ["sample", "stress", "names"]) {
    const { advances } = trees[name];
    const deep = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
    const middle = advances.findIndex((a) => a.level === Math.ceil(advances[deep].level / 2));
    // Last, one that only its name names in the address, if any.
    const odd = Math.max(1, advances.findIndex((a) => a.code.includes(",")));
    await open(name);
    await forget();
    await open(name);
    const expected = new Set();
    assertAgrees(name, await plan(), expected, `${name}: nothing researched`);
    // Each step marks or unmarks a box: the middle one is unmarked again.
    for (const [i, how] of [[middle, "r"], [deep, "#researched"], [middle, "R"], [odd, "r"]]) {
      await clickBox(i);
      const marking = !expected.has(i);
      await watchLists();
      await (how.startsWith("#") ? tab.click(how) : tab.keyboard.press(how));
      for (const j of marking ? reach(advances, i, needs) : reach(advances, i, (a) => a.children)) {
        if (marking) expected.add(j);
        else expected.delete(j);
      }
      const shown = await plan();
      assert.equal(shown.button, marking ? "Not researched" : "Researched");
      assertAgrees(name, shown, expected, `${name}: ${how} on ${i}`);
      // A list made again touches only the items that leave or join it.
      for (const { id, removed, added, left, joined } of await tab.evaluate(() => window.listChanges())) {
        assert.deepEqual([removed, added], [left, joined], `${name}: ${how} on ${i}: #${id}`);
      }
      // The address holds only what no researched advance needs, and reads back.
      const kept = shown.have.split(",").filter((c) => c !== "")
        .map((c) => advances.find((a) => a.code === c || a.name === c));
      assert.ok(kept.every((a) => !a.children.some((j) => expected.has(j))), shown.have);
    }
    const { have } = await plan();
    await open(name, "#have=" + encodeURIComponent(have));
    assertAgrees(name, await plan(), expected, `${name}: opened with have=${have}`);
  }
  // R on the focused box; the root stays as it is.
  await open("sample");
  await forget();
  await open("sample");
  const focused = () => tab.evaluate(() => document.activeElement.id);
  for (let presses = 0; (await focused()) !== "a0" && presses < 12; ++presses) await tab.keyboard.press("Tab");
  for (const key of ["r", "ArrowDown", "r"]) await tab.keyboard.press(key);
  const first = Number((await focused()).slice(1));
  assert.deepEqual((await plan()).researched, [first]);
  // A touch screen: a tap on the box, then on the bar's button.
  await forget();
  await open("sample", "", { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  const i = trees.sample.advances.findIndex((a) => a.level === 2);
  await tab.touchscreen.tap(...(await boxMiddle(tab, i)));
  const button = await tab.$eval("#researched", (b) => b.getBoundingClientRect().toJSON());
  assert.ok(button.height >= 32, `the button is ${button.height} px tall`);
  await tab.touchscreen.tap(button.x + button.width / 2, button.y + button.height / 2);
  const shown = await plan();
  assertAgrees("sample", shown, reach(trees.sample.advances, i, needs), "touch");
  // An item of the available list selects its advance.
  await tab.tap(`#available li[data-index="${shown.list[0]}"]`);
  assert.equal(await tab.evaluate(() => document.querySelector("g.target")?.id), `a${shown.list[0]}`);
  await forget();
});

test("a link with have= and a route: the route left and both counts as --route --have, Back and Forward", async () => {
  const { advances } = trees.stress;
  const deep = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const early = advances.map((a, i) => i).slice(1).sort((a, b) => advances[a].level - advances[b].level);
  const cases = [["sample", "Cmp", "Prn,Gui,Nav,Uni,Civ"], ["sample", "Fis", "Cmp"], ["sample", "Cmp,Jet", "Stm,Fli"],
    ["sample", "Uni", "Cmp"], ["sample", "Fli,Cmp", "Uni"], ["sample", "Cmp", "Zzz,Uni"],
    ["stress", advances[deep].code, early.slice(0, 500).map((i) => advances[i].code).join(",")]];
  for (const [name, route, have] of cases) {
    await forget();
    await open(name, `#route=${encodeURIComponent(route)}&have=${encodeURIComponent(have)}`);
    const shown = await plan();
    const known = have.replace("Zzz,", "");
    const expected = checker(name, known, route);
    const targets = expected.targets ?? [expected.target];
    const undone = targets.filter((t) => !expected.have.includes(t));
    const left = expected.targets ? expected.route : [...expected.route, ...undone];
    assert.deepEqual([shown.researched, shown.route], [expected.have, left], route);
    const line = run("--route", route, "--have", known, trees[name].rules).trimEnd().split("\n").pop();
    const wanted = known !== have ? 'No advance has the code or name "\u2068Zzz\u2069"' : line + "; ";
    assert.ok(shown.summary.startsWith(wanted), `${shown.summary} / ${wanted}`);
    // Opened from a link, the page says so and leaves the stored plan alone.
    assert.deepEqual([/from the link/.test(shown.note), await tab.evaluate(() => localStorage.length)], [true, 0]);
  }
  // Marking the route's first item is a history entry of its own.
  await open("sample", "#route=Cmp&have=Prn");
  const before = await plan();
  await tab.evaluate((i) => document.getElementById("a" + i).focus(), before.route[0]);
  await tab.keyboard.press("r");
  await settle();
  await tab.goBack();
  assert.deepEqual((await plan()).researched, before.researched);
  await tab.goForward();
  assert.ok((await plan()).researched.includes(before.route[0]));
  await forget();
});

test("a list longer than 1,000 shows its first 1,000 and says how many more, as --route and --have list them", async () => {
  const { advances } = trees.layers;
  const top = advances.at(-1).code;
  const lists = () => tab.evaluate(() => ["available", "route-list", "available-more", "route-more"]
    .map((id) => document.getElementById(id)).map((e) => (e.tagName === "P" ? e.hidden || e.textContent
      : [...e.children].map((li) => Number(li.dataset.index)))));
  await open("layers");
  await forget();
  const roots = advances.slice(1, 65).map((a) => a.code).join(",");
  for (const [route, have] of [[top, ""], [top, roots], [advances[1000].code, ""]]) {
    await open("layers", `#route=${route}&have=${have}`);
    const [{ available }, expected] = [checker("layers", have), checker("layers", have, route)];
    const left = [...expected.route, ...(expected.have.includes(expected.target) ? [] : [expected.target])];
    const more = (n) => (n > 1000 ? `and ${n - 1000} more` : true);
    assert.deepEqual(await lists(), [available.slice(0, 1000), left.slice(0, 1000),
      more(available.length), more(left.length)], `${route} with ${have}`);
  }
});

test("the plan is kept in this browser for this tree, restored without have=, cleared at once with Undo beside it", async () => {
  await open("sample");
  await forget();
  await open("sample", "#route=Cmp");
  await clickBox(trees.sample.advances.findIndex((a) => a.code === "Prn"));
  await tab.keyboard.press("r");
  const marked = await plan();
  // Another tree keeps its own; the same tree opened bare gets it back.
  await open("stress");
  assert.deepEqual((await plan()).researched, []);
  await open("sample");
  const restored = await plan();
  assert.deepEqual([restored.researched, restored.have], [marked.researched, "Prn"]);
  assert.match(restored.note, /this browser kept/);
  // Kept by place; a plan kept as codes, as pages before kept it, still restores.
  const [[key, places]] = await tab.evaluate(() => Object.entries(localStorage));
  const prn = trees.sample.advances.findIndex((a) => a.code === "Prn");
  assert.deepEqual([key.split(" ")[0], places], ["lorvane-plan-places", String(prn)]);
  await tab.evaluate((k) => localStorage.clear() || localStorage.setItem(k.replace("-places", ""), "Prn"), key);
  await open("sample");
  assert.deepEqual((await plan()).researched, marked.researched);
  // Clear asks nothing, as Undo brings the plan back; then it is kept cleared.
  await tab.click("#clear-researched");
  const cleared = await plan();
  assert.deepEqual([cleared.researched, cleared.note], [[], `Cleared ${marked.researched.length} researched advances.`]);
  await tab.click("#undo");
  assert.deepEqual((await plan()).researched, marked.researched);
  await tab.click("#clear-researched");
  await open("sample");
  assert.deepEqual((await plan()).researched, []);
});

test("a unit is a goal: #route= and the search name it, the advance that enables it is the target", async () => {
  const { advances, units } = trees.sample;
  const unit = units.find((u) => u.prereq > 0 && advances[u.prereq].level > 5);
  const advance = advances[unit.prereq];
  const expected = checker("sample", "Irn", advance.code);
  for (const how of ["address", "search"]) {
    const route = how === "address" ? `route=${encodeURIComponent(unit.name.toUpperCase())}&` : "";
    await open("sample", `#${route}have=Irn`);
    if (how === "search") {
      await tab.click("#find");
      await tab.keyboard.type(unit.name);
      await tab.keyboard.press("Enter");
    }
    const shown = await plan();
    const target = await tab.evaluate(() => [...document.querySelectorAll("g.target")].map((g) => g.id));
    assert.deepEqual([target, shown.route], [[`a${unit.prereq}`], [...expected.route, unit.prereq]], how);
    assert.ok(shown.summary.startsWith(`${unit.name} (${advance.name}): `), shown.summary);
    const hash = await tab.evaluate(() => decodeURIComponent(location.hash));
    assert.match(hash, new RegExp(`route=${unit.name}`, "i"));
  }
});

test("only the player's changes are kept: a link, Back, another address show their plan", async () => {
  const { advances } = trees.sample;
  const needs = (...codes) => [...new Set(codes.flatMap((code) =>
    [...reach(advances, advances.findIndex((a) => a.code === code), (a) => [a.prereq1, a.prereq2])]))]
    .sort((a, b) => a - b);
  const link = /^The plan from the link/;
  const own = /^Your plan, as this browser kept it/;
  const page = `file://${trees.sample.page}`;
  await open("sample");
  await forget();
  await open("sample", "#route=Gun");
  await tab.keyboard.press("r");
  assert.deepEqual((await plan()).researched, needs("Gun"));
  // Each step in the same tab: what it shows, the note, the address's
  // route, and what stays kept.
  const steps = [
    ["Back before the first mark", () => tab.goBack(), [], link, "Gun"],
    ["Forward", () => tab.goForward(), needs("Gun"), own, "Gun"],
    ["opened without have=", () => open("sample"), needs("Gun"), own, null],
    ["to #have=Fli", () => tab.goto(page + "#have=Fli"), needs("Fli"), link, null],
    ["to #route=Jet", () => tab.goto(page + "#route=Jet"), needs("Gun"), own, "Jet"],
    ["Back", () => tab.goBack(), needs("Fli"), link, null],
    ["to #have= (nothing)", () => tab.goto(page + "#have="), [], link, null],
    ["Back", () => tab.goBack(), needs("Fli"), link, null],
  ];
  for (const [step, go, researched, note, routed] of steps) {
    await go();
    const shown = await plan();
    assert.deepEqual([shown.researched, shown.routed], [researched, routed], step);
    assert.match(shown.note, note, step);
    assert.deepEqual(await keptPlan("sample", needs("Gun")), needs("Gun"), `${step}: the kept plan`);
  }
  // A mark on the link's plan keeps the plan shown.
  await clickBox(advances.findIndex((a) => a.code === "Cop"));
  await tab.keyboard.press("r");
  assert.deepEqual([(await plan()).researched, await keptPlan("sample", needs("Cop"))], [needs("Cop"), needs("Cop")]);
  await forget();
});

test("advances of one name and code: the one marked is the one the address and the browser restore", async () => {
  for (const [i, marked] of [[2, [2]], [3, [1, 3]], [1, [1]]]) {
    await open("twins");
    await forget();
    await open("twins");
    await clickBox(i);
    await tab.keyboard.press("r");
    const shown = await plan();
    assert.deepEqual([shown.researched, await keptPlan("twins", marked)], [marked, marked], `R on ${i}`);
    await open("twins", "#have=" + encodeURIComponent(shown.have));
    assert.deepEqual((await plan()).researched, marked, `have=${shown.have}`);
  }
  // The second unit of one name, chosen in the search: the link restores its advance.
  await open("twins");
  await tab.click("#find");
  await tab.keyboard.type("Club");
  for (const key of ["Enter", "Enter"]) await tab.keyboard.press(key);
  const hash = await tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(() => done(location.hash)))));
  await open("twins", hash);
  assert.deepEqual(await tab.evaluate(() => [...document.querySelectorAll("g.target")].map((g) => g.id)), ["a3"], hash);
  await forget();
});
