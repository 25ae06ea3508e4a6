// Lorvane.html in headless Chromium, by real input: a file through its
// button (the browser's file chooser) or dropped on it gives exactly the
// page of lorvane-check --html for every rules file of the manifest
// (tests/hostile/cases.tsv), the sample and 1,000 advances, or exactly the
// checker's refusal (a file of 40 MB too), after which the next file loads; a watched file
// changed is drawn again with the view kept, a refused change keeps the
// chart marked out of date; two files give the page of --diff OLD NEW
// --html; no Content-Security-Policy report and no script error.
//   LORVANE_CHECK=lorvane-check LORVANE_APP=build/web/Lorvane.html LORVANE_WORK=dir \
//     node --test tests/browser/web.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { copyFileSync, existsSync, mkdirSync, readFileSync, statSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch } from "./chromium.mjs";
import { boxMiddle } from "./box.mjs";
import { checked, choose, drop, openApp, saved, settle, shown } from "./app.mjs";

const root = resolve(import.meta.dirname, "../..");
const sample = join(root, "data/RULES.TXT");
const modified = join(root, "data/RULES-MOD.TXT");
const checker = resolve(process.env.LORVANE_CHECK);
const appFile = resolve(process.env.LORVANE_APP ?? "build/web/Lorvane.html");
const work = resolve(process.env.LORVANE_WORK ?? "build/browser");
const corpus = join(work, "web-corpus");
let browser, tab, errors;

before(async () => {
  mkdirSync(work, { recursive: true });
  execFileSync("python3", [join(root, "tests/hostile/corpus.py"), corpus]);
  execFileSync("python3", [join(root, "scripts/gen_stress.py"), "--advances", "1000", "-o", join(corpus, "stress-1000.txt")]);
  // The widest file of the manifest makes a page of 40 MB, which Chromium
  // takes minutes to lay out on a busy machine, as the checker's own.
  ({ browser, tab, errors } = await launch(900000));
  await tab.setViewport({ width: 1280, height: 800 });
});
after(() => browser?.close());

// The app's outcome for the files against the checker's: the same page,
// byte for byte, or the same message.
async function expectChecked(app, paths, what) {
  const want = checked(checker, paths);
  const got = await shown(app);
  if (want.code !== 0) {
    assert.equal(got.refusal, want.message, `${what}: the refusal`);
    assert.match(got.head, new RegExp(`exit code ${want.code}:$`), `${what}: the exit code`);
    return;
  }
  assert.equal(got.refusal, null, `${what}: refused: ${got.refusal}`);
  assert.ok((await saved(app)).equals(want.page), `${what}: the page differs from the checker's`);
  return got;
}

test("the sample through the file button and through a drop gives the checker's page, a refused file then the next", async () => {
  const app = await openApp(browser, tab, appFile);
  await choose(app, "#open", [sample]);
  const got = await expectChecked(app, [sample], "the button");
  assert.equal(got.advances, 92);
  assert.equal(got.title, "\u2068RULES.TXT\u2069");
  // A refused file, then a good one: the module starts afresh.
  await drop(app, [join(corpus, "garbage.bin")]);
  await expectChecked(app, [join(corpus, "garbage.bin")], "a refused drop");
  await drop(app, [modified]);
  await expectChecked(app, [modified], "the drop");
  assert.deepEqual(errors, []);
});

test("every rules file of the manifest, and 1,000 advances, as the checker gives it", async () => {
  const app = await openApp(browser, tab, appFile);
  const rows = readFileSync(join(root, "tests/hostile/cases.tsv"), "latin1").split("\n")
    .filter((line) => line !== "" && !line.startsWith("#")).map((line) => line.split("\t"));
  const unescape = (text) => text.replace(/\\x([0-9a-f]{2})/gi, (m, hex) => String.fromCharCode(parseInt(hex, 16)));
  let opened = 0;
  for (const [name, path] of [...rows, ["stress-1000", "stress-1000.txt"]]) {
    const file = join(corpus, unescape(path));
    // A path that names no file (the missing and odd paths of the
    // manifest) is no file a browser can open.
    if (!existsSync(file) || !statSync(file).isFile()) continue;
    await choose(app, "#open", [file]);
    await expectChecked(app, [file], name);
    opened += 1;
  }
  assert.ok(opened > 90, `only ${opened} of the manifest's files opened`);
  assert.deepEqual(errors, []);
});

test("a file of 40 MB ends with the checker's message, its reading shown", async () => {
  const app = await openApp(browser, tab, appFile);
  const big = join(corpus, "forty-mb.txt");
  const huge = readFileSync(join(corpus, "huge-unknown.txt"));
  writeFileSync(big, Buffer.concat([huge, huge, Buffer.alloc(40e6 - 2 * huge.length, "x")]));
  // What the bar says while the app works, every change of it.
  await tab.evaluate(() => {
    window.busyTexts = [];
    const text = document.getElementById("busy-text");
    new MutationObserver(() => busyTexts.push(text.textContent)).observe(text, { childList: true });
  });
  await choose(app, "#open", [big]);
  const said = await tab.evaluate(() => window.busyTexts);
  assert.ok(said.some((text) => /^Reading forty-mb\.txt\u2026 \d+%$/.test(text)), `the bar said ${said}`);
  await expectChecked(app, [big], "40 MB");
  assert.deepEqual(errors, []);
});

// The chart's view in the app's frame: the address (search, route, plan,
// zoom, colours), the scroll position, the search field, the selection.
const viewOf = (app) =>
  app.tab.evaluate(() => {
    const w = document.querySelector("#stage iframe").contentWindow;
    const view = w.document.getElementById("view");
    return {
      hash: w.location.hash,
      scroll: [view.scrollLeft, view.scrollTop],
      find: w.document.getElementById("find").value,
      colour: w.document.getElementById("colour").value,
      zoom: w.chartPage.zoom(),
      targets: w.chartPage.targets(),
    };
  });

// A view of the user's own, by real input on the chart: a box selected,
// a search, colours by epoch, two zoom steps, the view scrolled.
async function makeView(app) {
  const frame = await (await app.tab.$("#stage iframe")).contentFrame();
  const top = await app.tab.$eval("#stage iframe", (f) => f.getBoundingClientRect().top);
  const [x, y] = await boxMiddle(frame, 12);
  await app.tab.mouse.click(x, y + top);
  await frame.click("#find");
  await app.tab.keyboard.type("Bronze");
  await frame.select("#colour", "epoch");
  await frame.click("#zoom-in");
  await frame.click("#zoom-in");
  await app.tab.mouse.move(500, 500);
  await app.tab.mouse.wheel({ deltaY: 240, deltaX: 120 });
  // The address is written just after each change.
  await new Promise((done) => setTimeout(done, 500));
  return viewOf(app);
}

// The view kept: the zoom as the address holds it, to a thousandth.
function assertKept(got, want) {
  assert.ok(Math.abs(got.zoom - want.zoom) < 0.001, `the zoom ${got.zoom}, was ${want.zoom}`);
  assert.deepEqual({ ...got, zoom: 0 }, { ...want, zoom: 0 });
}

test("a watched file that changes is drawn again with the view kept; a refused change keeps the chart, out of date", async () => {
  const app = await openApp(browser, tab, appFile);
  const folder = join(work, "watched");
  mkdirSync(folder, { recursive: true });
  const file = join(folder, "RULES.TXT");
  copyFileSync(sample, file);
  await choose(app, "#open", [file]);
  // Headless Chromium cannot answer the browser's own picker: it gives a
  // handle of the test's, the same getFile() as the browser's, on bytes
  // that the test changes.
  await tab.evaluate((bytes) => {
    window.watched = { bytes: new Uint8Array(bytes), modified: 1 };
    const getFile = async () => new File([watched.bytes], "RULES.TXT", { lastModified: watched.modified });
    window.showOpenFilePicker = async () => [{ kind: "file", name: "RULES.TXT", getFile }];
  }, [...readFileSync(sample)]);
  await settle(app, () => tab.click("#watch"));
  assert.match((await shown(app)).state, /^Watching RULES\.TXT; last read /);
  const view = await makeView(app);
  assert.equal(view.find, "Bronze");
  assert.equal(view.colour, "epoch");
  assert.deepEqual(view.targets, [12]);
  assert.ok(view.zoom > 1 && view.scroll[1] > 0, `the view: ${JSON.stringify(view)}`);

  const change = async (path, modified) => {
    copyFileSync(path, file);
    await settle(app, () => tab.evaluate((bytes, modified) => {
      watched.bytes = new Uint8Array(bytes);
      watched.modified = modified;
    }, [...readFileSync(path)], modified));
  };
  await change(modified, 2);
  await expectChecked(app, [file], "the changed file");
  assertKept(await viewOf(app), view);

  const good = await shown(app);
  await change(join(corpus, "cycle-2.txt"), 3);
  const refused = await shown(app);
  await expectChecked(app, [file], "the refused change");
  assert.ok(refused.stale && refused.advances === good.advances, "the last good chart stays beneath the refusal");
  assert.match(refused.state, /^Out of date: the chart shows RULES\.TXT as read at /);

  await change(sample, 4);
  assert.equal((await shown(app)).stale, false);
  await expectChecked(app, [file], "the file put right");
  assertKept(await viewOf(app), view);
  assert.deepEqual(errors, []);
});

test("without a handle kept, Read again asks for the file and keeps the view", async () => {
  const { identifier } = await tab.evaluateOnNewDocument(() => delete window.showOpenFilePicker);
  const app = await openApp(browser, tab, appFile);
  await tab.removeScriptToEvaluateOnNewDocument(identifier);
  assert.ok(await tab.$eval("#watch", (b) => b.hidden), "Watch where no handle can be kept");
  await choose(app, "#open", [sample]);
  const view = await makeView(app);
  await choose(app, "#again", [modified]);
  await expectChecked(app, [modified], "read again");
  assertKept(await viewOf(app), view);
  assert.deepEqual(errors, []);
});

test("two files give the checker's page of --diff OLD NEW, the older asked for where the names do not tell", async () => {
  const app = await openApp(browser, tab, appFile);
  await drop(app, [modified, sample]);
  await expectChecked(app, [sample, modified], "two dropped");
  const [first, second] = [join(corpus, "first.txt"), join(corpus, "second.txt")];
  copyFileSync(sample, first);
  copyFileSync(modified, second);
  await choose(app, "#open", [second]);
  // Asked, the app waits for the answer.
  const [chooser] = await Promise.all([tab.waitForFileChooser(), tab.click("#compare")]);
  await chooser.accept([first]);
  await tab.waitForSelector("#ask:not([hidden])");
  await settle(app, () => tab.click("#older-1"));
  await expectChecked(app, [first, second], "compared");
  assert.deepEqual(errors, []);
});

test("a plan the browser kept for the checker's page of a file is the plan of the app's page of it", async () => {
  const folder = join(work, "planned");
  mkdirSync(folder, { recursive: true });
  copyFileSync(sample, join(folder, "RULES.TXT"));
  const want = checked(checker, [join(folder, "RULES.TXT")]);
  writeFileSync(join(folder, "page.html"), want.page);
  await tab.goto(`file://${join(folder, "page.html")}`);
  const [x, y] = await boxMiddle(tab, 20);
  await tab.mouse.click(x, y);
  await tab.keyboard.press("r");
  // Kept once the panel is no longer busy with the storage.
  await tab.waitForFunction(() => !document.querySelector('[aria-busy="true"]'));
  const marked = await tab.$$eval("g.researched", (gs) => gs.map((g) => g.id));
  assert.ok(marked.length > 1);
  const app = await openApp(browser, tab, appFile);
  await choose(app, "#open", [join(folder, "RULES.TXT")]);
  const kept = await tab.waitForFunction(() => {
    const page = document.querySelector("#stage iframe").contentDocument;
    const ids = [...page.querySelectorAll("g.researched")].map((g) => g.id);
    return ids.length > 0 && ids;
  });
  assert.deepEqual(await kept.jsonValue(), marked);
  await tab.evaluate(() => localStorage.clear());
  assert.deepEqual(errors, []);
});
