"""?capture= in the browser gives the frames zelkor capture --renderer modern
gives natively: one time in each scene of the timetable, compared by luma
PSNR. Both simulate at 10 frames a second, at 320x240, to keep the run short,
and both catch up alike: the frames before each time's lead only advance the
scenes."""

import base64
import os
import shutil
import subprocess
import sys
import tempfile

from browser import Browser, Server, run
from picture import luma_psnr, read_png

LEAST_DB = 28.0


def scene_times(timetable):
    """2 s into each scene (or half way, if it is shorter)."""
    times = []
    for line in open(timetable):
        fields = line.split("#")[0].split()
        if len(fields) == 3 and fields[2] not in ("preload", "ende"):
            start, length = int(fields[0]), int(fields[1])
            times.append((fields[2], start + min(2000, length // 2)))
    return times


def test():
    site, build, source = sys.argv[1:4]
    scenes = scene_times(os.path.join(source, "assets/timetable.txt"))
    times = ",".join(str(t) for _, t in scenes)
    native = tempfile.mkdtemp(prefix="zk-native-")
    server, browser = Server(site), Browser()
    try:
        subprocess.run(["bash", os.path.join(source, "tests/with_xvfb.sh"),
                        os.path.join(build, "tools/zelkor/zelkor"), "capture", "--dir",
                        os.path.join(build, "show"), "--renderer", "modern", "--size", "320x240",
                        "--sim-fps", "10", "--at", times, "-o", native],
                       check=True, stdout=subprocess.DEVNULL)
        page = browser.page(server.url + "?capture=%s&size=320x240&sim-fps=10" % times)
        page.wait_for("['captured', 'failed', 'over'].includes(document.body.dataset.state)", 500, 1)
        assert page.state() == "captured", "%s: %s %s" % (page.state(), page.text("#message"), page.text("#details"))
        # Each frame shown at its own aspect, the canvas's picture between bars.
        shapes = page.eval("[...document.querySelectorAll('img.capture')].map(i => "
                           "[i.naturalWidth / i.naturalHeight, i.width / i.height])")
        assert all(abs(own - shown) < 0.02 for own, shown in shapes), "squeezed: %s" % shapes
        fit = page.eval("getComputedStyle(document.getElementById('canvas')).objectFit")
        assert fit == "contain", "the canvas is stretched (object-fit %s)" % fit
        images = page.eval("[...document.querySelectorAll('img.capture')].map(i => i.src)")
        assert len(images) == len(scenes), "%d frames for %d times" % (len(images), len(scenes))
        worst = None
        for (name, t), src in zip(scenes, images):
            web = read_png(base64.b64decode(src.split(",", 1)[1]))
            with open(os.path.join(native, "frame_%06d.png" % t), "rb") as f:
                db = luma_psnr(read_png(f.read()), web)
            print("%-10s %6d ms  %6.2f dB" % (name, t, db))
            if worst is None or db < worst[1]:
                worst = (name, db)
        assert worst[1] >= LEAST_DB, "%s is %.2f dB from the native frame" % worst
        assert not page.errors(), "console errors: %s" % page.errors()
    finally:
        browser.close()
        server.close()
        shutil.rmtree(native)


run(test)
