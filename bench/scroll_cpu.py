"""Processor time of the real program while it scrolls the sample feed, for the Linux build or
ticker.exe under Wine: Xvfb with openbox, the sample feed server, the pointer away from the
strip; the program's own process is measured (Wine's server is not) over --seconds after 3 s
of scrolling. With --saver it measures twice on Linux, the strip watched and then with the X
screen saver on (`xset s activate`), and gives the process's wake-ups too (voluntary context
switches of all its threads a second). --feed FILE scrolls that feed instead (bench/feeds/
arabic.php: Arabic headlines, shaped and laid out right to left).

    python3 bench/scroll_cpu.py BINARY [--seconds 30] [--saver] [--feed FILE]
    (WINEPREFIX for a .exe)"""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session, wait_for  # noqa: E402


def cpu_seconds(pid):
    """Processor time of all the process's threads, to the nanosecond (the scheduler's own
    count: /proc/PID/stat counts in ticks of 10 ms, too coarse for a strip at rest)."""
    total = 0
    for schedstat in Path(f"/proc/{pid}/task").glob("*/schedstat"):
        try:
            total += int(schedstat.read_text().split()[0])
        except (OSError, ValueError, IndexError):
            continue  # the thread ended meanwhile
    return total / 1e9


def wakeups(pid):
    """Voluntary context switches so far, by thread name (a thread sleeps once per wake-up)."""
    by_thread = {}
    for task in Path(f"/proc/{pid}/task").glob("*"):
        try:
            name = (task / "comm").read_text().strip()
            for line in (task / "status").read_text().splitlines():
                if line.startswith("voluntary_ctxt_switches:"):
                    by_thread[name] = by_thread.get(name, 0) + int(line.split()[1])
        except OSError:
            continue  # the thread ended meanwhile
    return by_thread


def measure(pid, seconds):
    """Processor seconds and wake-ups over the next seconds."""
    cpu, woken = cpu_seconds(pid), wakeups(pid)
    time.sleep(seconds)
    after = wakeups(pid)
    return cpu_seconds(pid) - cpu, {name: count - woken.get(name, 0) for name, count in after.items()}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--saver", action="store_true")
    parser.add_argument("--feed", type=Path)
    args = parser.parse_args()
    with Session(Path(args.binary).resolve()) as s:
        name = "rss.php"
        if args.feed:
            name = "bench-" + args.feed.name
            (s.feeds / "tallowmere.example" / name).write_bytes(args.feed.read_bytes())
        s.write_settings(s.url(f"tallowmere.example/{name}"), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        wait_for(lambda: any(name in r[1] for r in s.requests() if len(r) > 1),
                 what="the feed fetched")
        time.sleep(3)
        phases = [("scrolling", None)]
        if args.saver:
            phases.append(("the screen saver on", ["xset", "s", "activate"]))
        for name, command in phases:
            if command:
                s.run(command)
                time.sleep(1)
            used, woken = measure(s.ticker.pid, args.seconds)
            threads = ", ".join(f"{thread} {count / args.seconds:.1f}"
                                for thread, count in sorted(woken.items(), key=lambda t: -t[1])
                                if count)
            print(f"{Path(args.binary).name}: {used:.3f} s of processor time in "
                  f"{args.seconds:.0f} s of {name} ({100 * used / args.seconds:.2f} % of one "
                  f"core), {sum(woken.values()) / args.seconds:.1f} wake-ups a second "
                  f"({threads})")


if __name__ == "__main__":
    main()
