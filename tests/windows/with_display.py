"""Runs a command (a Windows test program under Wine) on an X server of its own: Xvfb, with
openbox when --window-manager is given. Exits with the command's status."""

import os
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import start_display, start_window_manager  # noqa: E402


def main():
    args = sys.argv[1:]
    window_manager = False
    if args and args[0] == "--window-manager":
        window_manager = True
        args = args[1:]
    procs = []
    with tempfile.TemporaryDirectory(prefix="ticker-display-") as tmp:
        try:
            env = dict(os.environ, DISPLAY=start_display(tmp, procs))
            if window_manager:
                start_window_manager("openbox", env, Path(tmp) / "openbox.log", procs)
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
