// The chart page's colours: the boxes filled by their epoch or their
// category (#colour=epoch or #colour=category in the address), the
// legend's list of the values with their colours and counts, and a click
// on a value there to dim the boxes of every other value.
"use strict";
(function () {
  const page = window.chartPage;
  const { chart, groups, fillLayer } = page;
  const select = document.getElementById("colour");
  const key = document.getElementById("colour-key");
  const heading = document.getElementById("colour-heading");
  const list = document.getElementById("colour-values");
  // Okabe and Ito's colours, which stay apart for the common colour-vision
  // deficiencies, halfway to white so that black text stays legible; the
  // yellow late, as it is near the fill of what a search found.
  const PALETTE = ["#f2cf7f", "#aad9f4", "#7fceb9", "#e5bcd3", "#7fb8d8", "#eaae7f", "#f7f1a0", "#cccccc"];
  const HEADINGS = { epoch: "Epochs", category: "Categories" };
  // The values' names as each box's label gives them: "name, epoch,
  // category, level N" (a name may hold a comma; the rest does not).
  const labels = groups.map((g) => g.getAttribute("aria-label").split(", "));
  const nameOf = { epoch: (i) => labels[i].at(-3), category: (i) => labels[i].at(-2) };
  // Under the marks' fills, so that a selection's hatching covers them;
  // the filter over them, the same hatching. Made when first needed: a
  // page without colours loads as before.
  let colours = null;
  let dim = null;

  let mode = "";
  let chosen = null;
  let colourOf = new Map();
  const value = (i) => Number(groups[i].dataset[mode]);
  page.fills = () =>
    mode === "" ? [] : groups.map((g, i) =>
      chosen === null || value(i) === chosen ? colourOf.get(value(i)) : "#e8e8e8");

  function apply(wanted) {
    if (colours === null && !HEADINGS[wanted]) {
      select.value = "";
      return;
    }
    if (colours === null) {
      colours = page.layer("colours", fillLayer);
      dim = page.addPath(page.layer("filter", fillLayer), "tint-dimmed");
    }
    for (const g of groups) g.classList.remove(...[...g.classList].filter((c) => c.startsWith("colour-")));
    mode = HEADINGS[wanted] ? wanted : "";
    select.value = mode;
    const byValue = new Map();
    if (mode !== "") {
      groups.forEach((g, i) => {
        if (!byValue.has(value(i))) byValue.set(value(i), []);
        byValue.get(value(i)).push(i);
        g.classList.add("colour-" + value(i));
      });
    }
    const sorted = [...byValue.keys()].sort((a, b) => a - b);
    colourOf = new Map(sorted.map((v, k) => [v, PALETTE[k % PALETTE.length]]));
    colours.replaceChildren();
    const items = sorted.map((v) => {
      const path = page.addPath(colours, "colour-" + v);
      path.setAttribute("fill", colourOf.get(v));
      path.setAttribute("d", page.boxPath(byValue.get(v), 0));
      const item = document.createElement("li");
      const button = document.createElement("button");
      button.type = "button";
      button.dataset.value = v;
      button.setAttribute("aria-pressed", "false");
      button.title = "Dim every other box (again: show all)";
      const swatch = document.createElementNS(page.svg.namespaceURI, "svg");
      swatch.setAttribute("width", "24");
      swatch.setAttribute("height", "14");
      swatch.setAttribute("aria-hidden", "true");
      const rect = document.createElementNS(page.svg.namespaceURI, "rect");
      for (const [name, at] of [["x", 1.5], ["y", 1.5], ["width", 21], ["height", 11]]) {
        rect.setAttribute(name, at);
      }
      rect.setAttribute("fill", colourOf.get(v));
      rect.setAttribute("stroke", "#000");
      swatch.appendChild(rect);
      const count = byValue.get(v).length;
      button.append(swatch, ` ${nameOf[mode](byValue.get(v)[0])}: ${count} advance${count === 1 ? "" : "s"}`);
      item.appendChild(button);
      return item;
    });
    list.replaceChildren(...items);
    heading.textContent = HEADINGS[mode] ?? "";
    key.hidden = mode === "";
    // With colours the marks of a selection and the plan are frames only.
    document.body.classList.toggle("coloured", mode !== "");
    filter(null, byValue);
  }

  // Dims every box whose value is not v (null: none).
  let groupsOf = new Map();
  function filter(v, byValue = groupsOf) {
    groupsOf = byValue;
    chosen = byValue.has(v) ? v : null;
    const others = chosen === null ? [] : [...groups.keys()].filter((i) => value(i) !== chosen);
    dim.setAttribute("d", page.boxPath(others, 0));
    for (const button of list.querySelectorAll("button")) {
      button.setAttribute("aria-pressed", String(Number(button.dataset.value) === chosen));
    }
    chart.dispatchEvent(new Event("marks"));
  }
  list.addEventListener("click", (event) => {
    const button = event.target.closest("button");
    if (button !== null) filter(Number(button.dataset.value) === chosen ? null : Number(button.dataset.value));
  });

  // The address keeps the choice beside the other scripts' entries.
  const wanted = () => new URLSearchParams(location.hash.slice(1)).get("colour") ?? "";
  select.addEventListener("change", () => {
    apply(select.value);
    const state = new URLSearchParams(location.hash.slice(1));
    if (mode === "") state.delete("colour");
    else state.set("colour", mode);
    const hash = state.toString();
    history.replaceState(history.state, "", hash === "" ? location.pathname + location.search : "#" + hash);
  });
  const follow = () => wanted() !== mode && apply(wanted());
  addEventListener("popstate", follow);
  addEventListener("hashchange", follow);
  apply(wanted());
})();
