"""The show's page: it loads with no console error, shows Start with the
flashing-images warning over the first picture, and after Start the track
plays, the music time advances and the picture changes; the canvas follows
the page's size and pixel ratio. Without WebGL 2 it plays on WebGL 1. The
whole site, as a plain server sends it, is at most 6 MiB."""

import os
import sys
import time

from browser import Browser, Server, run


def test():
    site = sys.argv[1]
    size = sum(os.path.getsize(os.path.join(folder, name))
               for folder, _, names in os.walk(site) for name in names)
    print("the site: %.2f MiB" % (size / 1048576))
    assert size <= 6 * 1048576, "the site is %.2f MiB" % (size / 1048576)
    server, browser = Server(site), Browser()
    try:
        page = browser.page(server.url)
        page.wait_for("['ready', 'failed'].includes(document.body.dataset.state)", 120)
        assert page.state() == "ready", "not ready: %s %s" % (page.text("#message"), page.text("#details"))
        assert page.eval("!document.querySelector('#start').hidden"), "no Start button"
        assert "flashing images" in page.text("#warning")
        first = page.eval("document.querySelector('#canvas').toDataURL()")
        assert page.eval("marovy.musicTime()") < 100, "the music ran before Start"

        page.click("#start")
        page.wait_for("marovy.frames() >= 5 && marovy.musicTime() >= 1000", 30)
        time_a = page.eval("marovy.musicTime()")
        time.sleep(1)
        time_b = page.eval("marovy.musicTime()")
        later = page.eval("document.querySelector('#canvas').toDataURL()")
        assert page.state() == "playing", page.state()
        assert time_b > time_a, "the music time stands at %d" % time_a
        assert later != first, "the picture did not change"
        assert page.eval("Module.zkAudio.streams.some((s) => s.source)"), "the track is not playing"
        page.send("Emulation.setDeviceMetricsOverride",
                  {"width": 500, "height": 300, "deviceScaleFactor": 2, "mobile": False})
        page.wait_for("document.querySelector('#canvas').width == 1000", 10)
        assert page.eval("document.querySelector('#canvas').height") == 600
        assert not page.errors(), "console errors: %s" % page.errors()
        print("music %d -> %d ms over 1 s, %d frames, Start to first frame %.1f ms" % (
            time_a, time_b, page.eval("marovy.frames()"), page.eval("marovy.firstFrameMs()")))
    finally:
        browser.close()

    browser = Browser(["--disable-webgl2"])
    try:
        page = browser.page(server.url)
        page.wait_for("['ready', 'failed'].includes(document.body.dataset.state)", 120)
        assert page.state() == "ready", "not ready on WebGL 1: %s" % page.text("#details")
        assert page.eval("GL.currentContext.version") == 1
        page.click("#start")
        page.wait_for("marovy.frames() >= 3", 30)
        assert not page.errors(), "console errors on WebGL 1: %s" % page.errors()
    finally:
        browser.close()
        server.close()


run(test)
