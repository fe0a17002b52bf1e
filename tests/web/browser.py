"""Headless Chromium driven over the DevTools protocol on a pipe
(--remote-debugging-pipe: commands on fd 3, replies on fd 4, each message
JSON ended by a NUL byte), and a local web server for a site folder. No
package beyond Python's own and Debian's chromium."""

import functools
import http.server
import json
import os
import queue
import shutil
import socketserver
import subprocess
import tempfile
import threading
import time

CHROMIUM = os.environ.get("ZK_CHROMIUM", "/usr/bin/chromium")
FLAGS = [
    "--headless=new",
    "--enable-unsafe-swiftshader",
    "--use-angle=swiftshader",
    "--no-sandbox",
    "--disable-gpu",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--remote-debugging-pipe",
]


class Server:
    """Serves a folder on 127.0.0.1 at a free port, in a thread."""

    def __init__(self, folder):
        handler = functools.partial(Quiet, directory=folder)
        self.httpd = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
        self.httpd.daemon_threads = True
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


class Browser:
    """One headless Chromium with a fresh profile; page() opens a tab."""

    def __init__(self, extra=(), size=(800, 600)):
        self.profile = tempfile.mkdtemp(prefix="zk-chromium-")
        to_chromium = os.pipe()
        from_chromium = os.pipe()

        def child():
            os.dup2(to_chromium[0], 3)
            os.dup2(from_chromium[1], 4)

        args = [CHROMIUM, *FLAGS, "--user-data-dir=" + self.profile,
                "--window-size=%d,%d" % size, *extra, "about:blank"]
        self.proc = subprocess.Popen(args, pass_fds=(3, 4), preexec_fn=child,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(to_chromium[0])
        os.close(from_chromium[1])
        self.out = os.fdopen(to_chromium[1], "wb", buffering=0)
        self.inp = os.fdopen(from_chromium[0], "rb", buffering=0)
        self.lock = threading.Condition()
        self.replies = {}
        self.listeners = []
        self.last_id = 0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b""
        while True:
            chunk = self.inp.read(1 << 16)
            if not chunk:
                break
            pending += chunk
            while b"\0" in pending:
                raw, pending = pending.split(b"\0", 1)
                message = json.loads(raw)
                with self.lock:
                    if "id" in message:
                        self.replies[message["id"]] = message
                        self.lock.notify_all()
                    else:
                        for listener in self.listeners:
                            listener.put(message)

    def send(self, method, params=None, session=None, timeout=60):
        with self.lock:
            self.last_id += 1
            ident = self.last_id
        message = {"id": ident, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.out.write(json.dumps(message).encode() + b"\0")
        with self.lock:
            if not self.lock.wait_for(lambda: ident in self.replies, timeout):
                raise TimeoutError("%s: no answer in %d s" % (method, timeout))
            reply = self.replies.pop(ident)
        if "error" in reply:
            raise RuntimeError("%s: %s" % (method, reply["error"]))
        return reply["result"]

    def page(self, url):
        return Page(self, url)

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except Exception:
            self.proc.kill()
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    """A tab: its console errors and uncaught exceptions are collected."""

    def __init__(self, browser, url):
        self.browser = browser
        self.events = queue.Queue()
        with browser.lock:
            browser.listeners.append(self.events)
        target = browser.send("Target.createTarget", {"url": "about:blank"})
        self.session = browser.send("Target.attachToTarget",
                                    {"targetId": target["targetId"], "flatten": True})["sessionId"]
        self.console = []  # (level, text)
        for domain in ("Runtime", "Log", "Page"):
            self.send(domain + ".enable")
        self.send("Page.navigate", {"url": url})

    def send(self, method, params=None, timeout=60):
        return self.browser.send(method, params, self.session, timeout)

    def _drain(self):
        while True:
            try:
                event = self.events.get_nowait()
            except queue.Empty:
                return
            if event.get("sessionId") != self.session:
                continue
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.consoleAPICalled":
                text = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
                self.console.append((params["type"], text))
            elif method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                text = details.get("exception", {}).get("description") or details.get("text")
                self.console.append(("error", text))
            elif method == "Log.entryAdded":
                entry = params["entry"]
                self.console.append((entry["level"], entry["text"] + " " + entry.get("url", "")))

    def errors(self):
        self._drain()
        return [text for level, text in self.console if level == "error"]

    def eval(self, expression, gesture=False):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True, "userGesture": gesture})
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout, every=0.1):
        """Polls until the expression is truthy; its value, or TimeoutError."""
        end = time.monotonic() + timeout
        while True:
            try:
                value = self.eval(expression)
            except RuntimeError:
                value = None  # the page is not there yet
            if value:
                return value
            if time.monotonic() > end:
                raise TimeoutError("%s still false after %d s (state %s)" % (
                    expression, timeout, self.state()))
            time.sleep(every)

    def click(self, selector):
        """A real mouse click in the middle of the element (a user gesture)."""
        box = self.eval("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                        " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", {"type": kind, "x": box[0], "y": box[1],
                                                   "button": "left", "clickCount": 1})

    def state(self):
        return self.eval("document.body && document.body.dataset.state")

    def text(self, selector):
        return self.eval("document.querySelector(%s).textContent" % json.dumps(selector))


def site_variant(site, replace=None, drop=()):
    """A temporary copy of the site (links to its files) with some data files
    replaced ({name: bytes}) or left out of the folder, not of files.json."""
    folder = tempfile.mkdtemp(prefix="zk-site-")
    for root, _, files in os.walk(site):
        relative = os.path.relpath(root, site)
        os.makedirs(os.path.join(folder, relative), exist_ok=True)
        for name in files:
            path = os.path.normpath(os.path.join(relative, name))
            if path.startswith("data" + os.sep) and name in drop:
                continue
            os.symlink(os.path.join(root, name), os.path.join(folder, path))
    for name, data in (replace or {}).items():
        path = os.path.join(folder, "data", name)
        os.remove(path)
        with open(path, "wb") as f:
            f.write(data)
    return folder


def run(test):
    """Runs test() and exits 0, or prints the failure and exits 1."""
    import sys
    import traceback
    try:
        test()
    except Exception:
        traceback.print_exc()
        sys.exit(1)


def archive(build, timetable, codec):
    """data.vkz holding the timetable (text), packed with codec by zelkor."""
    zelkor = os.path.join(build, "tools", "zelkor", "zelkor")
    work = tempfile.mkdtemp(prefix="zk-archive-")
    try:
        text, tmg, vkz = (os.path.join(work, n) for n in ("t.txt", "default.tmg", "data.vkz"))
        with open(text, "w") as f:
            f.write(timetable)
        subprocess.run([zelkor, "tmg", "compile", text, "-o", tmg], check=True)
        subprocess.run([zelkor, "vkz", "create", vkz, "--codec", codec, tmg], check=True,
                       stdout=subprocess.DEVNULL)
        with open(vkz, "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(work)
