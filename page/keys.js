// The chart page's keyboard: one table of the keys it answers, where each applies and what it
// does, from which both the dispatch and the help under the legend ("Keys") are made.
"use strict";
(function () {
  const page = window.chartPage;
  const { groups, levels, rows, prereqs, dependants, reveal, choose, setZoom, fitZoom, save } = page;
  const find = document.getElementById("find");

  // Where a key is pressed: the focused element is at a place when it is
  // inside what the place names. A list's item is every element that
  // shows an advance beside the chart or under the search field.
  const inside = (selector) => (element) => element.closest?.(selector) != null;
  const PLACES = {
    box: { at: (element) => page.svg.contains(element) && inside("g.advance")(element), words: "a box" },
    item: { at: inside("li[data-index], tr[data-index]"), words: "an item of a list" },
    field: { at: (element) => element === find, words: "the search field" },
    search: { at: inside("#finder"), words: "the search field and its matches" },
    page: { at: () => true, words: "the page" },
  };

  const indexOf = (element) => {
    const g = element.closest?.("g.advance");
    return g === null || g === undefined ? -1 : Number(g.id.slice(1));
  };
  const zoomBy = (factor) => {
    setZoom(page.zoom() * factor);
    save(false);
  };
  // Along the row, up to the first prerequisite, down to the first dependant.
  function moveFocus(i, key) {
    const row = rows[levels[i]];
    const at = row.indexOf(i);
    const next = {
      ArrowLeft: row[at - 1],
      ArrowRight: row[at + 1],
      ArrowUp: prereqs[i][0],
      ArrowDown: dependants[i][0],
    }[key];
    if (next === undefined) return;
    groups[next].focus({ preventScroll: true });
    reveal(next);
  }

  // Each row: the keys (KeyboardEvent.key), as the help shows them; the
  // places it applies at (PLACES) and where not ("except", a selector of
  // the focused element); "plain" when it goes with neither Ctrl, Alt nor
  // Meta (Shift is free); whether the browser's own action is prevented;
  // what it does, in the help's words; and its handler, given the event
  // and the focused element, which returns false when it did nothing. A
  // row without handler is the browser's own, listed in the help only.
  // The first row that applies takes the key.
  const KEYS = [
    {
      keys: ["/"], shown: "/", where: ["page"], except: "#find", plain: true, prevent: true,
      does: "to the search field (names, codes and unit names; a unit finds its advance)",
      run: () => find.focus(),
    },
    {
      keys: ["Enter"], shown: "Enter", where: ["field"], prevent: true,
      does: "select the next match, round the end; with Shift the one before",
      run: (event) => page.step(event.shiftKey ? -1 : 1, null),
    },
    {
      keys: ["ArrowDown", "ArrowUp"], shown: "Down, Up", where: ["search"], prevent: true,
      does: "select the next match, the one before",
      run: (event, at) => page.step(event.key === "ArrowDown" ? 1 : -1, at === find ? null : at),
    },
    {
      keys: ["Escape"], shown: "Esc", where: ["page"],
      does: "clear the search and the selection",
      run: () => page.clear(),
    },
    {
      keys: ["Tab"], shown: "Tab, Shift+Tab", where: ["page"],
      does: "from box to box (each named by its name, epoch, category and level), then the items of the lists",
    },
    {
      keys: ["ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"], shown: "arrows", where: ["box"], prevent: true,
      does: "left and right along the row, up to a prerequisite, down to a dependant",
      run: (event, at) => moveFocus(indexOf(at), event.key),
    },
    {
      keys: ["Enter", " "], shown: "Enter, Space", where: ["box"], prevent: true,
      does: "select the box; with Shift or Ctrl add or remove it as a target",
      run: (event, at) => choose(indexOf(at), event.shiftKey || event.ctrlKey),
    },
    {
      keys: ["Enter"], shown: "Enter", where: ["item"], prevent: true,
      does: "what a click on the item does (the route's list, the warnings, the matches, every list beside the chart)",
      run: (event, at) => at.click(),
    },
    {
      keys: ["r", "R"], shown: "R", where: ["page"], except: "input, select, textarea", plain: true, prevent: true,
      does: "mark the focused box (else the one selected) researched with all it needs, or not with all that needs it",
      run: (event, at) => {
        const selected = page.targets();
        const i = indexOf(at) >= 0 ? indexOf(at) : selected.length === 1 ? selected[0] : -1;
        if (i <= 0) return false;
        page.toggleResearched(i);
      },
    },
    {
      keys: ["+", "="], shown: "+, -", where: ["page"], except: "#find", plain: true,
      does: "zoom in, out (about the middle of the view)",
      run: () => zoomBy(1.25),
    },
    { keys: ["-"], where: ["page"], except: "#find", plain: true, run: () => zoomBy(1 / 1.25) },
    {
      keys: ["0"], shown: "0", where: ["page"], except: "#find", plain: true,
      does: "fit the whole chart",
      run: () => {
        setZoom(fitZoom());
        save(false);
      },
    },
  ];

  document.addEventListener("keydown", (event) => {
    const focused = event.target;
    const modified = event.ctrlKey || event.altKey || event.metaKey;
    for (const row of KEYS) {
      if (!row.run || !row.keys.includes(event.key) || (row.plain && modified)) continue;
      if (!row.where.some((name) => PLACES[name].at(focused))) continue;
      if (row.except && focused.closest?.(row.except)) continue;
      if (row.run(event, focused) === false) continue;
      if (row.prevent) event.preventDefault();
      return;
    }
  });
  page.svg.addEventListener("focusin", (event) => {
    const i = indexOf(event.target);
    if (i >= 0) reveal(i);
  });

  // The help: a row for each row of the table that says what it does.
  const help = document.getElementById("keys-help");
  for (const row of KEYS.filter((r) => r.does)) {
    const line = help.insertRow();
    const keys = line.insertCell();
    keys.append(...row.shown.split(", ").flatMap((key, k) => {
      const kbd = document.createElement("kbd");
      kbd.textContent = key;
      return k === 0 ? [kbd] : [", ", kbd];
    }));
    line.insertCell().textContent = row.where.map((name) => PLACES[name].words).join(", ");
    line.insertCell().textContent = row.does;
  }
})();
