"""The harness itself: a page from a local server, its document width at a phone-wide window, and a
request to another host seen in the list of loaded URLs."""

import http.server
import os
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402

PAGE = b"""<!doctype html><meta name=viewport content="width=device-width">
<body style="margin:0"><div id=wide style="width:600px">wide</div>
<img src="http://127.0.0.2:9/elsewhere.png"><script src="/local.js"></script></body>"""


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = PAGE if self.path == "/" else b"document.title = 'ran';"
        kind = "text/html" if self.path == "/" else "text/javascript"
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    origin = f"http://127.0.0.1:{server.server_address[1]}"
    driver = browser.start(412, 800)
    try:
        driver.get(origin + "/")
        browser.wait_until(lambda: driver.title == "ran", "the local script to run")
        urls = browser.loaded_urls(driver)
        browser.check(origin + "/local.js" in urls, f"the local script is not among {urls}")
        browser.check(browser.foreign_urls(urls, origin) == ["http://127.0.0.2:9/elsewhere.png"],
                      f"the other host is not told apart in {urls}")
        width = driver.execute_script("return document.documentElement.scrollWidth")
        browser.check(width == 600, f"document width {width}, expected the 600 px block to overflow")
        viewport = driver.execute_script("return window.innerWidth")
        browser.check(viewport == 412, f"window is {viewport} px wide, not 412")
    finally:
        driver.quit()
        server.shutdown()
    print("ok")


if __name__ == "__main__":
    main()
