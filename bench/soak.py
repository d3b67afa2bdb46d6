#!/usr/bin/env python3
"""Memory soak of the real program: it runs under its own Xvfb with a 30-item feed and is made
to reload every two seconds (a double-click on its title picture, as the user does), while its
resident set (VmRSS) is sampled once a second. Each reload alternates between two versions of
the feed, so that every label is rebuilt with a new caption and width.

    bench/soak.py BUILD/src/ticker                 # the long form: ten minutes
    bench/soak.py BUILD/src/ticker --minutes 1.5 --warmup 30

Prints the resident set after the warm-up and at the end, the growth in between, the peak and
the number of reloads the feed server saw. tests/e2e/test_soak.py runs the short form."""

import argparse
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session, wait_for  # noqa: E402

FEED_PATH = "tallowmere.example/soak.php"
ITEMS = 30
# Title picture of a window placed at (100, 100) by a position of 1500 twips.
TITLE_POINT = (110, 105)


def feed(version):
    items = []
    for i in range(1, ITEMS + 1):
        words = " ".join(["soak"] * (1 + (i + version) % 5))
        items.append(f"<item><title>Item {i} of version {version}: {words}</title>"
                     f"<link>http://www.tallowmere.example/{version}/{i}?a=1&amp;b=2</link>"
                     f"<author>Desk {i}</author>"
                     f"<pubDate>Mon, 07 Dec 2026 08:{i:02d}:00 GMT</pubDate></item>")
    return f"<rss><channel><title>Soak</title>{''.join(items)}</channel></rss>"


def write_feed(session, version):
    """Replaces the served file in one step, so that no fetch sees half of it."""
    target = session.feeds / FEED_PATH
    temporary = target.with_name(target.name + ".new")
    temporary.write_text(feed(version))
    os.replace(temporary, target)


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise AssertionError("no VmRSS")


def feed_requests(session):
    return sum(1 for r in session.requests() if len(r) > 1 and FEED_PATH in r[1])


def soak(binary, seconds, warmup, reload_every=2.0, report=None):
    """Runs the program for `seconds`, reloading every `reload_every` seconds; returns the
    figures in KiB. The resident set at a moment is the median of the samples of the five
    seconds before it, so that a reload caught half-way does not count as growth."""
    samples = []  # (seconds since start, KiB)
    with Session(binary) as s:
        write_feed(s, 0)
        s.write_settings(s.url(FEED_PATH), 1500, 1500)
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (100, 100), what="the saved position")
        pid = s.ticker.pid
        started = time.monotonic()
        next_reload = started + reload_every
        next_sample = started
        version = 0
        while (now := time.monotonic()) - started < seconds:
            if not s.alive():
                raise AssertionError(f"the program ended after {now - started:.0f} s")
            if now >= next_reload:
                version += 1
                write_feed(s, version % 2)
                s.xdotool("mousemove", *TITLE_POINT, "click", "--repeat", 2, "--delay", 80, 1)
                next_reload += reload_every
            if now >= next_sample:
                samples.append((now - started, rss_kib(pid)))
                if report and len(samples) % 60 == 0:
                    report(f"  {samples[-1][0]:5.0f} s  {samples[-1][1] / 1024:7.1f} MiB")
                next_sample += 1.0
            time.sleep(max(0.0, min(next_reload, next_sample) - time.monotonic()))
        reloads = feed_requests(s)
        assert s.alive(), "the program ended"

    def settled(at):
        window = [kib for t, kib in samples if at - 5 <= t <= at]
        return statistics.median(window)

    at_warmup = settled(warmup)
    at_end = settled(samples[-1][0])
    return {
        "seconds": samples[-1][0],
        "warmup": warmup,
        "start_kib": samples[0][1],
        "warmup_kib": at_warmup,
        "end_kib": at_end,
        "growth_kib": at_end - at_warmup,
        "peak_kib": max(kib for _, kib in samples),
        "reloads": reloads,
        "expected_reloads": int(seconds / reload_every),
    }


def describe(figures):
    mib = lambda kib: f"{kib / 1024:.1f} MiB"  # noqa: E731
    return "\n".join([
        f"run:                {figures['seconds']:.0f} s, {figures['reloads']} fetches of the feed "
        f"(about {figures['expected_reloads']} reloads asked for)",
        f"RSS at start:       {mib(figures['start_kib'])}",
        f"RSS after {figures['warmup']:.0f} s:     {mib(figures['warmup_kib'])}",
        f"RSS at the end:     {mib(figures['end_kib'])}",
        f"growth after {figures['warmup']:.0f} s:  {figures['growth_kib']:+.0f} KiB",
        f"peak:               {mib(figures['peak_kib'])}",
    ])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("ticker", help="the program to run (a release build)")
    parser.add_argument("--minutes", type=float, default=10.0)
    parser.add_argument("--warmup", type=float, default=60.0, help="seconds before the baseline")
    parser.add_argument("--reload-every", type=float, default=2.0)
    args = parser.parse_args()
    figures = soak(Path(args.ticker).resolve(), args.minutes * 60, args.warmup, args.reload_every,
                   report=print)
    print(describe(figures))


if __name__ == "__main__":
    main()
