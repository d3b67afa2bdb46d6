"""The pointer on a strip that is not the active window, as a person uses it: tooltips that
show while another program is active and show their text as written, one link opened per
double-click on a headline, captions written over several lines shown whole on one line, and
a headline that scrolls under a resting pointer pausing the strip."""

from pathlib import Path

from harness import Session, main, per_window_manager, wait_for

LINK = "http://www.tallowmere.example/news/1"
# An author that looks like markup: a tooltip that read it as such would show a large picture.
AUTHOR = '<b>Desk</b> <img src="/nonexistent.png" width="600" height="400">'
TITLE_TIP = "Tallowmere RSS Feed - rightclick to display options"


def rss(*items):
    body = "".join(
        f"<item><title>{title}</title><link>{link}</link><author><![CDATA[{author}]]></author>"
        f"<pubDate>{date}</pubDate></item>" for title, link, author, date in items)
    return f"<rss><channel><title>Sample</title>{body}</channel></rss>"


def start(s, feed, name="hover.php", x=1500, y=1500):
    (s.feeds / "tallowmere.example" / name).write_text(feed)
    s.write_settings(s.url(f"tallowmere.example/{name}"), x, y)
    s.start_ticker()
    wait_for(lambda: s.geometry()[:2] == (x // 15, y // 15), what="the saved position")


def tooltip_windows(s):
    """Geometry (x, y, w, h) of the program's tooltip windows that show now."""
    ids = s.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(s.ticker.pid), ""],
                check=False).split()
    found = []
    for window in ids:
        kind = s.run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"], check=False)
        if "_NET_WM_WINDOW_TYPE_TOOLTIP" not in kind:
            continue
        # A tooltip may hide between the search and this question; it is then not showing.
        try:
            found.append(s.geometry(window))
        except AssertionError:
            continue
    return found


def hover(s, x, y):
    """Moves the pointer there as a hand does: a last small move onto the spot."""
    s.xdotool("mousemove", x - 3, y)
    s.xdotool("mousemove", x, y)


def strip_moves(s):
    """True when the strip's pixels change within a second."""
    first = s.strip_pixels(s.screenshot())
    try:
        wait_for(lambda: s.strip_pixels(s.screenshot()) != first, timeout=1.0, interval=0.2)
        return True
    except AssertionError:
        return False


def check_tooltips_on_an_inactive_strip(binary, window_manager):
    with Session(binary, window_manager=window_manager) as s:
        start(s, rss(("A long linked headline that reaches far across the strip", LINK, AUTHOR,
                      "Mon, 07 Dec 2026 08:00:00 GMT")))
        other = s.start_other_program()
        x, y, _, _ = s.geometry()
        # The headline: the tooltip names its author and date, markup and all, as one line.
        hover(s, x + 200, y + 8)
        tips = wait_for(lambda: tooltip_windows(s), timeout=10,
                        what="the headline's tooltip while another program is active")
        tx, ty, tw, th = tips[0]
        assert th < 40, f"the tooltip is one line of plain text, not a picture: {tips[0]}"
        assert tw > 300, f"the markup shows as text: {tips[0]}"
        assert abs(tx - (x + 200)) < 50 and ty > y, f"the tooltip is at the pointer: {tips[0]}"
        assert s.active_window() == other, "hovering leaves the other program active"
        # The title picture's own tooltip, away from the headline's.
        s.xdotool("mousemove", x + 400, y + 300)
        wait_for(lambda: not tooltip_windows(s), what="the tooltip to go")
        hover(s, x + 16, y + 8)
        tips = wait_for(lambda: tooltip_windows(s), timeout=10,
                        what="the title picture's tooltip while another program is active")
        tx, ty, tw, th = tips[0]
        assert abs(tx - (x + 16)) < 50 and th < 40, tips[0]
        assert s.active_window() == other


test_tooltips_on_an_inactive_strip = per_window_manager(check_tooltips_on_an_inactive_strip)


def openers_running(s):
    """True while a call of the stand-in link opener is still running."""
    opener = str(s.tmp / "bin" / "xdg-open").encode()
    for cmdline in Path("/proc").glob("[0-9]*/cmdline"):
        try:
            if opener in cmdline.read_bytes().split(b"\0"):
                return True
        except OSError:
            continue  # the process ended meanwhile
    return False


def test_double_click_on_a_headline_opens_its_link_once(binary):
    second = "http://www.tallowmere.example/news/2"
    with Session(binary) as s:
        start(s, rss(("First linked headline on the strip", LINK, "Desk", "Mon"),
                     ("Second", second, "Desk", "Mon")))
        x, y, _, _ = s.geometry()
        hover(s, x + 120, y + 8)
        wait_for(lambda: not strip_moves(s), what="the hover pause")
        s.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: s.opened_links(), what="the link")
        # Then a click on the next headline: once its link is recorded and no opener runs any
        # more, every open the double-click asked for has been recorded.
        runs = ink_runs(s, s.screenshot())
        after = [r for r in runs if r[0] > 120]
        assert after, f"the second headline shows: {runs}"
        s.xdotool("mousemove", x + (after[0][0] + after[0][1]) // 2, y + 8)
        s.xdotool("click", 1)
        wait_for(lambda: [second] in s.opened_links(), what="the second headline's link")
        wait_for(lambda: not openers_running(s), what="the openers to finish")
        assert s.opened_links() == [[LINK], [second]], s.opened_links()


def ink_runs(s, shot, colour=(51, 51, 152), min_gap=10):
    """Column ranges (window x) of the strip that hold text of the given colour, runs closer
    than min_gap merged: one range per headline."""
    columns = set()
    for x, _, rgb in s.strip_pixels(shot).pixels():
        # Text pixels: the link colour, anti-aliased towards the grey ground.
        if rgb[2] > rgb[0] + 25 and x >= 34:
            columns.add(x)
    runs = []
    for c in sorted(columns):
        if runs and c - runs[-1][1] <= min_gap:
            runs[-1][1] = c
        else:
            runs.append([c, c])
    return runs


def test_a_caption_written_over_several_lines_shows_whole_on_one_line(binary):
    # Headline A is written over lines with tabs, C is the same text with each line break and
    # tab written as a blank: both must take the same room and show the same text.
    a = "\n\t   Council approves budget\n\t"
    c = "     Council approves budget  "
    for attempt in range(3):
        with Session(binary) as s:
            start(s, rss((a, LINK, "Desk", "Mon"), ("X", LINK, "Desk", "Mon"),
                         (c, LINK, "Desk", "Mon"), ("X", LINK, "Desk", "Mon")))
            runs = ink_runs(s, s.screenshot())
            if len(runs) != 4:
                continue  # the row had already begun to pass under the title picture
            (a0, a1), (x0, _), (c0, c1), (y0, _) = runs
            # Within a pixel: the labels stand at fractions of a pixel.
            assert abs((a1 - a0) - (c1 - c0)) <= 1, f"the same text shows whole: {runs}"
            assert abs((x0 - a0) - (y0 - c0)) <= 1, f"and takes the same room: {runs}"
            return
    raise AssertionError(f"never saw the four headlines: {runs}")


def test_a_headline_that_reaches_a_resting_pointer_pauses_the_strip(binary):
    with Session(binary) as s:
        s.start_other_program()
        # The pointer rests where the first headline will pass, before the strip appears.
        s.xdotool("mousemove", 100 + 45, 100 + 8)
        start(s, rss(("A long linked headline that reaches far across the strip and beyond "
                      "the right edge of the window for a while", LINK, "Desk", "Mon")))
        # The headline starts at about x 79 and reaches the pointer within two seconds; from
        # then on the strip stands still, though the pointer never moved.
        wait_for(lambda: not strip_moves(s), timeout=15, what="the strip to pause")
        assert not strip_moves(s), "the strip stays paused under the resting pointer"
        # Moving the pointer away resumes it.
        s.xdotool("mousemove", 700, 600)
        wait_for(lambda: strip_moves(s), timeout=5, what="the strip to move on")


def arabic_headline_pauses_and_opens(s, timeout=10):
    """An Arabic headline, read from its right end, scrolls, pauses under the pointer resting
    4 px inside its visual left end (the end of its text) and opens its link from there."""
    arabic = "جسر المشاة في الميناء يعاد افتتاحه بعد إصلاحات الشتاء الطويلة"
    start(s, rss((arabic, LINK, "Desk", "Mon"), ("Next", LINK + "/next", "Desk", "Mon")))
    x, y, _, _ = s.geometry()
    assert s.strip_moves(timeout), "the Arabic headline scrolls"
    runs = wait_for(lambda: [r for r in ink_runs(s, s.screenshot()) if r[0] > 40],
                    timeout=timeout, what="the headline beside the title picture")
    pointer = runs[0][0] + 4
    hover(s, x + pointer, y + 8)
    wait_for(s.strip_stands_still, timeout=timeout, what="the hover pause on the headline")
    left, right = [r for r in ink_runs(s, s.screenshot()) if r[1] > pointer][0]
    # The strip moved on a few steps before the pointer came to rest.
    assert left <= pointer < left + 30, f"paused at its left end: {left, right}, {pointer}"
    assert right - left > 150, f"one headline, joined, as wide as written: {left, right}"
    s.xdotool("click", 1)
    wait_for(lambda: s.opened_links() == [[LINK]], what="the Arabic headline's link")


def test_an_arabic_headline_pauses_and_opens_from_its_left_end(binary):
    with Session(binary) as s:
        s.start_other_program()
        arabic_headline_pauses_and_opens(s)


if __name__ == "__main__":
    main([*test_tooltips_on_an_inactive_strip,
          test_double_click_on_a_headline_opens_its_link_once,
          test_a_caption_written_over_several_lines_shows_whole_on_one_line,
          test_a_headline_that_reaches_a_resting_pointer_pauses_the_strip,
          test_an_arabic_headline_pauses_and_opens_from_its_left_end])
