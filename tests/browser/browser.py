"""Headless Chromium for the page tests, through chromedriver and Selenium.

Run the tests with /usr/bin/python3 (Debian's python3-selenium). When Chromium, chromedriver or
Selenium is missing, start() exits with SKIP (77) and says which, so CTest reports a skip.
"""

import json
import os
import shutil
import socket
import subprocess
import sys
import time
import urllib.parse
import urllib.request

SKIP = 77
CHROMEDRIVER = "/usr/bin/chromedriver"
DEADLINE_S = 20


def skip(reason):
    print(f"skipped: {reason}", flush=True)
    sys.exit(SKIP)


def chromium_binary():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def start(width=412, height=900):
    """A headless Chromium window of width x height CSS pixels that logs every network request."""
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        skip("chromium/chromedriver/selenium missing: no selenium for " + sys.executable)
    binary = chromium_binary()
    if binary is None:
        skip("chromium/chromedriver/selenium missing: no chromium on PATH")
    if not os.access(CHROMEDRIVER, os.X_OK):
        skip("chromium/chromedriver/selenium missing: no " + CHROMEDRIVER)
    options = webdriver.ChromeOptions()
    options.binary_location = binary
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--no-first-run", "--disable-extensions", "--disable-background-networking",
                "--hide-scrollbars", f"--window-size={width},{height}"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_page_load_timeout(DEADLINE_S)
    # --window-size sets the outer size; make the page's own viewport exactly width x height.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
    return driver


def loaded_urls(driver):
    """Every URL the browser requested since the last call (from Chromium's performance log)."""
    urls = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message.get("method") == "Network.requestWillBeSent":
            urls.append(message["params"]["request"]["url"])
    return urls


def foreign_urls(urls, origin):
    """The URLs that did not come from origin ("http://127.0.0.1:8080"); data: URLs are local."""
    own = urllib.parse.urlsplit(origin)
    foreign = []
    for url in urls:
        parts = urllib.parse.urlsplit(url)
        if parts.scheme == "data":
            continue
        if (parts.scheme, parts.netloc) != (own.scheme, own.netloc):
            foreign.append(url)
    return foreign


def wait_until(condition, what, deadline_s=DEADLINE_S):
    """Polls condition() until it returns something true and returns that; fails the test on time-out."""
    end = time.monotonic() + deadline_s
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(command, port, env=None):
    """Starts a program that serves http://127.0.0.1:port and waits until it answers."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    def answers():
        if process.poll() is not None:
            raise AssertionError(f"{command[0]} exited with {process.returncode}: {process.stdout.read()}")
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/", timeout=2):
                return True
        except OSError:
            return False

    wait_until(answers, f"{' '.join(command)} to serve port {port}")
    return process


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def check(condition, message):
    """A failed check: says what went wrong and fails the test."""
    if not condition:
        raise AssertionError(message)
