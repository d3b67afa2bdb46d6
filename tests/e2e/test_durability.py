"""The settings file survives the program being killed while it saves, and two programs saving
in one folder at the same moment: "RSS_settings.ini" is always one whole version of the file,
with the other sections and keys that were in it, never a part of one or a mix of two.

The close request is the one a window manager sends for Alt+F4 (WM_DELETE_WINDOW), sent
straight to the window, so that the moment it leaves is known to a millisecond."""

import os
import random
import signal
import time

from harness import Session, main, request_close, start_instance, wait_for

# The everyday run kills and pairs a few dozen times; the soak checks run the long loops
# (test_soak_durability.py sets these to 200 and 40).
KILLS = 50
PAIRS = 10

# The saved values are written in forms that read as the same values but are not what the
# program writes (quotes, a needless fraction, a leading zero): every save changes all three
# keys, so a save cut short between keys would show.
TEMPLATE = ("; kept by hand\r\n"
            "[Other]\r\n"
            "key = other value\r\n"
            "\r\n"
            "[Options]\r\n"
            "Default URL = {url}\r\n"
            "WindowX = {x}\r\n"
            "Extra = kept\r\n"
            "WindowY = {y}\r\n"
            "\r\n"
            "[Last]\r\n"
            "z=9")


def as_found(url, x_twips, y_twips):
    """The file as the program finds it at start-up."""
    return TEMPLATE.format(url=f'"{url}"', x=f"{x_twips}.0", y=f"0{y_twips}")


def as_saved(url, x_twips, y_twips):
    """The same file after the program has saved these values."""
    return TEMPLATE.format(url=url, x=x_twips, y=y_twips)


def leftovers(s):
    return sorted(n for n in os.listdir(s.folder) if n not in ("ticker", "RSS_settings.ini"))


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8")


def start_at(s, x_px, y_px):
    proc, window = start_instance(s)
    wait_for(lambda: s.geometry(window)[:2] == (x_px, y_px), what="the saved position")
    return proc, window


def test_a_kill_during_the_save_leaves_the_old_file_or_the_new_one(binary):
    with Session(binary) as s:
        url = s.url("tallowmere.example/rss.php?durability=1")
        old, new = as_found(url, 1500, 1500), as_saved(url, 1500, 1500)
        # DURABILITY_SEED=n repeats the delays of a run.
        seed = int(os.environ.get("DURABILITY_SEED", time.time_ns() % 1000000))
        rng = random.Random(seed)
        # The upper end of the kill delays follows the moment the program is done: after an
        # iteration in which it ended by itself the delays get shorter, after a kill longer,
        # so that kills keep landing around the save.
        longest = 0.02
        outcomes = {"before the save": 0, "inside the save": 0, "after the save": 0,
                    "ended by itself": 0}
        for iteration in range(KILLS):
            s.settings.write_bytes(old.encode())
            left_before = set(leftovers(s))
            proc, window = start_at(s, 100, 100)
            delay = rng.uniform(0, longest)
            request_close(s, window)
            time.sleep(delay)
            proc.send_signal(signal.SIGKILL)
            code = proc.wait(10)
            assert s.settings.exists(), f"iteration {iteration}: the file is gone"
            text = read_bytes(s.settings)
            assert text in (old, new), (f"seed {seed}, iteration {iteration}, kill after "
                                        f"{delay * 1000:.1f} ms: a broken file:\n{text!r}")
            left_now = set(leftovers(s))
            if text == new:
                # A save clears what killed saves left behind before it writes.
                assert not left_before & left_now, f"iteration {iteration}: {left_now}"
            if code == 0:
                outcomes["ended by itself"] += 1
                longest = max(0.002, longest * 0.93)
            else:
                assert code == -signal.SIGKILL, code
                if text == new:
                    outcomes["after the save"] += 1
                elif left_now - left_before:
                    outcomes["inside the save"] += 1
                else:
                    outcomes["before the save"] += 1
                longest = min(0.2, longest * 1.05)
        print(f"  {KILLS} kills (seed {seed}): {outcomes}, last delay limit "
              f"{longest * 1000:.1f} ms", flush=True)
        # The program reacts within a millisecond or so, so kills before its save are rare;
        # what matters is that many landed between the close request and the program's end.
        killed = KILLS - outcomes["ended by itself"]
        assert killed >= KILLS // 10 and outcomes["ended by itself"] > 0, outcomes

        # A save that runs to the end clears what the killed ones left behind.
        s.settings.write_bytes(old.encode())
        proc, window = start_at(s, 100, 100)
        request_close(s, window)
        assert proc.wait(10) == 0
        assert read_bytes(s.settings) == new
        assert leftovers(s) == [], leftovers(s)


def test_two_programs_closing_at_once_leave_one_whole_file(binary):
    with Session(binary) as s:
        # One copy runs per settings file and user (its lock lives in the user's runtime
        # folder), but two users may run the copy in a shared folder: B stands for the second
        # user by a runtime folder of its own.
        runtime_a = s.env["XDG_RUNTIME_DIR"]
        runtime_b = s.tmp / "xdg-runtime-b"
        runtime_b.mkdir(mode=0o700)
        # Instance A reads its URL and place, then B, from one file in one folder; A ends at
        # (100, 100), B at (200, 150), so A's and B's files differ in all three keys.
        url_a = s.url("tallowmere.example/rss.php?instance=a")
        url_b = s.url("tallowmere.example/rss.php?instance=b")
        saved_a, saved_b = as_saved(url_a, 1500, 1500), as_saved(url_b, 3000, 2250)
        last = {"A": 0, "B": 0}
        for pair in range(PAIRS):
            s.settings.write_bytes(as_found(url_a, 1500, 1500).encode())
            a, window_a = start_at(s, 100, 100)
            s.settings.write_bytes(as_found(url_b, 3000, 2250).encode())
            s.env["XDG_RUNTIME_DIR"] = str(runtime_b)
            b, window_b = start_at(s, 200, 150)
            s.env["XDG_RUNTIME_DIR"] = runtime_a
            request_close(s, window_a, window_b)
            assert a.wait(10) == 0 and b.wait(10) == 0
            text = read_bytes(s.settings)
            assert text in (saved_a, saved_b), f"pair {pair}: a mixed file:\n{text!r}"
            last["A" if text == saved_a else "B"] += 1
        print(f"  {PAIRS} pairs, whose file was left: {last}", flush=True)
        assert leftovers(s) == [], leftovers(s)


def test_a_typed_url_that_looks_like_settings_stays_one_value(binary):
    with Session(binary) as s:
        s.write_settings(s.url("tallowmere.example/rss.php"), 1500, 1500)
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
        s.xdotool("mousemove", 600, 108, "click", 3)
        dialog = wait_for(lambda: s.run(["xdotool", "search", "--onlyvisible", "--name",
                                         "^Ticker : Options$"], check=False).split(),
                          what="the options window")[0]
        # The dialog takes the keyboard by itself.
        wait_for(lambda: s.active_window() == dialog, what="the options window active")
        # Past the 254 characters of a fixed read buffer, with brackets, "=" and ";".
        typed = "[Evil]=http://www.tallowmere.example/[Options]?Injected=1&x==y;"
        typed += "z" * (300 - len(typed))
        s.xdotool("key", "--clearmodifiers", "ctrl+a")
        s.xdotool("type", "--delay", 2, typed)
        s.xdotool("key", "alt+e")  # "&Exit Ticker"
        assert s.wait_exit() == 0
        text = read_bytes(s.settings)
        assert text == f"[Options]\nDefault URL={typed}\nWindowX=1500\nWindowY=1500\n", text


if __name__ == "__main__":
    main([test_a_kill_during_the_save_leaves_the_old_file_or_the_new_one,
          test_two_programs_closing_at_once_leave_one_whole_file,
          test_a_typed_url_that_looks_like_settings_stays_one_value])
