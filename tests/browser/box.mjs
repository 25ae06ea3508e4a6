// Where an advance's box of the chart page is on the screen, for real input events.

// Brings the box of advance i into the middle of the view; the middle of
// the box on the screen.
export const boxMiddle = (tab, i) =>
  tab.evaluate((i) => {
    const rect = document.querySelector(`#a${i} > rect`);
    rect.scrollIntoView({ block: "center", inline: "center" });
    const r = rect.getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  }, i);
