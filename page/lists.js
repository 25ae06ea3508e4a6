// The lists beside the chart: an item of the route brings its box into
// view, a warning, a change or a unit selects its advance; each by its
// button (items.js), reached by Tab, chosen by a click, Space or Enter
// (keys.js).
"use strict";
(function () {
  const { pick, show } = window.chartPage;
  document.getElementById("route-list").addEventListener("click", (event) => {
    const item = !event.target.closest(".tick") && event.target.closest("li[data-index]");
    if (item) show(Number(item.dataset.index));
  });
  // The warnings and a comparison's changes come as the page was written:
  // each item that shows an advance gets its button here.
  for (const item of document.querySelectorAll("#warnings li[data-index], #changes li[data-index]")) {
    item.removeAttribute("tabindex");
    item.append(makePick(...item.childNodes));
  }
  // A warning, a change or a unit's row selects the advance it shows.
  for (const list of [document.getElementById("warnings"), document.getElementById("changes"),
    document.querySelector("#units tbody")]) {
    if (list === null) continue;
    list.addEventListener("click", (event) => {
      const item = event.target.closest("[data-index]");
      if (item !== null) pick(Number(item.dataset.index));
    });
  }
})();
