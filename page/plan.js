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
  const note = document.getElementById("plan-note");
  const clear = document.getElementById("clear-researched");
  // The root counts as researched, though it is never marked.
  const researched = new Uint8Array(groups.length);
  researched[0] = 1;
  const has = (i) => researched[i] === 1;
  // Targets chosen by a unit's name: the advance's index to the unit's name.
  const goals = new Map();
  let fromLink = false;
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
    replaceItems(list, available.map((i) => makeItem(i, names[i], `, level ${levels[i]}`)), heading);
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
  const title = document.title;
  const key = (async () => {
    if (!window.crypto?.subtle || !window.localStorage) return null;
    const tree = JSON.stringify(groups.map((g, i) => [g.dataset.code, names[i], prereqs[i]]));
    const digest = await crypto.subtle.digest("SHA-256", new TextEncoder().encode(tree));
    const hex = [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, "0")).join("");
    return `lorvane-plan ${title} ${hex}`;
  })().catch(() => null);
  // Storage that is full or forbidden leaves the plan in the address alone.
  function store() {
    const text = compact();
    key.then((k) => {
      if (k === null) return;
      try {
        if (text === "") localStorage.removeItem(k);
        else localStorage.setItem(k, text);
      } catch {
        // nothing to do: the address still holds the plan
      }
    });
  }

  // Everything the advances need (marking) or everything that needs them
  // (unmarking), the advances themselves included.
  const closure = (starts, next) => [...starts, ...chart.reach(starts, (j) => next[j])];
  function setResearched(indexes) {
    researched.fill(0);
    for (const i of closure(indexes, prereqs)) researched[i] = 1;
    researched[0] = 1;
  }
  // The researched advances that no researched advance needs: the rest
  // follows from them.
  const tops = () =>
    groups.map((g, i) => i).filter((i) => i > 0 && has(i) && !dependants[i].some(has));

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
  // Each change of the plan by the player comes this way (a mark, an
  // unmark, Clear, Undo, Redo): the researched set becomes these with all
  // they need; shown, a new entry of the address, stored; said in the
  // note (what an unmark took with it).
  function change(indexes, said = "", undoing = null) {
    const before = tops();
    if (undoing === null) {
      undos.push(before);
      if (undos.length > UNDOS) undos.shift();
      redos.length = 0;
    } else {
      undoing.push(before);
    }
    setResearched(indexes);
    fromLink = false;
    note.textContent = said;
    showUndo();
    draw();
    chart.relist();
    chart.save(true);
    setTimeout(store);
  }
  const count1 = (n) => plural(n, "advance");
  function toggle(i) {
    if (i <= 0) return;
    if (has(i)) {
      const gone = new Set(closure([i], dependants).filter(has));
      const others = gone.size - 1;
      const with_ = others === 0 ? "" : ` and ${others} that ${others === 1 ? "needs" : "need"} it`;
      change(groups.map((g, j) => j).filter((j) => j > 0 && has(j) && !gone.has(j)),
        `${names[i]}${with_} no longer researched.`);
    } else {
      const before = marked;
      change([...tops(), i]);
      const added = marked - before - 1;
      note.textContent = `${names[i]} researched` + (added > 0 ? `, with ${count1(added)} it needs.` : ".");
    }
  }
  function undo(from, to, word) {
    if (from.length === 0) return;
    change(from.pop(), "", to);
    note.textContent = `${word}: ${plural(marked, "advance")} researched.`;
  }
  undoButton.addEventListener("click", () => undo(undos, redos, "Undone"));
  redoButton.addEventListener("click", () => undo(redos, undos, "Redone"));

  // The address holds only the researched advances that no researched
  // advance needs: the rest follows from them.
  function compact() {
    return tops().map(chart.codeOf).join(",");
  }
  function parse(text) {
    const items = text.split(",").filter((item) => item !== "");
    const unknown = items.filter((item) => chart.resolve(item) < 0);
    setResearched(items.map(chart.resolve).filter((i) => i >= 0));
    return unknown;
  }

  // The researched set from the address; opened without one, from this
  // browser's storage (once its key is known). A plan from a link is shown
  // as it is and kept from the storage until the player changes it.
  function read(state, first) {
    const text = state.get("have");
    let unknown = [];
    if (text !== null) {
      unknown = parse(text);
      if (first) {
        fromLink = true;
        note.textContent = "The plan from the link; your own saved plan is kept until you change this one.";
      } else if (!fromLink) {
        setTimeout(store);
      }
    } else {
      setResearched([]);
      if (first) restore();
      else if (!fromLink) setTimeout(store);
    }
    draw();
    return unknown;
  }
  function restore() {
    key.then((k) => {
      const saved = k === null ? null : localStorage.getItem(k);
      // Not over a plan given or made meanwhile.
      const given = new URLSearchParams(location.hash.slice(1)).has("have");
      if (saved === null || given || marked > 0) return;
      parse(saved);
      note.textContent = "Your plan, as this browser kept it.";
      draw();
      chart.relist();
      chart.save(false);
    });
  }

  // A unit's name as shown, case aside: the advance that enables the first
  // unit of that name, which becomes a goal named by the unit.
  function unitGoal(text) {
    const i = units.findIndex((enabled) => enabled.some((name) => fold(name) === fold(text)));
    if (i >= 0) goals.set(i, units[i].find((name) => fold(name) === fold(text)));
    return i;
  }
  const label = (i) => (goals.has(i) ? `${goals.get(i)} (${names[i]})` : names[i]);

  // As lorvane-check --route --have words it; route is everything the
  // targets need, the targets left out.
  function summary(targets, route) {
    const named = targets.map(label).join(", ");
    const done = route.filter((i) => has(i) && !targets.includes(i)).length;
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

  // The whole plan's progress, or before any, what to do first.
  function progress() {
    const all = groups.length - 1;
    if (marked === 0) return "";
    return `${marked} of ${all} researched, ${all - marked} left`;
  }

  button.addEventListener("click", () => {
    const selected = chart.selected();
    if (selected.length === 1) toggle(selected[0]);
  });
  // R on the focused box or item, else on the one selected advance.
  document.addEventListener("keydown", (event) => {
    if (event.key !== "r" && event.key !== "R") return;
    if (event.ctrlKey || event.altKey || event.metaKey || event.target.closest?.("input:not(.tick), select, textarea")) return;
    const focused = document.activeElement?.closest?.("g.advance, [data-index]");
    const selected = chart.selected();
    const i = focused ? Number(focused.dataset.index ?? focused.id.slice(1)) : selected.length === 1 ? selected[0] : -1;
    if (i <= 0) return;
    event.preventDefault();
    toggle(i);
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
  // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z), but in a text field, whose own they are.
  document.addEventListener("keydown", (event) => {
    if (!(event.ctrlKey || event.metaKey) || event.altKey) return;
    if (event.target.closest?.("input:not(.tick), select, textarea")) return;
    const key = event.key.toLowerCase();
    if (key === "z" && !event.shiftKey) undo(undos, redos, "Undone");
    else if (key === "y" || (key === "z" && event.shiftKey)) undo(redos, undos, "Redone");
    else return;
    event.preventDefault();
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
    goalName: (i) => goals.get(i) ?? null,
    goal: (i, unit) => goals.set(i, unit),
    // A new selection: goals no longer chosen are forgotten.
    select(targets) {
      for (const i of goals.keys()) if (!targets.includes(i)) goals.delete(i);
      showButton();
    },
  };
}
