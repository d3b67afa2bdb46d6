"""The options dialog on the real program, one scenario from a fresh folder: a refused URL,
picking the default from the list, a drag, "Exit Ticker", and the next start where it was left."""

import shutil

from harness import Session, main, wait_for

DEFAULT_URL = "http://www.tallowmere.example/rss.php"


def find(s, title):
    out = s.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False)
    return out.split()[0] if out.split() else None


def our_windows(s):
    """The program's visible windows (the strip, the dialog, an open list of URLs)."""
    return s.run(["xdotool", "search", "--onlyvisible", "--class", "^ticker$"],
                 check=False).split()


def open_options(s):
    x, y, w, h = s.geometry()
    s.xdotool("mousemove", x + w - 20, y + h // 2)
    s.xdotool("click", 3)
    dialog = wait_for(lambda: find(s, "Ticker : Options"), what="the options window")
    # The dialog takes the keyboard by itself.
    wait_for(lambda: s.active_window() == dialog, what="the options window active")
    return dialog


def feed_requests(s):
    return [r for r in s.requests() if len(r) > 1 and r[1].endswith("tallowmere.example/rss.php")]


def test_options_scenario(binary):
    with Session(binary) as s:
        # The default feed's host is served by the sample server acting as the proxy.
        site = s.feeds / "www.tallowmere.example"
        site.mkdir(exist_ok=True)
        shutil.copy(s.feeds / "tallowmere.example" / "rss.php", site / "rss.php")
        s.env["http_proxy"] = f"http://127.0.0.1:{s.port}"
        s.env["no_proxy"] = ""
        assert not s.settings.exists()

        # The pointer rests away from the strip (one resting on a headline pauses it).
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        wait_for(lambda: feed_requests(s), what="the default feed fetched")
        assert s.strip_moves(), "the strip should scroll"

        # A URL outside the home domain: refused with the warning, the strip scrolls on.
        dialog = open_options(s)
        dx, dy, dw, dh = s.geometry(dialog)
        assert abs(dx + dw / 2 - 640) <= 20 and abs(dy + dh / 2 - 400) <= 40, (dx, dy, dw, dh)
        assert (dw, dh) == (312, 88), (dw, dh)  # 4680 x 1320 twips of client area
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", "http://www.elsewhere.example/rss.php")
        before = len(s.requests())
        s.xdotool("key", "alt+c")
        box = wait_for(lambda: find(s, "Tallowmere Ticker"), what="the warning box")
        assert len(s.requests()) == before, "a refused URL is not fetched"
        wait_for(lambda: s.active_window() == box, what="the warning box active")
        s.xdotool("key", "Return")
        wait_for(lambda: not find(s, "Tallowmere Ticker"), what="the warning box to close")
        wait_for(lambda: not find(s, "Ticker : Options"), what="the dialog to hide")
        assert s.strip_moves(), "the strip scrolls on with the old items"

        # Reopen, pick the default URL from the list, close: the feed is loaded again.
        open_options(s)
        fetched = len(feed_requests(s))
        before = set(our_windows(s))
        s.xdotool("key", "alt+Down")
        listed = wait_for(lambda: set(our_windows(s)) - before, what="the URL list to open")
        s.xdotool("key", "Home")
        s.xdotool("key", "Return")
        wait_for(lambda: not listed & set(our_windows(s)), what="the URL list to close")
        s.xdotool("key", "alt+c")
        wait_for(lambda: len(feed_requests(s)) > fetched, what="the reload of the picked URL")
        wait_for(lambda: not find(s, "Ticker : Options"), what="the dialog to hide")

        # Drag the strip by its title picture.
        x, y, _, _ = s.geometry()
        s.drag((x + 5, y + 5), [(15 * step, 10 * step) for step in range(1, 9)])
        wait_for(lambda: s.geometry()[:2] == (x + 120, y + 80), what="the dragged strip")

        # "Exit Ticker" saves and ends the program.
        open_options(s)
        s.xdotool("key", "alt+e")
        assert s.wait_exit() == 0
        text = s.settings.read_text()
        assert text.splitlines()[0] == "[Options]", text
        assert s.settings_value("Default URL") == DEFAULT_URL, text
        assert s.settings_value("WindowX") == str((x + 120) * 15), text
        assert s.settings_value("WindowY") == str((y + 80) * 15), text

        # The next start puts the strip where it was left and loads the saved URL.
        fetched = len(feed_requests(s))
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (x + 120, y + 80), what="the restored position")
        wait_for(lambda: len(feed_requests(s)) > fetched, what="the saved feed fetched")


if __name__ == "__main__":
    main([test_options_scenario])
