// The chart page's overview: the whole chart drawn small on a canvas, each
// box a rectangle in its colour with the researched ones, the route and
// the targets, and a frame for what the view shows; a click or a drag
// there moves the view, and so do the arrow keys when it has the focus.
"use strict";
(function () {
  const { view, chart, boxes, width, height, marked } = window.chartPage;
  const overview = document.getElementById("overview");
  const canvas = overview.querySelector("canvas");
  const frame = document.getElementById("overview-frame");
  const toggle = document.getElementById("overview-toggle");
  const phone = matchMedia("(max-width: 700px)");
  let scale = 1;

  // The canvas small in the corner: at most 120 CSS pixels wide and a
  // third of the view's height.
  function size() {
    scale = Math.min(120 / width, Math.max(60, view.clientHeight / 3) / height);
    const ratio = devicePixelRatio || 1;
    canvas.style.width = width * scale + "px";
    canvas.style.height = height * scale + "px";
    canvas.width = Math.max(1, Math.round(width * scale * ratio));
    canvas.height = Math.max(1, Math.round(height * scale * ratio));
    draw();
    place();
  }

  // The boxes' fills: the colour of their value, where the boxes are
  // coloured, else grey; over it the route and the targets. It reads no
  // layout, so that a click that marks boxes forces none.
  let ground = null;
  function draw() {
    const ratio = canvas.width / (width * scale);
    const context = canvas.getContext("2d");
    context.setTransform(scale * ratio, 0, 0, scale * ratio, 0, 0);
    // The page's colour, read once per scheme: reading a computed style
    // after a mark would restyle the whole chart before its frame.
    ground ??= getComputedStyle(overview).getPropertyValue("--page").trim() || "#fff";
    context.fillStyle = ground;
    context.fillRect(0, 0, width, height);
    const fills = window.chartPage.fills?.() ?? [];
    // At least a pixel of the canvas, so that no box vanishes.
    const least1 = 1 / (scale * ratio);
    const paint = (indexes, colour) => {
      for (const i of indexes) {
        const [x, y, w, h] = boxes[i];
        context.fillStyle = colour ?? fills[i] ?? "#999";
        context.fillRect(x, y, Math.max(w, least1), Math.max(h, least1));
      }
    };
    paint(boxes.keys());
    paint(marked.researched, "#7a5cc0");
    paint(marked.match, "#e0b000");
    paint(marked.route, "#2a9d2a");
    paint(marked.target, "#e06000");
  }

  // The frame over the part of the chart the view shows. It moves by a
  // transform, on a layer of its own (chart.css): a step of a drag or of
  // a scroll lays out and paints nothing.
  function place() {
    const zoom = window.chartPage.zoom();
    const s = scale / zoom;
    const [w, h] = [width * scale, height * scale];
    const left = Math.max(0, view.scrollLeft * s);
    const top = Math.max(0, view.scrollTop * s);
    frame.style.transform = `translate(${left}px, ${top}px)`;
    frame.style.width = Math.min(w - left, view.clientWidth * s) + "px";
    frame.style.height = Math.min(h - top, view.clientHeight * s) + "px";
  }

  // A press on the frame drags it from where it was taken; elsewhere the
  // view's middle goes to the point first.
  let grab = null;
  function moveTo(event) {
    const r = canvas.getBoundingClientRect();
    const zoom = window.chartPage.zoom();
    const [x, y] = [(event.clientX - r.left - grab.x) / scale, (event.clientY - r.top - grab.y) / scale];
    view.scrollLeft = x * zoom;
    view.scrollTop = y * zoom;
    // Now, not when the view's scroll event comes a frame later.
    place();
  }
  overview.addEventListener("pointerdown", (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    const f = frame.getBoundingClientRect();
    const inside = event.clientX >= f.left && event.clientX <= f.right &&
      event.clientY >= f.top && event.clientY <= f.bottom;
    // The point in the frame that follows the pointer.
    grab = inside
      ? { x: event.clientX - f.left, y: event.clientY - f.top }
      : { x: f.width / 2, y: f.height / 2 };
    overview.setPointerCapture(event.pointerId);
    if (!inside) moveTo(event);
  });
  overview.addEventListener("pointermove", (event) => {
    if (grab !== null) moveTo(event);
  });
  const letGo = () => (grab = null);
  overview.addEventListener("pointerup", letGo);
  overview.addEventListener("pointercancel", letGo);

  // The arrows on the overview (keys.js) move the view by a tenth of it,
  // with Shift by a half; Home to the chart's top left corner.
  window.chartPage.moveView = (key, half) => {
    const part = half ? 0.5 : 0.1;
    const [dx, dy] = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[key] ?? [0, 0];
    if (key === "Home") view.scrollTo(0, 0);
    view.scrollLeft += dx * view.clientWidth * part;
    view.scrollTop += dy * view.clientHeight * part;
    place();
  };

  // What the overview covers of the view, in the view's pixels, so that a
  // box is brought clear of it (page.js).
  window.chartPage.covers = () => {
    if (overview.hidden) return null;
    const [o, v] = [overview.getBoundingClientRect(), view.getBoundingClientRect()];
    return { left: o.left - v.left, top: o.top - v.top, right: o.right - v.left, bottom: o.bottom - v.top };
  };

  // Shown beside a wide view; on a phone folded away until asked for.
  function show(open) {
    overview.hidden = !open;
    toggle.setAttribute("aria-expanded", String(open));
    if (open) size();
  }
  toggle.addEventListener("click", () => show(overview.hidden));
  view.addEventListener("scroll", place, { passive: true });
  chart.addEventListener("zoom", place);
  chart.addEventListener("marks", () => overview.hidden || draw());
  addEventListener("resize", () => overview.hidden || size());
  matchMedia("(prefers-color-scheme: dark)").addEventListener("change", () => {
    ground = null;
    overview.hidden || draw();
  });
  // The first drawing waits for the first frame, whose layout it reads.
  requestAnimationFrame(() => show(!phone.matches));
})();
