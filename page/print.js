// The chart page on paper: the chart cut into strips that fit a page's
// width, or with a selection only the strips that hold its boxes.
"use strict";
(function () {
  const { svg, chart, groups, boxes, rows, marked, targets } = window.chartPage;

  // On paper the chart is cut into strips, a row of boxes each with the
  // links above it, cut between boxes to the width of a page, at a scale
  // that keeps texts at 6 points. With a selection, only the strips that
  // hold its boxes. Each strip holds only the boxes and links that cross
  // it: a browser lays out for print every element it is given.
  const PRINT_SCALE = 0.75;
  const PAGE_WIDTH = 680;
  const printed = document.getElementById("print");
  // Pieces of at most limit, cut between the spans, which are in order.
  function cuts(spans, limit) {
    const pieces = [];
    let from = spans[0][0];
    for (let k = 1; k < spans.length; ++k) {
      if (spans[k][1] - from > limit) {
        const at = Math.floor((spans[k - 1][1] + spans[k][0]) / 2);
        pieces.push([from, at]);
        from = at;
      }
    }
    pieces.push([from, spans[spans.length - 1][1]]);
    return pieces;
  }
  const lineEnds = (line) => ["x1", "y1", "x2", "y2"].map((k) => line[k].baseVal.value);
  // The part of the segment inside the rectangle [left, right] x [top,
  // bottom], or null: its stretch between the left and right edges, then
  // between the top and bottom ones.
  function clipped([x1, y1, x2, y2], [left, top, right, bottom]) {
    let [from, to] = [0, 1];
    for (const [start, end, low, high] of [[x1, x2, left, right], [y1, y2, top, bottom]]) {
      if (start === end) {
        if (start < low || start > high) return null;
        continue;
      }
      const [a, b] = [(low - start) / (end - start), (high - start) / (end - start)];
      [from, to] = [Math.max(from, Math.min(a, b)), Math.min(to, Math.max(a, b))];
    }
    if (from > to) return null;
    return [x1 + (x2 - x1) * from, y1 + (y2 - y1) * from, x1 + (x2 - x1) * to, y1 + (y2 - y1) * to];
  }
  // Each box's links and their ends, read at the first print.
  let groupLines = null;
  let lineSpans = null;
  // The chart's part in the rectangle: its style, the boxes that meet it,
  // each after the part of its links inside the rectangle (a printer draws
  // a link's whole length, and the far links' dashes one by one, however
  // little of it a page shows); the marks' layers, a few paths, whole.
  function printedPart(area) {
    const part = svg.cloneNode(false);
    for (const child of svg.children) {
      if (child.tagName === "style") part.appendChild(child.cloneNode(true));
    }
    // A pixel beyond the rectangle, so that no line ends inside it.
    const [left, top, right, bottom] = area;
    const around = [left - 1, top - 1, right + 1, bottom + 1];
    groups.forEach((g, i) => {
      lineSpans[i].forEach((ends, k) => {
        const inside = clipped(ends, around);
        if (inside === null) return;
        // On paper the far links are dashed (chart.css): the screen's
        // stripe patterns take a printer seconds a page.
        const line = groupLines[i][k].cloneNode(false);
        line.removeAttribute("stroke");
        ["x1", "y1", "x2", "y2"].forEach((name, n) => line.setAttribute(name, inside[n]));
        part.appendChild(line);
      });
      const [x, y, w, h] = boxes[i];
      if (x > right || x + w < left || y > bottom || y + h < top) return;
      const box = g.cloneNode(true);
      for (const line of box.querySelectorAll("line.near, line.far")) line.remove();
      part.appendChild(box);
    });
    // The layers under the chart before it, those over it after; the veil
    // that pales the links on screen stays off the paper.
    const layers = [...chart.children].filter((child) => child.tagName === "svg" && child.id !== "veil");
    const at = layers.indexOf(svg);
    const copies = layers.map((child) => (child === svg ? part : child.cloneNode(true)));
    return at < 0 ? [part, ...copies] : copies;
  }
  window.addEventListener("beforeprint", () => {
    groupLines ??= groups.map((g) => [...g.querySelectorAll("line.near, line.far")]);
    lineSpans ??= groupLines.map((lines) => lines.map(lineEnds));
    const wanted = new Set([...targets(), ...marked.route]);
    const strips = [];
    let top = 0;
    for (const row of rows) {
      const bottom = Math.max(...row.map((i) => boxes[i][1] + boxes[i][3])) + 2;
      const spans = row.map((i) => [boxes[i][0] - 3, boxes[i][0] + boxes[i][2] + 2]);
      for (const [left, right] of cuts(spans, PAGE_WIDTH / PRINT_SCALE)) {
        const holds = row.some((i) => wanted.has(i) && boxes[i][0] >= left && boxes[i][0] < right);
        if (wanted.size > 0 && !holds) continue;
        const strip = document.createElementNS(svg.namespaceURI, "svg");
        strip.setAttribute("class", "strip");
        strip.setAttribute("viewBox", `${left} ${top} ${right - left} ${bottom - top}`);
        strip.setAttribute("width", (right - left) * PRINT_SCALE);
        strip.setAttribute("height", (bottom - top) * PRINT_SCALE);
        strip.append(...printedPart([left, top, right, bottom]));
        strips.push(strip);
      }
      top = bottom;
    }
    printed.replaceChildren(...strips);
  });
  window.addEventListener("afterprint", () => printed.replaceChildren());
})();
