"""Processor time of the real program while it scrolls the sample feed, for the Linux build or
ticker.exe under Wine: Xvfb with openbox, the sample feed server, the pointer away from the
strip; the program's own process is measured (Wine's server is not) over --seconds after 3 s
of scrolling.

    python3 bench/scroll_cpu.py BINARY [--seconds 30]    (WINEPREFIX for a .exe)"""

import argparse
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session, wait_for  # noqa: E402


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--seconds", type=float, default=30)
    args = parser.parse_args()
    with Session(Path(args.binary).resolve()) as s:
        s.write_settings(s.url("tallowmere.example/rss.php"), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        wait_for(lambda: any("rss.php" in r[1] for r in s.requests() if len(r) > 1),
                 what="the feed fetched")
        time.sleep(3)
        start = cpu_seconds(s.ticker.pid)
        time.sleep(args.seconds)
        used = cpu_seconds(s.ticker.pid) - start
        print(f"{Path(args.binary).name}: {used:.2f} s of processor time in {args.seconds:.0f} s "
              f"of scrolling ({100 * used / args.seconds:.2f} % of one core)")


if __name__ == "__main__":
    main()
