// The chart page's Units panel in headless Chromium, with real input
// events: its rows are lorvane-check --units --json's; a heading sorts
// (click, Enter, Space; again the other way), the domain filters, and a
// row selects its advance (click, Enter).
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/units.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch } from "./chromium.mjs";
import { checkedJson } from "./schema.mjs";

const root = resolve(import.meta.dirname, "../..");
const work = resolve(process.env.LORVANE_WORK);
const check = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
const files = { sample: "data/RULES.TXT", warned: "tests/check/fixtures/warnings.txt" };
const pages = {};
const units = {};
let browser, tab, errors;

before(async () => {
  mkdirSync(work, { recursive: true });
  for (const [name, file] of Object.entries(files)) {
    pages[name] = join(work, `units-${name}.html`);
    check("--html", pages[name], join(root, file));
    units[name] = checkedJson(check("--units", "--json", join(root, file))).units;
  }
  ({ browser, tab, errors } = await launch());
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, []);
});

async function open(name) {
  await tab.setViewport({ width: 1280, height: 800 });
  await tab.goto(`file://${pages[name]}`);
  await tab.click("#units-panel summary");
}
// The table as shown: the visible rows' cells, the sorted heading.
const shown = () =>
  tab.evaluate(() => ({
    rows: [...document.querySelectorAll("#units tbody tr")].filter((tr) => !tr.hidden)
      .map((tr) => [...tr.cells].map((td) => td.textContent)),
    sorted: [...document.querySelectorAll("#units th[aria-sort]")]
      .map((th) => [th.textContent, th.getAttribute("aria-sort")]),
  }));
const KEYS = ["name", "domain", "move", "range", "attack", "defense", "hitPoints", "firepower",
  "cost", "hold", "role", "flags", "advance", "code", "line"];
const cells = (unit) => KEYS.map((k) => (unit[k] === null ? "" : String(unit[k])));
// The rows in the order of a stable sort by key (numbers as numbers).
function sortedBy(list, key, descending) {
  const sign = descending ? -1 : 1;
  const value = (u) => u[key];
  return list.map((u, i) => [u, i]).sort(([a, i], [b, j]) =>
    sign * (typeof value(a) === "number" ? value(a) - value(b) : value(a).localeCompare(value(b))) ||
    i - j).map(([u]) => cells(u));
}
const targets = () =>
  tab.evaluate(() => [...document.querySelectorAll("g.target")].map((g) => Number(g.id.slice(1))));

test("the Units panel shows --units --json's rows in file order, each with its advance", async () => {
  for (const name of Object.keys(files)) {
    await open(name);
    assert.deepEqual((await shown()).rows, units[name].map(cells), name);
    const indexes = await tab.evaluate(() => [...document.querySelectorAll("#units tbody tr")]
      .map((tr) => (tr.dataset.index === undefined ? null : Number(tr.dataset.index))));
    assert.deepEqual(indexes, units[name].map((u) => u.prereq), name);
  }
});

test("a heading sorts by click and by keyboard, again the other way", async () => {
  const list = units.sample;
  await open("sample");
  await tab.click("#units th:nth-child(5) button");
  assert.deepEqual(await shown(), { rows: sortedBy(list, "attack", false), sorted: [["Attack", "ascending"]] });
  await tab.click("#units th:nth-child(5) button");
  assert.deepEqual(await shown(), { rows: sortedBy(list, "attack", true), sorted: [["Attack", "descending"]] });
  await tab.focus("#units th:nth-child(1) button");
  await tab.keyboard.press("Enter");
  assert.deepEqual(await shown(), { rows: sortedBy(list, "name", false), sorted: [["Name", "ascending"]] });
  // Tab moves on to the next heading; Space sorts by it.
  for (let k = 0; k < 8; ++k) await tab.keyboard.press("Tab");
  await tab.keyboard.press(" ");
  assert.deepEqual(await shown(), { rows: sortedBy(list, "cost", false), sorted: [["Cost", "ascending"]] });
});

test("the domain filters the rows, also domains outside the role table", async () => {
  const list = units.warned;
  await open("warned");
  const domains = await tab.evaluate(() =>
    [...document.querySelectorAll("#units-domain option")].map((o) => o.value));
  assert.deepEqual(domains, ["", ...new Set(list.map((u) => u.domain))]);
  await tab.focus("#units-domain");
  for (const domain of domains.slice(1)) {
    await tab.keyboard.press("ArrowDown");
    assert.deepEqual((await shown()).rows, list.filter((u) => u.domain === domain).map(cells), domain);
  }
  for (let k = 1; k < domains.length; ++k) await tab.keyboard.press("ArrowUp");
  assert.equal((await shown()).rows.length, list.length);

  // A unit whose code names no advance selects nothing.
  const lost = list.findIndex((u) => u.prereq === null);
  await tab.click(`#units tbody tr:nth-child(${lost + 1}) td`);
  assert.deepEqual(await targets(), []);
});

test("a row selects its advance by click and by Enter", async () => {
  const list = units.sample;
  await open("sample");
  const last = list.length - 1;
  await tab.click(`#units tbody tr:nth-child(${last + 1}) td`);
  assert.deepEqual(await targets(), [list[last].prereq]);
  const other = list.findIndex((u) => u.prereq > 0 && u.prereq !== list[last].prereq);
  await tab.focus(`#units tbody tr:nth-child(${other + 1}) .pick`);
  await tab.keyboard.press("Enter");
  assert.deepEqual(await targets(), [list[other].prereq]);
});
