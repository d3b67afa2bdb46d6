#!/usr/bin/env python3
"""What one copy of the real program asks of a feed's server: the program runs under its own
Xvfb against the sample feed server, untouched (no pointer over it), and every request for the
feed is timed. One case per kind of feed and server behaviour; several cases run at once, each
in its own session.

    bench/server_requests.py BUILD/src/ticker --seconds 600        # every case
    bench/server_requests.py BUILD/src/ticker --seconds 300 --cases one max-age=600

Prints, per case, the requests seen, each with its status and its time in seconds after the
first; README.md ("What a copy asks of the site's server") turns them into requests per hour."""

import argparse
import sys
import threading
import time
from pathlib import Path
from urllib.parse import quote

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session, wait_for  # noqa: E402

ONE = ("<rss><channel><title>One</title><item><title>The one headline of the day</title>"
       "<link>http://www.tallowmere.example/one</link></item></channel></rss>")
# name: (feed path under the server's folder, its text or None for the sample feed, the
# server's parameters for every request)
CASES = {
    "sample": ("tallowmere.example/rss.php", None, ""),
    "one": ("tallowmere.example/one.php", ONE, ""),
    "max-age=600": ("tallowmere.example/one.php", ONE, "cache=" + quote("max-age=600")),
    "outage-500": ("tallowmere.example/one.php", ONE, "status=500"),
    "outage-503-retry-120": ("tallowmere.example/one.php", ONE, "status=503&retry_after=120"),
}


def measure(binary, name, seconds, results):
    path, text, params = CASES[name]
    with Session(binary) as s:
        if text is not None:
            (s.feeds / path).write_text(text)
        s.write_settings(s.url(path), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        # An outage begins after the first headlines arrived: the strip shows them meanwhile.
        outage = params.startswith("status=")
        if params and not outage:
            s.server_control(params)
        times, statuses = [], []

        def note():
            lines = [r for r in s.requests() if len(r) > 2 and path in r[1]]
            for line in lines[len(times):]:
                times.append(time.monotonic())
                statuses.append(line[2])
            return lines

        s.start_ticker()
        wait_for(note, timeout=30, what="the first request")
        if outage:
            s.server_control(params)
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            note()
            time.sleep(0.2)
        results[name] = [(round(t - times[0], 1), st) for t, st in zip(times, statuses)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary")
    parser.add_argument("--seconds", type=float, default=600)
    parser.add_argument("--cases", nargs="*", default=list(CASES))
    parser.add_argument("--jobs", type=int, default=2, help="cases run at the same time")
    args = parser.parse_args()
    results = {}
    for start in range(0, len(args.cases), args.jobs):
        threads = [threading.Thread(target=measure, args=(args.binary, n, args.seconds, results))
                   for n in args.cases[start:start + args.jobs]]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    for name in args.cases:
        seen = results.get(name, [])
        print(f"{name}: {len(seen)} requests in {args.seconds:.0f} s: "
              + " ".join(f"{t}s/{st}" for t, st in seen), flush=True)


if __name__ == "__main__":
    main()
