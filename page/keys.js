// The chart page's keyboard: one table of the keys it answers, where each applies and what it
// does, from which both the dispatch and the help under the legend ("Keys") are made.
"use strict";
(function () {
  const page = window.chartPage;
  const { svg, chart, groups, levels, rows, prereqs, dependants, reveal, choose, setZoom, fit, save } = page;
  const find = document.getElementById("find");
  // Where the keys typed are the field's own; a list's tick is no such place.
  const TYPING = "input:not(.tick), select, textarea";

  // Where a key is pressed: the focused element is at a place when it is
  // inside what the place names. A list's item is every element that
  // shows an advance beside the chart or under the search field.
  const inside = (selector) => (element) => element.closest?.(selector) != null;
  const PLACES = {
    box: { at: (element) => svg.contains(element) && inside("g.advance")(element), words: "a box" },
    item: { at: inside("li[data-index], tr[data-index]"), words: "an item of a list" },
    field: { at: (element) => element === find, words: "the search field" },
    search: { at: inside("#finder"), words: "the search field and its matches" },
    overview: { at: inside("#overview"), words: "the overview" },
    page: { at: () => true, words: "the page" },
  };

  // The advance of a box, or of an item of a list; -1 for none.
  const indexOf = (element) => {
    const g = element.closest?.("g.advance");
    if (g !== null && g !== undefined) return Number(g.id.slice(1));
    const item = element.closest?.("[data-index]");
    return item === null || item === undefined ? -1 : Number(item.dataset.index);
  };
  const zoomBy = (factor) => {
    setZoom(page.zoom() * factor);
    save(false);
  };

  // One box at a time takes Tab (a roving focus, as grids and trees
  // have): the one last focused, at first the root, after a selection
  // its last target.
  let current = 0;
  for (const g of groups) g.tabIndex = -1;
  function rove(i) {
    groups[current].tabIndex = -1;
    current = i;
    groups[i].tabIndex = 0;
  }
  function roveToTarget() {
    const targets = page.targets();
    if (targets.length > 0 && !svg.contains(document.activeElement)) rove(targets[targets.length - 1]);
  }
  rove(0);
  // The address's selection came before this script.
  roveToTarget();
  chart.addEventListener("marks", roveToTarget);
  // Along the row (to its ends), up to the first prerequisite, down to
  // the first dependant.
  function moveFocus(i, key) {
    const row = rows[levels[i]];
    const at = row.indexOf(i);
    const next = {
      ArrowLeft: row[at - 1],
      ArrowRight: row[at + 1],
      ArrowUp: prereqs[i][0],
      ArrowDown: dependants[i][0],
      Home: row[0],
      End: row[row.length - 1],
    }[key];
    if (next === undefined) return;
    rove(next);
    groups[next].focus({ preventScroll: true });
    reveal(next);
  }

  // Each row: the keys (KeyboardEvent.key), as the help shows them; the
  // places it applies at (PLACES) and where not ("except", a selector of
  // the focused element); "plain" when it goes with neither Ctrl, Alt nor
  // Meta, "ctrl" when with Ctrl (or Meta) and not Alt; "shift" when it
  // goes only with Shift (true) or only without (false), else either;
  // whether the browser's own action is prevented; what it does, in the
  // help's words; and its handler, given the event and the focused
  // element, which returns false when it did nothing. A row without
  // handler is the browser's own, listed in the help only; a row without
  // words is shown by the row before. The first row that applies takes
  // the key.
  const KEYS = [
    {
      keys: ["/"], shown: "/", where: ["page"], except: TYPING, plain: true, prevent: true,
      does: "to the search field (names, codes and unit names; a unit finds its advance)",
      run: () => find.focus(),
    },
    {
      keys: ["Enter"], shown: "Enter", where: ["field"], prevent: true,
      does: "select the next match, round the end, and close the list; with Shift the one before",
      run: (event) => page.step(event.shiftKey ? -1 : 1, null, true),
    },
    {
      keys: ["ArrowDown", "ArrowUp"], shown: "Down, Up", where: ["search"], prevent: true,
      does: "open the list of matches and select the next, the one before",
      run: (event, at) => page.step(event.key === "ArrowDown" ? 1 : -1, at === find ? null : at, false),
    },
    {
      keys: ["Escape"], shown: "Esc", where: ["search"],
      does: "clear the search field and close its list (the selection stays)",
      run: (event, at) => {
        page.clearSearch();
        // From a match, which is gone now, back to the field.
        if (at !== find) find.focus();
      },
    },
    {
      keys: ["Escape"], shown: "Esc", where: ["page"],
      does: "clear the search and the selection",
      run: () => page.clear(),
    },
    {
      keys: ["Tab"], shown: "Tab, Shift+Tab", where: ["page"],
      does: "first a link to the side panel; the chart is one stop (the box last focused), then the overview and the items of the lists",
    },
    {
      keys: ["ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"], shown: "arrows", where: ["box"], prevent: true,
      does: "left and right along the row, up to a prerequisite, down to a dependant",
      run: (event, at) => moveFocus(indexOf(at), event.key),
    },
    {
      keys: ["Home", "End"], shown: "Home, End", where: ["box"], prevent: true,
      does: "to the first box of the row, the last",
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
      keys: ["ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"], shown: "arrows", where: ["overview"], prevent: true,
      does: "move the view by a tenth, with Shift by a half",
      run: (event) => page.moveView(event.key, event.shiftKey),
    },
    {
      keys: ["Home"], shown: "Home", where: ["overview"], prevent: true,
      does: "the view to the chart's top left corner",
      run: (event) => page.moveView(event.key, false),
    },
    {
      keys: ["r", "R"], shown: "R", where: ["page"], except: TYPING, plain: true, prevent: true,
      does: "mark the focused box or item (else the one selected) researched with all it needs, or not with all that needs it",
      run: (event, at) => {
        const selected = page.targets();
        const i = indexOf(at) >= 0 ? indexOf(at) : selected.length === 1 ? selected[0] : -1;
        if (i <= 0) return false;
        page.toggleResearched(i);
      },
    },
    {
      keys: ["z", "Z"], shown: "Ctrl+Z", where: ["page"], except: TYPING, ctrl: true, shift: false, prevent: true,
      does: "undo the last change of the plan (up to 50, Clear among them)",
      run: () => page.undo(),
    },
    {
      keys: ["y", "Y"], shown: "Ctrl+Y, Ctrl+Shift+Z", where: ["page"], except: TYPING, ctrl: true, prevent: true,
      does: "redo what was undone",
      run: () => page.redo(),
    },
    { keys: ["z", "Z"], where: ["page"], except: TYPING, ctrl: true, shift: true, prevent: true, run: () => page.redo() },
    {
      keys: ["+", "="], shown: "+, -", where: ["page"], except: TYPING, plain: true,
      does: "zoom in, out (about the middle of the view)",
      run: () => zoomBy(1.25),
    },
    { keys: ["-"], where: ["page"], except: TYPING, plain: true, run: () => zoomBy(1 / 1.25) },
    {
      keys: ["0"], shown: "0", where: ["page"], except: TYPING, plain: true,
      does: "fit the tree's width, or with a selection its route",
      run: () => {
        fit();
        save(false);
      },
    },
  ];

  const applies = (row, event) => {
    const ctrl = event.ctrlKey || event.metaKey;
    if (row.plain && (ctrl || event.altKey)) return false;
    if (row.ctrl && (!ctrl || event.altKey)) return false;
    return row.shift === undefined || row.shift === event.shiftKey;
  };
  document.addEventListener("keydown", (event) => {
    const focused = event.target;
    for (const row of KEYS) {
      if (!row.run || !row.keys.includes(event.key) || !applies(row, event)) continue;
      if (!row.where.some((name) => PLACES[name].at(focused))) continue;
      if (row.except && focused.closest?.(row.except)) continue;
      if (row.run(event, focused) === false) continue;
      if (row.prevent) event.preventDefault();
      return;
    }
  });
  svg.addEventListener("focusin", (event) => {
    const i = indexOf(event.target);
    if (i < 0) return;
    rove(i);
    reveal(i);
  });

  // The help: a row for each row of the table that says what it does.
  const help = document.getElementById("keys-help").tBodies[0];
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
