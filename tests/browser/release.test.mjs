// The release's sample page (build/release/RULES.html, which
// scripts/release.sh writes and packs) opened in headless Chromium: every
// advance of the sample is on it.
//   LORVANE_CHECK=lorvane-check LORVANE_RELEASE_PAGE=RULES.html \
//     node --test tests/browser/release.test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync } from "node:fs";
import { resolve } from "node:path";
import puppeteer from "puppeteer-core";
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
