"""A timetable of 2 s and then "ende" plays to its end in the browser, and
the page says the show is over."""

import os
import shutil
import subprocess
import sys
import tempfile

from browser import Browser, Server, run, site_variant


def short_archive(zelkor):
    work = tempfile.mkdtemp(prefix="zk-short-")
    try:
        with open(os.path.join(work, "short.txt"), "w") as f:
            f.write("0 2000 scene1\n2000 1000 ende\n")
        tmg, vkz = os.path.join(work, "default.tmg"), os.path.join(work, "data.vkz")
        subprocess.run([zelkor, "tmg", "compile", os.path.join(work, "short.txt"), "-o", tmg], check=True)
        subprocess.run([zelkor, "vkz", "create", vkz, "--codec", "aplib", tmg], check=True,
                       stdout=subprocess.DEVNULL)
        with open(vkz, "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(work)


def test():
    site, build = sys.argv[1], sys.argv[2]
    folder = site_variant(site, replace={"data.vkz": short_archive(os.path.join(build, "tools/zelkor/zelkor"))})
    server, browser = Server(folder), Browser()
    try:
        page = browser.page(server.url)
        page.wait_for("document.body.dataset.state == 'ready'", 120)
        page.click("#start")
        page.wait_for("['over', 'failed'].includes(document.body.dataset.state)", 60)
        assert page.state() == "over", "%s: %s" % (page.state(), page.text("#message"))
        assert page.text("#message") == "The show is over."
        assert page.eval("marovy.musicTime()") >= 2000, page.eval("marovy.musicTime()")
        assert not page.errors(), "console errors: %s" % page.errors()
    finally:
        browser.close()
        server.close()
        shutil.rmtree(folder)


run(test)
