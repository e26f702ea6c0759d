#!/usr/bin/env python3
"""Plays the browser build in Debian's headless Chromium and keeps what the page shows.

  browser.py SITE OUT QUERY [--serve FILE]... [--lose-context-after FRAME] [--timeout SECONDS]

Serves SITE (and each --serve FILE beside it) on 127.0.0.1, opens index.html?QUERY, waits until the
page's title is "done", then writes into OUT: snapshot-FRAME.json for every <pre id="snapshot-FRAME">,
page.png (the 1280x720 canvas as the page shows it), seconds.txt and console.txt. With
--lose-context-after, once the snapshot of FRAME is in the page the WebGL context is taken away
(WEBGL_lose_context) for a second and given back; context.json then holds what the page showed
meanwhile and how many times it saw the context come back. Chromium is driven through its
DevTools protocol on a pipe, which needs nothing beyond Python itself. Exits 0 when the page
finished, 1 otherwise (the console and the reason are printed).
"""

import argparse
import base64
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time


class Chromium:
    """One headless browser with a DevTools connection over file descriptors 3 and 4."""

    def __init__(self, profile):
        commands_read, self.commands = os.pipe()
        self.replies, replies_write = os.pipe()
        flags = [
            "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
            "--remote-debugging-pipe", "--user-data-dir=" + profile, "--window-size=1280,720",
            "--no-first-run", "--no-default-browser-check", "--autoplay-policy=no-user-gesture-required",
            # A page in a background or hidden window would get no animation frames.
            "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
            "--disable-backgrounding-occluded-windows", "about:blank",
        ]

        def place_pipes():
            os.dup2(commands_read, 3)
            os.dup2(replies_write, 4)

        self.process = subprocess.Popen(["chromium"] + flags, preexec_fn=place_pipes, pass_fds=(3, 4),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(commands_read)
        os.close(replies_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("no answer from Chromium")
            chunk = os.read(self.replies, 1 << 20)
            if not chunk:
                raise RuntimeError("Chromium closed its DevTools pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None, timeout=120):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            request["sessionId"] = session
        os.write(self.commands, json.dumps(request).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            message = self._read_message(deadline)
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(method + ": " + json.dumps(message["error"]))
                return message.get("result", {})
            self.events.append(message)

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except (RuntimeError, TimeoutError, OSError):
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


def console_lines(events):
    for event in events:
        if event.get("method") == "Runtime.consoleAPICalled":
            values = event["params"]["args"]
            yield " ".join(str(value.get("value", value.get("description", ""))) for value in values)
        elif event.get("method") == "Log.entryAdded":
            # The browser's own messages, WebGL's errors among them.
            entry = event["params"]["entry"]
            yield entry["level"] + ": " + entry.get("text", "")
        elif event.get("method") == "Runtime.exceptionThrown":
            yield "exception: " + event["params"]["exceptionDetails"].get("text", "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("out")
    parser.add_argument("query")
    parser.add_argument("--serve", action="append", default=[])
    parser.add_argument("--lose-context-after", type=int, default=0,
                        help="frame whose snapshot, once in the page, has the WebGL context taken away for a second")
    parser.add_argument("--timeout", type=float, default=1200.0)
    options = parser.parse_args()

    os.makedirs(options.out, exist_ok=True)
    root = tempfile.mkdtemp(prefix="quarnel-web-")
    for name in os.listdir(options.site):
        path = os.path.abspath(os.path.join(options.site, name))
        if os.path.isfile(path):
            os.symlink(path, os.path.join(root, name))
    for path in options.serve:
        shutil.copy(path, root)
    server = serve(root)
    url = "http://127.0.0.1:%d/index.html?%s" % (server.server_address[1], options.query)
    browser = Chromium(os.path.join(root, ".profile"))
    finished = False
    try:
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        browser.call("Runtime.enable", session=session)
        browser.call("Page.enable", session=session)
        browser.call("Log.enable", session=session)
        browser.call("Emulation.setDeviceMetricsOverride",
                     {"width": 1280, "height": 720, "deviceScaleFactor": 1, "mobile": False}, session=session)
        browser.call("Page.navigate", {"url": url}, session=session)

        def evaluate(expression):
            result = browser.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                                  session=session)
            return result.get("result", {}).get("value")

        started = time.monotonic()
        lost = False
        while time.monotonic() - started < options.timeout:
            title = evaluate("document.title")
            if title == "done":
                finished = True
                break
            if options.lose_context_after and not lost and evaluate(
                    "document.getElementById('snapshot-%d') !== null" % options.lose_context_after):
                evaluate("window.lostContext = Module.ctx.getExtension('WEBGL_lose_context'); "
                         "lostContext.loseContext(); true")
                time.sleep(1.0)
                context = {"statusWhileLost": evaluate("document.getElementById('status').textContent"),
                           "lostWhileLost": evaluate("Module.graphicsLost")}
                evaluate("lostContext.restoreContext(); true")
                lost = True
            time.sleep(0.5)
        snapshots = evaluate("JSON.stringify([...document.querySelectorAll('pre[id^=snapshot-]')]"
                             ".map((pre) => [pre.id, pre.textContent]))")
        for name, text in json.loads(snapshots or "[]"):
            with open(os.path.join(options.out, name + ".json"), "w") as file:
                file.write(text)
        picture = browser.call("Page.captureScreenshot",
                               {"format": "png", "clip": {"x": 0, "y": 0, "width": 1280, "height": 720, "scale": 1}},
                               session=session)
        with open(os.path.join(options.out, "page.png"), "wb") as file:
            file.write(base64.b64decode(picture["data"]))
        with open(os.path.join(options.out, "seconds.txt"), "w") as file:
            file.write("%.1f\n" % (time.monotonic() - started))
        if lost:
            context["restores"] = evaluate("Module.graphicsRestores")
            context["statusAfter"] = evaluate("document.getElementById('status').textContent")
            with open(os.path.join(options.out, "context.json"), "w") as file:
                json.dump(context, file)
    finally:
        lines = list(console_lines(browser.events))
        with open(os.path.join(options.out, "console.txt"), "w") as file:
            file.write("\n".join(lines) + "\n")
        browser.close()
        server.shutdown()
        shutil.rmtree(root, ignore_errors=True)
    if not finished:
        print("the page did not finish within %d s; its console:" % options.timeout)
        print("\n".join(lines[-40:]))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
