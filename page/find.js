// The chart page's search: the advances whose name, code or unit holds
// the text, marked and counted; stepped through with "3 of 22"; listed
// under the field. page.js makes it once (makeFinder) with what it needs
// of the chart, and reads the matches back.
"use strict";
function makeFinder(page) {
  const { groups, names, units, fold, plural, mark, tell, pick, reveal } = page;
  const find = document.getElementById("find");
  const matchCount = document.getElementById("matches");
  let matches = [];
  // The unit that found each match, where a unit did; the match stepped to.
  let matchUnits = [];
  let current = -1;

  function search(text) {
    const wanted = fold(text);
    matches = [];
    matchUnits = [];
    current = -1;
    if (wanted !== "") {
      groups.forEach((g, i) => {
        const byName = fold(names[i]).includes(wanted) || fold(g.dataset.code).includes(wanted);
        const unit = units[i].find((name) => fold(name).includes(wanted));
        if (byName || unit !== undefined) {
          matches.push(i);
          matchUnits.push(byName ? null : unit);
        }
      });
    }
    mark("match", matches);
    matchCount.textContent = wanted === "" ? "" : plural(matches.length, "advance") + " found";
    listMatches();
    tell("marks");
  }

  // The list of matches under the field: name, code, and the unit that
  // found it; open while the field or the list has the focus. Its items
  // are made as the list is scrolled or stepped through, a page at a time:
  // a letter can match a thousand advances.
  const finder = document.getElementById("finder");
  const matchList = document.getElementById("match-list");
  const LISTED = 50;
  function listMatches() {
    find.removeAttribute("aria-activedescendant");
    matchList.replaceChildren();
    listUpTo(LISTED);
    openMatches(finder.contains(document.activeElement));
  }
  function listUpTo(count) {
    const from = matchList.children.length;
    const items = matches.slice(from, count).map((i, k) => {
      const item = document.createElement("li");
      item.id = "match-" + (from + k);
      item.dataset.index = i;
      item.setAttribute("role", "option");
      item.tabIndex = from + k === Math.max(0, current) ? 0 : -1;
      const name = document.createElement("b");
      name.textContent = names[i];
      item.append(name, " " + groups[i].dataset.code);
      if (matchUnits[from + k] !== null) item.append(", unit " + matchUnits[from + k]);
      return item;
    });
    matchList.append(...items);
  }
  matchList.addEventListener("scroll", () => {
    const end = matchList.scrollHeight - matchList.clientHeight - matchList.scrollTop;
    if (end < 40) listUpTo(matchList.children.length + LISTED);
  }, { passive: true });
  // A match chosen (Enter, a click) closes the list until the text
  // changes or Down or Up asks for it.
  let chosen = false;
  function openMatches(open) {
    matchList.hidden = !open || chosen || matches.length === 0;
    find.setAttribute("aria-expanded", String(!matchList.hidden));
  }
  finder.addEventListener("focusin", () => openMatches(true));
  finder.addEventListener("focusout", (event) => openMatches(finder.contains(event.relatedTarget)));
  // Steps to the next match (by -1 the previous one), round the ends.
  function step(by) {
    if (matches.length === 0) return;
    const at = current < 0 && by < 0 ? matches.length - 1 : (current + by + matches.length) % matches.length;
    goToMatch(current < 0 && by > 0 ? 0 : at);
  }
  function goToMatch(k) {
    listUpTo(k + 1);
    const before = matchList.children[Math.max(0, current)];
    before?.removeAttribute("aria-selected");
    if (before) before.tabIndex = -1;
    current = k;
    const item = matchList.children[k];
    item.setAttribute("aria-selected", "true");
    // Tab from the field goes to the match stepped to.
    item.tabIndex = 0;
    find.setAttribute("aria-activedescendant", item.id);
    item.scrollIntoView({ block: "nearest" });
    matchCount.textContent = `${k + 1} of ${matches.length}`;
    // A match found by a unit, or whose unit the search names whole, is a
    // goal named by the unit.
    const unit = matchUnits[k] ?? units[matches[k]].find((name) => fold(name) === fold(find.value));
    if (unit !== undefined) page.goal(matches[k], unit);
    pick(matches[k]);
  }
  function choose(k) {
    goToMatch(k);
    chosen = true;
    find.focus();
    openMatches(false);
  }
  matchList.addEventListener("click", (event) => {
    const item = event.target.closest("li[data-index]");
    if (item !== null) choose([...matchList.children].indexOf(item));
  });

  find.addEventListener("input", () => {
    chosen = false;
    search(find.value);
    // Scrolling only when the first match is out of view spares drawing.
    if (matches.length > 0) reveal(matches[0]);
    page.searched();
  });
  // The keys' step (keys.js): from an item of the list (null for the
  // field), the step is from that item, and the focus follows it. Enter
  // (close) chooses the match and closes the list; Down and Up open it.
  function stepFrom(by, item, close) {
    if (item !== null) current = [...matchList.children].indexOf(item);
    chosen = close;
    openMatches(!close);
    step(by);
    if (item !== null && !close) matchList.children[current]?.focus();
  }

  // Another selection than the match stepped to: the count alone, no
  // "3 of 22" that no longer holds.
  document.getElementById("chart").addEventListener("marks", () => {
    const targets = page.targets();
    if (current < 0 || (targets.length === 1 && targets[0] === matches[current])) return;
    matchList.children[current]?.removeAttribute("aria-selected");
    current = -1;
    matchCount.textContent = plural(matches.length, "advance") + " found";
  });

  return { search, step: stepFrom, matches: () => matches };
}
