// The chart page in headless Chromium: the route and search marks against
// lorvane-check's own answers (--route --json, --json), and a screenshot at
// zoom 1 against the viewer's chart bitmap (copied from the viewer under Wine).
//   LORVANE_CHECK=lorvane-check LORVANE_CHART=chart.ppm LORVANE_WORK=dir \
//     node --test tests/browser/page.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { PNG } from "pngjs";
import puppeteer from "puppeteer-core";

const sample = resolve(import.meta.dirname, "../../data/RULES.TXT");
const check = (...args) =>
  execFileSync(process.env.LORVANE_CHECK, [...args, sample], { encoding: "utf8" });
const work = resolve(process.env.LORVANE_WORK);
const page = join(work, "sample.html");
const { advances } = JSON.parse(check("--json"));
let browser, tab;

before(async () => {
  mkdirSync(work, { recursive: true });
  check("--html", page);
  browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  tab = await browser.newPage();
});
after(() => browser?.close());

// The indexes of the advances that carry each mark.
async function open(hash) {
  await tab.goto("file://" + page + hash);
  return tab.evaluate(() => {
    const marks = { summary: document.getElementById("summary").textContent };
    for (const mark of ["target", "route", "opens", "match"]) {
      const groups = [...document.querySelectorAll("g." + mark)];
      marks[mark] = groups.map((g) => Number(g.id.slice(1))).sort((a, b) => a - b);
    }
    return marks;
  });
}

function opens(i, seen = new Set()) {
  for (const c of advances[i].children) if (!seen.has(c)) opens(c, seen.add(c));
  return seen;
}

test("#find= and #route= mark the search, --route --json's route, what it opens", async () => {
  const deepest = advances.reduce((d, a, i) => (a.level > advances[d].level ? i : d), 0);
  const byIndex = (a, b) => a - b;
  const named = advances[5].name.toUpperCase();
  const cases = [[advances[deepest].code, "ing"], ["Brz", "Sa"], ["nil", "zzz"], [named, ""]];
  for (const [code, text] of cases) {
    const { target, route } = JSON.parse(check("--json", "--route", code));
    const marks = await open(`#find=${text}&route=${encodeURIComponent(code)}`);
    const holds = (a) => (a.name + "\n" + a.code).toLowerCase().includes(text.toLowerCase());
    const found = advances.map((a, i) => (text !== "" && holds(a) ? i : -1)).filter((i) => i >= 0);
    const wanted = [[target], route.sort(byIndex), found];
    assert.deepEqual([marks.target, marks.route, marks.match], wanted, code);
    assert.deepEqual(marks.opens, [...opens(target)].sort(byIndex), code);
    const first = `${route.length} advance${route.length === 1 ? "" : "s"} to research first`;
    assert.equal(marks.summary, `${advances[target].name}: ${first}; opens ${marks.opens.length}`);
  }
});

test("at zoom 1 the page has the viewer's box edges and link colours", async () => {
  // The viewer's chart as lorvane-drive writes it: a binary PPM.
  const ppm = readFileSync(process.env.LORVANE_CHART);
  const [header, w, h] = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(ppm.toString("latin1", 0, 40));
  const [width, height, rgb] = [Number(w), Number(h), ppm.subarray(header.length)];
  await tab.setViewport({ width: width + 40, height: 900 });
  await open("");
  const { clip, boxes, lineEnds } = await tab.evaluate(() => {
    const r = document.querySelector("svg.chart").getBoundingClientRect();
    return {
      clip: { x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height },
      boxes: [...document.querySelectorAll("g.advance > rect")].map((e) =>
        ["x", "y", "width", "height"].map((k) => e[k].baseVal.value)),
      // The viewer leaves out a link's last pixel; the page paints half of it.
      lineEnds: [...document.querySelectorAll("line.near, line.far")].map((e) =>
        `${e.x2.baseVal.value - 0.5},${e.y2.baseVal.value - 0.5}`),
    };
  });
  const ends = new Set(lineEnds);
  const png = await tab.screenshot({ clip, captureBeyondViewport: true });
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
