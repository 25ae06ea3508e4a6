// The chart page's lists of advances (the route, what is available now,
// the warnings, a comparison's changes): each item a button that acts on
// its advance, in the route's and the available list with a tick before
// it that marks the advance researched; a list made again keeps the focus
// where it was, on the item now in that place, or on the list's heading.
"use strict";
// A button holding the contents; it acts as the item's click does.
function makePick(...contents) {
  const pick = document.createElement("button");
  pick.type = "button";
  pick.className = "pick";
  pick.append(...contents);
  return pick;
}
// An item of advance i: its tick (plan.js acts on it), its name in bold
// and the rest of its text.
function makeItem(i, name, rest) {
  const item = document.createElement("li");
  item.dataset.index = i;
  const tick = document.createElement("input");
  tick.type = "checkbox";
  tick.className = "tick";
  tick.setAttribute("aria-label", `${name}: researched`);
  const bold = document.createElement("b");
  bold.textContent = name;
  item.append(tick, makePick(bold, rest));
  return item;
}
// A list shows its first LIST_SHOWN advances: nobody reads further, and a
// browser lays out a list of tens of thousands of items in many seconds.
// The line after it (MORE) says how many are left out.
// Each list's items are made once an advance and kept for the next time
// (a list is made again on every selection and mark); a listed advance is
// one not researched, its tick clear.
const LIST_SHOWN = 1000;
const madeItems = new WeakMap();
function showItems(list, more, indexes, make, heading) {
  if (!madeItems.has(list)) madeItems.set(list, new Map());
  const made = madeItems.get(list);
  const item = (i) => {
    if (!made.has(i)) made.set(i, make(i));
    made.get(i).firstChild.checked = false;
    return made.get(i);
  };
  replaceItems(list, indexes.slice(0, LIST_SHOWN).map(item), heading);
  more.hidden = indexes.length <= LIST_SHOWN;
  more.textContent = more.hidden ? "" : `and ${indexes.length - LIST_SHOWN} more`;
}
// The list's items replaced; the focus, if it was in the list, goes to
// the same control of the item now at its place (the next one, when its
// own is gone), else the last, else the heading. Items that stay are left
// in place: the browser styles and lays out only those that come or go,
// not the whole list at every mark.
function replaceItems(list, items, heading) {
  const focused = list.contains(document.activeElement) ? document.activeElement : null;
  const at = focused === null ? -1 : [...list.children].indexOf(focused.closest("li"));
  const kind = focused?.classList.contains("tick") ? ".tick" : ".pick";
  const kept = new Set(items);
  for (const child of [...list.children]) if (!kept.has(child)) child.remove();
  // The items before "next" are the first ones wanted, in order.
  let next = list.firstChild;
  for (const item of items) {
    if (item === next) next = next.nextSibling;
    else list.insertBefore(item, next);
  }
  if (focused === null) return;
  const item = list.children[Math.min(at, list.children.length - 1)];
  (item?.querySelector(kind) ?? heading).focus();
}
