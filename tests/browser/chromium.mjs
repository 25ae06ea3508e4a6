// Headless Chromium for the page's tests: one tab, whose Content-Security-
// Policy reports and script errors are collected, and a page opened fresh.
import puppeteer from "puppeteer-core";

export async function launch() {
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking"],
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
