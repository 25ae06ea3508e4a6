// The chart page's keyboard: the arrows move between boxes, Enter or Space
// selects; "/" finds, Escape clears, + - 0 zoom.
"use strict";
(function () {
  const page = window.chartPage;
  const { svg, groups, levels, rows, prereqs, dependants, reveal, choose, setZoom, fitZoom, save } = page;
  const find = document.getElementById("find");

  const indexOf = (element) => {
    const g = element.closest("g.advance");
    return g === null ? -1 : Number(g.id.slice(1));
  };

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
    }[key];
    if (next === undefined) return;
    groups[next].focus({ preventScroll: true });
    reveal(next);
  }
  svg.addEventListener("keydown", (event) => {
    const i = indexOf(event.target);
    if (i < 0) return;
    if (event.key === "Enter" || event.key === " ") {
      event.preventDefault();
      choose(i, event.shiftKey || event.ctrlKey);
    } else if (event.key.startsWith("Arrow")) {
      event.preventDefault();
      moveFocus(i, event.key);
    }
  });
  svg.addEventListener("focusin", (event) => {
    const i = indexOf(event.target);
    if (i >= 0) reveal(i);
  });

  document.addEventListener("keydown", (event) => {
    const typing = document.activeElement === find;
    if (event.key === "Escape") {
      page.clear();
    } else if (typing || event.ctrlKey || event.altKey || event.metaKey) {
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
      setZoom(fitZoom());
      save(false);
    }
  });
})();
