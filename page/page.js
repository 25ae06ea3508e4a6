// The chart page's own state: the advances and their links as the SVG
// gives them, the marks (matches, the route of the selected advances, what
// they open) drawn in layers over the chart, the route's list, the zoom,
// and the address (#find=TEXT&route=CODE,CODE&have=CODE,CODE&zoom=Z;
// entries it does not know are kept for the page's other scripts). The
// search (find.js) and the player's plan (plan.js) run before it, and it
// makes them (makeFinder, makePlan); what the scripts after it need of
// the chart it hands over as window.chartPage.
"use strict";
(function () {
  const svg = document.querySelector("svg.chart");
  const view = document.getElementById("view");
  const sizer = document.getElementById("sizer");
  const chart = document.getElementById("chart");
  const find = document.getElementById("find");
  const summary = document.getElementById("summary");
  const routeList = document.getElementById("route-list");
  const routeHeading = document.getElementById("route-heading");
  const routeMore = document.getElementById("route-more");
  const width = svg.viewBox.baseVal.width;
  const height = svg.viewBox.baseVal.height;
  const MARKS = ["match", "opens", "route", "target", "warned", "researched", "available", "dimmed"];
  const MAX_ZOOM = 8;
  // Each mark is a fill under the chart, whose boxes are clear on the page
  // (texts and lines stay on top, and one fill never blends into another:
  // the later in FILLS covers the earlier), or a frame over it, or both;
  // the box's own colours (colour.js) lie under the fills. A frame's
  // margin from the box's outline: inside the box, clear of the links
  // that end there, so that the advances available on a page without a
  // plan leave the chart's outlines as the viewer draws them; found ones
  // in a ring around the box. The frames of the plan and of the target
  // lie under the chart with the fills (FRAMES_UNDER), the links that
  // cross their boxes drawn over them, as in the viewer: a mark of the
  // plan then draws one layer again, not two, and a new selection two
  // (the fills and the veil).
  const FILLS = ["dimmed", "researched", "match", "opens", "route", "target"];
  const FRAMES = ["opens", "route", "target", "researched", "available", "match", "warned"];
  const FRAMES_UNDER = ["target", "researched", "available"];
  const MARGIN = { researched: -2, available: -3.5, match: 3.5 };

  // The advances by index (0 the root, then the rules file's order), with
  // their links both ways as the file gives them.
  const groups = [];
  for (const g of svg.querySelectorAll("g.advance")) groups[Number(g.id.slice(1))] = g;
  const prereqs = groups.map(() => []);
  const dependants = groups.map(() => []);
  groups.forEach((g, i) => {
    for (const name of ["data-prereq1", "data-prereq2"]) {
      const p = g.getAttribute(name);
      if (p === null || prereqs[i].includes(Number(p))) continue;
      prereqs[i].push(Number(p));
      dependants[Number(p)].push(i);
    }
  });
  const names = groups.map((g) => g.querySelector("text.name").textContent);
  const levels = groups.map((g) => Number(g.dataset.level));
  // The units each advance enables, by the name drawn in its box: the text
  // before the cost's tspan, none where the name is empty.
  const units = groups.map(() => []);
  for (const text of svg.querySelectorAll("text.unit")) {
    const name = text.firstChild.nodeType === Node.TEXT_NODE ? text.firstChild.nodeValue : "";
    units[Number(text.parentNode.id.slice(1))].push(name);
  }
  // Each box's outline as its rect gives it: the middle of the border pixels.
  const boxes = groups.map((g) => {
    const r = g.querySelector("rect");
    return [r.x, r.y, r.width, r.height].map((length) => length.baseVal.value);
  });
  // The rows, each in order from the left, for the arrow keys.
  const rows = [];
  groups.forEach((g, i) => (rows[levels[i]] = rows[levels[i]] || []).push(i));
  const links = [...svg.querySelectorAll("line.near, line.far")];
  const linkEnds = links.map((line) => [Number(line.dataset.from), Number(line.dataset.to)]);

  // The marks are classes on the advances' groups, drawn in layers of
  // their own, so that marking repaints those layers and not the chart
  // (whose dotted links are slow to draw): the fills under the chart; over
  // it a veil that pales the links between the boxes during a selection,
  // with the selection's links drawn again over it, and the frames that
  // do not lie with the fills.
  function layer(id, before = null) {
    const element = document.createElementNS(svg.namespaceURI, "svg");
    element.id = id;
    for (const name of ["viewBox", "width", "height"]) {
      element.setAttribute(name, svg.getAttribute(name));
    }
    chart.insertBefore(element, before);
    return element;
  }
  function addPath(parent, className) {
    const path = document.createElementNS(svg.namespaceURI, "path");
    path.setAttribute("class", className);
    parent.appendChild(path);
    return path;
  }
  // Under the chart: the boxes' paper (drawn only where it is not the
  // chart's own ground, chart.css), the colours' layers (colour.js), the
  // marks' fills with the dimmed boxes' hatching.
  const paper = addPath(layer("paper", svg), "paper");
  const fills = layer("fills", svg);
  // The hatch's lines run diagonally in an upright tile: a turned tile
  // costs more to draw at every zoom and every new selection.
  fills.innerHTML = '<defs><pattern id="hatch" width="6" height="6" patternUnits="userSpaceOnUse">' +
    '<rect class="hatch-ground" width="6" height="6"/>' +
    '<path class="hatch-line" d="M0 4L4 0H6L0 6ZM6 4V6H4Z"/></pattern></defs>';
  const veil = layer("veil");
  const holes = addPath(veil, "veil");
  // One element per link: a browser draws only those that cross the part
  // of the view it draws, where it would go along a whole path.
  const routeLinks = document.createElementNS(svg.namespaceURI, "g");
  veil.appendChild(routeLinks);
  const tints = layer("tints");
  // Their classes are not the groups' own, so that marking a group
  // matches no style rule and restyles nothing.
  const fill = {};
  for (const mark of FILLS) fill[mark] = addPath(fills, "tint-" + mark);
  const frame = {};
  for (const mark of FRAMES) frame[mark] = addPath(FRAMES_UNDER.includes(mark) ? fills : tints, "frame frame-" + mark);
  const marked = {};
  for (const mark of MARKS) marked[mark] = [];

  // Rectangles around the boxes, grown by the margin on every side.
  function boxPath(indexes, margin) {
    let path = "";
    for (const i of indexes) {
      const [x, y] = [boxes[i][0] - margin, boxes[i][1] - margin];
      const [w, h] = [boxes[i][2] + 2 * margin, boxes[i][3] + 2 * margin];
      path += `M${x} ${y}h${w}v${h}h${-w}Z`;
    }
    return path;
  }
  const same = (a, b) => a.length === b.length && a.every((v, k) => v === b[k]);
  function mark(className, indexes) {
    // Unchanged marks are left alone: the browser draws nothing again;
    // of the groups, only those whose mark changes change class.
    const now = [...indexes];
    if (same(marked[className], now)) return;
    const flags = new Uint8Array(groups.length);
    for (const i of marked[className]) flags[i] = 1;
    for (const i of now) flags[i] |= 2;
    for (const i of marked[className]) if (flags[i] === 1) groups[i].classList.remove(className);
    for (const i of now) if (flags[i] === 2) groups[i].classList.add(className);
    marked[className] = now;
    fill[className]?.setAttribute("d", boxPath(marked[className], 0));
    frame[className]?.setAttribute("d", boxPath(marked[className], MARGIN[className] ?? 0));
  }
  // Every box on its paper; the veil over everything between the boxes
  // (and the target's wider outline).
  paper.setAttribute("d", boxPath(groups.keys(), 0));
  holes.setAttribute("d", `M0 0H${width}V${height}H0Z` + boxPath(groups.keys(), 1.5));

  // Only ASCII letters fold, as in lorvane-check.
  const fold = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());
  const plural = (n, word) => n + " " + word + (n === 1 ? "" : "s");
  const byLevel = (a, b) => levels[a] - levels[b] || a - b;

  // Every advance reached from the starts along next(i), the starts left out.
  function reach(starts, next) {
    const seen = new Set();
    const started = new Set(starts);
    const todo = [...started];
    while (todo.length > 0) {
      for (const j of next(todo.pop())) {
        if (!seen.has(j) && !started.has(j)) {
          seen.add(j);
          todo.push(j);
        }
      }
    }
    return seen;
  }

  // As lorvane-check --route: the first advance with that code, else the
  // first whose name is the text, case aside; else an advance's place in
  // the file as the page writes it where neither tells ("#12"); else, with
  // units, the advance that enables the first unit of that name (plan.js);
  // -1 for none. Each a lookup in a table made once.
  const byCode = new Map();
  const byName = new Map();
  groups.forEach((g, i) => {
    if (!byCode.has(g.dataset.code)) byCode.set(g.dataset.code, i);
    if (!byName.has(fold(names[i]))) byName.set(fold(names[i]), i);
  });
  function place(text) {
    const i = /^#[0-9]+$/.test(text) ? Number(text.slice(1)) : -1;
    return i < groups.length ? i : -1;
  }
  function resolve(text, withUnits = true) {
    const folded = fold(text);
    const i = byCode.get(text) ?? byName.get(folded) ?? place(text);
    return i < 0 && withUnits ? plan.unitGoal(folded) : i;
  }

  // Texts from the address as a message quotes them: the first few, each
  // cut short, isolated from the sentence around them (<bdi>, and U+2068
  // and U+2069 for its text read aloud or copied), so that a right-to-left
  // override in one cannot turn the sentence round.
  const QUOTED = 5;
  const QUOTED_LENGTH = 24;
  function quoted(texts) {
    const nodes = [];
    for (const text of texts.slice(0, QUOTED)) {
      // Whole characters: the cut never splits a pair of surrogates.
      const start = [...text.slice(0, 2 * QUOTED_LENGTH)];
      const cut = start.length > QUOTED_LENGTH || text.length > 2 * QUOTED_LENGTH;
      const shown = cut ? start.slice(0, QUOTED_LENGTH).join("") + "\u2026" : text;
      const isolated = document.createElement("bdi");
      isolated.textContent = "\u2068" + shown + "\u2069";
      nodes.push(nodes.length === 0 ? '"' : '", "', isolated);
    }
    nodes.push('"');
    if (texts.length > QUOTED) nodes.push(` \u2026 and ${texts.length - QUOTED} more`);
    return nodes;
  }

  let zoom = 1;
  let targets = [];
  let fullRoute = [];
  let listed = [];
  let unknown = [];
  // The other scripts redraw on these: the marks changed, the zoom changed.
  const tell = (type) => chart.dispatchEvent(new Event(type));
  // The search (find.js).
  const finder = makeFinder({
    groups, names, units, fold, plural, mark, tell, pick, reveal, searched,
    goal: (i, unit) => plan.goal(i, unit),
    targets: () => targets,
  });

  // The summary: the route's counts, how many need the targets and the
  // plan's progress; before anything is chosen, a hint. The tab's title
  // names what is selected before the page's title.
  const pageTitle = document.title;
  const HINT = "Click an advance to see its route; R marks it researched";
  function showSummary() {
    const progress = plan.progress();
    const them = targets.length === 1 ? "it" : "them";
    const need = (n) => (n === 0 ? `nothing needs ${them}` : `${plural(n, "advance")} ${n === 1 ? "needs" : "need"} ${them}`);
    if (unknown.length > 0) {
      summary.replaceChildren("No advance has the code or name ", ...quoted(unknown));
    } else if (targets.length > 0) {
      summary.textContent = plan.summary(targets, fullRoute) + "; " + need(marked.opens.length) +
        (progress === "" ? "" : "; in all " + progress);
    } else {
      summary.textContent = progress === "" ? HINT : progress;
    }
    const chosen = targets.map((i) => plan.goalName(i) ?? names[i]).join(", ");
    const title = chosen === "" ? pageTitle : `\u2068${chosen}\u2069 \u2013 ${pageTitle}`;
    if (document.title !== title) document.title = title;
  }

  // The route of the targets (the root left out, as it needs no research),
  // what they open, the list in research order; everything else dimmed.
  function select(indexes) {
    targets = [...new Set(indexes)];
    plan.select(targets);
    fullRoute = [...reach(targets, (j) => prereqs[j])].filter((j) => j !== 0);
    mark("target", targets);
    mark("opens", reach(targets, (j) => dependants[j]));
    const kept = new Set([0, ...targets, ...fullRoute, ...marked.opens]);
    mark("dimmed", targets.length > 0 ? [...groups.keys()].filter((i) => !kept.has(i)) : []);
    const copies = [];
    if (targets.length > 0) {
      links.forEach((line, k) => {
        if (!kept.has(linkEnds[k][0]) || !kept.has(linkEnds[k][1])) return;
        const copy = line.cloneNode(false);
        copy.removeAttribute("stroke");
        copies.push(copy);
      });
    }
    routeLinks.replaceChildren(...copies);
    chart.classList.toggle("selecting", targets.length > 0);
    listRoute();
  }
  // The route's marks and list: only what is left to research.
  function listRoute() {
    const route = fullRoute.filter((i) => !plan.has(i));
    mark("route", route);
    const left = targets.filter((i) => !plan.has(i));
    const wanted = [...route, ...left].sort(byLevel);
    showSummary();
    tell("marks");
    if (same(wanted, listed)) return;
    listed = wanted;
    showItems(routeList, routeMore, listed, (i) =>
      makeItem(i, names[i], `, level ${levels[i]}` + (units[i].length > 0 ? "; units: " + units[i].join(", ") : "")),
    routeHeading);
  }

  // Where the chart starts in the view: in the middle when it is narrower.
  const originX = (z = zoom) => Math.max(0, (view.clientWidth - width * z) / 2);
  // Brings the box into the middle of the view, or its top left corner
  // when it is larger than the view.
  const show = (i) => centre(boxes[i]);
  function centre(area) {
    const [x, y, w, h] = area.map((v) => v * zoom);
    view.scrollLeft = originX() + x - Math.max(0, (view.clientWidth - w) / 2);
    view.scrollTop = y - Math.max(0, (view.clientHeight - h) / 2);
  }
  // Scrolls only as far as needed to bring the box into the view, clear
  // of what lies over the view's corner (the overview: chartPage.covers).
  function reveal(i) {
    const [x, y, w, h] = boxes[i].map((v) => v * zoom);
    const [left, top] = [originX() + x - view.scrollLeft, y - view.scrollTop];
    const inView = left >= 0 && top >= 0 && left + w <= view.clientWidth && top + h <= view.clientHeight;
    const over = window.chartPage.covers?.();
    const covered = over && left < over.right && left + w > over.left && top < over.bottom && top + h > over.top;
    if (!inView || covered) show(i);
  }
  // The span of the boxes: left, top, width, height. A loop, not
  // Math.min(...): a link may name thousands of targets.
  function span(indexes) {
    let [left, top, right, bottom] = [Infinity, Infinity, -Infinity, -Infinity];
    for (const i of indexes) {
      const [x, y, w, h] = boxes[i];
      [left, top] = [Math.min(left, x), Math.min(top, y)];
      [right, bottom] = [Math.max(right, x + w), Math.max(bottom, y + h)];
    }
    return [left, top, right - left, bottom - top];
  }
  // Several boxes together in the middle of the view where they fit at
  // this zoom, else the last one.
  function showAll(indexes) {
    const area = span(indexes);
    const fits = area[2] * zoom <= view.clientWidth && area[3] * zoom <= view.clientHeight;
    if (fits) centre(area);
    else show(indexes[indexes.length - 1]);
  }

  // The least zoom shows the whole chart, never beyond its own size.
  const fitZoom = () => Math.min(1, view.clientWidth / width, view.clientHeight / height);
  // Fit: the tree's width (a tall tree scrolls down), or with a selection
  // its targets and route, with a margin; never beyond the chart's size.
  const MARGIN_PX = 16;
  function fit() {
    if (targets.length === 0) {
      setZoom(Math.min(1, view.clientWidth / width));
      return;
    }
    const area = span([...targets, ...fullRoute]);
    const room = (length, w) => Math.max(1, length - 2 * MARGIN_PX) / w;
    setZoom(Math.min(1, room(view.clientWidth, area[2]), room(view.clientHeight, area[3])));
    centre(area);
  }

  // Zoom about a point of the view (client pixels from its top left
  // corner), which stays over the same point of the chart.
  function setZoom(value, atX = view.clientWidth / 2, atY = view.clientHeight / 2) {
    const old = zoom;
    const from = originX();
    zoom = Math.min(MAX_ZOOM, Math.max(fitZoom(), value));
    const [x, y] = [(view.scrollLeft + atX - from) / old, (view.scrollTop + atY) / old];
    sizer.style.width = width * zoom + "px";
    sizer.style.height = height * zoom + "px";
    chart.style.transform = `scale(${zoom})`;
    view.scrollLeft = x * zoom + originX() - atX;
    view.scrollTop = y * zoom - atY;
    tell("zoom");
  }

  // The address: what a link shares and what Back and Forward step
  // through. A selection is a new entry; a zoom replaces it, and so does a
  // search, but for its first change after a selection, which is a new
  // entry, so that each entry keeps its own search text.
  let searchEntry = false;
  // This script's entries as they stand now.
  function ownEntries() {
    const own = [];
    if (find.value !== "") own.push(["find", find.value]);
    if (targets.length > 0) own.push(["route", targets.map(routeName).join(",")]);
    const have = plan.compact();
    if (have !== null) own.push(["have", have]);
    if (zoom !== 1) own.push(["zoom", String(Math.round(zoom * 1000) / 1000)]);
    return own;
  }
  // The address with these entries and the other scripts' entries.
  function address(own) {
    const state = new URLSearchParams(location.hash.slice(1));
    for (const name of ["find", "route", "have", "zoom"]) state.delete(name);
    for (const [name, value] of own) state.set(name, value);
    const hash = state.toString();
    return hash === "" ? location.pathname + location.search : "#" + hash;
  }
  // How an advance is named in the address: its code, or its name where
  // the code is not the first of its kind or holds the lists' comma (a
  // name never does), or its place where neither names it. A place that
  // is some advance's code or name takes leading zeros: no code or name is
  // as long as the place then is.
  function codeOf(i) {
    const code = groups[i].dataset.code;
    if (resolve(code, false) === i && !code.includes(",")) return code;
    if (resolve(names[i], false) === i) return names[i];
    let at = String(i);
    while (resolve("#" + at, false) !== i) at = "0" + at;
    return "#" + at;
  }
  // A target chosen by a unit is named by the unit where its name leads
  // back to it, not to an advance of that code or name.
  function routeName(i) {
    const unit = plan.goalName(i);
    return unit !== null && resolve(unit, false) < 0 ? unit : codeOf(i);
  }
  let shown = location.hash;
  function saveAddress(newEntry, own) {
    const wanted = address(own);
    if ((wanted.startsWith("#") ? wanted : "") === shown) return;
    if (newEntry) {
      // An entry without have= shows the plan this browser keeps, which
      // was empty while it was shown: it keeps showing that when a plan
      // is kept from now on, so that Back undoes the first mark.
      const left = new URLSearchParams(location.hash.slice(1));
      if (!left.has("have") && own.some(([name]) => name === "have")) {
        left.set("have", "");
        history.replaceState(history.state, "", "#" + left);
      }
      history.pushState(null, "", wanted);
    } else {
      history.replaceState(null, "", wanted);
    }
    shown = location.hash;
  }
  // The address is written after the frame that shows the marks, as it
  // takes longer (a timer alone runs before that frame), but with the
  // state of now: a selection made before a search's entry is written is
  // an entry of its own. A hidden page draws no frames: then the timer.
  const HIDDEN_SAVE_MS = 1000;
  function saveLater(newEntry) {
    searchEntry = searchEntry || newEntry;
    const own = ownEntries();
    let saved = false;
    const save = () => saved || ((saved = true), saveAddress(newEntry, own));
    requestAnimationFrame(() => setTimeout(save));
    setTimeout(save, HIDDEN_SAVE_MS);
  }
  // A change of the search (find.js).
  function searched() {
    saveLater(searchEntry);
    searchEntry = false;
  }

  function loadAddress(first) {
    if (!first && location.hash === shown) return;
    shown = location.hash;
    const state = new URLSearchParams(location.hash.slice(1));
    find.value = state.get("find") || "";
    finder.search(find.value);
    // Each entry looked up once.
    const found = [];
    unknown = [];
    for (const text of (state.get("route") || "").split(",")) {
      if (text === "") continue;
      const i = resolve(text);
      if (i < 0) unknown.push(text);
      else found.push(i);
    }
    unknown = unknown.concat(plan.read(state));
    select(found);
    // On the first load the view waits for the page's other scripts:
    // reading its size lays the page out, and what they add after such a
    // layout is laid out again. An address changed meanwhile places it.
    if (first && document.readyState === "loading") {
      const hash = shown;
      addEventListener("DOMContentLoaded", () => shown === hash && placeView(state, first), { once: true });
    } else {
      placeView(state, first);
    }
  }
  // The zoom of the address, and its targets, its first match or the root in view.
  function placeView(state, first) {
    const z = Number(state.get("zoom"));
    setZoom(z > 0 ? z : 1);
    if (targets.length > 0) showAll(targets);
    else if (finder.matches().length > 0) show(finder.matches()[0]);
    else if (first) show(0);
  }

  // A click on a box selects it (with Shift or Ctrl, or while the bar's
  // toggle is on, adds it or takes it away); a click on the selected box or
  // on empty chart clears.
  const addTarget = document.getElementById("add-target");
  addTarget.addEventListener("click", () =>
    addTarget.setAttribute("aria-pressed", String(addTarget.getAttribute("aria-pressed") !== "true")));
  function choose(i, adding) {
    adding = adding || addTarget.getAttribute("aria-pressed") === "true";
    unknown = [];
    if (i < 0) select([]);
    else if (adding) select(targets.includes(i) ? targets.filter((j) => j !== i) : [...targets, i]);
    else select(targets.length === 1 && targets[0] === i ? [] : [i]);
    saveLater(true);
  }
  // One advance selected from a list, and its box shown.
  function pick(i) {
    unknown = [];
    select([i]);
    show(i);
    saveLater(true);
  }

  // The advances the warnings are about: those listed, and those of the
  // warnings past the list's end (data-warned).
  const warnings = document.getElementById("warnings");
  const warned = [...warnings.querySelectorAll("li[data-index]")].map((li) => Number(li.dataset.index));
  const moreWarned = (warnings.dataset.warned ?? "").split(" ").filter(Boolean).map(Number);
  mark("warned", warned.concat(moreWarned));
  // Escape: no search, no selection.
  function clear() {
    find.value = "";
    finder.search("");
    unknown = [];
    select([]);
    saveLater(true);
  }
  // Escape in the search field: the search alone.
  function clearSearch() {
    find.value = "";
    finder.search("");
    searched();
  }

  // The zoom buttons of the bar.
  function button(id, value) {
    document.getElementById(id).addEventListener("click", () => {
      setZoom(value());
      saveLater(false);
    });
  }
  button("zoom-in", () => zoom * 1.25);
  button("zoom-out", () => zoom / 1.25);
  document.getElementById("fit").addEventListener("click", () => {
    fit();
    saveLater(false);
  });

  // What the page's other scripts use. They listen on the chart for
  // "marks" and "zoom"; their layers go under the fills, the veil or the tints.
  //   svg, view, sizer, chart: the chart's elements; width, height: its size
  //   groups, boxes, names, levels: by index, each advance's group, its box
  //     [x, y, width, height], its name as the box shows it, its level
  //   rows (each level's indexes from the left), prereqs, dependants: the links
  //   marked: each mark's indexes; fillLayer, veil, tints: the marks' layers;
  //     layer, addPath, boxPath: to draw a layer of one's own
  //   setZoom, fitZoom, fit, zoom(): the zoom; show, reveal: a box into the view
  //   choose, pick, clear, clearSearch, targets(): the selection and the search;
  //     save: the address
  //   step: the search's step (find.js); toggleResearched, undo, redo: the
  //     plan's R, Ctrl+Z and Ctrl+Y (plan.js)
  window.chartPage = {
    svg, view, sizer, chart, groups, boxes, names, levels, rows, prereqs, dependants, width, height,
    marked, fillLayer: fills, veil, tints, layer, addPath, boxPath, setZoom, fitZoom, fit, show, reveal, choose, pick, clear, clearSearch,
    save: saveLater,
    zoom: () => zoom,
    targets: () => targets,
    step: (by, item, close) => finder.step(by, item, close),
    toggleResearched: (i) => plan.toggle(i),
    undo: () => plan.undo(),
    redo: () => plan.redo(),
  };

  // A larger window has a larger fit, the least zoom.
  window.addEventListener("resize", () => setZoom(zoom));
  // A narrow window: the chart as tall as the bar leaves it (chart.css),
  // the bar's tools folded behind its button.
  const bar = document.getElementById("bar");
  const stage = document.getElementById("stage");
  new ResizeObserver(() => stage.style.setProperty("--bar-height", bar.offsetHeight + "px")).observe(bar);
  const more = document.getElementById("more");
  more.addEventListener("click", () => {
    more.setAttribute("aria-expanded", String(bar.classList.toggle("open")));
  });
  // The player's plan (plan.js), with what it needs of the chart.
  const plan = makePlan({
    groups, names, units, levels, prereqs, dependants, mark, same, plural, fold, reach, codeOf, pick,
    resolve: (text) => resolve(text, false), selected: () => targets, relist: listRoute, save: saveLater,
  });
  window.addEventListener("popstate", () => loadAddress(false));
  window.addEventListener("hashchange", () => loadAddress(false));
  loadAddress(true);
})();
