"""The Windows program (ticker.exe) under Wine on Xvfb with openbox, used as a person uses it:
the strip shows at its saved place above other windows without a taskbar entry and scrolls the
feed, a resting pointer pauses it, a press opens the headline's link (Wine hands it to the
desktop's xdg-open, a stand-in here), a right-click opens the options, a refused URL warns,
"Exit Ticker" saves, and the next start comes back where it was left. While a slow feed
downloads the dialog keeps its keyboard (Tab, Return) and a URL typed there loads when the
download ends; a dialog minimised through the window manager comes back restored; and a dialog
opened while another program is active takes the keyboard, or, where Wine keeps the keyboard
with the other program (foreground_probe shows Wine's part), takes it after a click. Starting
the program again while it runs leaves one strip, and with --options shows the running strip's
options. Its own reloads keep to what the server asks; a double-click asks the server at once.
An Arabic headline, read from its right end, pauses under the pointer and opens its link from
its visual left end.

Run as: e2e_test.py ticker.exe (WINEPREFIX names the Wine prefix to use)."""

import re
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import Session, main, stands_still, wait_for  # noqa: E402
from test_slow_feed import (TITLE_POINT, WINDOW, client_origin, dark_pixels,  # noqa: E402
                            link_coloured_pixels, requested, rss, title_busy)
from test_faults import reloads_as_the_server_asks  # noqa: E402
from test_hover import arabic_headline_pauses_and_opens  # noqa: E402

FEED = "tallowmere.example/rss.php"


def find(s, title):
    out = s.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False)
    return out.split()[0] if out.split() else None


def feed_links(s):
    return re.findall(r"<link>\s*(.*?)\s*</link>", (s.feeds / FEED).read_text())


def make_active(s, window, what, x, y):
    """Waits for a window the program showed to become active; when it does not, the person
    clicks into it at (x, y) of its client area, as one does with a window that has no
    keyboard. Wine 8 leaves the activation of a framed window to the window manager, and
    openbox's focus-stealing prevention now and then keeps the keyboard where it was."""
    try:
        wait_for(lambda: s.active_window() == window, timeout=2)
    except AssertionError:
        wx, wy, _, _ = s.geometry(window)
        s.xdotool("mousemove", wx + x, wy + y)
        s.xdotool("click", 1)
        wait_for(lambda: s.active_window() == window, what=what)


def follow_drag(s, dx, dy, steps=8):
    """Drags the strip by its title picture, waiting at each step until the strip has caught
    up with the pointer, and checks that it stays put once the button is up."""
    x, y, _, _ = s.geometry()
    px, py = x + 8, y + 6
    s.xdotool("mousemove", px, py)
    s.xdotool("mousedown", 1)
    for step in range(1, steps + 1):
        tx, ty = px + dx * step // steps, py + dy * step // steps
        s.xdotool("mousemove", tx, ty)
        wait_for(lambda: s.geometry()[:2] == (tx - 8, ty - 6), what="the strip to follow")
    s.xdotool("mouseup", 1)
    # With the button up, moving on leaves the strip where it was let go.
    s.xdotool("mousemove", px + dx + 40, py + dy + 40)
    assert stands_still(lambda: s.geometry()[:2], ticks=10), "the strip still follows the pointer"


def open_options(s):
    x, y, w, h = s.geometry()
    s.xdotool("mousemove", x + w - 20, y + h // 2)
    s.xdotool("click", 3)
    dialog = wait_for(lambda: find(s, "Ticker : Options"), what="the options window")
    # Into the URL box.
    make_active(s, dialog, "the options window active", 100, 40)
    return dialog


def cover_strip(s):
    """Another program's window over the strip, made active by a click into it away from the
    strip; returns its process."""
    proc = s._spawn(["xmessage", "-name", "covering", "-geometry", "500x120+80+40",
                     "Another program over the strip"])
    window = wait_for(lambda: s.run(["xdotool", "search", "--onlyvisible", "--classname",
                                     "^covering$"], check=False).split(), what="the other window")
    wx, wy, _, _ = s.geometry(window[-1])
    s.xdotool("mousemove", wx + 20, wy + 10)
    s.xdotool("click", 1)
    wait_for(lambda: s.active_window() == window[-1], what="the other program active")
    return proc


def test_windows_program(binary):
    with Session(binary) as s:
        s.write_settings(s.url(FEED), 1500, 1500)
        # The pointer rests away from the strip (one resting on a headline pauses it).
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        wait_for(lambda: s.geometry() == (100, 100, 545, 16), what="545 x 16 at the saved place")
        wait_for(lambda: any(FEED in r[1] for r in s.requests() if len(r) > 1),
                 what="the feed fetched")

        # No taskbar entry: the window is none a taskbar lists.
        clients = s.run(["xprop", "-root", "_NET_CLIENT_LIST"], check=False)
        listed = hex(int(s.window)) in clients
        assert not listed or "_NET_WM_STATE_SKIP_TASKBAR" in s.xprop("_NET_WM_STATE"), clients

        # Above other windows: another program's active window over it does not hide it.
        other = cover_strip(s)
        x, y, w, h = s.geometry()
        r, g, b = s.screenshot().pixel(x + 1, y + 1)  # the title picture's orange
        assert r > 200 and 100 < g < 220 and b < 140, (r, g, b)
        other.terminate()

        # The feed scrolls.
        assert s.strip_moves(timeout=30), "the strip should scroll"

        # Resting the pointer on a headline pauses the strip; leaving it lets it move on.
        s.xdotool("mousemove", x + 300, y + h // 2)
        wait_for(s.strip_stands_still, timeout=30, what="the strip paused under the pointer")
        # Paused for good: still over many more of its scroll ticks.
        assert s.strip_stands_still(ticks=40), "the strip stays paused while the pointer rests"

        # A press on the headline opens its link, once, as one argument.
        s.xdotool("click", 1)
        opened = wait_for(s.opened_links, what="the link handed to the desktop")
        assert len(opened) == 1 and len(opened[0]) == 1, opened
        assert opened[0][0] in feed_links(s), opened
        s.xdotool("mousemove", 5, 700)
        assert s.strip_moves(timeout=30), "the strip moves on once the pointer has left"

        # Right-click: the options; a URL outside the home domain is refused with a warning.
        open_options(s)
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", "http://www.elsewhere.example/rss.php")
        before = len(s.requests())
        s.xdotool("key", "alt+c")
        box = wait_for(lambda: find(s, "Tallowmere Ticker"), what="the warning box")
        assert len(s.requests()) == before, "a refused URL is not fetched"
        # Beside the icon, away from the button.
        make_active(s, box, "the warning box active", 10, 10)
        s.xdotool("key", "Return")
        wait_for(lambda: not find(s, "Tallowmere Ticker"), what="the warning box to close")
        wait_for(lambda: not find(s, "Ticker : Options"), what="the dialog to hide")

        # Drag the strip by its title picture; where it lands is where it is saved. The person
        # watches the strip follow the pointer before letting go: a release that came while
        # Wine was still moving the window was now and then lost, leaving the strip stuck to
        # the pointer (not understood yet; the release is then checked below).
        follow_drag(s, 110, 70)

        # At rest: the same place for several of the strip's ticks in a row (Wine may still be
        # moving the window when two reads in a row agree).
        def landed():
            place = s.geometry()[:2]
            if place == (100, 100) or not stands_still(lambda: s.geometry()[:2], ticks=20):
                return None
            return s.geometry()[:2]

        left, top = wait_for(landed, what="the dragged strip at rest")
        assert left > 100 and top > 100, (left, top)
        # "Exit Ticker" saves what the URL box holds: the person puts the feed's URL back.
        open_options(s)
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", s.url(FEED))
        s.xdotool("key", "alt+e")
        assert s.wait_exit(30) == 0
        text = s.settings.read_text()
        assert text.splitlines()[0].strip() == "[Options]", text
        assert s.settings_value("Default URL") == s.url(FEED), text
        assert s.settings_value("WindowX") == str(left * 15), text
        assert s.settings_value("WindowY") == str(top * 15), text

        # A second start restores them.
        fetched = len(s.requests())
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (left, top), what="the restored position")
        wait_for(lambda: len(s.requests()) > fetched, what="the saved feed fetched")


def options_shown(s):
    """The dialog's window once it shows and is not minimised."""
    dialog = find(s, "Ticker : Options")
    return dialog if dialog and "Iconic" not in s.xprop("WM_STATE", dialog) else None


def right_click_for_options(s):
    """Right-clicks the strip right of the title picture; returns the dialog's window once it
    shows, restored."""
    s.xdotool("mousemove", WINDOW[0] + 400, WINDOW[1] + 8, "click", 3)
    return wait_for(lambda: options_shown(s), what="the options window shown")


def hidden(s, title, timeout=10.0):
    try:
        wait_for(lambda: not find(s, title), timeout=timeout)
        return True
    except AssertionError:
        return False


def test_the_dialog_keeps_its_keyboard_while_a_slow_feed_downloads(binary):
    with Session(binary) as s:
        slow, other = "tallowmere.example/alpha.php", "tallowmere.example/bravo.php"
        (s.feeds / slow).write_text(rss("Alpha headline that runs on and on " * 12,
                                        "http://www.tallowmere.example/alpha"))
        (s.feeds / other).write_text(rss("Bravo headline with no link " * 12))
        # The server holds every answer of the slow feed until the test lets it go.
        s.write_settings(s.url(slow + "?hold=1"), 1500, 1500)
        s.server_control("release=1")
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        wait_for(lambda: link_coloured_pixels(s, s.screenshot()) > 0, timeout=30,
                 what="the Alpha row")
        s.server_control("reset=1")
        s.xdotool("mousemove", *TITLE_POINT, "click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: title_busy(s), what="the busy title picture")

        # Tab leaves the URL box for "Close this Window", which the space bar presses.
        dialog = right_click_for_options(s)
        make_active(s, dialog, "the options window active", 100, 40)
        s.xdotool("key", "Tab", "space")
        assert hidden(s, "Ticker : Options"), "Tab and space did not press Close this Window"
        # Return in the URL box presses it too; the URL typed there waits for the download.
        dialog = right_click_for_options(s)
        make_active(s, dialog, "the options window active", 100, 40)
        dx, dy = client_origin(s, dialog)
        s.xdotool("mousemove", dx + 150, dy + 34, "click", 1)  # into the URL box
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", s.url(other))
        s.xdotool("key", "Return")
        assert hidden(s, "Ticker : Options"), "Return in the URL box did not close the dialog"
        assert title_busy(s) and not requested(s, other), "the download ended too soon"

        s.server_control("release=1")
        wait_for(lambda: requested(s, other), timeout=20, what="the typed URL loaded")
        s.xdotool("mousemove", 700, 600)

        def bravo_shown():
            shot = s.screenshot()
            return link_coloured_pixels(s, shot) == 0 and dark_pixels(s, shot) > 20

        wait_for(bravo_shown, timeout=20, what="the Bravo row on the strip")


def test_a_minimised_dialog_comes_back_restored(binary):
    with Session(binary) as s:
        s.write_settings(s.url(FEED), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        assert s.strip_moves(timeout=30), "the strip should scroll"
        dialog = right_click_for_options(s)
        # What openbox's minimise button does.
        s.xdotool("windowminimize", dialog)
        wait_for(lambda: not options_shown(s), what="the dialog minimised")
        dialog = right_click_for_options(s)
        make_active(s, dialog, "the options window active", 100, 40)
        s.xdotool("key", "alt+c")
        assert hidden(s, "Ticker : Options"), "Close this Window did not close the dialog"
        s.xdotool("mousemove", 5, 700)
        assert s.strip_moves(timeout=30), "the strip resumes after Close this Window"


def test_the_dialog_takes_the_keyboard_from_another_program(binary):
    with Session(binary) as s:
        s.write_settings(s.url(FEED), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        wait_for(lambda: any(FEED in r[1] for r in s.requests() if len(r) > 1),
                 what="the feed fetched")
        s.start_other_program()
        dialog = right_click_for_options(s)
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", s.url(FEED))
        s.xdotool("key", "Return")
        if hidden(s, "Ticker : Options", timeout=3):
            print("NOTE the keyboard reached the dialog opened over another program")
            return
        # WORKAROUND: Wine's SetForegroundWindow does not make openbox give the dialog the
        # keyboard (foreground_probe shows it): the person clicks into the URL box first.
        print("NOTE Wine kept the keyboard with the other program; a click into the URL box "
              "gave it to the dialog", flush=True)
        dx, dy = client_origin(s, dialog)
        s.xdotool("mousemove", dx + 150, dy + 34, "click", 1)
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", s.url(FEED))
        s.xdotool("key", "Return")
        assert hidden(s, "Ticker : Options"), "even after a click the dialog took no keyboard"


def test_later_starts_reach_the_running_strip(binary):
    with Session(binary) as s:
        s.write_settings(s.url(FEED), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        for args in ([], ["--options"]):
            later = s._spawn(s.command + args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            code = later.wait(60)
            assert code == 0, (args, code, later.stderr.read())
        wait_for(lambda: options_shown(s), what="the running strip's options")
        strips = s.run(["xdotool", "search", "--onlyvisible", "--name", "^Form2$"],
                       check=False).split()
        assert strips == [s.window] and s.alive(), strips


def test_an_arabic_headline_pauses_and_opens_from_its_left_end(binary):
    with Session(binary) as s:
        s.xdotool("mousemove", 5, 700)
        arabic_headline_pauses_and_opens(s, timeout=30)


def test_reloads_keep_to_what_the_server_asks(binary):
    with Session(binary) as s:
        reloads_as_the_server_asks(s)


if __name__ == "__main__":
    main([test_windows_program, test_the_dialog_keeps_its_keyboard_while_a_slow_feed_downloads,
          test_a_minimised_dialog_comes_back_restored,
          test_the_dialog_takes_the_keyboard_from_another_program,
          test_later_starts_reach_the_running_strip,
          test_an_arabic_headline_pauses_and_opens_from_its_left_end,
          test_reloads_keep_to_what_the_server_asks])
