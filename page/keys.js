// The chart page's keyboard: the chart is one stop of Tab, the arrows move
// between its boxes, Enter or Space selects; "/" finds, Escape clears,
// + - 0 zoom and fit.
"use strict";
(function () {
  const page = window.chartPage;
  const { svg, chart, groups, levels, rows, prereqs, dependants, reveal, choose, setZoom, fit, save } = page;
  const find = document.getElementById("find");

  const indexOf = (element) => {
    const g = element.closest("g.advance");
    return g === null ? -1 : Number(g.id.slice(1));
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
  rove(0);
  chart.addEventListener("marks", () => {
    const targets = page.targets();
    if (targets.length > 0 && !svg.contains(document.activeElement)) rove(targets[targets.length - 1]);
  });

  // The keyboard on a box: Enter or Space selects, the arrows move along
  // the row and to a prerequisite or a dependant.
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
  svg.addEventListener("keydown", (event) => {
    const i = indexOf(event.target);
    if (i < 0) return;
    if (event.key === "Enter" || event.key === " ") {
      event.preventDefault();
      choose(i, event.shiftKey || event.ctrlKey);
    } else if (event.key.startsWith("Arrow") || event.key === "Home" || event.key === "End") {
      event.preventDefault();
      moveFocus(i, event.key);
    }
  });
  svg.addEventListener("focusin", (event) => {
    const i = indexOf(event.target);
    if (i < 0) return;
    rove(i);
    reveal(i);
  });

  document.addEventListener("keydown", (event) => {
    const typing = document.activeElement === find;
    if (event.key === "Escape") {
      // In the field: the field and its list only.
      if (typing) page.clearSearch();
      else page.clear();
    } else if (typing || event.ctrlKey || event.altKey || event.metaKey) {
      return;
    } else if (event.target.closest?.("input, select, textarea")) {
      return;
    } else if (event.key === "/") {
      event.preventDefault();
      find.focus();
    } else if (event.key === "+" || event.key === "=") {
      setZoom(page.zoom() * 1.25);
      save(false);
    } else if (event.key === "-") {
      setZoom(page.zoom() / 1.25);
      save(false);
    } else if (event.key === "0") {
      fit();
      save(false);
    }
  });
})();
