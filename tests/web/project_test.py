"""A show project of zelkor new's shader template, on the engine installed
into a prefix, made for the web by its README: the build step, then the web
step right after it. Its page is named and titled after the project, with
no warning line but what its settings give, and in headless Chromium it
draws the shader template: two captured times, lit and different."""

import base64
import os
import re
import shutil
import subprocess
import sys
import tempfile

from browser import Browser, Server, run
from picture import luma_psnr, read_png


def readme(project, heading):
    """The README's commands under a heading, comments cut."""
    with open(os.path.join(project, "README.md")) as f:
        section = f.read().split("\n## %s\n" % heading)[1].split("\n## ")[0]
    return [line[4:].split("  #")[0].strip() for line in section.split("\n")
            if line.startswith("    ") and not line.startswith("     ")]


def mean(picture):
    width, height, rows = picture
    return sum(sum(row) for row in rows) / (width * height * 3 * 255.0)


def test():
    build = sys.argv[2]
    work = tempfile.mkdtemp(prefix="zk-project-")
    prefix, project = os.path.join(work, "prefix"), os.path.join(work, "glowing")
    env = dict(os.environ, PATH=os.path.join(prefix, "bin") + ":" + os.environ["PATH"])
    server = browser = None
    try:
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run(["zelkor", "new", project, "--template", "shader"], check=True, env=env,
                       stdout=subprocess.DEVNULL)
        for command in readme(project, "Build") + readme(project, "For the web")[:1]:
            print("$ " + command, flush=True)
            subprocess.run(command, shell=True, cwd=project, env=env, check=True,
                           stdout=subprocess.DEVNULL)
        site = os.path.join(project, "build-web", "site")
        assert sorted(n for n in os.listdir(site) if n.startswith("glowing")) == \
            ["glowing.js", "glowing.wasm"], os.listdir(site)
        with open(os.path.join(site, "index.html")) as f:
            html = f.read()
        assert "<title>glowing</title>" in html and "Marovy" not in html, html
        assert re.search(r'<p id="warning" hidden></p>', html), "a warning line the settings lack"

        server, browser = Server(site), Browser()
        page = browser.page(server.url + "?capture=1000,5000&size=320x240&sim-fps=20")
        page.wait_for("['captured', 'failed'].includes(document.body.dataset.state)", 300, 1)
        assert page.state() == "captured", "%s: %s %s" % (
            page.state(), page.text("#message"), page.text("#details"))
        images = page.eval("[...document.querySelectorAll('img.capture')].map(i => i.src)")
        frames = [read_png(base64.b64decode(src.split(",", 1)[1])) for src in images]
        assert len(frames) == 2, "%d frames" % len(frames)
        print("lit: %.3f %.3f, apart: %.1f dB" % (mean(frames[0]), mean(frames[1]),
                                                 luma_psnr(frames[0], frames[1])))
        assert min(mean(frame) for frame in frames) > 0.05, "a black frame"
        assert luma_psnr(frames[0], frames[1]) < 30, "the picture does not change"
        assert not page.errors(), "console errors: %s" % page.errors()
    finally:
        if browser:
            browser.close()
        if server:
            server.close()
        shutil.rmtree(work, ignore_errors=True)


run(test)
