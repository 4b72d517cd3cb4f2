"""The live page in a real browser, from `thermo4-cli serve` or `thermo4 --http` (offscreen), with the
virtual meter replaying data/rising.json: T1 climbs 20.0, 21.5 … 30.5 and starts again, T2 holds
100.0, T3 shows OL and T4 has no probe.

usage: live_page_test.py cli|gui PROGRAM
"""

import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402

SCENARIO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "rising.json")
SEQUENCE = ["20.0", "21.5", "23.0", "24.5", "26.0", "27.5", "29.0", "30.5"]
WIDTH = 412

# Every value T1 shows, in order, as the page changes it.
WATCH_T1 = """
window.seenT1 = [];
const number = document.querySelector('#T1 .number');
new MutationObserver(() => window.seenT1.push(number.textContent))
    .observe(number, {childList: true, characterData: true, subtree: true});
"""


def text(driver, selector):
    return driver.execute_script("return document.querySelector(arguments[0]).textContent", selector)


def follows_sequence(values):
    """Each value is the one after its predecessor in SEQUENCE (cyclically): none lost, none repeated."""
    indexes = [SEQUENCE.index(v) for v in values]
    return all(b == (a + 1) % len(SEQUENCE) for a, b in zip(indexes, indexes[1:]))


def main():
    mode, program = sys.argv[1], sys.argv[2]
    port = browser.free_port()
    origin = f"http://127.0.0.1:{port}"
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=home, XDG_DATA_HOME=home)
        if mode == "cli":
            command = [program, "serve", f"--simulate={SCENARIO}", "--http", str(port)]
        else:
            command = [program, f"--simulate={SCENARIO}", "--http", str(port), "--data-dir", home]
        driver = browser.start(WIDTH, 900)
        server = None
        try:
            server = browser.start_server(command, port, env)
            driver.get(origin + "/")
            browser.wait_until(lambda: text(driver, "#T1 .number") in SEQUENCE, "a T1 reading on the page")
            driver.execute_script(WATCH_T1)
            seen = browser.wait_until(
                lambda: (lambda s: s if len(s) >= 10 else None)(driver.execute_script("return window.seenT1")),
                "ten readings of T1")
            browser.check(all(v in SEQUENCE for v in seen) and follows_sequence(seen),
                          f"T1 did not follow the replayed frames {SEQUENCE}: {seen}")
            shown = [text(driver, f"#{c} .number") for c in ("T2", "T3", "T4")]
            browser.check(shown == ["100.0", "OL", "----"], f"T2..T4 show {shown}")
            browser.check(text(driver, "#T1 .unit") == "°C", "T1 has no unit")
            browser.check(text(driver, "#meterState") == "Meter connected",
                          f"the meter's state reads {text(driver, '#meterState')!r}")

            foreign = browser.foreign_urls(browser.loaded_urls(driver), origin)
            browser.check(not foreign, f"loaded from another host: {foreign}")
            width = driver.execute_script("return document.documentElement.scrollWidth")
            browser.check(width <= WIDTH, f"the page is {width} px wide in a {WIDTH} px window")

            live = driver.execute_script(
                "return [...document.querySelectorAll('[aria-live]')].map(e => e.textContent)")
            browser.check(live, "no aria-live region")
            browser.wait_until(
                lambda: "T1 " in text(driver, "#announce") and "T3 over range" in text(driver, "#announce"),
                "the readings in the aria-live summary")

            browser.check(driver.execute_script("return document.getElementById('notice').hidden"),
                          "the reconnecting notice shows while the stream is up")
            browser.stop(server)
            browser.wait_until(
                lambda: driver.execute_script(
                    "const n = document.getElementById('notice'); return !n.hidden && n.textContent"),
                "the reconnecting notice after the server stopped")
            browser.check(text(driver, "#notice").startswith("Reconnecting"), text(driver, "#notice"))
        finally:
            driver.quit()
            if server:
                browser.stop(server)
    print("ok")


if __name__ == "__main__":
    main()
