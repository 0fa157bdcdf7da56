// The page: the form of the window (its boxes, buttons, particle view and
// g(r) plot) over the engine compiled to WebAssembly, the Measurements
// panel, state files through the browser's download and file picker, the
// window's keys, and window.ljgas for scripts. The caller owns the loop:
// each animation frame takes the steps its speed has due, then draws the
// particles from the record.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);

  // The window's speeds, as its Run menu offers them.
  const Speeds = [
    { name: "Slow", stepsPerSecond: 250 },
    { name: "Normal", stepsPerSecond: 1000 },
    { name: "Fast", stepsPerSecond: 4000 },
    { name: "Very Fast", stepsPerSecond: 16000 },
    { name: "Maximum", stepsPerSecond: 0 },
  ];
  const DefaultStepsPerSecond = 1000;
  // At Maximum a frame steps for this long, three quarters of a 60 Hz
  // frame; the rest draws and answers the keys and buttons. (The time
  // between frames cannot tell a display's rate, since it grows with the
  // frames' own work.)
  const MaximumFrameMilliseconds = 12;
  const PanelRefreshMilliseconds = 50;
  const FormWidth = 14460;
  const FormHeight = 8580;
  const PanelWidth = 4500;
  const BarHeight = 480;
  const StatusHeight = 360;

  function speedText(speed) {
    if (speed.stepsPerSecond <= 0) return `${speed.name}: as fast as the machine goes`;
    return `${speed.name}: ${String(speed.stepsPerSecond).replace(/\B(?=(\d{3})+$)/g, " ")} steps/s`;
  }

  // ---------------------------------------------------------------------
  // The engine's C functions.

  function bindEngine(m) {
    const f = (name, result, args) => m.cwrap(`ljgas_${name}`, result, args);
    const e = {
      setParameters: f("set_parameters", null, ["string", "string", "string", "number"]),
      parameter: f("parameter", "string", ["number"]),
      thermostat: f("thermostat", "number", []),
      initialize: f("initialize", "number", []),
      go: f("go", "number", []),
      stop: f("stop", null, []),
      running: f("running", "number", []),
      endRuns: f("end_runs", null, []),
      advance: f("advance", "number", ["number"]),
      takeMessage: f("take_message", "string", []),
      steps: f("steps", "number", []),
      temperatureText: f("temperature_text", "string", []),
      temperature: f("temperature", "number", []),
      readOuts: f("read_outs", "number", []),
      count: f("count", "number", []),
      radius: f("radius", "number", []),
      x: f("x", "number", []),
      y: f("y", "number", []),
      plotHeights: f("plot_heights", "number", []),
      plotShown: f("plot_shown", "number", []),
      plotVersion: f("plot_version", "number", []),
      setMeasuring: f("set_measuring", null, ["number"]),
      clearMeasurements: f("clear_measurements", null, []),
      historyVersion: f("history_version", "number", []),
      reading: f("reading", "number", []),
      history: f("history", "number", []),
      speeds: f("speeds", "number", ["number", "number"]),
      distribution: f("distribution", "number", []),
      binDistance: f("bin_distance", "number", ["number"]),
      stateText: f("state_text", "string", []),
      setDynamics: f("set_dynamics", null, ["string", "string"]),
      dynamics: f("dynamics", "string", []),
      thermostatKind: f("thermostat_kind", "string", []),
      reverse: f("reverse", null, []),
      openStateBytes: f("open_state", "number", ["number", "number", "string"]),
    };
    // Views of the engine's memory, taken afresh each time: it may grow.
    e.floats = (pointer, count) => new Float32Array(m.HEAPF32.buffer, pointer, count);
    e.doubles = (pointer, count) => new Float64Array(m.HEAPF64.buffer, pointer, count);
    e.openState = (bytes, name) => {
      const pointer = m._malloc(Math.max(1, bytes.length));
      try {
        m.HEAPU8.set(bytes, pointer);
        return e.openStateBytes(pointer, bytes.length, name) === 1;
      } finally {
        m._free(pointer);
      }
    };
    return e;
  }

  let engine = null;

  // ---------------------------------------------------------------------
  // Layout: every control at its place in twips, all scaled by --u.

  const panel = $("measurements");

  function layOut() {
    const width = FormWidth + (panel.hidden ? 0 : PanelWidth);
    const height = FormHeight + BarHeight + StatusHeight;
    const u = Math.min(window.innerWidth / width, window.innerHeight / height);
    document.documentElement.style.setProperty("--u", String(u));
    for (const canvas of [$("window"), $("Distribution")]) Charts.fitCanvas(canvas);
    // A canvas given a new size is cleared.
    drawn.particles = false;
    drawn.plot = -1;
    drawAll();
  }

  for (const element of document.querySelectorAll("#Form1 > [data-twips]")) {
    const [left, top, width, height] = element.dataset.twips.split(" ").map(Number);
    element.style.left = `calc(var(--u) * ${left}px)`;
    element.style.top = `calc(var(--u) * ${top}px)`;
    element.style.width = `calc(var(--u) * ${width}px)`;
    element.style.height = `calc(var(--u) * ${height}px)`;
    if (element.dataset.points) element.style.fontSize = `calc(var(--u) * ${element.dataset.points * 20}px)`;
  }

  // ---------------------------------------------------------------------
  // Messages and the status line.

  function report(title, text) {
    $("messageTitle").textContent = title;
    $("messageText").textContent = text;
    const dialog = $("message");
    if (!dialog.open) dialog.showModal();
  }

  let statusTimer = 0;
  function note(text, milliseconds = 0) {
    $("status").textContent = text;
    clearTimeout(statusTimer);
    if (milliseconds > 0) statusTimer = setTimeout(() => ($("status").textContent = ""), milliseconds);
  }

  function tellFailure(title) {
    const message = engine.takeMessage();
    if (message) report(title, message);
  }

  // ---------------------------------------------------------------------
  // The boxes: what is typed counts once an edit is finished (Enter, or the
  // focus leaving the box), and Go and Initialize finish it first.

  const boxes = [$("Rtxt"), $("e0txt"), $("Tsolltxt")];

  function takeEdits() {
    engine.setParameters(boxes[0].value, boxes[1].value, boxes[2].value, $("Thermostat").checked ? 1 : 0);
  }

  function showParameters() {
    boxes.forEach((box, m) => {
      const text = engine.parameter(m);
      if (box.value !== text) box.value = text;
    });
    $("Thermostat").checked = engine.thermostat() === 1;
    if ($("dynamics")) {
      $("dynamics").value = engine.dynamics();
      $("thermostatKind").value = engine.thermostatKind();
    }
  }

  for (const box of boxes) {
    box.addEventListener("change", takeEdits);
    box.addEventListener("keydown", (event) => {
      if (event.key === "Enter") takeEdits();
    });
  }
  $("Thermostat").addEventListener("change", takeEdits);

  // ---------------------------------------------------------------------
  // The runs: Go, Stop, Initialize, and the frames that step them.

  const pacer = new Pacing.StepPacer(DefaultStepsPerSecond);
  let stepsPerSecond = DefaultStepsPerSecond;
  let drawn = { particles: false, readOuts: -1, plot: -1 };

  function go() {
    takeEdits();
    if (engine.go() !== 1) {
      tellFailure("Go");
      return;
    }
    pacer.restart();
    drawn.plot = -1;
  }

  function stop() {
    engine.stop();
  }

  function initialize() {
    takeEdits();
    if (engine.initialize() !== 1) {
      tellFailure("Initialize");
      return;
    }
    gasReplaced();
  }

  function gasReplaced() {
    drawn.particles = false;
    refreshPanel(true);
  }

  // Steps of this frame: those due at the speed, or at Maximum as many as
  // fit in its share of the frame, by the time a step has been taking, in
  // chunks of at most 4 ms that keep that time up to date.
  let stepMilliseconds = 0.05;
  function stepFrame(now) {
    if (!engine.running()) return;
    if (pacer.paced) {
      pacer.stepsTaken(engine.advance(pacer.due(now)));
    } else {
      const end = performance.now() + MaximumFrameMilliseconds;
      for (;;) {
        const before = performance.now();
        const steps = Math.min(Math.floor((end - before) / stepMilliseconds), Math.ceil(4 / stepMilliseconds));
        if (steps < 1) break;
        const done = engine.advance(steps);
        if (done > 0) stepMilliseconds = 0.8 * stepMilliseconds + (0.2 * (performance.now() - before)) / done;
        if (done < steps) break;
      }
    }
    drawn.particles = false;
    tellFailure("Run");
  }

  function frame(now) {
    stepFrame(now);
    drawAll();
    refreshPanel(false);
    requestAnimationFrame(frame);
  }

  // ---------------------------------------------------------------------
  // Drawing: the particle view from the record, the g(r) curve as the last
  // redraw of the run left it, and Tist=.

  const LightRed = "#FF5555";
  const White = "#FFFFFF";

  function drawParticles() {
    const canvas = $("window");
    const c = canvas.getContext("2d");
    const W = canvas.width;
    const H = canvas.height;
    c.fillStyle = "#000";
    c.fillRect(0, 0, W, H);
    const n = engine.count();
    if (n === 0) return;
    // The view shows [R, 1 - R] in both directions, the margin inside the
    // square; circles are round, their radius in the horizontal units.
    const R = engine.radius();
    const upper = Math.fround(1 - R);
    const sx = W / (upper - R);
    const sy = H / (upper - R);
    const radius = R * sx;
    if (!(radius > 0) || !Number.isFinite(radius)) return;
    const x = engine.floats(engine.x(), n + 1);
    const y = engine.floats(engine.y(), n + 1);
    c.lineWidth = Math.max(1, W / 620);
    const circle = (k) => {
      const cx = (x[k] - R) * sx;
      const cy = (upper - y[k]) * sy;
      c.moveTo(cx + radius, cy);
      c.arc(cx, cy, radius, 0, 2 * Math.PI);
    };
    c.strokeStyle = LightRed;
    c.beginPath();
    circle(1);
    c.stroke();
    c.strokeStyle = White;
    c.beginPath();
    for (let k = 2; k <= n; ++k) circle(k);
    c.stroke();
  }

  function drawPlot() {
    const canvas = $("Distribution");
    const c = canvas.getContext("2d");
    c.fillStyle = "#000";
    c.fillRect(0, 0, canvas.width, canvas.height);
    if (engine.plotShown() !== 1) return;
    const h = engine.floats(engine.plotHeights(), 200);
    c.strokeStyle = White;
    c.lineWidth = Math.max(1, canvas.width / 340);
    c.beginPath();
    for (let k = 1; k <= 200; ++k) {
      const px = (k / 200) * canvas.width;
      const py = (1 - h[k - 1]) * canvas.height;
      if (k === 1) c.moveTo(px, py);
      else c.lineTo(px, py);
    }
    c.stroke();
  }

  function drawAll() {
    if (engine === null) return;
    if (!drawn.particles) {
      drawParticles();
      drawn.particles = true;
    }
    const version = engine.plotVersion();
    if (version !== drawn.plot) {
      drawPlot();
      drawn.plot = version;
    }
    const readOuts = engine.readOuts();
    if (readOuts !== drawn.readOuts) {
      $("Ttxt").textContent = engine.temperatureText();
      drawn.readOuts = readOuts;
    }
  }

  // ---------------------------------------------------------------------
  // The Measurements panel: the read-outs of the latest reading, and the
  // history, the speeds and g(r), measured at every read-out while shown.

  const Quantities = [
    ["step", "Steps behind the state over all runs, as Save State counts them"],
    ["time", "step \u00d7 dt, dt = 0.001"],
    ["T", "Tist: the mean of vx\u00b2 + vy\u00b2 per disc over the last 20 steps, no \u00bd; T* = T/(2\u00b7e0)"],
    ["kinetic", "\u00bd \u03a3 (vx\u00b2 + vy\u00b2) over the discs; E* = E/(N\u00b7e0), N = 225"],
    ["potential", "\u03a3 4\u00b7e0\u00b7((\u03c3/r)\u00b9\u00b2 \u2212 (\u03c3/r)\u2076) over pairs closer than 8R, \u03c3 = 2R; E* = E/(N\u00b7e0)"],
    ["total", "kinetic + potential: the energy of the gas; E* = E/(N\u00b7e0)"],
    ["pressure", "2-d virial pressure, area 1: kinetic + \u00bd \u03a3 r\u00b7F over the pairs; P* = P\u00b7\u03c3\u00b2/e0"],
  ];
  const rows = [];
  {
    const table = $("readOuts");
    const head = table.insertRow();
    head.innerHTML = "<th></th><th></th><th title='Lennard-Jones units: \u03c3 = 2R, energies in e0'>reduced</th>";
    for (const [name, definition] of Quantities) {
      const row = table.insertRow();
      row.title = definition;
      row.insertCell().textContent = name;
      const value = row.insertCell();
      const reduced = row.insertCell();
      value.id = `${name}Value`;
      reduced.id = `${name}Reduced`;
      rows.push({ value, reduced });
    }
  }

  let panelShown = false;
  let panelRefreshed = -Infinity;
  let panelVersion = -1;
  let tab = "history";

  function setPanelShown(shown) {
    panelShown = shown;
    panel.hidden = !shown;
    $("showMeasurements").setAttribute("aria-pressed", String(shown));
    engine.setMeasuring(shown ? 1 : 0);
    remember("measurements", shown ? "1" : "0");
    layOut();
    refreshPanel(true);
  }

  function showReading() {
    const pointer = engine.reading();
    if (pointer === 0) {
      rows.forEach((r) => {
        r.value.textContent = "\u2013";
        r.reduced.textContent = "";
      });
      return;
    }
    const [step, time, T, kinetic, potential, total, pressure, e0, sigma] = engine.doubles(pointer, 9);
    const perDisc = 225 * e0;
    const values = [step, time, T, kinetic, potential, total, pressure];
    const reduced = [NaN, NaN, T / (2 * e0), kinetic / perDisc, potential / perDisc, total / perDisc,
                     (pressure * sigma * sigma) / e0];
    rows.forEach((r, m) => {
      r.value.textContent = m === 0 ? String(step) : Charts.number(values[m], 6);
      r.reduced.textContent = Number.isNaN(reduced[m]) ? "" : Charts.number(reduced[m], 6);
    });
  }

  // Curves of a few hundred points are all a chart this size can show.
  function thinned(points, most = 600) {
    if (points.length <= most) return points;
    const every = Math.ceil(points.length / most);
    const kept = points.filter((_, m) => m % every === 0);
    if (kept[kept.length - 1] !== points[points.length - 1]) kept.push(points[points.length - 1]);
    return kept;
  }

  function range(points, low = Infinity, high = -Infinity) {
    for (const [, y] of points) {
      low = Math.min(low, y);
      high = Math.max(high, y);
    }
    return [low, high];
  }

  function showHistory() {
    const pointer = engine.history();
    const count = engine.doubles(pointer, 1)[0];
    const v = engine.doubles(pointer + 8, count * 5);
    const T = [], Tsoll = [], total = [], pressure = [];
    for (let m = 0; m < count; ++m) {
      const t = v[5 * m];
      T.push([t, v[5 * m + 1]]);
      if (!Number.isNaN(v[5 * m + 2])) Tsoll.push([t, v[5 * m + 2]]);
      total.push([t, v[5 * m + 3]]);
      pressure.push([t, v[5 * m + 4]]);
    }
    const start = count > 0 ? T[0][0] : 0;
    const end = count > 0 ? Math.max(T[count - 1][0], start + 0.02) : 1;
    const x = Charts.fitAxis(start, end, 5);
    const [tLow, tHigh] = range(Tsoll, ...range(T));
    Charts.draw($("temperatureChart"), {
      x, y: { ...Charts.fitAxis(Math.min(tLow, 0), tHigh), title: "T" },
      series: [{ points: thinned(T), colour: "#2040A0" }, { points: thinned(Tsoll), colour: "#D04040", dash: [6, 4] }],
    });
    Charts.draw($("energyChart"), {
      x, y: { ...Charts.fitAxis(...range(total)), title: "E total" },
      series: [{ points: thinned(total), colour: "#208030" }],
    });
    Charts.draw($("pressureChart"), {
      x: { ...x, title: "time" }, y: { ...Charts.fitAxis(...range(pressure)), title: "P" },
      series: [{ points: thinned(pressure), colour: "#803090" }],
    });
  }

  function showSpeeds() {
    const Bins = 35;
    const CurvePoints = 140;
    const header = engine.doubles(engine.speeds(Bins, CurvePoints), 3);
    const [T, top, bins] = header;
    const v = engine.doubles(engine.speeds(Bins, CurvePoints) + 24, bins + CurvePoints + 1);
    const bars = [];
    let high = 0;
    const width = bins > 0 ? top / bins : 0;
    for (let m = 0; m < bins; ++m) {
      bars.push([m * width, m === 0 ? 0 : v[m - 1]], [m * width, v[m]]);
      high = Math.max(high, v[m]);
    }
    if (bins > 0) bars.push([top, v[bins - 1]], [top, 0]);
    const curve = [];
    for (let m = 0; m <= CurvePoints; ++m) {
      curve.push([(top * m) / CurvePoints, v[bins + m]]);
      high = Math.max(high, v[bins + m]);
    }
    const empty = bins === 0;
    Charts.draw($("speedChart"), {
      x: { ...Charts.fitAxis(0, top, 5), title: `speed v   (T = ${Charts.number(T, 4)})` },
      y: { ...Charts.fitAxis(0, high > 0 ? high : 1), title: "P(v)" },
      legend: true,
      series: [
        { points: empty ? [] : bars, colour: "#2040A0", name: "discs" },
        { points: empty ? [] : curve, colour: "#D04040", name: "Maxwell\u2013Boltzmann" },
      ],
    });
  }

  function showDistribution() {
    const g = engine.doubles(engine.distribution(), 200);
    const points = [];
    let high = 1.5;
    for (let k = 1; k <= 200; ++k) {
      points.push([engine.binDistance(k), g[k - 1]]);
      high = Math.max(high, g[k - 1]);
    }
    const last = engine.binDistance(200);
    const y = { ...Charts.fitAxis(0, high), title: "g(r)" };
    const well = Math.pow(2, 1 / 6);
    Charts.draw($("distributionChart"), {
      x: { from: 0, to: last, step: 1, title: "r/\u03c3" }, y, legend: true,
      series: [
        { points: [[0, 1], [last, 1]], colour: "#808080", dash: [6, 4] },
        { points: [[well, y.from], [well, y.to]], colour: "#D04040", dash: [2, 3], name: "2^(1/6) \u03c3" },
        { points, colour: "#2040A0" },
      ],
    });
  }

  // At most 20 times a second, as often as anyone can read it.
  function refreshPanel(now) {
    if (!panelShown) return;
    const time = performance.now();
    const version = engine.historyVersion();
    if (!now && (version === panelVersion || time - panelRefreshed < PanelRefreshMilliseconds)) return;
    panelVersion = version;
    panelRefreshed = time;
    showReading();
    if (tab === "history") showHistory();
    else if (tab === "speeds") showSpeeds();
    else showDistribution();
  }

  for (const button of document.querySelectorAll("#tabs button")) {
    button.addEventListener("click", () => {
      tab = button.dataset.tab;
      for (const other of document.querySelectorAll("#tabs button")) {
        other.setAttribute("aria-selected", String(other === button));
        $(other.dataset.tab).hidden = other !== button;
      }
      refreshPanel(true);
    });
  }
  $("clearHistory").addEventListener("click", () => {
    engine.clearMeasurements();
    refreshPanel(true);
  });

  // ---------------------------------------------------------------------
  // State files: saved through the browser's download, opened through its
  // file picker; the same CSV as ljgas-batch and the window write.

  function saveState() {
    const text = engine.stateText();
    if (text === "") {
      tellFailure("Save State");
      return;
    }
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type: "text/csv" }));
    link.download = "state.csv";
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    note(`Save State: state.csv, ${engine.steps()} steps`, 5000);
  }

  function openStateBytes(bytes, name) {
    const opened = engine.openState(bytes, name);
    const message = engine.takeMessage();
    if (!opened) {
      report("Open State", message);
      return false;
    }
    showParameters();
    gasReplaced();
    const [set, ...notes] = message.split("\n");
    note(set || `Open State: ${name}`);
    if (notes.length > 0) report("Open State", `Opened the state in '${name}'.\n${notes.join("\n")}`);
    return true;
  }

  $("stateFile").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    event.target.value = "";
    if (file) openStateBytes(new Uint8Array(await file.arrayBuffer()), file.name);
  });

  // ---------------------------------------------------------------------
  // The commands and choices of the window's menus: the bar above the form
  // shows them in this order, the keys are the window's, and the help lists
  // them. A command is an entry { text, key, run }, a choice { choice,
  // items, take }, each with its C function in binding.cpp.

  const Menu = [
    { key: "F5", help: "Go", run: () => go() },
    { key: "Escape", help: "Stop", run: () => stop() },
    { key: "Ctrl+I", help: "Initialize", run: () => initialize() },
    { id: "openState", text: "Open State\u2026", key: "Ctrl+O", run: () => $("stateFile").click() },
    { id: "saveState", text: "Save State\u2026", key: "Ctrl+S", run: () => saveState() },
    {
      id: "speed",
      choice: "Speed",
      items: Speeds.map((s) => ({ value: String(s.stepsPerSecond), text: speedText(s) })),
      initial: () => remembered("speed", String(DefaultStepsPerSecond)),
      take: (value) => {
        stepsPerSecond = Number(value);
        pacer.setStepsPerSecond(stepsPerSecond);
        remember("speed", value);
      },
    },
    {
      id: "dynamics",
      choice: "Dynamics",
      items: [
        { value: "designed", text: "As Designed" },
        { value: "conserving", text: "Conserving" },
      ],
      initial: () => remembered("dynamics", "designed"),
      take: (value) => takeDynamics("dynamics", value),
    },
    {
      id: "thermostatKind",
      choice: "Thermostat",
      items: [
        { value: "weak", text: "Weak Rescaling" },
        { value: "canonical", text: "Canonical" },
      ],
      initial: () => remembered("thermostatKind", "weak"),
      take: (value) => takeDynamics("thermostatKind", value),
    },
    {
      id: "reverseTime",
      text: "Reverse Time",
      key: "Ctrl+R",
      run: () => {
        engine.reverse();
        note("Time reversed: every velocity negated", 5000);
      },
    },
    { id: "showMeasurements", text: "Measurements", key: "Ctrl+M", run: () => setPanelShown(!panelShown) },
    { id: "showHelp", text: "Help", key: "F1", help: "this help", run: () => openHelp() },
  ];

  // The dynamics and the thermostat of the next Go, remembered for the next
  // visit as the window remembers them.
  const choices = { dynamics: "designed", thermostatKind: "weak" };
  function takeDynamics(name, value) {
    choices[name] = value;
    remember(name, value);
    engine.setDynamics(choices.dynamics, choices.thermostatKind);
  }

  function addChoice(entry) {
    const label = document.createElement("label");
    label.textContent = `${entry.choice} `;
    const select = document.createElement("select");
    select.id = entry.id;
    for (const item of entry.items) select.add(new Option(item.text, item.value));
    const initial = entry.initial();
    select.value = entry.items.some((i) => i.value === initial) ? initial : entry.items[0].value;
    entry.take(select.value);
    select.addEventListener("change", () => {
      entry.take(select.value);
      note(`${entry.choice}: ${entry.items.find((i) => i.value === select.value).text}`, 5000);
    });
    label.append(select);
    return label;
  }

  function buildMenu() {
    const keys = $("keys");
    for (const entry of Menu) {
      if (entry.choice) {
        $("bar").append(addChoice(entry));
        continue;
      }
      if (entry.text) {
        const button = document.createElement("button");
        button.type = "button";
        button.id = entry.id;
        button.textContent = entry.text;
        button.title = `${entry.text} (${entry.key})`;
        button.addEventListener("click", entry.run);
        $("bar").append(button);
      }
      const row = keys.insertRow();
      row.insertCell().textContent = entry.key.replace("Escape", "Esc");
      row.insertCell().textContent = entry.help || entry.text;
    }
  }

  // "Ctrl+S" for Ctrl (or the Mac's Command) with S.
  function keyName(event) {
    const key = event.key.length === 1 ? event.key.toUpperCase() : event.key;
    return (event.ctrlKey || event.metaKey) && !event.altKey ? `Ctrl+${key}` : key;
  }

  function remembered(key, fallback) {
    try {
      return localStorage.getItem(`ljgas.${key}`) ?? fallback;
    } catch {
      return fallback;  // storage refused (some browsers for file://)
    }
  }

  function remember(key, value) {
    try {
      localStorage.setItem(`ljgas.${key}`, value);
    } catch {
      // nothing kept, nothing lost
    }
  }

  function openHelp() {
    const help = $("help");
    if (!help.open) help.showModal();
  }

  function wire() {
    $("Go").addEventListener("click", go);
    $("pause").addEventListener("click", stop);
    $("Initialize").addEventListener("click", initialize);
    window.addEventListener("resize", layOut);
    document.addEventListener("keydown", (event) => {
      if ($("message").open || $("help").open) return;
      const entry = Menu.find((e) => e.key === keyName(event));
      if (!entry) return;
      event.preventDefault();
      entry.run();
    });
  }

  // ---------------------------------------------------------------------
  // For scripts, a teacher's or a test's: window.ljgas.

  function scripting() {
    return {
      ready: true,
      // When the page was ready, in milliseconds since it began to load.
      readyAt: performance.now(),
      go,
      stop,
      initialize,
      running: () => engine.running() === 1,
      steps: () => engine.steps(),
      temperature: () => engine.temperature(),
      stateText: () => engine.stateText(),
      openState: (text, name = "state.csv") => openStateBytes(new TextEncoder().encode(text), name),
      setSpeed: (stepsPerSecond) => {
        const select = $("speed");
        if (!Speeds.some((s) => s.stepsPerSecond === stepsPerSecond))
          throw new RangeError(`no speed of ${stepsPerSecond} steps/s: ${Speeds.map((s) => s.stepsPerSecond).join(", ")}`);
        select.value = String(stepsPerSecond);
        select.dispatchEvent(new Event("change"));
      },
      // "designed" or "conserving", and "weak" or "canonical": the choices of
      // the bar, from the next Go on.
      setDynamics: (dynamics, kind = "weak") => {
        for (const [id, value] of [["dynamics", dynamics], ["thermostatKind", kind]]) {
          $(id).value = value;
          $(id).dispatchEvent(new Event("change"));
        }
      },
      reverse: () => engine.reverse(),
      // `count` steps at once, outside the frames: a run of its own when
      // none goes on, ended after them.
      runSteps: (count) => {
        const own = engine.running() !== 1;
        if (own) {
          takeEdits();
          if (engine.go() !== 1) return 0;
        }
        const taken = engine.advance(count);
        if (own) engine.endRuns();
        drawn.particles = false;
        drawAll();
        return taken;
      },
    };
  }

  // ---------------------------------------------------------------------
  // Start-up, as the window's: the default texts into the boxes, the
  // thermostat checked, and the particles placed.

  createLjgasEngine().then((module) => {
    engine = bindEngine(module);
    boxes[0].value = "0.01";
    boxes[1].value = "0.2";
    boxes[2].value = "0.3";
    $("Thermostat").checked = true;
    buildMenu();
    wire();
    initialize();
    setPanelShown(remembered("measurements", "0") === "1");
    $("Go").focus();
    window.ljgas = scripting();
    window.dispatchEvent(new Event("ljgas-ready"));
    requestAnimationFrame(frame);
  });
})();
