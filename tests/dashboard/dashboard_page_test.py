"""The dashboard in headless Chromium, fed by a real mosquitto and two thermo4-cli live processes:
both meters get a tile, a meter that starts later gets one without a reload, and killing a meter's
program (SIGKILL, so the broker sends its last will) turns its tile "offline" with its last readings.

Usage: dashboard_page_test.py THERMO4_CLI
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "browser"))
import browser  # noqa: E402

TILES = """
return Array.from(document.querySelectorAll('#tiles .tile')).map(tile => ({
  name: tile.querySelector('.name').textContent,
  state: tile.querySelector('.state').textContent,
  values: Array.from(tile.querySelectorAll('.readings dd')).map(dd => dd.textContent),
  age: tile.querySelector('.age').textContent,
}));
"""


def start_broker(folder):
    program = shutil.which("mosquitto", path="/usr/sbin:/usr/local/sbin:/usr/bin:/usr/local/bin")
    if program is None:
        browser.skip("mosquitto missing (scripts/setup.sh installs it)")
    port = browser.free_port()
    config = os.path.join(folder, "mosquitto.conf")
    with open(config, "w") as f:
        f.write(f"listener {port} 127.0.0.1\nallow_anonymous true\npersistence false\n")
        if os.geteuid() == 0:
            f.write("user root\n")
    log = open(os.path.join(folder, "broker.log"), "w")
    process = subprocess.Popen([program, "-c", config], stdout=log, stderr=subprocess.STDOUT)
    browser.wait_until(lambda: " running" in open(log.name).read(), "mosquitto to run")
    return process, port


def meter(cli, broker_port, name):
    """thermo4-cli live on the virtual meter, publishing under dash/NAME."""
    return subprocess.Popen([cli, "live", "--simulate", "--mqtt", f"mqtt://127.0.0.1:{broker_port}/dash/{name}"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    cli = sys.argv[1]
    processes = []
    driver = None
    with tempfile.TemporaryDirectory() as folder:
        try:
            broker, broker_port = start_broker(folder)
            processes.append(broker)
            north = meter(cli, broker_port, "oven-north")
            processes.append(north)
            port = browser.free_port()
            dashboard = browser.start_server(
                [cli, "dashboard", "--mqtt", f"mqtt://127.0.0.1:{broker_port}/dash", "--http", f"127.0.0.1:{port}"],
                port)
            processes.append(dashboard)
            driver = browser.start(412, 900)
            origin = f"http://127.0.0.1:{port}"
            driver.get(origin + "/")

            def tiles():
                return {tile["name"]: tile for tile in driver.execute_script(TILES)}

            def has_reading(name, state):
                tile = tiles().get(name)
                return tile if tile and tile["state"] == state and tile["values"][0].endswith("°C") else None

            browser.wait_until(lambda: has_reading("oven-north", "online"), "the first meter's tile with readings")
            south = meter(cli, broker_port, "oven-south")
            processes.append(south)
            browser.wait_until(lambda: has_reading("oven-south", "online"), "a tile for the meter that started later")

            north.send_signal(signal.SIGKILL)
            north.wait()
            offline = browser.wait_until(lambda: has_reading("oven-north", "offline"),
                                         "the killed meter's tile to say offline")
            browser.check("Last reading" in offline["age"], f"the offline tile shows the age of its readings: {offline}")
            browser.check(tiles()["oven-south"]["state"] == "online", "the other meter stays online")
            announced = driver.execute_script("return document.querySelector('[aria-live]').textContent")
            browser.check("oven-north is offline" in announced, f"the change is announced: {announced!r}")
            width = driver.execute_script("return document.documentElement.scrollWidth")
            browser.check(width <= 412, f"the page fits 412 px: {width}")
            foreign = browser.foreign_urls(browser.loaded_urls(driver), origin)
            browser.check(not foreign, f"nothing from other hosts: {foreign}")

            browser.stop(dashboard)
            browser.wait_until(lambda: driver.execute_script(
                "const n = document.getElementById('notice'); return !n.hidden && n.textContent"),
                "the notice that the dashboard server is not answering")
        finally:
            if driver is not None:
                driver.quit()
            for process in reversed(processes):
                browser.stop(process)
    print("ok")


if __name__ == "__main__":
    main()
