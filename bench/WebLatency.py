#!/usr/bin/python3
"""From a reading to the live page: runs `thermo4-cli serve` on the virtual meter, opens the page in
headless Chromium and, for each of N readings, measures how long after the reading's time stamp (the
poll tick that read it) the page showed it, by a MutationObserver on the time of the last reading.
Prints the median and the worst. Needs Debian's chromium, chromium-driver and python3-selenium.

    bench/WebLatency.py [CLI] [N]
    (defaults: build/bin/thermo4-cli, 100)
"""
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "browser"))
import browser  # noqa: E402

cli = sys.argv[1] if len(sys.argv) > 1 else "build/bin/thermo4-cli"
count = int(sys.argv[2]) if len(sys.argv) > 2 else 100

OBSERVE = """
window.latency = [];
const time = document.getElementById('lastTime');
new MutationObserver(() => window.latency.push(Date.now() - Date.parse(time.dataset.time)))
    .observe(time, {attributes: true, attributeFilter: ['data-time']});
"""

port = browser.free_port()
server = browser.start_server([cli, "serve", "--simulate", "--http", str(port)], port)
driver = browser.start(1280, 900)
try:
    driver.get(f"http://127.0.0.1:{port}/")
    browser.wait_until(lambda: driver.execute_script("return document.getElementById('lastTime').dataset.time"),
                       "the first reading")
    driver.execute_script(OBSERVE)
    samples = browser.wait_until(
        lambda: (lambda s: s if len(s) >= count else None)(driver.execute_script("return window.latency")),
        f"{count} readings", deadline_s=count * 0.5 + 30)[:count]
finally:
    driver.quit()
    browser.stop(server)
print(f"{count} readings, poll period 500 ms: median {statistics.median(samples):.0f} ms, "
      f"worst {max(samples):.0f} ms")
