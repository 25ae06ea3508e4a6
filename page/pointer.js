// The chart page's pointer: a click on a box selects it, a drag pans (mouse
// or one finger), two fingers pinch and Ctrl+wheel zooms; the box under
// the pointer shows its tooltip.
"use strict";
(function () {
  const page = window.chartPage;
  const { view, sizer, groups, boxes, choose, setZoom, save } = page;

  // The pointer meets a clear layer over the chart, not the SVG: finding
  // the element under a point of a large SVG costs a browser far more than
  // finding the box among the boxes' rectangles. The layer shows the box's
  // tooltip and the pointing hand itself.
  const catcher = document.createElement("div");
  catcher.id = "catcher";
  sizer.appendChild(catcher);
  function boxAt(event) {
    const r = sizer.getBoundingClientRect();
    const [x, y] = [(event.clientX - r.left) / page.zoom(), (event.clientY - r.top) / page.zoom()];
    // A rect's outline runs through the middle of its border pixels.
    return boxes.findIndex(([bx, by, bw, bh]) =>
      x >= bx - 0.5 && x < bx + bw + 0.5 && y >= by - 0.5 && y < by + bh + 0.5);
  }
  // A box's tooltip is read when the pointer first meets it, not at load.
  // (boxes.js keeps them once it has taken them out of the boxes.)
  const tooltip = (i) => page.tooltip?.(i) ?? groups[i].querySelector("title")?.textContent ?? "";
  let hovered = -1;
  catcher.addEventListener("mousemove", (event) => {
    const i = boxAt(event);
    if (i === hovered) return;
    hovered = i;
    catcher.title = i < 0 ? "" : tooltip(i);
    catcher.classList.toggle("over", i >= 0);
  });
  catcher.addEventListener("click", (event) => {
    choose(boxAt(event), event.shiftKey || event.ctrlKey || event.metaKey);
  });

  // Ctrl+wheel and a trackpad's pinch zoom in proportion to the wheel's
  // travel, about the pointer; the wheel alone scrolls.
  view.addEventListener(
    "wheel",
    (event) => {
      if (!event.ctrlKey) return;
      event.preventDefault();
      const pixels = event.deltaY * (event.deltaMode === 1 ? 16 : event.deltaMode === 2 ? 400 : 1);
      const r = view.getBoundingClientRect();
      setZoom(page.zoom() * Math.exp(-pixels / 300), event.clientX - r.left, event.clientY - r.top);
      save(false);
    },
    { passive: false }
  );

  // A drag pans (mouse or one finger); two fingers pinch the chart.
  const pointers = new Map();
  let drag = null;
  let dragged = false;
  let pinch = null;
  const distance = ([a, b]) => Math.hypot(a.x - b.x, a.y - b.y);
  view.addEventListener("pointerdown", (event) => {
    if (event.button !== 0) return;
    // A mouse press begins no selection of the chart's text, which the
    // next press would drag away as the browser's own drag and drop; the
    // focus leaves a field as a press elsewhere would take it.
    if (event.pointerType === "mouse") {
      event.preventDefault();
      if (document.activeElement !== document.body) document.activeElement.blur();
    }
    pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    dragged = false;
    if (pointers.size === 1) {
      drag = { x: event.clientX, y: event.clientY, left: view.scrollLeft, top: view.scrollTop };
    } else if (pointers.size === 2) {
      const both = [...pointers.values()];
      pinch = { zoom: page.zoom(), distance: distance(both) };
      drag = null;
    }
  });
  view.addEventListener("pointermove", (event) => {
    if (!pointers.has(event.pointerId)) return;
    pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (pinch !== null && pointers.size === 2) {
      const both = [...pointers.values()];
      const r = view.getBoundingClientRect();
      const [x, y] = [(both[0].x + both[1].x) / 2 - r.left, (both[0].y + both[1].y) / 2 - r.top];
      setZoom((pinch.zoom * distance(both)) / Math.max(1, pinch.distance), x, y);
      dragged = true;
    } else if (drag !== null) {
      const [dx, dy] = [event.clientX - drag.x, event.clientY - drag.y];
      if (!dragged && Math.hypot(dx, dy) < 5) return;
      if (!dragged) view.setPointerCapture(event.pointerId);
      dragged = true;
      view.classList.add("dragging");
      view.scrollLeft = drag.left - dx;
      view.scrollTop = drag.top - dy;
    }
  });
  function release(event) {
    pointers.delete(event.pointerId);
    if (pointers.size < 2 && pinch !== null) {
      pinch = null;
      save(false);
    }
    if (pointers.size === 0) drag = null;
    view.classList.remove("dragging");
  }
  view.addEventListener("pointerup", release);
  view.addEventListener("pointercancel", release);
  view.addEventListener("dragstart", (event) => event.preventDefault());
  // The click that ends a drag selects nothing.
  view.addEventListener(
    "click",
    (event) => {
      if (dragged) event.stopPropagation();
      dragged = false;
    },
    true
  );
})();
