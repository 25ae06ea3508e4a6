// The chart page's plan: what the player has researched, what is available now, goals by unit.
"use strict";
// The researched set lives in the address (have=, beside route=) and in
// this browser's storage. page.js calls makePlan once with its tables
// (advances by index, 0 the root) and the few operations the plan needs;
// it asks the plan back whether an advance is researched, how to word a
// route's summary and what the address holds.
function makePlan(chart) {
  const { groups, names, units, prereqs, dependants, levels, plural, fold } = chart;
  const button = document.getElementById("researched");
  const list = document.getElementById("available");
  const count = document.getElementById("available-count");
  const heading = document.getElementById("available-heading");
  const more = document.getElementById("available-more");
  const note = document.getElementById("plan-note");
  const clear = document.getElementById("clear-researched");
  const panel = document.getElementById("available-panel");
  // The root counts as researched, though it is never marked.
  const researched = new Uint8Array(groups.length);
  researched[0] = 1;
  const has = (i) => researched[i] === 1;
  // Targets chosen by a unit's name: the advance's index to the unit's name.
  const goals = new Map();
  let marked = 0;
  let listed = [];

  // Marks the chart and fills the panel of what can be researched now.
  function draw() {
    const done = [];
    const available = [];
    groups.forEach((g, i) => {
      if (i === 0) return;
      if (has(i)) done.push(i);
      else if (prereqs[i].every(has)) available.push(i);
    });
    marked = done.length;
    chart.mark("researched", done);
    chart.mark("available", available);
    count.textContent = `(${available.length})`;
    clear.disabled = marked === 0;
    showButton();
    if (chart.same(available, listed)) return;
    listed = available;
    showItems(list, more, available, (i) => makeItem(i, names[i], `, level ${levels[i]}`), heading);
  }

  // The bar's button acts on the one selected advance.
  function showButton() {
    const selected = chart.selected();
    const one = selected.length === 1 && selected[0] !== 0 ? selected[0] : -1;
    button.disabled = one < 0;
    button.textContent = one >= 0 && has(one) ? "Not researched" : "Researched";
  }

  // The plan kept in this browser for this tree: under the page's title and
  // a digest of its advances and links, so another tree never takes it.
  // Kept as the places in the file of the researched advances that no
  // researched advance needs, so that advances that share a code or a
  // name stay apart; the codes that pages before kept under the plain key
  // are still read. The keys, once known; null where the browser keeps
  // nothing. The title as the page was opened: the tab's title changes
  // with the selection.
  const title = document.title;
  let keys;
  const known = (async () => {
    if (!window.crypto?.subtle || !window.localStorage) return null;
    const tree = JSON.stringify(groups.map((g, i) => [g.dataset.code, names[i], prereqs[i]]));
    const digest = await crypto.subtle.digest("SHA-256", new TextEncoder().encode(tree));
    const hex = [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, "0")).join("");
    return { places: `lorvane-plan-places ${title} ${hex}`, codes: `lorvane-plan ${title} ${hex}` };
  })()
    .catch(() => null)
    .then((k) => (keys = k));
  // While the kept plan is read or written (the key is a digest, made off
  // the page's thread), the panel says it is busy.
  let pending = 0;
  function whenKnown(then) {
    if (pending++ === 0) panel.setAttribute("aria-busy", "true");
    known.then(then).finally(() => {
      if (--pending === 0) panel.removeAttribute("aria-busy");
    });
  }
  // The places this browser keeps, as text ("" for none).
  let kept = "";
  const UNKEPT = "This browser cannot keep the plan: only the address holds it.";
  function readKept() {
    if (keys === null) return "";
    try {
      const places = localStorage.getItem(keys.places);
      const codes = places === null ? localStorage.getItem(keys.codes) : null;
      const valid = (i) => Number.isInteger(i) && i > 0 && i < groups.length;
      const found = places !== null ? places.split(",").map(Number).filter(valid)
        : codes !== null ? parse(codes).found : [];
      return tops(closed(found)).join(",");
    } catch {
      return "";
    }
  }
  // Storage that is full or forbidden leaves the plan in the address alone.
  function store(text) {
    if (keys === null) return false;
    try {
      if (text === "") localStorage.removeItem(keys.places);
      else localStorage.setItem(keys.places, text);
      localStorage.removeItem(keys.codes);
      return true;
    } catch {
      return false;
    }
  }

  // Everything the advances need (marking) or everything that needs them
  // (unmarking), the advances themselves included.
  const closure = (starts, next) => [...starts, ...chart.reach(starts, (j) => next[j])];
  // The advances researched with all they need, the root among them.
  function closed(indexes) {
    const set = new Uint8Array(groups.length);
    for (const i of closure(indexes, prereqs)) set[i] = 1;
    set[0] = 1;
    return set;
  }
  const setResearched = (indexes) => researched.set(closed(indexes));
  // The researched advances that no researched advance needs: the rest
  // follows from them.
  const tops = (set = researched) =>
    groups.map((g, i) => i).filter((i) => i > 0 && set[i] === 1 && !dependants[i].some((j) => set[j] === 1));

  // Undo and Redo: the plans before the player's last changes (at most
  // UNDOS of them) and those undone, apart from the address's history
  // (Back), which a change also writes.
  const UNDOS = 50;
  const undos = [];
  const redos = [];
  const undoButton = document.getElementById("undo");
  const redoButton = document.getElementById("redo");
  function showUndo() {
    undoButton.disabled = undos.length === 0;
    redoButton.disabled = redos.length === 0;
  }

  // Each change of the plan comes this way (a mark, an unmark, Clear,
  // Undo, Redo): the researched set becomes these with all they need;
  // shown, a new entry of the address, kept in this browser; said in the
  // note (what an unmark took with it). The plan is never kept otherwise:
  // a link or Back shows its own plan and leaves the kept one as it is.
  let loads = 0;
  function change(indexes, said = "", undoing = null) {
    ++loads;
    const before = tops();
    if (undoing === null) {
      undos.push(before);
      if (undos.length > UNDOS) undos.shift();
      redos.length = 0;
    } else {
      undoing.push(before);
    }
    setResearched(indexes);
    kept = tops().join(",");
    note.textContent = said;
    showUndo();
    draw();
    chart.relist();
    chart.save(true);
    const text = kept;
    whenKnown(() => {
      if (store(text)) return;
      kept = readKept();
      note.textContent = UNKEPT;
    });
  }
  function toggle(i) {
    if (i <= 0) return;
    if (has(i)) {
      const gone = new Set(closure([i], dependants).filter(has));
      const others = gone.size - 1;
      const taken = others === 0 ? "" : ` and ${others} that ${others === 1 ? "needs" : "need"} it`;
      change(groups.map((g, j) => j).filter((j) => j > 0 && has(j) && !gone.has(j)),
        `${names[i]}${taken} no longer researched.`);
    } else {
      const before = marked;
      change([...tops(), i]);
      const added = marked - before - 1;
      note.textContent = `${names[i]} researched` + (added > 0 ? `, with ${plural(added, "advance")} it needs.` : ".");
    }
  }
  // Undo (from undos to redos) or Redo (the other way).
  function undo(from, to, word) {
    if (from.length === 0) return false;
    change(from.pop(), "", to);
    note.textContent = `${word}: ${plural(marked, "advance")} researched.`;
  }
  undoButton.addEventListener("click", () => undo(undos, redos, "Undone"));
  redoButton.addEventListener("click", () => undo(redos, undos, "Redone"));

  // The address's have=: as route= names them, the places where names and
  // codes cannot tell. Without the entry, an address shows the plan this
  // browser keeps; so an empty plan that is not the kept one is written
  // as an empty entry, and none for an empty plan that is.
  function compact() {
    const top = tops();
    if (top.length === 0) return kept === "" ? null : "";
    return top.map(chart.codeOf).join(",");
  }
  // Each entry looked up once: the advances found and the texts that name none.
  function parse(text) {
    const found = [];
    const unknown = [];
    for (const item of text.split(",")) {
      if (item === "") continue;
      const i = chart.resolve(item);
      if (i < 0) unknown.push(item);
      else found.push(i);
    }
    return { found, unknown };
  }

  // The researched set from the address (have=), or without one the plan
  // this browser keeps (once its key is known, and after the rest of the
  // address is read, as the address is written again with it); the note
  // says which is shown. Nothing is kept here: only the player's changes
  // are.
  function read(state) {
    const load = ++loads;
    const text = state.get("have");
    const { found, unknown } = parse(text ?? "");
    setResearched(found);
    draw();
    whenKnown(() => {
      if (load !== loads) return;
      kept = readKept();
      if (text === null && kept !== "") {
        setResearched(kept.split(",").map(Number));
        draw();
        chart.relist();
        chart.save(false);
      }
      const shown = tops().join(",");
      const link = "The plan from the link; the plan this browser keeps stays as it is until you change this one.";
      const own = shown !== "" ? "Your plan, as this browser kept it." : "";
      note.textContent = keys === null ? (shown !== "" ? UNKEPT : "") : shown !== kept ? link : own;
    });
    return unknown;
  }

  // A unit's name as shown, case aside (folded): the advance that enables
  // the first unit of that name, which becomes a goal named by the unit.
  const byUnit = new Map();
  units.forEach((enabled, i) => {
    for (const name of enabled) if (!byUnit.has(fold(name))) byUnit.set(fold(name), [i, name]);
  });
  function unitGoal(folded) {
    const [i, name] = byUnit.get(folded) ?? [-1];
    if (i >= 0) goals.set(i, name);
    return i;
  }
  const label = (i) => (goals.has(i) ? `${goals.get(i)} (${names[i]})` : names[i]);

  // As lorvane-check --route --have words it; route is everything the
  // targets need, the targets left out.
  function summary(targets, route) {
    const named = targets.map(label).join(", ");
    const chosen = new Set(targets);
    const done = route.filter((i) => has(i) && !chosen.has(i)).length;
    const reached = targets.filter(has);
    if (marked === 0) {
      return `${named}: ${plural(route.length, "advance")} to research first`;
    }
    if (reached.length === targets.length) return `${named}: already researched`;
    // Nothing left before the target: it can be researched now.
    if (done === route.length && reached.length === 0) {
      return `${named}: ready to research` + (route.length > 0 ? `; all ${route.length} it needs researched` : "");
    }
    const left = plural(route.length - done, "advance");
    const already = reached.length > 0 ? "; already researched: " + reached.map(label).join(", ") : "";
    return `${named}: ${left} left to research first; ${done} of ${route.length} researched${already}`;
  }

  // The whole plan's progress; before any mark, nothing (page.js says
  // what to do first).
  function progress() {
    const all = groups.length - 1;
    if (marked === 0) return "";
    return `${marked} of ${all} researched, ${all - marked} left`;
  }

  button.addEventListener("click", () => {
    const selected = chart.selected();
    if (selected.length === 1) toggle(selected[0]);
  });
  // A tick on an item of the route or of this list.
  for (const ticked of [list, document.getElementById("route-list")]) {
    ticked.addEventListener("change", (event) => {
      const item = event.target.closest(".tick") && event.target.closest("li[data-index]");
      if (item) toggle(Number(item.dataset.index));
    });
  }
  list.addEventListener("click", (event) => {
    const item = !event.target.closest(".tick") && event.target.closest("li[data-index]");
    if (item) chart.pick(Number(item.dataset.index));
  });
  // Clear asks nothing: Undo brings the plan back. The focus goes there,
  // as the button it was on is now off.
  clear.addEventListener("click", () => {
    const had = marked;
    change([], `Cleared ${plural(had, "researched advance")}.`);
    undoButton.focus();
  });
  // The address of the page as it stands, route and plan in it.
  document.getElementById("copy-link").addEventListener("click", () => {
    const link = location.href;
    const copied = () => (note.textContent = "The link is copied.");
    const shown = () => (note.textContent = "Copy this link: " + link);
    try {
      navigator.clipboard.writeText(link).then(copied, shown);
    } catch {
      shown();
    }
  });

  return {
    // As a route counts it: with nothing researched, not even the root.
    has: (i) => marked > 0 && has(i),
    read,
    compact,
    summary,
    progress,
    unitGoal,
    // The unit's name where it leads back to this advance.
    goalName: (i) => (goals.has(i) && byUnit.get(fold(goals.get(i)))[0] === i ? goals.get(i) : null),
    goal: (i, unit) => goals.set(i, unit),
    // R on a box or an item (keys.js): the advance marked, or unmarked.
    toggle,
    // Ctrl+Z, Ctrl+Y (keys.js): false when there is nothing to undo or redo.
    undo: () => undo(undos, redos, "Undone"),
    redo: () => undo(redos, undos, "Redone"),
    // A new selection: goals no longer chosen are forgotten.
    select(targets) {
      const chosen = new Set(targets);
      for (const i of goals.keys()) if (!chosen.has(i)) goals.delete(i);
      showButton();
    },
  };
}
