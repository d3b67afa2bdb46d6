"""Tab, Return, Shift+F10 and Escape on the strip once a person has clicked it, and a person
without a pointer: another program is active, they start the program again (a launcher, the
menu, a key of theirs) and use only keys from there; under openbox, metacity and kwin."""

import subprocess
import time

from harness import WINDOW_MANAGERS, Session, main, per_window_manager, wait_for
from test_focus import find_dialog

LINK = "http://www.tallowmere.example/news/2"
FEED = ("<rss><channel><item><title>" + "A note without a link " * 2 + "</title><link></link>"
        f"</item><item><title>The second story</title><link>{LINK}</link></item></channel></rss>")


def test_keys_reach_the_headlines_and_the_options(binary):
    with Session(binary) as s:
        (s.feeds / "tallowmere.example" / "keys.php").write_text(FEED)
        s.write_settings(s.url("tallowmere.example/keys.php"), 1500, 1500)
        s.start_other_program()
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
        s.xdotool("mousemove", 190, 108, "click", 1)  # the headline without a link
        wait_for(lambda: s.active_window() == s.window, what="the strip active")
        s.xdotool("mousemove", 640, 600)

        s.xdotool("key", "Tab", "Right")
        # Longer than the hover poll: the focus, not the pointer, holds the strip.
        assert s.strip_stands_still(ticks=12), "the strip moved with a headline focused"
        s.xdotool("key", "Return")
        wait_for(lambda: s.opened_links() == [[LINK]], what=f"{LINK} opened")

        s.xdotool("key", "shift+F10")
        wait_for(lambda: find_dialog(s), what="the options dialog")
        s.xdotool("key", "Escape")
        wait_for(lambda: not find_dialog(s), what="the dialog closed by Escape")
        assert s.strip_moves(), "the strip did not scroll on after the dialog closed"
        assert s.opened_links() == [[LINK]], s.opened_links()


def start_again(s, *args, startup_id=None):
    env = dict(s.env)
    if startup_id:
        env["DESKTOP_STARTUP_ID"] = startup_id
    proc = subprocess.run([str(s.binary), *args], env=env, capture_output=True, timeout=30)
    assert proc.returncode == 0, proc.stderr


def test_a_start_again_reaches_the_headlines_without_a_pointer(binary, window_manager):
    with Session(binary, window_manager=window_manager) as s:
        (s.feeds / "tallowmere.example" / "keys.php").write_text(FEED)
        s.write_settings(s.url("tallowmere.example/keys.php"), 1500, 1500)
        s.xdotool("mousemove", 640, 700)
        s.start_ticker()
        other = s.start_other_program()

        # From a launcher, which hands the new start its startup notification id, stamped with
        # the time of the person's click or key (an X server's clock is the monotonic one).
        stamp = int(time.monotonic() * 1000) % 2**32
        start_again(s, startup_id=f"launcher-4711-test_TIME{stamp}")
        wait_for(lambda: s.active_window() == s.window, what="the strip active")
        assert "launcher-4711-test" in s.xprop("_NET_STARTUP_ID")
        # The first headline has the focus, and holds the strip as a resting pointer does.
        assert s.strip_stands_still(ticks=12), "the strip moved with a headline focused"
        s.xdotool("key", "Right", "Return")
        wait_for(lambda: s.opened_links() == [[LINK]], what=f"{LINK} opened")
        # Escape: the other program has the keyboard again, and the strip moves on.
        s.xdotool("key", "Escape")
        wait_for(lambda: s.active_window() == other, what="the keyboard back with the other program")
        assert s.strip_moves(), "the strip did not scroll on after Escape"

        # --options, from the menu entry's action: the running strip's dialog, active.
        start_again(s, "--options")
        dialog = wait_for(lambda: find_dialog(s), what="the options dialog")
        wait_for(lambda: s.active_window() == dialog, what="the dialog active")
        s.xdotool("key", "Escape")
        wait_for(lambda: not find_dialog(s), what="the dialog closed by Escape")
        assert s.opened_links() == [[LINK]], s.opened_links()


if __name__ == "__main__":
    main([test_keys_reach_the_headlines_and_the_options,
          *per_window_manager(test_a_start_again_reaches_the_headlines_without_a_pointer,
                              WINDOW_MANAGERS + ("kwin_x11",))])
