// The player's plan on the chart page in headless Chromium, with real input
// events, against lorvane-check --have: marking implies the prerequisites,
// unmarking drops the dependants, the available list and the route left,
// have= in the address, the browser's storage, a unit as goal, the keyboard
// and touch; on the sample and a generated tree of 1,000 advances.
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/plan.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync } from "node:fs";
import { join, resolve } from "node:path";
import puppeteer from "puppeteer-core";
import { boxMiddle } from "./box.mjs";

const root = resolve(import.meta.dirname, "../..");
const work = resolve(process.env.LORVANE_WORK);
const run = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
const trees = {};
function tree(name, rules) {
  const page = join(work, `plan-${name}.html`);
  run("--html", page, rules);
  trees[name] = { rules, page, ...JSON.parse(run("--json", rules)) };
}
// The checker's answer for a researched set, with a route or without.
const checker = (name, have, route) =>
  JSON.parse(run("--json", ...(route ? ["--route", route] : []), "--have", have, trees[name].rules));
let browser, tab;
const errors = [];

before(async () => {
  mkdirSync(work, { recursive: true });
  tree("sample", join(root, "data/RULES.TXT"));
  tree("names", join(root, "tests/check/fixtures/names.txt"));
  const rules = join(work, "plan-stress-1000.txt");
  execFileSync("python3", [join(root, "scripts/gen_stress.py"), "--advances", 1000, "-o", rules]);
  tree("stress", rules);
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  tab = await browser.newPage();
  tab.on("console", (m) => m.text().includes("Content Security Policy") && errors.push(m.text()));
  tab.on("pageerror", (e) => errors.push(String(e)));
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, []);
});

async function open(name, hash = "", viewport = { width: 1280, height: 800 }) {
  await tab.setViewport(viewport);
  await tab.goto("about:blank");
  await tab.goto(`file://${trees[name].page}${hash}`);
  // The storage's key is a digest, ready a few tasks later.
  await settle();
}
const settle = () => tab.evaluate(() => new Promise((done) => setTimeout(() => setTimeout(done, 20))));
const forget = () => tab.evaluate(() => localStorage.clear());
// The page's plan: the marks by index, the lists, the texts.
const plan = async () => {
  await settle();
  return tab.evaluate(() => {
    const ids = (selector) =>
      [...document.querySelectorAll(selector)].map((e) => Number(e.id ? e.id.slice(1) : e.dataset.index));
    const have = new URLSearchParams(location.hash.slice(1)).get("have");
    return {
      researched: ids("g.researched").sort((a, b) => a - b),
      available: ids("g.available").sort((a, b) => a - b),
      list: ids("#available li"),
      count: document.getElementById("available-count").textContent,
      route: ids("#route-list li"),
      summary: document.getElementById("summary").textContent,
      note: document.getElementById("plan-note").textContent,
      button: [document.getElementById("researched").textContent, document.getElementById("researched").disabled],
      have: have === null ? "" : have,
    };
  });
};
const clickBox = async (i) => tab.mouse.click(...(await boxMiddle(tab, i)));
// What the page shows against what the checker says of the same set.
async function assertAgrees(name, shown, message) {
  const code = (i) => trees[name].advances[i].code;
  const expected = checker(name, shown.researched.map(code).join(",") || "nil");
  assert.deepEqual([shown.researched, shown.list, shown.available, shown.count],
    [expected.have, expected.available, expected.available, `(${expected.available.length})`], message);
}
// Everything that i needs (next: prerequisites) or that needs it (children).
function closure(advances, i, next) {
  const seen = new Set([i]);
  const todo = [i];
  while (todo.length > 0) {
    for (const j of next(advances[todo.pop()])) if (!seen.has(j)) seen.add(j), todo.push(j);
  }
  seen.delete(0);
  return seen;
}

test("marking implies the prerequisites, unmarking drops the dependants; the lists are --have's", async () => {
  for (const name of ["sample", "stress"]) {
    const { advances } = trees[name];
    const deep = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
    const middle = advances.findIndex((a) => a.level === Math.floor(advances[deep].level / 2));
    await open(name);
    await forget();
    await open(name);
    const empty = await plan();
    await assertAgrees(name, empty, `${name}: nothing researched`);
    assert.deepEqual(empty.available, advances.map((a, i) => i).filter((i) =>
      i > 0 && [a => a.prereq1, a => a.prereq2].every((p) => [0, null].includes(p(advances[i])))));
    // Marked by the key on the selected box, then by the button.
    const steps = [[middle, "r"], [deep, "button"]];
    let expected = new Set();
    for (const [i, how] of steps) {
      await clickBox(i);
      if (how === "r") await tab.keyboard.press("r");
      else await tab.click("#researched");
      for (const j of closure(advances, i, (a) => [a.prereq1, a.prereq2].filter((p) => p !== null))) {
        expected.add(j);
      }
      const shown = await plan();
      assert.deepEqual(shown.researched, [...expected].sort((a, b) => a - b), `${name}: marked ${i}`);
      assert.deepEqual(shown.button, ["Not researched", false]);
      await assertAgrees(name, shown, `${name}: after ${i}`);
    }
    // Unmarking the middle one takes away everything that needs it.
    await clickBox(deep);
    await clickBox(middle);
    await tab.click("#researched");
    for (const j of closure(advances, middle, (a) => a.children)) expected.delete(j);
    const shown = await plan();
    assert.deepEqual(shown.researched, [...expected].sort((a, b) => a - b), `${name}: unmarked ${middle}`);
    assert.deepEqual(shown.button, ["Researched", false]);
    await assertAgrees(name, shown, `${name}: after unmarking`);
    // The address holds only advances that no researched advance needs,
    // and the checker reads it to the same set.
    const have = shown.have.split(",");
    const kept = have.map((code) => advances.findIndex((a) => a.code === code));
    assert.ok(kept.every((i) => !advances[i].children.some((c) => expected.has(c))), shown.have);
    assert.deepEqual(checker(name, shown.have).have, shown.researched);
    await forget();
  }
});

test("with a target, the route lists what is left and the summary both counts, as --route --have", async () => {
  const { advances } = trees.sample;
  const code = (i) => advances[i].code;
  // A mid-game player: the first target of each case, several, one researched.
  const cases = [["Cmp", "Prn,Gui,Nav,Uni,Civ"], ["Fis", "Cmp"], ["Cmp,Jet", "Stm,Fli"], ["Uni", "Cmp"],
    ["Fli,Cmp", "Uni"], ["Cmp", "Zzz,Uni"]];
  for (const [route, have] of cases) {
    await forget();
    await open("sample", `#route=${route}&have=${have}`);
    const shown = await plan();
    if (have.includes("Zzz")) {
      assert.equal(shown.summary, 'No advance has the code or name "Zzz"');
      assert.deepEqual(shown.researched, checker("sample", "Uni").have);
      continue;
    }
    const expected = checker("sample", have, route);
    const targets = expected.targets ?? [expected.target];
    const left = expected.targets ? expected.route : [...expected.route, ...targets.filter((t) =>
      !expected.have.includes(t))];
    assert.deepEqual([shown.researched, shown.route], [expected.have, left], route);
    const line = run("--route", route, "--have", have, trees.sample.rules).trimEnd().split("\n").pop();
    assert.ok(shown.summary.startsWith(line + "; opens "), `${shown.summary} / ${line}`);
    // Opened from a link, the page says so and leaves the stored plan.
    assert.match(shown.note, /from the link/);
    assert.equal(await tab.evaluate(() => localStorage.length), 0);
    // Marking the next item of the route shortens it.
    if (left.length > 1) {
      await clickBox(left[0]);
      await settle();
      await tab.keyboard.press("R");
      await settle();
      // Back to the selection before the mark, its plan written compact.
      await tab.goBack();
      const back = await plan();
      assert.deepEqual([back.researched, checker("sample", back.have).have], [expected.have, expected.have]);
      await tab.goForward();
      const forward = await plan();
      assert.ok(forward.researched.includes(left[0]), `${route}: Forward marks ${code(left[0])} again`);
    }
  }
  await forget();
});

test("the plan is kept in this browser for this tree, restored without have=, cleared on asking", async () => {
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
  // Clear asks first: dismissed, nothing changes; accepted, all goes.
  for (const answer of [false, true]) {
    const asked = new Promise((done) => tab.once("dialog", async (dialog) => {
      await (answer ? dialog.accept() : dialog.dismiss());
      done(dialog.message());
    }));
    await tab.click("#clear-researched");
    assert.match(await asked, /Clear/);
    const shown = await plan();
    assert.deepEqual(shown.researched, answer ? [] : marked.researched);
  }
  await open("sample");
  assert.deepEqual((await plan()).researched, []);
});

test("a unit is a goal: #route= and the search name it, the advance that enables it is the target", async () => {
  const { advances, units } = trees.sample;
  const unit = units.find((u) => u.prereq !== null && u.prereq > 0 && advances[u.prereq].level > 5);
  const advance = advances[unit.prereq];
  const expected = checker("sample", "Irn", advance.code);
  for (const how of ["address", "search"]) {
    if (how === "address") {
      await open("sample", `#route=${encodeURIComponent(unit.name.toUpperCase())}&have=Irn`);
    } else {
      await open("sample", "#have=Irn");
      await tab.click("#find");
      await tab.keyboard.type(unit.name);
      await tab.keyboard.press("Enter");
    }
    const shown = await plan();
    const target = await tab.evaluate(() => [...document.querySelectorAll("g.target")].map((g) => g.id));
    assert.deepEqual([target, shown.route], [[`a${unit.prereq}`], [...expected.route, unit.prereq]], how);
    assert.ok(shown.summary.startsWith(`${unit.name} (${advance.name}): `), shown.summary);
    assert.match(await tab.evaluate(() => location.hash), new RegExp(`route=${encodeURIComponent(unit.name)}`, "i"));
  }
});

test("without a mouse R marks the focused box; on a touch screen the bar's button does", async () => {
  await open("sample");
  await forget();
  await open("sample");
  const focused = () => tab.evaluate(() => document.activeElement.id);
  let presses = 0;
  while ((await focused()) !== "a0" && presses++ < 10) await tab.keyboard.press("Tab");
  await tab.keyboard.press("ArrowDown");
  const first = Number((await focused()).slice(1));
  await tab.keyboard.press("r");
  assert.deepEqual((await plan()).researched, [first]);
  // The root is never unmarked.
  await tab.keyboard.press("ArrowUp");
  await tab.keyboard.press("r");
  assert.deepEqual((await plan()).researched, [first]);
  await forget();
  await open("sample", "", { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  const { advances } = trees.sample;
  const i = advances.findIndex((a) => a.level === 2);
  await tab.touchscreen.tap(...(await boxMiddle(tab, i)));
  const bar = await tab.evaluate(() => {
    const r = document.getElementById("researched").getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2, r.height];
  });
  assert.ok(bar[2] >= 32, `the button is ${bar[2]} px tall`);
  await tab.touchscreen.tap(bar[0], bar[1]);
  const shown = await plan();
  assert.deepEqual(shown.researched, [...closure(advances, i, (a) => [a.prereq1, a.prereq2].filter((p) => p !== null))]
    .sort((a, b) => a - b));
  // An item of the available list selects its advance.
  await tab.tap(`#available li[data-index="${shown.list[0]}"]`);
  assert.equal((await tab.evaluate(() => document.querySelector("g.target")?.id)), `a${shown.list[0]}`);
  await forget();
});

test("a link with 500 researched advances and a route opens with the plan and the route left", async () => {
  const { advances } = trees.stress;
  const deep = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  // Advances of the first levels until 500 are researched with what they need.
  const byLevel = advances.map((a, i) => i).filter((i) => i > 0).sort((a, b) => advances[a].level - advances[b].level);
  const have = byLevel.slice(0, 500).map((i) => advances[i].code).join(",");
  const expected = checker("stress", have, advances[deep].code);
  assert.equal(expected.have.length, 500);
  await open("stress", `#route=${encodeURIComponent(advances[deep].code)}&have=${encodeURIComponent(have)}`);
  const shown = await plan();
  assert.deepEqual([shown.researched, shown.route], [expected.have, [...expected.route, deep]]);
  await assertAgrees("stress", shown, "500 researched");
});

test("have= names an advance by its name where its code holds a comma, and reads back", async () => {
  const { advances } = trees.names;
  const odd = advances.findIndex((a) => a.code.includes(","));
  for (const i of [odd, advances.findIndex((a) => a.prereq1 > 0)]) {
    await open("names");
    await forget();
    await open("names");
    await clickBox(i);
    await tab.keyboard.press("r");
    const marked = await plan();
    await open("names", "#have=" + encodeURIComponent(marked.have));
    const read = await plan();
    assert.deepEqual([read.researched, read.summary], [marked.researched, ""], marked.have);
    assert.deepEqual(checker("names", marked.have).have, marked.researched);
  }
  await forget();
});
