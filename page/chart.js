// The chart page's script: search, the route of selected advances as marks
// and as a list, zoom and pan, the keyboard, print, and the state in the
// address (#find=TEXT&route=CODE,CODE&zoom=Z; entries it does not know are
// kept for the page's other scripts). What those scripts need of the chart
// it hands over as window.chartPage.
"use strict";
(function () {
  const svg = document.querySelector("svg.chart");
  const view = document.getElementById("view");
  const sizer = document.getElementById("sizer");
  const chart = document.getElementById("chart");
  const find = document.getElementById("find");
  const matchCount = document.getElementById("matches");
  const summary = document.getElementById("summary");
  const routeList = document.getElementById("route-list");
  const width = svg.viewBox.baseVal.width;
  const height = svg.viewBox.baseVal.height;
  const MARKS = ["match", "opens", "route", "target", "warned"];
  const MAX_ZOOM = 8;

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
  // The units each advance enables, by the name drawn in its box.
  const units = groups.map(() => []);
  for (const text of svg.querySelectorAll("text.unit")) {
    units[Number(text.parentNode.id.slice(1))].push(text.firstChild.nodeValue);
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

  // The marks are classes on the advances' groups; they are drawn in
  // layers over the chart, so that marking repaints those layers and not
  // the chart (whose dotted links are slow to draw): a veil that dims
  // everything but the boxes of a selection, with the selection's links
  // drawn again over it, and tints that colour the marked boxes
  // (multiplied, so texts and lines stay dark).
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
  const veil = layer("veil");
  const holes = addPath(veil, "veil");
  // One element per link: a browser draws only those that cross the part
  // of the view it draws, where it would go along a whole path.
  const routeLinks = document.createElementNS(svg.namespaceURI, "g");
  veil.appendChild(routeLinks);
  const tints = layer("tints");
  // Their classes are not the groups' own, so that marking a group
  // matches no style rule and restyles nothing.
  const tint = {};
  for (const mark of MARKS) tint[mark] = addPath(tints, "tint-" + mark);
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
  function mark(className, indexes) {
    for (const i of marked[className]) groups[i].classList.remove(className);
    marked[className] = [...indexes];
    for (const i of marked[className]) groups[i].classList.add(className);
    tint[className].setAttribute("d", boxPath(marked[className], 0));
  }

  // Only ASCII letters fold, as in lorvane-check.
  const fold = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());
  const plural = (n, word) => n + " " + word + (n === 1 ? "" : "s");
  const byLevel = (a, b) => levels[a] - levels[b] || a - b;

  // Every advance reached from the starts along next(i), the starts left out.
  function reach(starts, next) {
    const seen = new Set();
    const todo = [...starts];
    while (todo.length > 0) {
      for (const j of next(todo.pop())) {
        if (!seen.has(j) && !starts.includes(j)) {
          seen.add(j);
          todo.push(j);
        }
      }
    }
    return seen;
  }

  // As lorvane-check --route: the first advance with that code, else the
  // first whose name is the text, case aside; -1 for none.
  function resolve(text) {
    const byCode = groups.findIndex((g) => g.dataset.code === text);
    if (byCode >= 0) return byCode;
    return groups.findIndex((g, i) => fold(names[i]) === fold(text));
  }

  let zoom = 1;
  let targets = [];
  let unknown = [];
  let matches = [];
  // The unit that found each match, where a unit did; the match stepped to.
  let matchUnits = [];
  let current = -1;
  // The other scripts redraw on these: the marks changed, the zoom changed.
  const tell = (type) => chart.dispatchEvent(new Event(type));

  function showSummary() {
    if (unknown.length > 0) {
      summary.textContent = `No advance has the code or name "${unknown.join('", "')}"`;
    } else if (targets.length > 0) {
      summary.textContent =
        targets.map((i) => names[i]).join(", ") + ": " +
        plural(marked.route.length, "advance") + " to research first; opens " +
        marked.opens.length;
    } else {
      summary.textContent = "";
    }
  }

  function search(text) {
    const wanted = fold(text);
    matches = [];
    matchUnits = [];
    current = -1;
    if (wanted !== "") {
      groups.forEach((g, i) => {
        const byName = fold(names[i]).includes(wanted) || fold(g.dataset.code).includes(wanted);
        const unit = units[i].find((name) => fold(name).includes(wanted));
        if (byName || unit !== undefined) {
          matches.push(i);
          matchUnits.push(byName ? null : unit);
        }
      });
    }
    mark("match", matches);
    matchCount.textContent = wanted === "" ? "" : plural(matches.length, "advance") + " found";
    listMatches();
    tell("marks");
  }

  // The list of matches under the field: name, code, and the unit that
  // found it; open while the field or the list has the focus. Its items
  // are made as the list is scrolled or stepped through, a page at a time:
  // a letter can match a thousand advances.
  const finder = document.getElementById("finder");
  const matchList = document.getElementById("match-list");
  const LISTED = 50;
  function listMatches() {
    find.removeAttribute("aria-activedescendant");
    matchList.replaceChildren();
    listUpTo(LISTED);
    openMatches(finder.contains(document.activeElement));
  }
  function listUpTo(count) {
    const from = matchList.children.length;
    const items = matches.slice(from, count).map((i, k) => {
      const item = document.createElement("li");
      item.id = "match-" + (from + k);
      item.dataset.index = i;
      item.setAttribute("role", "option");
      const name = document.createElement("b");
      name.textContent = names[i];
      item.append(name, " " + groups[i].dataset.code);
      if (matchUnits[from + k] !== null) item.append(", unit " + matchUnits[from + k]);
      return item;
    });
    matchList.append(...items);
  }
  matchList.addEventListener("scroll", () => {
    const end = matchList.scrollHeight - matchList.clientHeight - matchList.scrollTop;
    if (end < 40) listUpTo(matchList.children.length + LISTED);
  }, { passive: true });
  function openMatches(open) {
    matchList.hidden = !open || matches.length === 0;
    find.setAttribute("aria-expanded", String(!matchList.hidden));
  }
  finder.addEventListener("focusin", () => openMatches(true));
  finder.addEventListener("focusout", (event) => openMatches(finder.contains(event.relatedTarget)));
  // Steps to the next match (by -1 the previous one), round the ends.
  function step(by) {
    if (matches.length === 0) return;
    const at = current < 0 && by < 0 ? matches.length - 1 : (current + by + matches.length) % matches.length;
    goToMatch(current < 0 && by > 0 ? 0 : at);
  }
  function goToMatch(k) {
    listUpTo(k + 1);
    matchList.children[current]?.removeAttribute("aria-selected");
    current = k;
    const item = matchList.children[k];
    item.setAttribute("aria-selected", "true");
    find.setAttribute("aria-activedescendant", item.id);
    item.scrollIntoView({ block: "nearest" });
    matchCount.textContent = `${k + 1} of ${matches.length}`;
    pick(matches[k]);
  }
  matchList.addEventListener("click", (event) => {
    const item = event.target.closest("li[data-index]");
    if (item !== null) goToMatch([...matchList.children].indexOf(item));
  });

  // The route of the targets (the root left out, as it needs no research),
  // what they open, the list in research order; everything else dimmed.
  function select(indexes) {
    targets = [...new Set(indexes)];
    const route = [...reach(targets, (j) => prereqs[j])].filter((j) => j !== 0);
    mark("target", targets);
    mark("route", route);
    mark("opens", reach(targets, (j) => dependants[j]));
    const kept = new Set([0, ...targets, ...route, ...marked.opens]);
    // The holes take in the target's wider outline.
    holes.setAttribute("d", `M0 0H${width}V${height}H0Z` + boxPath(kept, 1.5));
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
    const items = [...route, ...targets].sort(byLevel).map((i) => {
      const item = document.createElement("li");
      item.dataset.index = i;
      const name = document.createElement("b");
      name.textContent = names[i];
      item.append(name, `, level ${levels[i]}`);
      if (units[i].length > 0) item.append("; units: " + units[i].join(", "));
      return item;
    });
    routeList.replaceChildren(...items);
    showSummary();
    tell("marks");
  }

  // Brings the box into the middle of the view, or its top left corner
  // when it is larger than the view.
  const show = (i) => centre(boxes[i]);
  function centre(area) {
    const [x, y, w, h] = area.map((v) => v * zoom);
    view.scrollLeft = x - Math.max(0, (view.clientWidth - w) / 2);
    view.scrollTop = y - Math.max(0, (view.clientHeight - h) / 2);
  }
  // Scrolls only as far as needed to bring the box into the view.
  function reveal(i) {
    const [x, y, w, h] = boxes[i].map((v) => v * zoom);
    const inView =
      x >= view.scrollLeft && y >= view.scrollTop &&
      x + w <= view.scrollLeft + view.clientWidth && y + h <= view.scrollTop + view.clientHeight;
    if (!inView) show(i);
  }
  // Several boxes together in the middle of the view where they fit at
  // this zoom, else the last one.
  function showAll(indexes) {
    const left = Math.min(...indexes.map((i) => boxes[i][0]));
    const top = Math.min(...indexes.map((i) => boxes[i][1]));
    const right = Math.max(...indexes.map((i) => boxes[i][0] + boxes[i][2]));
    const bottom = Math.max(...indexes.map((i) => boxes[i][1] + boxes[i][3]));
    const fits = (right - left) * zoom <= view.clientWidth && (bottom - top) * zoom <= view.clientHeight;
    if (fits) centre([left, top, right - left, bottom - top]);
    else show(indexes[indexes.length - 1]);
  }

  // The whole chart in the view, never beyond its own size.
  const fitZoom = () => Math.min(1, view.clientWidth / width, view.clientHeight / height);

  // Zoom about a point of the view (client pixels from its top left
  // corner), which stays over the same point of the chart.
  function setZoom(value, atX = view.clientWidth / 2, atY = view.clientHeight / 2) {
    const old = zoom;
    zoom = Math.min(MAX_ZOOM, Math.max(fitZoom(), value));
    const [x, y] = [(view.scrollLeft + atX) / old, (view.scrollTop + atY) / old];
    sizer.style.width = width * zoom + "px";
    sizer.style.height = height * zoom + "px";
    chart.style.transform = `scale(${zoom})`;
    view.scrollLeft = x * zoom - atX;
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
    if (targets.length > 0) {
      const name = (i) => (resolve(groups[i].dataset.code) === i ? groups[i].dataset.code : names[i]);
      own.push(["route", targets.map(name).join(",")]);
    }
    if (zoom !== 1) own.push(["zoom", String(Math.round(zoom * 1000) / 1000)]);
    return own;
  }
  // The address with these entries and the other scripts' entries.
  function address(own) {
    const state = new URLSearchParams(location.hash.slice(1));
    for (const name of ["find", "route", "zoom"]) state.delete(name);
    for (const [name, value] of own) state.set(name, value);
    const hash = state.toString();
    return hash === "" ? location.pathname + location.search : "#" + hash;
  }
  let shown = location.hash;
  function saveAddress(newEntry, own) {
    const wanted = address(own);
    if ((wanted.startsWith("#") ? wanted : "") === shown) return;
    if (newEntry) history.pushState(null, "", wanted);
    else history.replaceState(null, "", wanted);
    shown = location.hash;
  }
  // The address is written after the marks are shown, as it takes longer,
  // but with the state of now: a selection made before a search's entry is
  // written is an entry of its own.
  const saveLater = (newEntry) => {
    searchEntry = searchEntry || newEntry;
    const own = ownEntries();
    setTimeout(() => saveAddress(newEntry, own));
  };

  function loadAddress(first) {
    if (!first && location.hash === shown) return;
    shown = location.hash;
    const state = new URLSearchParams(location.hash.slice(1));
    find.value = state.get("find") || "";
    search(find.value);
    const wanted = (state.get("route") || "").split(",").filter((text) => text !== "");
    unknown = wanted.filter((text) => resolve(text) < 0);
    select(wanted.map(resolve).filter((i) => i >= 0));
    const z = Number(state.get("zoom"));
    setZoom(z > 0 ? z : 1);
    if (targets.length > 0) showAll(targets);
    else if (matches.length > 0) show(matches[0]);
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
  const indexOf = (element) => {
    const g = element.closest("g.advance");
    return g === null ? -1 : Number(g.id.slice(1));
  };
  // The pointer meets a clear layer over the chart, not the SVG: finding
  // the element under a point of a large SVG costs a browser far more than
  // finding the box among the boxes' rectangles. The layer shows the box's
  // tooltip and the pointing hand itself.
  const catcher = document.createElement("div");
  catcher.id = "catcher";
  sizer.appendChild(catcher);
  function boxAt(event) {
    const r = sizer.getBoundingClientRect();
    const [x, y] = [(event.clientX - r.left) / zoom, (event.clientY - r.top) / zoom];
    // A rect's outline runs through the middle of its border pixels.
    return boxes.findIndex(([bx, by, bw, bh]) =>
      x >= bx - 0.5 && x < bx + bw + 0.5 && y >= by - 0.5 && y < by + bh + 0.5);
  }
  const tooltips = groups.map((g) => g.querySelector("title")?.textContent ?? "");
  let hovered = -1;
  catcher.addEventListener("mousemove", (event) => {
    const i = boxAt(event);
    if (i === hovered) return;
    hovered = i;
    catcher.title = i < 0 ? "" : tooltips[i];
    catcher.classList.toggle("over", i >= 0);
  });
  catcher.addEventListener("click", (event) => {
    choose(boxAt(event), event.shiftKey || event.ctrlKey || event.metaKey);
  });

  // The lists: an item brings its box into view; a warning selects its advance.
  routeList.addEventListener("click", (event) => {
    const item = event.target.closest("li");
    if (item !== null) show(Number(item.dataset.index));
  });
  const warnings = document.getElementById("warnings");
  warnings.addEventListener("click", (event) => {
    const item = event.target.closest("li[data-index]");
    if (item !== null) pick(Number(item.dataset.index));
  });
  mark("warned", [...warnings.querySelectorAll("li[data-index]")].map((li) => Number(li.dataset.index)));
  // A comparison's list of changes (lorvane-check --diff) and the units
  // table: an entry selects the advance it shows.
  for (const list of [document.getElementById("changes"), document.querySelector("#units tbody")]) {
    if (list === null) continue;
    list.addEventListener("click", (event) => {
      const item = event.target.closest("[data-index]");
      if (item !== null) pick(Number(item.dataset.index));
    });
  }
  // An item of any list that shows an advance (the panels beside the chart,
  // the matches) is reached by Tab and chosen by Enter as by a click,
  // whichever script made it.
  const itemSelector = "li[data-index], tr[data-index]";
  const focusable = (root) => {
    for (const item of root.querySelectorAll(itemSelector)) {
      if (!item.hasAttribute("tabindex")) item.tabIndex = 0;
    }
  };
  for (const root of [document.getElementById("side"), matchList]) {
    focusable(root);
    new MutationObserver(() => focusable(root)).observe(root, { childList: true, subtree: true });
  }
  document.addEventListener("keydown", (event) => {
    if (event.key !== "Enter" || !event.target.matches?.(itemSelector)) return;
    event.preventDefault();
    event.target.click();
  });

  find.addEventListener("input", () => {
    search(find.value);
    // Scrolling only when the first match is out of view spares drawing.
    if (matches.length > 0) reveal(matches[0]);
    const entry = searchEntry;
    saveLater(entry);
    searchEntry = false;
  });
  // Enter and Down step to the next match, with Shift or Up to the previous.
  finder.addEventListener("keydown", (event) => {
    const by = { Enter: event.shiftKey ? -1 : 1, ArrowDown: 1, ArrowUp: -1 }[event.key];
    if (by === undefined || (event.target !== find && event.key === "Enter")) return;
    event.preventDefault();
    // From an item of the list, the step is from that item.
    if (event.target !== find) current = [...matchList.children].indexOf(event.target);
    step(by);
    if (event.target !== find) matchList.children[current]?.focus();
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
      find.value = "";
      search("");
      unknown = [];
      select([]);
      saveLater(true);
    } else if (typing || event.ctrlKey || event.altKey || event.metaKey) {
      return;
    } else if (event.key === "/") {
      event.preventDefault();
      find.focus();
    } else if (event.key === "+" || event.key === "=") {
      setZoom(zoom * 1.25);
      saveLater(false);
    } else if (event.key === "-") {
      setZoom(zoom / 1.25);
      saveLater(false);
    } else if (event.key === "0") {
      setZoom(fitZoom());
      saveLater(false);
    }
  });
  function button(id, value) {
    document.getElementById(id).addEventListener("click", () => {
      setZoom(value());
      saveLater(false);
    });
  }
  button("zoom-in", () => zoom * 1.25);
  button("zoom-out", () => zoom / 1.25);
  button("fit", fitZoom);

  // Ctrl+wheel and a trackpad's pinch zoom in proportion to the wheel's
  // travel, about the pointer; the wheel alone scrolls.
  view.addEventListener(
    "wheel",
    (event) => {
      if (!event.ctrlKey) return;
      event.preventDefault();
      const pixels = event.deltaY * (event.deltaMode === 1 ? 16 : event.deltaMode === 2 ? 400 : 1);
      const r = view.getBoundingClientRect();
      setZoom(zoom * Math.exp(-pixels / 300), event.clientX - r.left, event.clientY - r.top);
      saveLater(false);
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
      pinch = { zoom, distance: distance(both) };
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
      saveLater(false);
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
    // The veil that dims the rest on screen stays off the paper.
    const layers = [...chart.children].filter((child) => child !== svg && child.id !== "veil");
    return [part, ...layers.map((child) => child.cloneNode(true))];
  }
  window.addEventListener("beforeprint", () => {
    groupLines ??= groups.map((g) => [...g.querySelectorAll("line.near, line.far")]);
    lineSpans ??= groupLines.map((lines) => lines.map(lineEnds));
    const wanted = new Set([...targets, ...marked.route]);
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

  // What the page's other scripts use. They listen on the chart for
  // "marks" and "zoom"; their layers go under the veil or the tints.
  window.chartPage = {
    svg, view, chart, groups, boxes, names, width, height, marked, veil, tints,
    layer, addPath, boxPath,
    zoom: () => zoom,
    targets: () => targets,
  };

  // A larger window has a larger fit, the least zoom.
  window.addEventListener("resize", () => setZoom(zoom));
  window.addEventListener("popstate", () => loadAddress(false));
  window.addEventListener("hashchange", () => loadAddress(false));
  loadAddress(true);
})();
