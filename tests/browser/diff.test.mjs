// The page of lorvane-check --diff in headless Chromium: the marks on the boxes and the list of
// changes against the checker's own --json --diff, and an entry of the list selecting its box.
//   LORVANE_CHECK=lorvane-check LORVANE_WORK=dir node --test tests/browser/diff.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync } from "node:fs";
import { join, resolve } from "node:path";
import puppeteer from "puppeteer-core";
import { checkedJson } from "./schema.mjs";

const sample = resolve(import.meta.dirname, "../../data/RULES.TXT");
const modified = resolve(import.meta.dirname, "../../data/RULES-MOD.TXT");
const check = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });
const work = resolve(process.env.LORVANE_WORK);
const page = join(work, "diff.html");
let browser, tab;

before(async () => {
  mkdirSync(work, { recursive: true });
  check("--diff", sample, "--html", page, modified);
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  tab = await browser.newPage();
});
after(() => browser?.close());

// What the checker reports: the marks each advance should carry, and each
// change's line (its heading, then the text report's line without its
// place) and box.
function expected() {
  const diff = checkedJson(check("--json", "--diff", sample, modified));
  const { units } = checkedJson(check("--json", modified));
  const text = check("--diff", sample, modified).split("\n");
  const lines = [];
  let heading = "";
  // A change line: its place and word, then what the page's entry says.
  const place = /^.+?:\d+: (unit added|unit removed|unit moved|unit changed|added|removed|renamed|recoded|changed|relinked|moved|route of) /;
  for (const line of text) {
    if (place.test(line)) lines.push(`${heading}: ${line.replace(place, "")}`);
    else heading = line.replace(/ \(\d+\)$/, "");
  }
  const mark = { added: "added", levels: "moved" };
  const marks = {};
  const boxes = [];
  for (const [kind, items] of Object.entries(diff.advances)) {
    for (const item of items) {
      boxes.push(item.new);
      if (item.new === null || kind === "routes") continue;
      (marks[item.new] ??= new Set()).add(mark[kind] ?? "changed");
    }
  }
  for (const items of Object.values(diff.units)) {
    for (const item of items) boxes.push(item.new === null ? null : units[item.new].prereq);
  }
  const classes = Object.fromEntries(
    Object.entries(marks).map(([i, set]) => [i, ["added", "changed", "moved"].filter((m) => set.has(m))]));
  return { classes, lines, boxes };
}

test("the boxes carry the marks and the list holds every change in the report's order", async () => {
  const want = expected();
  await tab.goto("file://" + page);
  const got = await tab.evaluate(() => {
    const classes = {};
    // The chart is the first svg.chart; the legend's swatches are charts too.
    for (const g of document.querySelector("svg.chart").querySelectorAll("g.advance")) {
      const marks = ["added", "changed", "moved"].filter((m) => g.classList.contains(m));
      if (marks.length > 0) classes[g.id.slice(1)] = marks;
    }
    const items = [...document.querySelectorAll("#changes > li")];
    return {
      classes,
      lines: items.map((li) => li.textContent),
      boxes: items.map((li) => (li.dataset.index === undefined ? null : Number(li.dataset.index))),
      legend: [...document.querySelectorAll("#marks g.advance")].map((g) => g.getAttribute("class")),
    };
  });
  assert.ok(Object.keys(want.classes).length >= 10);
  assert.deepEqual(got.classes, want.classes);
  assert.deepEqual(got.lines, want.lines);
  assert.deepEqual(got.boxes, want.boxes);
  assert.deepEqual(got.legend, ["advance added", "advance changed", "advance moved"]);
});

test("clicking a change, or Enter on it, selects its advance", async () => {
  await tab.goto("file://" + page);
  for (const how of ["click", "Enter"]) {
    const items = await tab.$$("#changes > li[data-index]");
    const item = items[how === "click" ? items.length - 1 : 3];
    const index = Number(await item.evaluate((li) => li.dataset.index));
    if (how === "click") {
      await item.click();
    } else {
      // Each change is its item's button.
      await (await item.$("button.pick")).focus();
      await tab.keyboard.press("Enter");
    }
    const target = await tab.evaluate(() =>
      [...document.querySelector("svg.chart").querySelectorAll("g.target")].map((g) =>
        Number(g.id.slice(1))));
    assert.deepEqual(target, [index], how);
  }
});
