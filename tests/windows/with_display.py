"""Runs a command (a Windows test program under Wine) on an X server of its own: Xvfb, with
openbox when --window-manager is given. Exits with the command's status."""

import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise SystemExit(f"with_display: timed out waiting for {what}")
        time.sleep(0.05)
    return value


def main():
    args = sys.argv[1:]
    window_manager = False
    if args and args[0] == "--window-manager":
        window_manager = True
        args = args[1:]
    procs = []
    with tempfile.TemporaryDirectory(prefix="ticker-display-") as tmp:
        display_file = Path(tmp) / "display"
        with open(display_file, "w") as out:
            procs.append(subprocess.Popen(
                ["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", "1280x800x24",
                 "-nolisten", "tcp"], pass_fds=(out.fileno(),), stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL))
        number = wait_for(lambda: display_file.read_text().strip(), 30, "Xvfb")
        env = dict(os.environ, DISPLAY=":" + number)
        try:
            if window_manager:
                procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                              stdout=subprocess.DEVNULL,
                                              stderr=subprocess.DEVNULL))
                wait_for(lambda: "window id" in subprocess.run(
                    ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                    capture_output=True, text=True).stdout, 30, "openbox")
            status = subprocess.run(args, env=env).returncode
            # Wine's processes of this prefix end before their X server does.
            subprocess.run(["wineserver", "-w"], env=env)
            return status
        finally:
            for proc in reversed(procs):
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()


if __name__ == "__main__":
    sys.exit(main())
