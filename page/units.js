// The units table of the chart page: its rows made from the page's data
// when the panel is first opened, sorted by a column (its heading's
// button, clicked or by the keyboard; again for the other way) and
// filtered by domain. A row selecting its advance (by the button of its
// Name cell) is lists.js's.
"use strict";
(function () {
  const table = document.getElementById("units");
  if (table === null) return;
  const panel = document.getElementById("units-panel");
  const body = table.tBodies[0];
  const headings = [...table.tHead.rows[0].cells];
  const DOMAIN = 1;  // the column of the domain
  // In file order: a sort of them is stable, so ties keep that order.
  const rows = [];
  let sorted = -1;
  let descending = false;

  // Each row of the data: its advance's index (or null), then its cells.
  let made = false;
  function makeRows() {
    made = true;
    for (const [index, ...cells] of JSON.parse(document.getElementById("units-rows").textContent)) {
      const row = document.createElement("tr");
      row.dataset.domain = cells[DOMAIN];
      if (index !== null) row.dataset.index = index;
      cells.forEach((text, i) => {
        const cell = row.insertCell();
        if (headings[i].classList.contains("number")) cell.className = "number";
        // The name of a unit whose advance is known is the row's button.
        if (i === 0 && index !== null) cell.appendChild(makePick(text));
        else cell.textContent = text;
      });
      rows.push(row);
    }
    body.append(...rows);
  }
  // At the click on its heading, so that the panel opens on its rows
  // (the toggle event comes a moment later); at the toggle when it is
  // opened another way.
  panel.querySelector("summary").addEventListener("click", () => made || makeRows());
  // The side panel widens while the table is open (chart.css): a class,
  // where a :has() rule on the panel would restyle it at every change of
  // the lists inside it.
  const side = document.getElementById("side");
  panel.addEventListener("toggle", () => {
    side.classList.toggle("wide", panel.open);
    if (panel.open && !made) makeRows();
  });

  function sortBy(column) {
    descending = column === sorted ? !descending : false;
    sorted = column;
    const number = headings[column].classList.contains("number");
    const value = (row) => row.cells[column].textContent;
    const sign = descending ? -1 : 1;
    const compare = (a, b) =>
      sign * (number ? Number(value(a)) - Number(value(b)) : value(a).localeCompare(value(b)));
    body.append(...[...rows].sort(compare));
    headings.forEach((th, i) =>
      i === column ? th.setAttribute("aria-sort", descending ? "descending" : "ascending")
                   : th.removeAttribute("aria-sort"));
  }
  headings.forEach((th, i) => th.querySelector("button").addEventListener("click", () => sortBy(i)));

  const domain = document.getElementById("units-domain");
  domain.addEventListener("change", () => {
    for (const row of rows) row.hidden = domain.value !== "" && row.dataset.domain !== domain.value;
  });
})();
