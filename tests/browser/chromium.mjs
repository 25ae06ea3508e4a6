// Headless Chromium for the page's tests: one tab, whose Content-Security-
// Policy reports and script errors are collected, and a page opened fresh.
import puppeteer from "puppeteer-core";

// A page that holds the browser longer than puppeteer waits for an answer
// (its 3 minutes) needs a longer wait (protocolTimeout, in ms).
export async function launch(protocolTimeout = 180000) {
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
    protocolTimeout,
  });
  const tab = await browser.newPage();
  const errors = [];
  tab.on("console", (m) => m.text().includes("Content Security Policy") && errors.push(m.text()));
  tab.on("pageerror", (e) => errors.push(String(e)));
  return { browser, tab, errors };
}

// From a blank page, so that an address that differs only in its hash loads anew.
export async function openPage(tab, file, hash, viewport) {
  await tab.setViewport(viewport);
  await tab.goto("about:blank");
  await tab.goto(`file://${file}${hash}`);
}
