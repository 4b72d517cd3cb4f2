#!/usr/bin/env python3
"""From a reading to its alarm line: runs `thermo4-cli live` on the virtual meter with a limit every
reading breaks (T1 < 100) and the given hold time, and prints, for the reading that began the alarm,
how long after the first reading under the limit it came (the hold, in poll steps) and how long after
that reading's time stamp the ALARM line reached stderr.

    bench/AlarmLatency.py [CLI] [HOLD_SECONDS] [RUNS]
    (defaults: build/bin/thermo4-cli, 2, 5)
"""
import datetime, re, selectors, subprocess, sys

cli = sys.argv[1] if len(sys.argv) > 1 else "build/bin/thermo4-cli"
hold = sys.argv[2] if len(sys.argv) > 2 else "2"
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
scenario = "resources/scenarios/demo.json"

for _ in range(runs):
    p = subprocess.Popen([cli, "live", "--simulate=" + scenario, "--alarm", "T1<100", "--alarm-for", hold,
                          "--exit-on-alarm", "--samples", "60"], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    sel = selectors.DefaultSelector()
    sel.register(p.stdout, selectors.EVENT_READ)
    sel.register(p.stderr, selectors.EVENT_READ)
    first = None
    open_pipes = 2
    while open_pipes:
        for key, _ in sel.select(timeout=30):
            line = key.fileobj.readline()
            if not line:
                sel.unregister(key.fileobj)
                open_pipes -= 1
                continue
            arrived = datetime.datetime.now()
            text = line.decode().strip()
            if key.fileobj is p.stdout and first is None and not text.startswith("time"):
                first = datetime.datetime.fromisoformat(text.split(",")[0])
            m = re.match(r"ALARM .* at (\S+)$", text)
            if m:
                began = datetime.datetime.fromisoformat(m.group(1))
                held = (began - first).total_seconds() if first else 0.0
                print(f"hold {hold} s: began with the reading {held:.3f} s after the first one under the limit; "
                      f"ALARM line {(arrived - began).total_seconds() * 1000:.1f} ms after that reading's time")
    p.wait()
