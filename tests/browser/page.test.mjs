// The chart page in headless Chromium: the route and search marks against
// lorvane-check's own answers, and a screenshot at zoom 1 against the
// viewer's chart bitmap (copied from the viewer under Wine).
//   LORVANE_CHECK=lorvane-check LORVANE_CHART=chart.ppm LORVANE_WORK=dir \
//     node --test tests/browser/page.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { mkdirSync, readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { PNG } from "pngjs";
import puppeteer from "puppeteer-core";

const source = resolve(import.meta.dirname, "../..");
const sample = join(source, "data/RULES.TXT");
const checker = process.env.LORVANE_CHECK;
const work = resolve(process.env.LORVANE_WORK);
const page = join(work, "sample.html");
const records = JSON.parse(
  execFileSync(checker, ["--json", "--metrics", "11,13,0", sample], { encoding: "latin1" })
);
const advances = records.advances;
let browser;
let tab;

before(async () => {
  mkdirSync(work, { recursive: true });
  execFileSync(checker, ["--html", page, sample]);
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--force-device-scale-factor=1"],
  });
  tab = await browser.newPage();
  await tab.setViewport({ width: 1280, height: 800 });
});

after(async () => {
  await browser?.close();
});

async function open(hash) {
  await tab.goto("file://" + page + hash);
  return tab.evaluate(() => {
    const marked = (name) =>
      [...document.querySelectorAll("g.advance." + name)]
        .map((g) => Number(g.id.slice(1)))
        .sort((a, b) => a - b);
    return {
      target: marked("target"), route: marked("route"), opens: marked("opens"),
      match: marked("match"), summary: document.getElementById("summary").textContent,
    };
  });
}

// The indexes that lorvane-check --route prints, the target last.
function checkerRoute(code) {
  const out = execFileSync(checker, ["--route", code, sample], { encoding: "latin1" });
  const lines = out.trimEnd().split("\n");
  const count = lines.pop();
  const indexes = lines.map((line) => {
    const i = advances.findIndex((a) => line === `${a.name} [${a.code}], level ${a.level}`);
    assert.ok(i >= 0, line);
    return i;
  });
  return { indexes, count };
}

// Everything an advance opens, from the checker's dependant lists.
function opens(i) {
  const seen = new Set();
  const todo = [i];
  while (todo.length > 0) {
    for (const c of advances[todo.pop()].children) if (!seen.has(c)) todo.push(c), seen.add(c);
  }
  return seen.size;
}

test("#route= marks the route that --route gives, and what the advance opens", async () => {
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  for (const code of [advances[deepest].code, "Brz", "nil", advances[5].name.toUpperCase()]) {
    const marks = await open("#route=" + encodeURIComponent(code));
    const { indexes, count } = checkerRoute(code);
    const target = indexes.pop();
    assert.deepEqual(marks.target, [target], code);
    assert.deepEqual(marks.route, [...indexes].sort((a, b) => a - b), code);
    assert.equal(marks.opens.length, opens(target), code);
    const name = advances[target].name;
    const n = indexes.length;
    assert.equal(count, `${name}: ${n} advance${n === 1 ? "" : "s"} to research first`);
    assert.equal(marks.summary, `${count}; opens ${opens(target)}`);
  }
});

test("#find= marks every advance whose name or code holds the text", async () => {
  for (const text of ["ing", "Sa", "zzz"]) {
    const marks = await open("#find=" + text);
    const wanted = advances
      .map((a, i) => ((a.name + "\n" + a.code).toLowerCase().includes(text.toLowerCase()) ? i : -1))
      .filter((i) => i >= 0);
    assert.deepEqual(marks.match, wanted, text);
    assert.equal(marks.summary, `${wanted.length} advance${wanted.length === 1 ? "" : "s"} found`);
  }
});

test("a click selects, / and typing search, Esc clears, and the address follows", async () => {
  await open("");
  await tab.click("#a7 rect");
  let marks = await tab.evaluate(() => [location.hash, document.querySelectorAll(".target").length]);
  assert.deepEqual(marks, ["#route=" + encodeURIComponent(advances[7].code), 1]);
  await tab.keyboard.press("/");
  await tab.keyboard.type("bronze");
  marks = await tab.evaluate(() => [location.hash, document.activeElement.id]);
  assert.deepEqual(marks, ["#find=bronze&route=" + encodeURIComponent(advances[7].code), "find"]);
  await tab.keyboard.press("Escape");
  marks = await tab.evaluate(() => [location.hash, document.querySelectorAll(".match, .target").length]);
  assert.deepEqual(marks, ["", 0]);
});

// The viewer's bitmap as lorvane-drive writes it: a binary PPM.
function readChart(path) {
  const data = readFileSync(path);
  const header = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(data.subarray(0, 40).toString("latin1"));
  assert.ok(header, "not a binary PPM: " + path);
  return { width: Number(header[1]), height: Number(header[2]), rgb: data.subarray(header[0].length) };
}

test("at zoom 1 the page has the viewer's box edges and link colours", async () => {
  const chart = readChart(process.env.LORVANE_CHART);
  const { width, height } = chart;
  await tab.setViewport({ width: width + 40, height: 900 });
  await open("");
  const { clip, boxes } = await tab.evaluate(() => {
    const r = document.querySelector("svg.chart").getBoundingClientRect();
    const boxes = [...document.querySelectorAll("g.advance rect")].map((rect) =>
      ["x", "y", "width", "height"].map((k) => rect[k].baseVal.value));
    return { clip: { x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height }, boxes };
  });
  const shot = PNG.sync.read(Buffer.from(await tab.screenshot({ clip, captureBeyondViewport: true })));
  assert.deepEqual([shot.width, shot.height], [width, height]);

  // The viewer's pixels are pure; the page's links are anti-aliased, so
  // there a colour counts where its channel stands above green.
  const viewer = (x, y, rgb) => {
    const i = (y * width + x) * 3;
    return chart.rgb[i] === rgb[0] && chart.rgb[i + 1] === rgb[1] && chart.rgb[i + 2] === rgb[2];
  };
  const page = (x, y, channel, over) => {
    const i = (y * width + x) * 4;
    return shot.data[i + channel] - shot.data[i + 1] >= over;
  };
  const black = (x, y) => {
    const i = (y * width + x) * 4;
    return Math.max(shot.data[i], shot.data[i + 1], shot.data[i + 2]) < 64;
  };
  const nearBy = (x, y, test) => {
    for (let py = Math.max(y - 1, 0); py <= Math.min(y + 1, height - 1); ++py) {
      for (let px = Math.max(x - 1, 0); px <= Math.min(x + 1, width - 1); ++px) {
        if (test(px, py)) return true;
      }
    }
    return false;
  };
  const RED = [255, 0, 0];
  const BLUE = [0, 0, 255];
  const BLACK = [0, 0, 0];
  const link = (x, y) => viewer(x, y, RED) || viewer(x, y, BLUE);
  const faults = { edge: [], red: [], blue: [], extraRed: [], extraBlue: [] };

  // Box outlines: black where the viewer's are, but where a link ends on
  // them or crosses them within a pixel.
  let edges = 0;
  for (const [x, y, w, h] of boxes) {
    const left = x - 0.5, top = y - 0.5, right = left + w, bottom = top + h;
    const edge = [];
    for (let px = left; px <= right; ++px) edge.push([px, top], [px, bottom]);
    for (let py = top; py <= bottom; ++py) edge.push([left, py], [right, py]);
    for (const [px, py] of edge) {
      if (!viewer(px, py, BLACK) || nearBy(px, py, link)) continue;
      edges++;
      if (!black(px, py)) faults.edge.push([px, py]);
    }
  }
  // Links: each of the viewer's red or blue pixels has the colour within a
  // pixel in the page, and each strongly coloured pixel of the page has it
  // within a pixel in the viewer's (so the dots fall where Wine's do).
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      if (viewer(x, y, RED) && !nearBy(x, y, (px, py) => page(px, py, 0, 48))) faults.red.push([x, y]);
      if (viewer(x, y, BLUE) && !nearBy(x, y, (px, py) => page(px, py, 2, 48))) faults.blue.push([x, y]);
      if (page(x, y, 0, 160) && !nearBy(x, y, (px, py) => viewer(px, py, RED))) faults.extraRed.push([x, y]);
      if (page(x, y, 2, 160) && !nearBy(x, y, (px, py) => viewer(px, py, BLUE))) faults.extraBlue.push([x, y]);
    }
  }
  assert.ok(edges > 40000, "box outline pixels checked: " + edges);
  for (const [kind, where] of Object.entries(faults)) {
    assert.deepEqual(where.slice(0, 10), [], kind + ": " + where.length + " pixels differ");
  }
});
