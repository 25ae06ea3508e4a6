// Lorvane.html driven as a user drives it, for its tests and the page
// benchmark: files chosen through its buttons (the browser's real file
// chooser) or dropped on it (a real drop, from the browser's input), the
// end of the work it does for them, what it said, and the page it shows,
// saved through its own Save link.
import { execFileSync, spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, dirname, join, resolve } from "node:path";

// The app opened fresh, its downloads going to a folder of the test's.
export async function openApp(browser, tab, app) {
  await tab.goto("about:blank");
  await tab.goto(`file://${app}`);
  await tab.waitForFunction(() => document.getElementById("stage") !== null);
  const downloads = mkdtempSync(join(tmpdir(), "lorvane-saved-"));
  const session = await browser.target().createCDPSession();
  await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, eventsEnabled: true });
  return { tab, session, input: await tab.createCDPSession(), downloads };
}

// Runs the action (an input), then waits until the app has done all the
// work that it started: the stage is busy while the app reads, loads and
// draws.
export async function settle(app, action, timeout = 600000) {
  await app.tab.evaluate(() => {
    const stage = document.getElementById("stage");
    window.lorvaneSettled = new Promise((done) => {
      const observer = new MutationObserver(() => {
        if (stage.getAttribute("aria-busy") !== "false") return;
        observer.disconnect();
        done();
      });
      observer.observe(stage, { attributes: true, attributeFilter: ["aria-busy"] });
    });
  });
  await action();
  await app.tab.waitForFunction(() => window.lorvaneSettled.then(() => true), { timeout, polling: 50 });
}

// Files through the file chooser that the button opens.
export async function choose(app, button, paths) {
  await settle(app, async () => {
    const [chooser] = await Promise.all([app.tab.waitForFileChooser(), app.tab.click(button)]);
    await chooser.accept(paths);
  });
}

// Files dropped on the middle of the app (its frame, once a chart is shown).
export async function drop(app, paths) {
  const [x, y] = await app.tab.evaluate(() => [innerWidth / 2, innerHeight / 2]);
  const data = { items: [], files: paths, dragOperationsMask: 1 };
  await settle(app, async () => {
    for (const type of ["dragEnter", "dragOver", "drop"]) {
      await app.input.send("Input.dispatchDragEvent", { type, x, y, data });
    }
  });
}

// What the app shows: the refusal's heading and text, or null; the
// chart's title and count of advances.
export async function shown(app) {
  return app.tab.evaluate(() => {
    const refusal = document.getElementById("refusal");
    const page = document.querySelector("#stage iframe")?.contentDocument;
    return {
      refusal: refusal.hidden ? null : document.getElementById("refusal-text").textContent,
      head: refusal.hidden ? null : document.getElementById("refusal-head").textContent,
      title: page?.title ?? null,
      advances: page?.querySelectorAll("g.advance").length ?? 0,
      state: document.getElementById("state").textContent,
      stale: document.getElementById("stage").classList.contains("stale"),
    };
  });
}

// The page shown, as its Save link downloads it.
export async function saved(app) {
  const done = new Promise((resolve, reject) => {
    const listener = (event) => {
      if (event.state === "inProgress") return;
      app.session.off("Browser.downloadProgress", listener);
      if (event.state === "completed") resolve();
      else reject(new Error(`the download ended ${event.state}`));
    };
    app.session.on("Browser.downloadProgress", listener);
  });
  await app.tab.click("#save");
  await done;
  const [name] = readdirSync(app.downloads);
  const bytes = readFileSync(join(app.downloads, name));
  rmSync(join(app.downloads, name));
  return bytes;
}

// What lorvane-check writes for the files, run where they are by their
// names, as the app names them: the page (--html; with two, --diff OLD
// NEW --html) and exit code 0, or the exit code and the message.
export function checked(checker, paths) {
  const out = join(mkdtempSync(join(tmpdir(), "lorvane-checked-")), "page.html");
  const names = paths.map((p) => basename(p));
  const args = names.length === 2 ? ["--html", out, "--diff", ...names] : ["--html", out, names[0]];
  const run = spawnSync(resolve(checker), args, { cwd: dirname(paths[0]), encoding: "utf8" });
  if (run.error) throw run.error;
  if (run.status !== 0) return { code: run.status, message: run.stderr.replace(/\n$/, "") };
  const page = readFileSync(out);
  rmSync(dirname(out), { recursive: true });
  return { code: 0, page };
}

// The checker's own --json report, for what a test needs to know of a file.
export const report = (checker, path) => JSON.parse(execFileSync(checker, ["--json", path], { encoding: "utf8" }));
