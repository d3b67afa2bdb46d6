"""What a person does while a slow feed downloads (the title picture dark blue).

- A URL applied in the options dialog during a reload is loaded as soon as that reload ends,
  not at the end of the next run.
- During the reload at the end of a run the strip stays still until the new row is put back
  at the right edge: a pointer move over the strip or the dialog opened and closed does not
  start the old row scrolling again.
"""

import re

from harness import Session, changes, main, stands_still, wait_for

WINDOW = (100, 100)  # the strip's place, from WindowX=WindowY=1500
TITLE_WIDTH = 33  # the title picture, 495 twips
TITLE_POINT = (WINDOW[0] + 10, WINDOW[1] + 5)
BUSY = (18, 48, 110)  # the downloading picture's blue
LINK_BLUE_MARGIN = 60


def rss(title, link=None):
    link_element = f"<link>{link}</link>" if link else ""
    return (f"<rss><channel><title>Slow</title><item><title>{title}</title>{link_element}"
            f"</item></channel></rss>")


def find(s, title):
    out = s.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False)
    return out.split()[0] if out.split() else None


def title_busy(s, shot=None):
    r, g, b = (shot or s.screenshot()).pixel(WINDOW[0] + 1, WINDOW[1] + 1)
    return all(abs(v - w) <= 24 for v, w in zip((r, g, b), BUSY))


def strip_right_of_title(s, shot):
    """The strip's pixels right of the title picture."""
    x, y, w, h = s.geometry()
    return shot.crop(x + TITLE_WIDTH + 1, y, w - TITLE_WIDTH - 1, h)


def link_coloured_pixels(s, shot):
    """How many pixels of the strip right of the title are drawn in the link colour's blue."""
    return sum(1 for _, _, (r, g, b) in strip_right_of_title(s, shot).pixels()
               if b - r >= LINK_BLUE_MARGIN and b - g >= LINK_BLUE_MARGIN)


def dark_pixels(s, shot):
    return sum(1 for _, _, rgb in strip_right_of_title(s, shot).pixels()
               if all(v < 90 for v in rgb))


def client_origin(s, window):
    """Where the window's client area starts on the screen (xdotool's answer for a framed
    window counts the frame twice)."""
    out = s.run(["xwininfo", "-id", window])
    x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", out).group(1))
    y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", out).group(1))
    return x, y


def open_dialog(s, point):
    """Right-clicks the strip at point; returns the dialog's client origin."""
    s.xdotool("mousemove", *point)
    s.xdotool("click", 3)
    dialog = wait_for(lambda: find(s, "Ticker : Options"), what="the options window")
    return client_origin(s, dialog)


def requested(s, path):
    return [r for r in s.requests() if len(r) > 1 and r[1].endswith(path)]


def test_a_url_applied_during_a_reload_loads_when_the_reload_ends(binary):
    with Session(binary) as s:
        slow = "tallowmere.example/alpha.php"
        other = "tallowmere.example/bravo.php"
        # A long linked row: its run lasts minutes, so only the applied edit can load Bravo.
        (s.feeds / slow).write_text(rss("Alpha headline that runs on and on " * 12,
                                        "http://www.tallowmere.example/alpha"))
        (s.feeds / other).write_text(rss("Bravo headline with no link " * 12))
        # The server holds every answer of the slow feed until the test lets it go.
        s.write_settings(s.url(slow + "?hold=1"), 1500, 1500)
        s.server_control("release=1")  # the first load, before the strip shows
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == WINDOW, what="the saved position")
        wait_for(lambda: link_coloured_pixels(s, s.screenshot()) > 0, timeout=30,
                 what="the Alpha row")
        s.server_control("reset=1")

        # A double-click on the title picture reloads the slow feed.
        s.xdotool("mousemove", *TITLE_POINT, "click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: title_busy(s), what="the busy title picture")

        # Meanwhile: right-click, type the other feed's URL, Enter.
        dx, dy = open_dialog(s, (WINDOW[0] + 400, WINDOW[1] + 8))
        s.xdotool("mousemove", dx + 150, dy + 34, "click", 1)  # into the URL box
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", s.url(other))
        s.xdotool("key", "Return")
        wait_for(lambda: not find(s, "Ticker : Options"), what="the dialog to hide")
        assert title_busy(s), "the slow reload ended before the edit was applied"
        assert not requested(s, other)

        # The edited URL is loaded as soon as the slow reload is over.
        s.server_control("release=1")
        wait_for(lambda: requested(s, other), timeout=20, what="the edited URL loaded")
        s.xdotool("mousemove", 700, 600)  # out of the way of the row

        def bravo_shown():
            shot = s.screenshot()
            return link_coloured_pixels(s, shot) == 0 and dark_pixels(s, shot) > 20

        wait_for(bravo_shown, timeout=20, what="the Bravo row on the strip")
        assert s.alive()


def busy_strip(s, what):
    """The strip's pixels right of the title picture, while the title shows the reload."""
    shot = s.screenshot()
    assert title_busy(s, shot), f"the reload ended too soon to check {what}"
    return strip_right_of_title(s, shot)


def strip_stays_still_while_busy(s, what):
    # Fifteen ticks of a running strip, all of them during the reload.
    assert stands_still(lambda: busy_strip(s, what), ticks=15), (
        f"the old row moved during the end-of-run reload after {what}")


def strip_moves(s):
    return changes(lambda: strip_right_of_title(s, s.screenshot()))


def test_the_old_row_stays_still_during_the_end_of_run_reload(binary):
    with Session(binary) as s:
        feed = "tallowmere.example/short.php"
        (s.feeds / feed).write_text(rss("Short", "http://www.tallowmere.example/short"))
        # The server holds every answer until the test lets it go.
        s.write_settings(s.url(feed + "?hold=1"), 1500, 1500)
        s.server_control("release=1")  # the first load, before the strip shows
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == WINDOW, what="the saved position")
        wait_for(lambda: not title_busy(s), timeout=30, what="the first load")
        s.server_control("reset=1")

        # The short row runs out within seconds; its reload waits until it is let go.
        wait_for(lambda: title_busy(s), timeout=30, what="the end-of-run reload")
        s.xdotool("mousemove", WINDOW[0] + 300, WINDOW[1] + 8)
        s.xdotool("mousemove", WINDOW[0] + 302, WINDOW[1] + 9)
        strip_stays_still_while_busy(s, "a pointer move over the strip")
        s.xdotool("mousemove", 700, 600)
        s.server_control("release=1")
        wait_for(lambda: not title_busy(s), timeout=20, what="the reload to end")
        s.server_control("reset=1")
        wait_for(lambda: strip_moves(s), what="the new run")

        # The next end of a run: the dialog opened and closed with its button meanwhile.
        wait_for(lambda: title_busy(s), timeout=90, what="the next end-of-run reload")
        dx, dy = open_dialog(s, (WINDOW[0] + 300, WINDOW[1] + 8))
        s.xdotool("mousemove", dx + 60, dy + 68, "click", 1)  # "Close this Window"
        wait_for(lambda: not find(s, "Ticker : Options"), what="the dialog to hide")
        s.xdotool("mousemove", 700, 600)
        strip_stays_still_while_busy(s, "the dialog closed")
        s.server_control("release=1")
        wait_for(lambda: not title_busy(s), timeout=20, what="the reload to end")
        wait_for(lambda: strip_moves(s), what="the new run")
        assert s.alive()


if __name__ == "__main__":
    main([test_a_url_applied_during_a_reload_loads_when_the_reload_ends,
          test_the_old_row_stays_still_during_the_end_of_run_reload])
