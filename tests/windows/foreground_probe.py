"""What Wine does with a dialog that a program which is not active shows and activates the way
Windows asks: foreground_probe.exe under Wine on Xvfb with openbox, while another program's
window (xmessage) is active. The person right-clicks the probe's strip, then types; the facts
are printed. Wine refusing the activation is a fact to record, not a failure; the test fails
only when the probe cannot run or the dialog never takes text, not even after a click into it.

Run as: foreground_probe.py foreground_probe.exe (WINEPREFIX names the Wine prefix to use)."""

import queue
import subprocess
import sys
import threading
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import Session, wait_for  # noqa: E402

TYPED = "probe"


class Probe:
    """The probe's process and the lines it has said so far."""

    def __init__(self, session):
        self.proc = session._spawn(["wine", str(session.binary)], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
        session.ticker = self.proc  # the session ends it before Wine's server
        self.lines = []
        self._queue = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self._queue.put(line.strip())

    def said(self, prefix, timeout=30.0):
        """The last line so far that starts with prefix, waiting up to timeout for one."""
        def found():
            while not self._queue.empty():
                self.lines.append(self._queue.get())
            if self.proc.poll() is not None and self._queue.empty():
                raise AssertionError(f"the probe ended ({self.proc.returncode}): {self.lines}")
            return next((l for l in reversed(self.lines) if l.startswith(prefix)), None)
        return wait_for(found, timeout=timeout, what=f"the probe to say {prefix!r}")


def edit_holds(probe, text, timeout):
    try:
        probe.said(f"EDIT {text}", timeout)
        return True
    except AssertionError:
        return False


def run(binary):
    facts = {}
    with Session(binary) as s:
        probe = Probe(s)
        probe.said("READY")
        strip = wait_for(lambda: s.run(["xdotool", "search", "--onlyvisible", "--name",
                                        "^ProbeStrip$"], check=False).split(),
                         what="the probe's strip")[0]
        other = s.start_other_program("The program the person works in")
        x, y, w, h = s.geometry(strip)
        s.xdotool("mousemove", x + w // 2, y + h // 2)
        s.xdotool("click", 3)
        facts["calls"] = probe.said("CALLS")
        facts["win32 right after"] = probe.said("NOW")
        facts["win32 a second later"] = probe.said("LATER")
        dialog = wait_for(lambda: s.run(["xdotool", "search", "--onlyvisible", "--name",
                                         "^Probe : Options$"], check=False).split(),
                          what="the probe's dialog")[0]
        active = s.active_window()
        facts["X active window"] = ("the dialog" if active == dialog else
                                    "the other program" if active == other else active)
        facts["X keyboard focus"] = s.run(["xdotool", "getwindowfocus", "getwindowname"],
                                          check=False).strip() or "(a window without a name)"
        s.xdotool("type", "--delay", "20", TYPED)
        facts["typed text reached the edit box"] = edit_holds(probe, TYPED, 3)
        if not facts["typed text reached the edit box"]:
            # As a person does when the keys went elsewhere: a click into the box, then again.
            dx, dy, _, _ = s.geometry(dialog)
            s.xdotool("mousemove", dx + 100, dy + 30)
            s.xdotool("click", 1)
            s.xdotool("key", "ctrl+a")
            s.xdotool("type", "--delay", "20", TYPED)
            facts["after a click into the box, typed text reached it"] = edit_holds(
                probe, TYPED, 10)
        print("Wine's part, as the probe saw it:")
        for name, value in facts.items():
            print(f"  {name}: {value}")
        print("all probe lines:", probe.lines, flush=True)
        probe.proc.terminate()
        assert any(facts.get(k) for k in ("typed text reached the edit box",
                                           "after a click into the box, typed text reached it")), \
            "the dialog never took the keyboard"


if __name__ == "__main__":
    run(Path(sys.argv[1]).resolve())
    print("PASS foreground_probe")
