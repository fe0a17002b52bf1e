"""A timetable of 2 s and then "ende" plays to its end in the browser, and
the page says the show is over; a capture past that end is refused."""

import shutil
import sys

from browser import Browser, Server, archive, run, site_variant


def test():
    site, build = sys.argv[1], sys.argv[2]
    folder = site_variant(site, replace={"data.vkz": archive(build, "0 2000 scene1\n2000 1000 ende\n", "aplib")})
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
        # A capture past the end is refused at once, naming where the show ends.
        page = browser.page(server.url + "?capture=1000,2500&size=160x120")
        page.wait_for("['captured', 'failed'].includes(document.body.dataset.state)", 60)
        assert page.state() == "failed" and "ends at 0:02.000 (2000 ms)" in page.text("#message"), \
            "%s: %s" % (page.state(), page.text("#message"))
    finally:
        browser.close()
        server.close()
        shutil.rmtree(folder)


run(test)
