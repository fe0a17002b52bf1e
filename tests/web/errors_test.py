"""What the page says when the show cannot run: a browser without WebGL, a
file missing on the server, an archive packed with a codec the web build
lacks. Each is a readable message on the page, not only in the console."""

import os
import shutil
import subprocess
import sys
import tempfile

from browser import Browser, Server, run, site_variant


def ucl_archive(zelkor):
    work = tempfile.mkdtemp(prefix="zk-ucl-")
    try:
        with open(os.path.join(work, "t.txt"), "w") as f:
            f.write("0 2000 scene1\n2000 1000 ende\n")
        tmg, vkz = os.path.join(work, "default.tmg"), os.path.join(work, "data.vkz")
        subprocess.run([zelkor, "tmg", "compile", os.path.join(work, "t.txt"), "-o", tmg], check=True)
        subprocess.run([zelkor, "vkz", "create", vkz, "--codec", "ucl", tmg], check=True,
                       stdout=subprocess.DEVNULL)
        with open(vkz, "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(work)


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

    folder = site_variant(site, drop=["tarnis_1.tga"])
    try:
        state, message, _ = failure(folder)
        assert state == "failed" and "data/tarnis_1.tga (404" in message, (state, message)
    finally:
        shutil.rmtree(folder)

    folder = site_variant(site, replace={"data.vkz": ucl_archive(os.path.join(build, "tools/zelkor/zelkor"))})
    try:
        state, message, details = failure(folder)
        assert state == "failed" and message, (state, message)
        assert "packed with ucl, which this build cannot unpack" in details, details
    finally:
        shutil.rmtree(folder)


run(test)
