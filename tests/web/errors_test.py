"""What the page says when the show cannot run: a browser without WebGL, a
file missing on the server, an archive packed with a codec the web build
lacks. Each is a readable message on the page, not only in the console. A
track the browser cannot decode is no such case: the show plays on the
silent clock (here from ?at=5000)."""

import shutil
import sys

from browser import Browser, Server, archive, run, site_variant


def failure(folder, extra=()):
    """The page's state, message and details once it has settled."""
    server, browser = Server(folder), Browser(extra)
    try:
        page = browser.page(server.url)
        page.wait_for("['ready', 'failed'].includes(document.body.dataset.state)", 120)
        return page.state(), page.text("#message"), page.text("#details")
    finally:
        browser.close()
        server.close()


def test():
    site, build = sys.argv[1], sys.argv[2]

    state, message, _ = failure(site, ["--disable-webgl"])
    assert state == "failed" and "no WebGL" in message, (state, message)

    folder = site_variant(site, drop=["pictures.vkz"])
    try:
        state, message, _ = failure(folder)
        assert state == "failed" and "data/pictures.vkz (404" in message, (state, message)
    finally:
        shutil.rmtree(folder)

    folder = site_variant(site, replace={"data.vkz": archive(build, "0 2000 scene1\n2000 1000 ende\n", "ucl")})
    try:
        state, message, details = failure(folder)
        assert state == "failed" and message, (state, message)
        assert "packed with ucl, which this build cannot unpack" in details, details
    finally:
        shutil.rmtree(folder)

    folder = site_variant(site, replace={"sound.mp3": b"no music here" * 100})
    server, browser = Server(folder), Browser()
    try:
        page = browser.page(server.url + "?at=5000")
        page.wait_for("document.body.dataset.state == 'ready'", 120)
        page.click("#start")
        page.wait_for("marovy.frames() >= 1", 30)
        first = page.eval("marovy.musicTime()")
        assert 5000 <= first < 8000, "the first frame after Start is at %d ms" % first
        page.wait_for("marovy.musicTime() >= %d" % (first + 500), 30)
        assert page.state() == "playing", page.state()
        assert page.eval("Module.zkAudio.streams[0].state") == "failed"
    finally:
        browser.close()
        server.close()
        shutil.rmtree(folder)


run(test)
