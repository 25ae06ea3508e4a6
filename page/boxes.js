// The chart page's boxes as every player meets them: each named by what it
// shows (its texts), its state (target, on the route, researched, available, found,
// dimmed) said beside its level, what it needs and how many need it; and
// the focus ring, drawn over the view at the same width at every zoom.
"use strict";
(function () {
  const page = window.chartPage;
  const { svg, sizer, chart, groups, boxes, names, levels, prereqs, dependants, marked } = page;

  // The name: the box's texts as it shows them, in order, which is what
  // a button is named by without a label or a title. The SVG's own label
  // (name, epoch, category, level; read by colour.js before) and its
  // tooltip go: the tooltip is kept for the pointer (pointer.js), and the
  // level and prerequisites are said in the description.
  const tooltips = groups.map((g) => {
    g.removeAttribute("aria-label");
    const title = g.querySelector("title");
    title?.remove();
    return title?.textContent ?? "";
  });
  page.tooltip = (i) => tooltips[i];

  // How many advances need each one, near or far: the sets of those that
  // need it, as bits, joined from the deepest level up.
  const words = Math.ceil(groups.length / 32);
  const needers = new Uint32Array(groups.length * words);
  const order = groups.map((g, i) => i).sort((a, b) => levels[b] - levels[a]);
  for (const i of order) {
    const into = i * words;
    for (const d of dependants[i]) {
      needers[into + (d >> 5)] |= 1 << (d & 31);
      for (let w = 0; w < words; ++w) needers[into + w] |= needers[d * words + w];
    }
  }
  const bits = (v) => {
    v -= (v >>> 1) & 0x55555555;
    v = (v & 0x33333333) + ((v >>> 2) & 0x33333333);
    return (((v + (v >>> 4)) & 0x0f0f0f0f) * 0x01010101) >>> 24;
  };
  const plural = (n, word) => `${n} ${word}${n === 1 ? "" : "s"}`;
  const fixed = groups.map((g, i) => {
    let count = 0;
    for (let w = 0; w < words; ++w) count += bits(needers[i * words + w]);
    const needs = prereqs[i].length === 0 ? "" : "; needs " + prereqs[i].map((p) => names[p]).join(", ");
    const opens = count === 0 ? "nothing needs it" : `${plural(count, "advance")} ${count === 1 ? "needs" : "need"} it`;
    return `level ${levels[i]}${needs}; ${opens}`;
  });

  // The state of each box from the marks, said first; only what changed is
  // written again. A target is a pressed button: a press takes it back.
  const STATES = [["route", "on the route"], ["opens", "needs a target"], ["researched", "researched"],
    ["available", "ready to research"], ["match", "found"], ["warned", "warned"], ["dimmed", "dimmed"]];
  const said = groups.map(() => null);
  const pressed = groups.map(() => null);
  function describe() {
    const states = groups.map(() => "");
    for (const [mark, word] of STATES) {
      for (const i of marked[mark] ?? []) states[i] += word + "; ";
    }
    const targets = new Set(marked.target);
    groups.forEach((g, i) => {
      const text = states[i] + fixed[i];
      if (said[i] !== text) g.setAttribute("aria-description", (said[i] = text));
      const on = targets.has(i);
      if (pressed[i] !== on) g.setAttribute("aria-pressed", String((pressed[i] = on)));
    });
  }
  chart.addEventListener("marks", describe);
  describe();

  // The ring: an element over the chart, outside its zoom, so that it is
  // as wide on the screen at every zoom, black between two white lines
  // to stand out against any fill.
  const ring = document.createElement("div");
  ring.id = "focus-ring";
  ring.hidden = true;
  sizer.appendChild(ring);
  let ringed = -1;
  function placeRing() {
    if (ringed < 0) return;
    const zoom = page.zoom();
    const [x, y, w, h] = boxes[ringed];
    Object.assign(ring.style, {
      left: (x - 0.5) * zoom + "px",
      top: (y - 0.5) * zoom + "px",
      width: (w + 1) * zoom + "px",
      height: (h + 1) * zoom + "px",
    });
  }
  svg.addEventListener("focusin", (event) => {
    const g = event.target.closest?.("g.advance");
    ringed = g === null ? -1 : Number(g.id.slice(1));
    ring.hidden = ringed < 0 || !g.matches(":focus-visible");
    placeRing();
  });
  svg.addEventListener("focusout", () => {
    ringed = -1;
    ring.hidden = true;
  });
  chart.addEventListener("zoom", placeRing);
})();
