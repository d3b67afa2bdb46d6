#!/usr/bin/env python3
"""Peak memory of the real program on feeds shaped to cost the most for their size. For each
shape the program runs under its own Xvfb with openbox, loads the feed at start, is made to
reload it once (a double-click on its title picture, as the user does; the reload holds the old
row while the new one is read), and its peak resident set (VmHWM from /proc/PID/status) is
read when the reload has settled.

    bench/memory_shapes.py BUILD/src/ticker            # every shape
    bench/memory_shapes.py BUILD/src/ticker --only empty-items-32mib

The goal for every document within the 32 MiB cap: peak resident set at most 64 MiB plus ten
times the document's size. Prints one line per shape and a Markdown table."""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session, wait_for  # noqa: E402

MIB = 1024 * 1024
CAP = 32 * MIB
# Title picture of a window placed at (100, 100) by a position of 1500 twips.
TITLE_POINT = (110, 105)
RSS_HEAD = "<rss><channel><title>Shapes</title>"
RSS_TAIL = "</channel></rss>"


def borrowed_title():
    """3,000 empty items, then one whose title is 1 MB: every empty item takes that title."""
    return (RSS_HEAD + "<item></item>" * 3000 + "<item><title>" + "borrowed " * 116509 +
            "</title><link>http://www.tallowmere.example/1</link></item>" + RSS_TAIL)


def long_first_headline():
    """A story list whose first headline is 1 MB, then 3,000 short stories."""
    stories = [f"HEADLINE Story {i}\nURL http://www.tallowmere.example/s{i}\n"
               for i in range(3000)]
    return ("STORY \nHEADLINE " + "headline " * 116509 + "\nURL http://www.tallowmere.example/\n"
            + "".join(stories))


def empty_items():
    """As many empty items as fit in the cap: about 2.58 million."""
    count = (CAP - len(RSS_HEAD) - len(RSS_TAIL)) // len("<item></item>")
    return RSS_HEAD + "<item></item>" * count + RSS_TAIL


def empty_stories():
    """As many stories with an empty headline and link as fit in the cap: about 2.24 million."""
    count = (CAP - len("STORY \n")) // len("HEADLINE \nURL \n")
    return "STORY \n" + "HEADLINE \nURL \n" * count


def plain_feed():
    """An ordinary feed filling the cap: every item with title, link, author and date."""
    items = []
    size = len(RSS_HEAD) + len(RSS_TAIL)
    i = 0
    while True:
        item = (f"<item><title>Council approves budget for the harbour, item {i}</title>"
                f"<link>http://www.tallowmere.example/story.php?id={i}&amp;page=1</link>"
                f"<author>Desk {i % 50}</author>"
                f"<pubDate>Mon, 07 Dec 2026 08:{i % 60:02d}:00 GMT</pubDate></item>\n")
        if size + len(item) > CAP:
            break
        items.append(item)
        size += len(item)
        i += 1
    return RSS_HEAD + "".join(items) + RSS_TAIL


# name, path under the served folder (a URL with "ticker" is read as a story list), document
SHAPES = [
    ("borrowed-1mb-title", "tallowmere.example/borrowed.php", borrowed_title),
    ("long-first-headline", "tallowmere.example/ticker-long.txt", long_first_headline),
    ("empty-items-32mib", "tallowmere.example/empty.php", empty_items),
    ("empty-stories-32mib", "tallowmere.example/ticker-empty.txt", empty_stories),
    ("plain-feed-32mib", "tallowmere.example/plain.php", plain_feed),
]


def status_kib(pid, key):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    raise AssertionError(f"no {key}")


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def wait_idle(session, pid, timeout):
    """Waits until the program spends under a tenth of a core for two seconds (the scroll
    alone costs about 1 %): the load under way has ended."""
    deadline = time.monotonic() + timeout
    before = cpu_ticks(pid)
    while time.monotonic() < deadline:
        time.sleep(2.0)
        if not session.alive():
            raise AssertionError("the program ended: " + session.ticker.stderr.read().decode())
        now = cpu_ticks(pid)
        if now - before < 20:  # clock ticks of 10 ms
            return
        before = now
    raise AssertionError("the program did not settle")


def feed_requests(session, path):
    return sum(1 for r in session.requests() if len(r) > 1 and path in r[1])


def measure(binary, name, path, document):
    with Session(binary) as s:
        target = s.feeds / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(document)
        s.write_settings(s.url(path), 1500, 1500)
        s.ticker = s._spawn([str(s.binary)], stdout=None, stderr=None)
        s.window = wait_for(s.find_window, timeout=300, what="the strip window")
        pid = s.ticker.pid
        wait_idle(s, pid, 300)
        first = status_kib(pid, "VmHWM")
        # openbox may have put the strip elsewhere at first; the saved place is where it goes.
        wait_for(lambda: s.geometry()[:2] == (100, 100), timeout=30, what="the saved position")
        s.xdotool("mousemove", *TITLE_POINT, "click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: feed_requests(s, path) >= 2, timeout=60, what="the reload")
        wait_idle(s, pid, 300)
        assert s.alive(), "the program ended"
        return {"name": name, "size": len(document), "first_kib": first,
                "peak_kib": status_kib(pid, "VmHWM"), "rss_kib": status_kib(pid, "VmRSS")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("ticker", help="the program to run (a release build)")
    parser.add_argument("--only", action="append", help="run only this shape (repeatable)")
    args = parser.parse_args()
    binary = Path(args.ticker).resolve()
    rows = []
    for name, path, make in SHAPES:
        if args.only and name not in args.only:
            continue
        document = make().encode()
        assert len(document) <= CAP, name
        figures = measure(binary, name, path, document)
        budget_kib = 64 * 1024 + 10 * figures["size"] / 1024
        figures["budget_kib"] = budget_kib
        rows.append(figures)
        print(f"{name}: document {figures['size'] / MIB:.2f} MiB, peak after start "
              f"{figures['first_kib'] / 1024:.1f} MiB, peak after reload "
              f"{figures['peak_kib'] / 1024:.1f} MiB, budget {budget_kib / 1024:.1f} MiB",
              flush=True)
    print()
    print("| Shape | Document | Peak (start) | Peak (after a reload) | Goal | Met |")
    print("|---|---|---|---|---|---|")
    for r in rows:
        print(f"| {r['name']} | {r['size'] / MIB:.2f} MiB | {r['first_kib'] / 1024:.1f} MiB | "
              f"{r['peak_kib'] / 1024:.1f} MiB | {r['budget_kib'] / 1024:.1f} MiB | "
              f"{'yes' if r['peak_kib'] <= r['budget_kib'] else 'no'} |")


if __name__ == "__main__":
    main()
