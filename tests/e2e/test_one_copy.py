"""One strip per settings file: starting the program again while it runs gives the running
strip the keyboard (its options with --options, or when they are open) and ends, leaving the
settings file alone; a copy with a settings file of its own runs beside it; a copy killed with
SIGKILL stops no later start; and two starts at one instant leave one strip, whose options
show once it has loaded."""

import shutil
import signal
import subprocess

from harness import Session, main, start_instance, wait_for
from test_options import find
from test_settings_faults import fingerprint

FEED = "tallowmere.example/rss.php"
OTHER_FEED = "tallowmere.example/other.php"


def strips(s):
    return s.run(["xdotool", "search", "--onlyvisible", "--name", "^Form2$"],
                 check=False).split()


def start_again(s, folder=None, options=False):
    """The person starts the program once more (from folder, else the session's), asking for
    its options when options is set."""
    binary = folder / "ticker" if folder else s.binary
    return s._spawn([str(binary)] + (["--options"] if options else []),
                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def ends_at_once(proc, case):
    code = proc.wait(20)
    assert code == 0, f"{case}: exit {code}: {proc.stderr.read()!r}"


def test_a_second_start_reaches_the_running_strip(binary):
    with Session(binary) as s:
        shutil.copy(s.feeds / FEED, s.feeds / OTHER_FEED)
        s.write_settings(s.url(FEED), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        first = s.ticker
        other = s.start_other_program()
        before = fingerprint(s.settings)

        ends_at_once(start_again(s), "the second start")
        wait_for(lambda: s.active_window() == s.window, what="the strip active")
        ends_at_once(start_again(s, options=True), "the start with --options")
        dialog = wait_for(lambda: find(s, "Ticker : Options"), what="the options window")
        wait_for(lambda: s.active_window() == dialog, what="the options window active")
        assert strips(s) == [s.window] and first.poll() is None, strips(s)
        assert fingerprint(s.settings) == before, "a later start touched the settings file"

        # An open dialog keeps what was typed into it: a third start only brings it forward,
        # and "Close this Window" then loads the typed URL.
        s.xdotool("key", "ctrl+a")
        s.xdotool("type", "--delay", "5", s.url(OTHER_FEED))
        x, y, w, _ = s.geometry(other)
        s.xdotool("mousemove", x + w // 2, y + 5, "click", 1)  # into the other program
        wait_for(lambda: s.active_window() == other, what="the other program active")
        ends_at_once(start_again(s), "the third start")
        wait_for(lambda: s.active_window() == dialog, what="the options window active again")
        s.xdotool("key", "alt+c")
        wait_for(lambda: any(len(r) > 1 and r[1].endswith(OTHER_FEED) for r in s.requests()),
                 what="the typed URL loaded")

        # A copy in another folder has settings of its own, and a strip of its own.
        folder = s.tmp / "stick"
        folder.mkdir()
        shutil.copy2(s.binary, folder / "ticker")
        beside = start_again(s, folder)
        wait_for(lambda: len(strips(s)) == 2, timeout=30, what="a second strip")
        assert first.poll() is None and beside.poll() is None

        # A copy killed outright leaves its lock and socket behind: the next start runs, and
        # the start after that reaches it.
        first.send_signal(signal.SIGKILL)
        first.wait(10)
        proc, _ = start_instance(s)
        ends_at_once(start_again(s, options=True), "the start after the kill")
        wait_for(lambda: find(s, "Ticker : Options"), what="the new copy's options window")
        assert proc.poll() is None and len(strips(s)) == 2, strips(s)


def test_two_starts_at_one_instant_leave_one_strip(binary):
    with Session(binary) as s:
        s.write_settings(s.url(FEED), 1500, 1500)
        a, b = start_again(s, options=True), start_again(s, options=True)
        ended = wait_for(lambda: [p for p in (a, b) if p.poll() is not None], timeout=30,
                         what="one of the two to end")
        assert len(ended) == 1, "both ended"
        ends_at_once(ended[0], "the start that lost")
        # The one left was still loading its feed when it was asked: its options show as
        # soon as its strip does.
        wait_for(s.find_window, timeout=30, what="the strip")
        wait_for(lambda: find(s, "Ticker : Options"), what="the options window")
        assert len(strips(s)) == 1, strips(s)


if __name__ == "__main__":
    main([test_a_second_start_reaches_the_running_strip,
          test_two_starts_at_one_instant_leave_one_strip])
