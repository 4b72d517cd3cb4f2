// One tile per meter, refreshed from /api/meters every second. Changes of presence and
// alarms are announced in the aria-live region; readings are not, so a screen reader
// is not flooded.
"use strict";

const kPollMs = 1000;
// A reading older than this while the meter is online is called out, s.
const kStaleS = 5;
const kChannels = ["T1", "T2", "T3", "T4"];

const tilesElement = document.getElementById("tiles");
const noticeElement = document.getElementById("notice");
const summaryElement = document.getElementById("summary");
const emptyElement = document.getElementById("empty");
const announcer = document.getElementById("announcer");

// name → {element, parts, state, alarms (set of texts)}
const tiles = new Map();
let firstAnswer = true;

function unitText(unit) {
  return unit === "F" ? "°F" : "°C";
}

function valueText(value, unit) {
  if (typeof value === "number") {
    return value.toFixed(1) + " " + unitText(unit);
  }
  return typeof value === "string" ? value : "–";
}

function secondsText(seconds) {
  const s = Math.round(seconds);
  if (s < 120) return s + " s";
  if (s < 7200) return Math.round(s / 60) + " min";
  return Math.round(s / 3600) + " h";
}

function alarmText(alarm) {
  const what = alarm.channel ? alarm.channel + " " + alarm.kind : alarm.kind;
  const limit = typeof alarm.limit === "number" ? ", limit " + alarm.limit + " °C" : "";
  const value = alarm.value !== null && alarm.value !== undefined ? ", reading " + valueText(alarm.value, "C") : "";
  return what + limit + value;
}

function announce(text) {
  const line = document.createElement("p");
  line.textContent = text;
  announcer.appendChild(line);
  while (announcer.childElementCount > 5) {
    announcer.removeChild(announcer.firstElementChild);
  }
}

function makeTile(name) {
  const element = document.createElement("article");
  element.className = "tile";
  const heading = document.createElement("h2");
  const nameElement = document.createElement("span");
  nameElement.className = "name";
  nameElement.textContent = name;
  const state = document.createElement("span");
  state.className = "state";
  heading.append(nameElement, state);
  const readings = document.createElement("dl");
  readings.className = "readings";
  const values = {};
  for (const channel of kChannels) {
    const pair = document.createElement("div");
    const label = document.createElement("dt");
    label.textContent = channel;
    const value = document.createElement("dd");
    value.textContent = "–";
    pair.append(label, value);
    readings.appendChild(pair);
    values[channel] = value;
  }
  const age = document.createElement("p");
  age.className = "age";
  const alarms = document.createElement("ul");
  alarms.className = "alarms";
  alarms.setAttribute("aria-label", "Alarms of " + name);
  element.append(heading, readings, age, alarms);
  element.setAttribute("aria-label", "Meter " + name);
  return {element, parts: {state, values, age, alarms}, state: null, alarms: new Set()};
}

function showMeter(tile, meter) {
  const {parts} = tile;
  const reading = meter.reading;
  tile.element.classList.toggle("offline", meter.state === "offline");
  tile.element.classList.toggle("unknown", meter.state === "unknown");
  tile.element.classList.toggle("alarm", meter.alarms.length > 0);
  parts.state.className = "state " + meter.state;
  parts.state.textContent = meter.state === "unknown" ? "status unknown" : meter.state;
  for (const channel of kChannels) {
    parts.values[channel].textContent = reading ? valueText(reading[channel], reading.unit) : "–";
  }
  let ageText = "No reading since the dashboard started";
  let stale = false;
  if (reading && typeof meter.ageS === "number") {
    stale = meter.state === "online" && meter.ageS >= kStaleS;
    ageText = stale ? "No new reading for " + secondsText(meter.ageS)
                    : "Last reading " + secondsText(meter.ageS) + " ago";
    if (meter.state === "offline") ageText += " (meter offline)";
  }
  parts.age.textContent = ageText;
  parts.age.classList.toggle("stale", stale);

  const texts = meter.alarms.map(alarmText);
  parts.alarms.replaceChildren();
  if (texts.length === 0) {
    const none = document.createElement("li");
    none.className = "none";
    none.textContent = "No alarm on";
    parts.alarms.appendChild(none);
  }
  for (const text of texts) {
    const item = document.createElement("li");
    item.className = "on";
    item.textContent = "Alarm: " + text;
    parts.alarms.appendChild(item);
  }
  return texts;
}

function update(board) {
  document.getElementById("base").textContent = "— " + board.base;
  const names = [];
  for (const meter of board.meters) {
    names.push(meter.name);
    let tile = tiles.get(meter.name);
    const isNew = tile === undefined;
    if (isNew) {
      tile = makeTile(meter.name);
      tiles.set(meter.name, tile);
    }
    const texts = showMeter(tile, meter);
    // Announce what changed, not the first picture of a page just opened.
    if (!firstAnswer) {
      if (isNew) announce("New meter " + meter.name + ", " + meter.state);
      else if (tile.state !== meter.state) announce(meter.name + " is " + meter.state);
      for (const text of texts) {
        if (!tile.alarms.has(text)) announce(meter.name + ": alarm " + text);
      }
      for (const text of tile.alarms) {
        if (!texts.includes(text)) announce(meter.name + ": alarm over, " + text);
      }
    }
    tile.state = meter.state;
    tile.alarms = new Set(texts);
  }
  // Tiles in name order, as the server lists them.
  names.forEach((name, index) => {
    const element = tiles.get(name).element;
    if (tilesElement.children[index] !== element) {
      tilesElement.insertBefore(element, tilesElement.children[index] || null);
    }
  });
  const online = board.meters.filter((meter) => meter.state === "online").length;
  summaryElement.textContent = board.meters.length + (board.meters.length === 1 ? " meter, " : " meters, ") +
    online + " online";
  emptyElement.hidden = board.meters.length > 0;
  firstAnswer = false;
}

async function poll() {
  try {
    const response = await fetch("api/meters", {cache: "no-store"});
    if (!response.ok) throw new Error("HTTP " + response.status);
    update(await response.json());
    if (!noticeElement.hidden) {
      noticeElement.hidden = true;
      announce("The dashboard server answers again");
    }
  } catch (error) {
    if (noticeElement.hidden) {
      noticeElement.textContent =
        "The dashboard server is not answering; trying again every second. The tiles show what it said last.";
      noticeElement.hidden = false;
    }
  }
  setTimeout(poll, kPollMs);
}

poll();
