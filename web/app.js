// Lorvane.html's script: a rules file opened or dropped, made into the chart page by the program's module, shown, watched and compared.
"use strict";
// The module (web/WebPage.cpp, the program's own C++ as WebAssembly)
// loads the file's bytes and makes the page exactly as lorvane-check
// --html does; this script only moves bytes and shows what comes back.
// The page is written into a frame of its own, a fresh one for every
// page, so that each starts as the checker's page starts: the frame has
// this document's address, so the page's own address (#route=...) and
// its plan in this browser's storage work as they do from disk.
(function () {
  const $ = (id) => document.getElementById(id);
  const stage = $("stage");
  const fileInput = $("file");
  const compareButton = $("compare");
  const watchButton = $("watch");
  const againButton = $("again");
  const save = $("save");
  const state = $("state");
  const busy = $("busy");
  const busyText = $("busy-text");
  const refusal = $("refusal");
  const refusalHead = $("refusal-head");
  const refusalText = $("refusal-text");
  const ask = $("ask");
  const WATCH_PERIOD = 1000;
  const canKeepHandles = typeof window.showOpenFilePicker === "function";

  // The wasm travels as base64 in the page's data block.
  const wasm = Uint8Array.from(atob($("wasm").textContent), (c) => c.charCodeAt(0));
  const ready = LorvaneModule({ wasmBinary: wasm });
  // What is shown: the file read (its name, bytes, handle where the
  // browser keeps one, when it was read) and, for a comparison, the older.
  let shown = null;
  let frame = null;
  // A load under way: a newer request waits for it, then goes instead.
  let working = Promise.resolve();
  let watchTimer = 0;
  let chooserFor = "open";

  const clock = (date) => date.toLocaleTimeString();
  // Two frames, so that what was set before is drawn before the module
  // holds the thread.
  // (A hidden page draws no frames: it waits a moment instead.)
  const drawn = () =>
    new Promise((done) => {
      requestAnimationFrame(() => requestAnimationFrame(done));
      setTimeout(done, 100);
    });

  // Says what the app does; for a large file, drawn before the module
  // holds the thread (a small one is done before the sign would show).
  let large = false;
  async function busyWith(text) {
    busyText.textContent = text;
    busy.hidden = false;
    if (large) await drawn();
  }

  // The module's calls: the name and bytes copied into its memory, the
  // page or the message copied out. Returns [exit code, text bytes].
  function call(lorvane, run, name, bytes) {
    const nameSize = lorvane.lengthBytesUTF8(name) + 1;
    const nameAt = lorvane._malloc(nameSize);
    const bytesAt = lorvane._malloc(Math.max(1, bytes.length));
    if (nameAt === 0 || bytesAt === 0) {
      lorvane._free(nameAt);
      return [1, new TextEncoder().encode("Not enough memory to load the rules file")];
    }
    lorvane.stringToUTF8(name, nameAt, nameSize);
    lorvane.HEAPU8.set(bytes, bytesAt);
    const code = run(nameAt, bytesAt, bytes.length);
    lorvane._free(bytesAt);
    lorvane._free(nameAt);
    return [code, textOf(lorvane)];
  }
  const textOf = (lorvane) =>
    lorvane.HEAPU8.slice(lorvane._LorvaneText(), lorvane._LorvaneText() + lorvane._LorvaneTextSize());

  // The page of one file, or of two compared ({name, bytes} each): [0,
  // page] or [exit code, message], as the checker ends.
  async function makePage(newer, older) {
    const lorvane = await ready;
    large = newer.bytes.length + (older?.bytes.length ?? 0) > 1 << 20;
    const naming = older ? 1 : 0;
    const load = (file) =>
      call(lorvane, (n, b, s) => lorvane._LorvaneLoad(n, b, s, naming), file.name, file.bytes);
    lorvane._LorvaneForgetOlder();
    if (older) {
      await busyWith(`Loading ${older.name}\u2026`);
      const [code, text] = load(older);
      if (code !== 0) return [code, text];
      const kept = lorvane._LorvaneKeepOlder();
      if (kept !== 0) return [kept, textOf(lorvane)];
    }
    await busyWith(`Loading ${newer.name}\u2026`);
    const loading = performance.now();
    const [code, text] = load(newer);
    performance.measure("Lorvane: load", { start: loading });
    if (code !== 0) return [code, text];
    await busyWith("Making the page\u2026");
    const making = performance.now();
    const made = lorvane._LorvaneMakePage(naming);
    const page = textOf(lorvane);
    performance.measure("Lorvane: make the page", { start: making });
    lorvane._LorvaneForgetOlder();
    return [made, page];
  }

  // The bytes a load can read (the rest of a larger file changes nothing),
  // with the reading shown as it goes. (Each step of the work is a
  // performance measure, "Lorvane: ...", for the browser's profiler and
  // the page benchmark.)
  async function readBytes(file) {
    const lorvane = await ready;
    const limit = lorvane._LorvaneReadLimit();
    const wanted = Math.min(file.size, limit);
    const bytes = new Uint8Array(wanted);
    let at = 0;
    const reader = file.slice(0, wanted).stream().getReader();
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      bytes.set(value.subarray(0, wanted - at), at);
      at += Math.min(value.length, wanted - at);
      if (file.size > 1 << 20) busyText.textContent = `Reading ${file.name}\u2026 ${Math.floor((100 * at) / wanted)}%`;
    }
    return bytes.subarray(0, at);
  }

  // The view of the page shown, to keep across a new read of its file: its
  // address (search, route, plan, zoom, colours), its scroll position and
  // whether the overview is open.
  function viewOf(old) {
    if (old === null) return null;
    const w = old.contentWindow;
    const view = w.document.getElementById("view");
    const overview = w.document.getElementById("overview-toggle");
    return {
      hash: w.location.hash,
      left: view?.scrollLeft ?? 0,
      top: view?.scrollTop ?? 0,
      overview: overview?.getAttribute("aria-expanded") === "true",
    };
  }

  // Writes the page into a new frame over the old one, then drops the old.
  // A large page goes in pieces, the browser free between them, as a page
  // from disk arrives: one write of it all holds the page for as long as
  // it takes to read it.
  const PIECE = 1 << 20;
  async function showPage(page, keep) {
    const old = frame;
    const view = keep ? viewOf(old) : null;
    frame = document.createElement("iframe");
    frame.title = "Research chart";
    stage.append(frame);
    $("welcome")?.remove();
    const w = frame.contentWindow;
    const d = frame.contentDocument;
    d.open();
    // The frame now has this document's address; the page reads its own
    // entries from it as it starts.
    if (view !== null) w.history.replaceState(null, "", view.hash || location.pathname + location.search);
    const writing = performance.now();
    const html = new TextDecoder().decode(page);
    for (let at = 0; at < html.length; at += PIECE) {
      if (at > 0) await new Promise((done) => setTimeout(done));
      d.write(html.slice(at, at + PIECE));
    }
    d.close();
    performance.measure("Lorvane: write the page", { start: writing });
    if (view !== null) {
      const toggle = d.getElementById("overview-toggle");
      if (view.overview && toggle?.getAttribute("aria-expanded") === "false") toggle.click();
      const scroller = d.getElementById("view");
      if (scroller) {
        scroller.scrollLeft = view.left;
        scroller.scrollTop = view.top;
      }
    }
    listenForDrops(d);
    old?.remove();
    document.title = `${d.title} - Lorvane`;
    w.focus();
  }

  function showRefusal(head, text) {
    refusalHead.textContent = head;
    refusalText.textContent = text;
    refusal.hidden = false;
  }

  // The page of newer (compared with older) shown, keeping the view when
  // it is the same file read again; a refusal said, and a chart already
  // shown kept beneath it, marked out of date.
  async function show(newer, older, again) {
    const [code, text] = await makePage(newer, older);
    if (code !== 0) {
      const message = new TextDecoder().decode(text);
      const what = older ? `${older.name} and ${newer.name} were not compared` : `${newer.name} was not loaded`;
      showRefusal(`${what}; lorvane-check refuses it so, with exit code ${code}:`, message);
      // A chart already shown stays, marked as what it is.
      if (frame !== null) {
        stage.classList.add("stale");
        state.textContent = again
          ? `Out of date: the chart shows ${newer.name} as read at ${clock(shown.read)}`
          : `The chart is still that of ${shown.name}`;
      }
      return false;
    }
    await busyWith("Drawing the chart\u2026");
    refusal.hidden = true;
    stage.classList.remove("stale");
    await showPage(text, again);
    shown = { ...newer, older, read: new Date() };
    const stem = newer.name.replace(/\.[^.]*$/, "");
    URL.revokeObjectURL(save.href);
    save.href = URL.createObjectURL(new Blob([text], { type: "text/html" }));
    save.download = `${stem}.html`;
    save.hidden = false;
    compareButton.disabled = false;
    watchButton.disabled = false;
    againButton.disabled = false;
    showWatching();
    return true;
  }

  // One request at a time, in the order made; busy until the last ends.
  let pending = 0;
  function work(task) {
    pending += 1;
    stage.setAttribute("aria-busy", "true");
    working = working.then(task).catch((error) => {
      showRefusal("The file could not be read:", String(error?.message ?? error));
    }).finally(() => {
      pending -= 1;
      if (pending > 0) return;
      busy.hidden = true;
      stage.setAttribute("aria-busy", "false");
    });
    return working;
  }

  async function fileEntry(file, handle) {
    return { name: file.name, bytes: await readBytes(file), handle: handle ?? null, modified: file.lastModified, size: file.size };
  }

  // The older of two files by their names, where the names tell: a name
  // that is the other's with something added (RULES.TXT, RULES-MOD.TXT),
  // or the same but for a number (v1, v2); null where they do not.
  function olderByName(a, b) {
    const stem = (name) => name.replace(/\.[^.]*$/, "").toLowerCase();
    const [x, y] = [stem(a.name), stem(b.name)];
    if (x !== y && y.startsWith(x)) return [a, b];
    if (x !== y && x.startsWith(y)) return [b, a];
    const numbers = (s) => s.split(/(\d+)/);
    const [p, q] = [numbers(x), numbers(y)];
    if (p.length !== q.length) return null;
    for (let k = 0; k < p.length; ++k) {
      if (p[k] === q[k]) continue;
      if (k % 2 === 0 || Number(p[k]) === Number(q[k])) return null;
      return Number(p[k]) < Number(q[k]) ? [a, b] : [b, a];
    }
    return null;
  }
  // Asks which is the older one where the names do not tell; null when
  // other files are opened instead of an answer.
  let cancelAsk = () => {};
  function askOlder(a, b) {
    const order = olderByName(a, b);
    if (order !== null) return Promise.resolve(order);
    busy.hidden = true;
    return new Promise((done) => {
      const answer = (order) => {
        ask.hidden = true;
        cancelAsk = () => {};
        done(order);
      };
      [a, b].forEach((file, k) => {
        const button = $(`older-${k}`);
        button.textContent = `${file.name} is the older`;
        button.onclick = () => answer(k === 0 ? [a, b] : [b, a]);
      });
      cancelAsk = () => answer(null);
      ask.hidden = false;
      $("older-0").focus();
    });
  }
  async function compare(a, b) {
    const order = await askOlder(a, b);
    if (order !== null) await show(order[1], order[0], false);
  }

  // Files chosen or dropped: one is shown, two are compared (with the file
  // shown when asked to compare), and a file chosen again replaces the one
  // shown, keeping the view.
  function open(files, handles, purpose) {
    if (files.length === 0) return;
    stopWatching();
    cancelAsk();
    if (files.length > 2 || (purpose !== "open" && files.length > 1)) {
      showRefusal("Too many files:", "Open one rules file, or two to compare them.");
      return;
    }
    work(async () => {
      await busyWith(`Reading ${files[0].name}\u2026`);
      const entries = [];
      for (const [k, file] of files.entries()) entries.push(await fileEntry(file, handles[k]));
      if (purpose === "again") {
        await show(entries[0], shown.older, true);
      } else if (purpose === "compare") {
        await compare(shown, entries[0]);
      } else if (entries.length === 2) {
        await compare(entries[0], entries[1]);
      } else {
        await show(entries[0], null, false);
      }
    });
  }

  function choose(purpose) {
    chooserFor = purpose;
    fileInput.multiple = purpose === "open";
    fileInput.value = "";
    fileInput.click();
  }
  $("open").addEventListener("click", () => choose("open"));
  $("open-here").addEventListener("click", () => choose("open"));
  compareButton.addEventListener("click", () => choose("compare"));
  againButton.addEventListener("click", () => choose("again"));
  fileInput.addEventListener("change", () => open([...fileInput.files], [], chooserFor));

  // A drop anywhere: on this page or on the chart's frame. Where the
  // browser gives a handle on a dropped file, it is kept for Watch.
  function listenForDrops(target) {
    target.addEventListener("dragover", (event) => {
      if (!event.dataTransfer?.types.includes("Files")) return;
      event.preventDefault();
      event.dataTransfer.dropEffect = "copy";
      stage.classList.add("dropping");
    });
    target.addEventListener("dragleave", () => stage.classList.remove("dropping"));
    target.addEventListener("drop", (event) => {
      event.preventDefault();
      stage.classList.remove("dropping");
      const items = [...event.dataTransfer.items].filter((item) => item.kind === "file");
      // Asked for during the event: the drop's data is gone after it.
      const handles = items.map((item) => item.getAsFileSystemHandle?.().catch(() => null) ?? null);
      const files = items.map((item) => item.getAsFile()).filter((file) => file !== null);
      Promise.all(handles).then((kept) => open(files, kept.map((h) => (h?.kind === "file" ? h : null)), "open"));
    });
  }
  listenForDrops(document);

  // Watch: the file read again whenever it changes (its time or size),
  // checked about once a second while the page is visible.
  function showWatching() {
    const watching = watchTimer !== 0;
    watchButton.setAttribute("aria-pressed", String(watching));
    watchButton.textContent = watching ? "Stop watching" : "Watch";
    if (shown === null || stage.classList.contains("stale")) return;
    const what = shown.older ? `${shown.name} against ${shown.older.name}` : shown.name;
    state.textContent = watching
      ? `Watching ${shown.name}; last read ${clock(shown.read)}`
      : `${what}, read ${clock(shown.read)}`;
  }
  function stopWatching() {
    clearInterval(watchTimer);
    watchTimer = 0;
    showWatching();
  }
  let checking = false;
  async function check() {
    if (document.hidden || checking || shown?.handle == null) return;
    checking = true;
    try {
      const file = await shown.handle.getFile();
      if (file.lastModified === shown.modified && file.size === shown.size) return;
      performance.mark("Lorvane: change seen");
      const entry = await fileEntry(file, shown.handle);
      await work(async () => {
        if (await show(entry, shown.older, true)) return;
        // Refused: the next change is looked for from this one on.
        shown.modified = entry.modified;
        shown.size = entry.size;
      });
    } catch (error) {
      stopWatching();
      showRefusal(`${shown.name} cannot be read any more:`, String(error?.message ?? error));
    } finally {
      checking = false;
    }
  }
  async function startWatching() {
    if (shown.handle === null) {
      // Chosen through the file button: the browser's own picker gives a
      // handle that it keeps.
      let picked;
      try {
        [picked] = await window.showOpenFilePicker();
      } catch {
        return;
      }
      const file = await picked.getFile();
      const entry = await fileEntry(file, picked);
      await work(() => show(entry, shown.older, entry.name === shown.name));
    }
    watchTimer = setInterval(check, WATCH_PERIOD);
    showWatching();
  }
  watchButton.addEventListener("click", () => (watchTimer !== 0 ? stopWatching() : startWatching()));
  document.addEventListener("visibilitychange", check);
  // Where no handle can be kept, the file is chosen again instead.
  watchButton.hidden = !canKeepHandles;
  againButton.hidden = canKeepHandles;
})();
