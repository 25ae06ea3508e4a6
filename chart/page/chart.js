// The chart page's script: search, the route of a selected advance, zoom,
// and the state in the address (#find=TEXT&route=CODE).
"use strict";
(function () {
  const svg = document.querySelector("svg.chart");
  const find = document.getElementById("find");
  const summary = document.getElementById("summary");
  const width = svg.viewBox.baseVal.width;
  const height = svg.viewBox.baseVal.height;

  const chart = document.getElementById("chart");
  const MARKS = ["match", "opens", "route", "target"];

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
  // Each box's outline as its rect gives it: the middle of the border pixels.
  const boxes = groups.map((g) => {
    const r = g.querySelector("rect");
    return [r.x, r.y, r.width, r.height].map((length) => length.baseVal.value);
  });

  // The marks are classes on the advances' groups; they are drawn in two
  // layers over the chart, each composited on its own, so that marking
  // repaints those layers and not the chart (whose dotted links are slow to
  // draw): a veil that dims everything but the boxes of a selection, and
  // tints that colour the marked boxes (multiplied, so texts and lines
  // stay dark).
  function layer(id) {
    const element = document.createElementNS(svg.namespaceURI, "svg");
    element.id = id;
    for (const name of ["viewBox", "width", "height"]) {
      element.setAttribute(name, svg.getAttribute(name));
    }
    chart.appendChild(element);
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
  const tints = layer("tints");
  const tint = {};
  for (const mark of MARKS) tint[mark] = addPath(tints, mark);
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
  // Only ASCII letters fold, as in lorvane-check.
  const fold = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());

  let zoom = 1;
  let selected = -1;

  // Every advance reached from i along next(i), i itself left out.
  function reach(i, next) {
    const seen = new Set();
    const todo = [i];
    while (todo.length > 0) {
      for (const j of next(todo.pop())) {
        if (!seen.has(j) && j !== i) {
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

  function plural(n, word) {
    return n + " " + word + (n === 1 ? "" : "s");
  }

  function mark(className, indexes) {
    for (const i of marked[className]) groups[i].classList.remove(className);
    marked[className] = [...indexes];
    for (const i of marked[className]) groups[i].classList.add(className);
    tint[className].setAttribute("d", boxPath(marked[className], 0));
  }

  function showSummary(matches) {
    if (selected >= 0) {
      const route = marked.route.length;
      const opens = marked.opens.length;
      summary.textContent =
        names[selected] + ": " + plural(route, "advance") + " to research first; opens " + opens;
    } else if (find.value !== "") {
      summary.textContent = plural(matches, "advance") + " found";
    } else {
      summary.textContent = "";
    }
  }

  function search(text, scroll) {
    const wanted = fold(text);
    const matches = [];
    if (wanted !== "") {
      groups.forEach((g, i) => {
        if (fold(names[i]).includes(wanted) || fold(g.dataset.code).includes(wanted)) {
          matches.push(i);
        }
      });
    }
    mark("match", matches);
    if (scroll && matches.length > 0) {
      groups[matches[0]].scrollIntoView({ block: "center", inline: "center" });
    }
    showSummary(matches.length);
  }

  // The route (the root left out, as it needs no research) and what the
  // advance opens; everything else is dimmed.
  function select(i) {
    selected = i;
    mark("target", i >= 0 ? [i] : []);
    mark("route", i >= 0 ? [...reach(i, (j) => prereqs[j])].filter((j) => j !== 0) : []);
    mark("opens", i >= 0 ? reach(i, (j) => dependants[j]) : []);
    // The holes take in the target's wider outline.
    const kept = [...marked.target, ...marked.route, ...marked.opens];
    holes.setAttribute("d", `M0 0H${width}V${height}H0Z` + boxPath(kept, 1.5));
    chart.classList.toggle("selecting", i >= 0);
    showSummary(marked.match.length);
  }

  function saveAddress() {
    const state = new URLSearchParams();
    if (find.value !== "") state.set("find", find.value);
    if (selected >= 0) {
      const code = groups[selected].dataset.code;
      state.set("route", resolve(code) === selected ? code : names[selected]);
    }
    const hash = state.toString();
    history.replaceState(null, "", hash === "" ? location.pathname + location.search : "#" + hash);
  }

  function loadAddress() {
    const state = new URLSearchParams(location.hash.slice(1));
    find.value = state.get("find") || "";
    search(find.value, true);
    const route = state.get("route");
    select(route === null ? -1 : resolve(route));
    if (selected >= 0) groups[selected].scrollIntoView({ block: "center", inline: "center" });
  }

  function setZoom(value) {
    zoom = Math.min(8, Math.max(0.02, value));
    for (const element of [svg, veil, tints]) {
      element.style.width = width * zoom + "px";
      element.style.height = height * zoom + "px";
    }
  }

  // The address is written after the marks are shown: it takes longer.
  svg.addEventListener("click", (event) => {
    const g = event.target.closest("g.advance");
    select(g === null ? -1 : Number(g.id.slice(1)));
    setTimeout(saveAddress);
  });
  find.addEventListener("input", () => {
    search(find.value, true);
    setTimeout(saveAddress);
  });
  document.addEventListener("keydown", (event) => {
    if (event.key === "/" && document.activeElement !== find) {
      event.preventDefault();
      find.focus();
    } else if (event.key === "Escape") {
      find.value = "";
      search("", false);
      select(-1);
      find.blur();
      saveAddress();
    }
  });
  document.getElementById("zoom-in").addEventListener("click", () => setZoom(zoom * 1.25));
  document.getElementById("zoom-out").addEventListener("click", () => setZoom(zoom / 1.25));
  document.getElementById("fit").addEventListener("click", () => {
    setZoom(document.documentElement.clientWidth / width);
  });
  window.addEventListener(
    "wheel",
    (event) => {
      if (!event.ctrlKey) return;
      event.preventDefault();
      setZoom(event.deltaY < 0 ? zoom * 1.25 : zoom / 1.25);
    },
    { passive: false }
  );
  // A comparison's list of changes: an entry selects the advance it shows.
  const changes = document.getElementById("changes");
  if (changes !== null) {
    const choose = (event) => {
      const item = event.target.closest("li[data-index]");
      if (item === null || (event.type === "keydown" && event.key !== "Enter")) return;
      select(Number(item.dataset.index));
      groups[selected].scrollIntoView({ block: "center", inline: "center" });
      setTimeout(saveAddress);
    };
    changes.addEventListener("click", choose);
    changes.addEventListener("keydown", choose);
  }
  window.addEventListener("hashchange", loadAddress);
  loadAddress();
})();
