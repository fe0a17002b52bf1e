#!/usr/bin/env python3
"""The web page's ?capture= against zelkor capture, side by side: the wall
time from the page's address to its captured frame in headless Chromium
(WebGL on SwiftShader), and the native capture of the same frame with the
modern renderer on the machine's GL, at the same size and time.

  bench/web_capture.py [--site build/web/site] [--build build] [--at 60000]
                       [--size 640x480] [--runs 3]

The page's time starts at its navigation, so it includes loading the site
(about a second here); the native time is the whole command's. The best of
--runs each (a shared machine only ever slows a run down); --no-native
leaves zelkor capture out."""

import argparse
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from browser import Browser, Server  # noqa: E402


def web_seconds(browser, server, at, size, limit):
    start = time.monotonic()
    page = browser.page(server.url + "?capture=%d&size=%s" % (at, size))
    try:
        page.wait_for("['captured', 'failed', 'over'].includes(document.body.dataset.state)",
                      limit, 0.05)
    except TimeoutError:
        return None
    finally:
        seconds = time.monotonic() - start
        state = page.state()
        page.send("Page.close")
    if state != "captured":
        raise RuntimeError("the page ended %s" % state)
    return seconds


def native_seconds(build, at, size):
    with tempfile.TemporaryDirectory(prefix="zk-bench-") as out:
        start = time.monotonic()
        subprocess.run(["bash", os.path.join(ROOT, "tests", "with_xvfb.sh"),
                        os.path.join(build, "tools", "zelkor", "zelkor"), "capture", "--dir",
                        os.path.join(build, "show"), "--renderer", "modern", "--size", size,
                        "--at", str(at), "--quiet", "-o", out],
                       check=True, stdout=subprocess.DEVNULL)
        return time.monotonic() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--site", default=os.path.join(ROOT, "build", "web", "site"))
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--at", type=int, default=60000)
    parser.add_argument("--size", default="640x480")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--limit", type=float, default=120, help="seconds the page may take")
    parser.add_argument("--no-native", action="store_true")
    args = parser.parse_args()
    server, browser = Server(args.site), Browser()
    try:
        web = [web_seconds(browser, server, args.at, args.size, args.limit)
               for _ in range(args.runs)]
    finally:
        browser.close()
        server.close()
    done = [s for s in web if s is not None]
    shown = "%.1f s" % min(done) if done else "over %.0f s" % args.limit
    print("?capture=%d at %s in headless Chromium: %s (best of %d)" % (
        args.at, args.size, shown, args.runs))
    if not args.no_native:
        native = min(native_seconds(args.build, args.at, args.size) for _ in range(args.runs))
        print("zelkor capture --renderer modern --at %d --size %s: %.1f s (best of %d)" % (
            args.at, args.size, native, args.runs))


main()
