// The release's sample page (build/release/RULES.html, which
// scripts/release.sh writes and packs) opened in headless Chromium: every
// advance of the sample is on it; and the archive's Lorvane.html, unpacked.
//   LORVANE_CHECK=lorvane-check LORVANE_RELEASE_PAGE=RULES.html \
//     node --test tests/browser/release.test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import puppeteer from "puppeteer-core";
import { checked, drop, openApp, saved } from "./app.mjs";
import { launch } from "./chromium.mjs";
import { checkedJson } from "./schema.mjs";

const sample = resolve(import.meta.dirname, "../../data/RULES.TXT");
const page = resolve(process.env.LORVANE_RELEASE_PAGE ?? "build/release/RULES.html");

test("the release's RULES.html shows every advance of the sample", async (t) => {
  if (!existsSync(page)) return t.skip(`no ${page}: scripts/release.sh writes it`);
  const { advances } = checkedJson(
    execFileSync(process.env.LORVANE_CHECK, ["--json", sample], { encoding: "utf8" }));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  try {
    const tab = await browser.newPage();
    await tab.goto("file://" + page);
    const shown = await tab.evaluate(() =>
      [...document.querySelectorAll("g.advance")].map((g) => [
        Number(g.id.slice(1)), g.querySelector("text.name").textContent]));
    assert.deepEqual(shown.sort((a, b) => a[0] - b[0]), advances.map((a, i) => [i, a.name]));
  } finally {
    await browser.close();
  }
});

// The release's Lorvane.html, unpacked as a player unpacks the archive:
// the unpacked sample dropped on it gives the checker's page.
test("the release's Lorvane.html works unpacked", async (t) => {
  const folder = resolve(process.env.LORVANE_RELEASE_PAGE ?? "build/release/RULES.html", "..");
  const zip = existsSync(folder) && readdirSync(folder).find((name) => /^lorvane-.*-win32\.zip$/.test(name));
  if (!zip) return t.skip(`no release archive in ${folder}: scripts/release.sh makes it`);
  const unpacked = mkdtempSync(join(tmpdir(), "lorvane-release-"));
  execFileSync("python3", ["-m", "zipfile", "-e", join(folder, zip), unpacked]);
  const top = join(unpacked, zip.replace(/\.zip$/, ""));
  const { browser, tab, errors } = await launch();
  try {
    const app = await openApp(browser, tab, join(top, "Lorvane.html"));
    await drop(app, [join(top, "RULES.TXT")]);
    const want = checked(process.env.LORVANE_CHECK, [join(top, "RULES.TXT")]);
    assert.ok((await saved(app)).equals(want.page), "the unpacked Lorvane.html's page differs from the checker's");
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
    rmSync(unpacked, { recursive: true });
  }
});
