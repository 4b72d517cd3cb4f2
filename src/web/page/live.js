// The live page: readings from the server's event stream (/api/events), or from /api/live while
// the stream is down; a 10-minute chart drawn here as SVG. Everything comes from this server.
"use strict";

const CHANNELS = ["T1", "T2", "T3", "T4"];
const CHART_MS = 10 * 60 * 1000;
const STALE_MS = 5000;           // a reading older than this is "no reading"
const ANNOUNCE_MS = 5000;        // at most one screen-reader announcement this often
const FALLBACK_POLL_MS = 1000;   // /api/live while the stream is down
const DASHES = ["", "8 4", "2 3", "10 3 2 3"];  // the chart's lines differ by more than colour

const state = {
  meter: "waiting",
  lastTime: null,          // the latest reading's "time" text
  arrived: null,           // performance.now() when the latest reading arrived
  latest: null,
  points: [],              // {t: ms since 1970, v: [4 numbers or null]}
  streamUp: false,
  everUp: false,
  lastAnnounced: -Infinity,
  announceTimer: null,
  pollTimer: null,
  source: null,
  // The age the server gave for its latest reading when the stream (re)opened: the reading it
  // sends first is that one, not a new one.
  welcomeAge: null,
};

const $ = (id) => document.getElementById(id);

function unitText(unit) {
  return unit === "F" ? "°F" : "°C";
}

function isNumber(v) {
  return typeof v === "number" && Number.isFinite(v);
}

function spoken(name, value, unit) {
  if (value === "OL") return `${name} over range`;
  if (!isNumber(value)) return `${name} no reading`;
  return `${name} ${value.toFixed(1)} ${unitText(unit)}`;
}

// The four readings as a screen reader says them: "T1 25.3 °C, T2 over range, …".
function spokenReadings(r) {
  return CHANNELS.map((c) => spoken(c, r[c], r.unit)).join(", ");
}

// The meter as the page names it: "418 · SIM0001 · simulated", leaving out what is unknown.
function meterLabel(m) {
  return [m.model, m.serial, m.link].filter(Boolean).join(" · ");
}

function ageMs() {
  return state.arrived === null ? null : performance.now() - state.arrived;
}

// What the page says about the meter: lost, silent, or fine.
function meterSituation() {
  if (state.meter === "lost") return { cls: "lost", text: "Meter lost" };
  const age = ageMs();
  if (age === null) return { cls: "waiting", text: "Waiting for the meter" };
  if (age >= STALE_MS) return { cls: "stale", text: `No reading for ${Math.floor(age / 1000)} s` };
  return { cls: "ok", text: "Meter connected" };
}

function showSituation() {
  const situation = meterSituation();
  const el = $("meterState");
  el.textContent = situation.text;
  el.className = "meter-state " + situation.cls;
  document.querySelector(".channels").classList.toggle("stale", situation.cls === "stale");
  document.querySelector(".channels").classList.toggle("lost", situation.cls === "lost");
  const age = ageMs();
  $("age").textContent = age === null ? "" : `(${Math.floor(age / 1000)} s ago)`;
  return situation;
}

// The summary a screen reader announces, changed at most every ANNOUNCE_MS.
function summary() {
  const situation = meterSituation();
  // Said once, not again with every second the count goes up.
  if (situation.cls === "stale") return `No reading since ${$("lastTime").textContent}.`;
  if (situation.cls === "ok" && !state.latest) return "";
  if (situation.cls !== "ok") return situation.text + ".";
  const r = state.latest;
  return spokenReadings(r) + ".";
}

function announce() {
  const now = performance.now();
  const wait = state.lastAnnounced + ANNOUNCE_MS - now;
  if (wait > 0) {
    if (state.announceTimer === null) {
      state.announceTimer = setTimeout(() => { state.announceTimer = null; announce(); }, wait);
    }
    return;
  }
  const text = summary();
  if (text && $("announce").textContent !== text) {
    $("announce").textContent = text;
    state.lastAnnounced = now;
  }
}

function showReading(r) {
  state.latest = r;
  for (const c of CHANNELS) {
    const box = $(c);
    const v = r[c];
    box.querySelector(".number").textContent = isNumber(v) ? v.toFixed(1) : String(v);
    box.querySelector(".unit").textContent = isNumber(v) ? unitText(r.unit) : "";
    box.setAttribute("aria-label", spoken(c, v, r.unit));
  }
  const time = $("lastTime");
  time.textContent = typeof r.time === "string" ? r.time.slice(11, 19) : "";
  time.dateTime = r.time || "";
  time.dataset.time = r.time || "";
  $("meter").textContent = meterLabel(r);
}

function pointOf(r) {
  const t = Date.parse(r.time);
  if (!Number.isFinite(t)) return null;
  return { t, v: CHANNELS.map((c) => (isNumber(r[c]) ? r[c] : null)) };
}

function addPoint(r) {
  const p = pointOf(r);
  if (!p) return;
  state.points.push(p);
  const from = p.t - CHART_MS;
  let drop = 0;
  while (drop < state.points.length && state.points[drop].t < from) drop++;
  if (drop) state.points.splice(0, drop);
}

// ageMs: how old the server said the reading was (0 for one pushed as it came).
function onReading(r, ageMs = 0) {
  if (!r || typeof r !== "object" || r.time === state.lastTime) return;
  state.lastTime = r.time;
  state.arrived = performance.now() - ageMs;
  if (state.meter !== "lost") state.meter = "connected";
  showReading(r);
  addPoint(r);
  showSituation();
  drawChart();
  announce();
}

function onStatus(s) {
  if (!s || typeof s !== "object") return;
  state.meter = s.meter;
  $("recording").textContent = s.recording ? "running" : "not running";
  const list = $("alarmList");
  list.replaceChildren();
  const active = Array.isArray(s.alarms) ? s.alarms : [];
  for (const c of CHANNELS) {
    $(c).classList.remove("alarm");
    $(c).querySelector(".flag").textContent = "";
  }
  for (const a of active) {
    const li = document.createElement("li");
    li.className = "on";
    const what = a.kind === "high" ? `above ${a.limit}` : a.kind === "low" ? `below ${a.limit}` : a.kind;
    li.textContent = `ALARM ${a.channel ? a.channel + " " : ""}${what}` +
                     (typeof a.time === "string" ? ` since ${a.time.slice(11, 19)}` : "");
    list.append(li);
    if (a.channel && $(a.channel)) {
      $(a.channel).classList.add("alarm");
      $(a.channel).querySelector(".flag").textContent = `ALARM ${a.kind}`;
    }
  }
  if (!active.length) {
    const li = document.createElement("li");
    li.textContent = "None";
    list.append(li);
  }
  if (s.model) {
    $("meter").textContent = meterLabel(s);
  }
  showSituation();
  announce();
}

// ---- the chart ------------------------------------------------------------------------------

function svg(name, attrs, text) {
  const el = document.createElementNS("http://www.w3.org/2000/svg", name);
  for (const [k, v] of Object.entries(attrs)) el.setAttribute(k, v);
  if (text !== undefined) el.textContent = text;
  return el;
}

function drawLegend() {
  const legend = $("legend");
  for (let i = 0; i < CHANNELS.length; i++) {
    const li = document.createElement("li");
    const mark = svg("svg", { width: 28, height: 10, "aria-hidden": "true" });
    mark.append(svg("line", { x1: 0, y1: 5, x2: 28, y2: 5, class: `s${i + 1}`, "stroke-width": 3,
                              "stroke-dasharray": DASHES[i] }));
    li.append(mark, CHANNELS[i]);
    legend.append(li);
  }
}

function drawChart() {
  const plot = $("plot");
  const w = Math.max(plot.clientWidth, 100);
  const h = Math.max(plot.clientHeight, 80);
  plot.setAttribute("viewBox", `0 0 ${w} ${h}`);
  plot.replaceChildren();
  const left = 48, right = 8, top = 8, bottom = 22;
  const points = state.points;
  const end = points.length ? points[points.length - 1].t : Date.now();
  const start = end - CHART_MS;
  let lo = Infinity, hi = -Infinity;
  for (const p of points) for (const v of p.v) if (v !== null) { lo = Math.min(lo, v); hi = Math.max(hi, v); }
  if (lo === Infinity) { lo = 0; hi = 100; }
  if (hi - lo < 1) { lo -= 0.5; hi += 0.5; }
  const pad = (hi - lo) * 0.08;
  lo -= pad; hi += pad;
  const x = (t) => left + ((t - start) / CHART_MS) * (w - left - right);
  const y = (v) => top + (1 - (v - lo) / (hi - lo)) * (h - top - bottom);
  for (let i = 0; i <= 4; i++) {
    const v = lo + ((hi - lo) * i) / 4;
    plot.append(svg("line", { x1: left, x2: w - right, y1: y(v), y2: y(v), class: "grid" }));
    plot.append(svg("text", { x: left - 4, y: y(v) + 4, "text-anchor": "end" }, v.toFixed(1)));
  }
  // Fewer time labels where they would run into each other.
  const step = w < 520 ? 5 : 2;
  for (let m = 0; m <= 10; m += step) {
    const t = start + m * 60000;
    plot.append(svg("text", { x: x(t), y: h - 6, "text-anchor": m === 0 ? "start" : m === 10 ? "end" : "middle" },
                    m === 10 ? "latest" : `−${10 - m} min`));
  }
  for (let i = 0; i < CHANNELS.length; i++) {
    // A gap (no reading, OL) breaks the line.
    let run = [];
    const flush = () => {
      if (run.length) {
        plot.append(svg("polyline", { points: run.join(" "), class: `s${i + 1}`, "stroke-dasharray": DASHES[i] }));
      }
      run = [];
    };
    for (const p of points) {
      if (p.v[i] === null) { flush(); continue; }
      run.push(`${x(p.t).toFixed(1)},${y(p.v[i]).toFixed(1)}`);
    }
    flush();
  }
  const latest = state.latest;
  plot.setAttribute("aria-label", latest
    ? `Chart of the last 10 minutes, ${points.length} readings; latest: ${spokenReadings(latest)}`
    : "Chart of the last 10 minutes: no readings yet");
}

// ---- the connection ---------------------------------------------------------------------------

async function fetchJson(path) {
  const response = await fetch(path, { cache: "no-store" });
  if (!response.ok) throw new Error(`${path}: ${response.status}`);
  return response.json();
}

async function loadHistory() {
  try {
    const readings = await fetchJson("/api/history?minutes=10");
    state.points = [];
    for (const r of readings) addPoint(r);
    drawChart();
  } catch (e) {
    // The stream and the fallback poll still bring new readings.
  }
}

function setReconnecting(on) {
  $("notice").hidden = !on;
}

async function pollOnce() {
  try {
    const [live, status] = await Promise.all([fetchJson("/api/live"), fetchJson("/api/status")]);
    onStatus(status);
    onReading(live, isNumber(status.ageMs) ? status.ageMs : 0);
  } catch (e) {
    // Still down: the notice stays.
  }
}

function startFallbackPoll() {
  if (state.pollTimer === null) state.pollTimer = setInterval(pollOnce, FALLBACK_POLL_MS);
}

function stopFallbackPoll() {
  if (state.pollTimer !== null) clearInterval(state.pollTimer);
  state.pollTimer = null;
}

function connect() {
  const source = new EventSource("/api/events");
  state.source = source;
  source.addEventListener("reading", (e) => {
    const age = state.welcomeAge;
    state.welcomeAge = null;
    onReading(JSON.parse(e.data), isNumber(age) ? age : 0);
  });
  source.addEventListener("status", (e) => {
    const s = JSON.parse(e.data);
    if (state.welcomeAge === "expected") state.welcomeAge = isNumber(s.ageMs) ? s.ageMs : null;
    onStatus(s);
  });
  source.onopen = () => {
    // The server starts every stream with its status, then its latest reading.
    state.welcomeAge = "expected";
    const wasDown = state.everUp && !state.streamUp;
    state.streamUp = state.everUp = true;
    setReconnecting(false);
    stopFallbackPoll();
    if (wasDown) loadHistory();
  };
  source.onerror = () => {
    state.streamUp = false;
    setReconnecting(true);
    startFallbackPoll();
    // A stream the browser gave up on (not just retrying) is opened again by hand.
    if (source.readyState === EventSource.CLOSED) {
      source.close();
      setTimeout(connect, 2000);
    }
  };
}

function start() {
  drawLegend();
  drawChart();
  loadHistory();
  connect();
  setInterval(showSituation, 1000);
  setInterval(announce, ANNOUNCE_MS);
  window.addEventListener("resize", drawChart);
}

start();
