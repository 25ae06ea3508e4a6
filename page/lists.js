// The lists beside the chart and under the search field: an item of the
// route brings its box into view, a warning, a change or a unit selects
// its advance; every item that shows an advance is reached by Tab,
// whichever script made it, and chosen by Enter as by a click (keys.js).
"use strict";
(function () {
  const { pick, show } = window.chartPage;
  document.getElementById("route-list").addEventListener("click", (event) => {
    const item = event.target.closest("li");
    if (item !== null) show(Number(item.dataset.index));
  });
  const warnings = document.getElementById("warnings");
  warnings.addEventListener("click", (event) => {
    const item = event.target.closest("li[data-index]");
    if (item !== null) pick(Number(item.dataset.index));
  });
  // A comparison's list of changes (lorvane-check --diff) and the units
  // table: an entry selects the advance it shows.
  for (const list of [document.getElementById("changes"), document.querySelector("#units tbody")]) {
    if (list === null) continue;
    list.addEventListener("click", (event) => {
      const item = event.target.closest("[data-index]");
      if (item !== null) pick(Number(item.dataset.index));
    });
  }
  // Tab reaches every item; Enter on it is a click (keys.js).
  const itemSelector = "li[data-index], tr[data-index]";
  const focusable = (root) => {
    for (const item of root.querySelectorAll(itemSelector)) {
      if (!item.hasAttribute("tabindex")) item.tabIndex = 0;
    }
  };
  for (const root of [document.getElementById("side"), document.getElementById("match-list")]) {
    focusable(root);
    new MutationObserver(() => focusable(root)).observe(root, { childList: true, subtree: true });
  }
})();
