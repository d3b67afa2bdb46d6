"""Signals that tell the program to end (SIGTERM from the session at log-out or a service
manager, SIGINT from Ctrl+C, SIGHUP from a closed terminal) save the feed URL and the strip's
position exactly as closing the strip does, and the program ends normally."""

import signal
import subprocess

from harness import Session, main, wait_for


def start_as_from_a_terminal(s):
    """Starts the program with every signal at its default, as a shell in a terminal does
    (a background job of a script would start with SIGINT ignored)."""

    def defaults():
        for number in (signal.SIGINT, signal.SIGHUP, signal.SIGTERM):
            signal.signal(number, signal.SIG_DFL)

    s.ticker = s._spawn([str(s.binary)], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                        preexec_fn=defaults)
    s.window = wait_for(s.find_window, timeout=30, what="the strip window")


def drag_strip(s, dx, dy):
    x, y, _, _ = s.geometry()
    s.xdotool("mousemove", x + 5, y + 5)
    s.xdotool("mousedown", 1)
    for step in range(1, 9):
        s.xdotool("mousemove", x + 5 + dx * step // 8, y + 5 + dy * step // 8)
    s.xdotool("mouseup", 1)
    wait_for(lambda: s.geometry()[:2] == (x + dx, y + dy), what="the dragged strip")
    return x + dx, y + dy


def check_signal_saves(binary, number):
    with Session(binary) as s:
        url = s.url("tallowmere.example/rss.php")
        s.write_settings(url, 1500, 1500)
        start_as_from_a_terminal(s)
        wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
        x, y = drag_strip(s, 120, 80)

        s.ticker.send_signal(number)
        code = s.wait_exit()
        assert code == 0, f"ended by {number!r} with {code}"
        text = s.settings.read_text()
        assert s.settings_value("WindowX") == str(x * 15), text
        assert s.settings_value("WindowY") == str(y * 15), text
        assert s.settings_value("Default URL") == url, text


def test_sigterm_saves_the_position(binary):
    check_signal_saves(binary, signal.SIGTERM)


def test_sigint_saves_the_position(binary):
    check_signal_saves(binary, signal.SIGINT)


def test_sighup_saves_the_position(binary):
    check_signal_saves(binary, signal.SIGHUP)


if __name__ == "__main__":
    main([test_sigterm_saves_the_position, test_sigint_saves_the_position,
          test_sighup_saves_the_position])
