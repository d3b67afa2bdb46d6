"""Processor time of the real program while a feed whose one headline is a 1 MB caption of
one script scrolls (Latin, Cyrillic, CJK, Arabic, mixed), under its own Xvfb with openbox.

    python3 bench/caption_cpu.py BUILD/src/ticker [--seconds 20]

Prints, per script, the share of one core the program used (user + system time from
/proc/PID/stat) over the measured seconds, after the strip has shown and scrolled for a while."""

import argparse
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from harness import Session, wait_for  # noqa: E402

WORDS = {
    "Latin": "Council approves budget for roads &amp; lighting. ",
    "Cyrillic": "Совет одобрил бюджет. ",
    "CJK": "市议会批准预算。",
    "Arabic": "المجلس يوافق على الميزانية ",
    "mixed": "Budget бюджет 预算 الميزانية Πρόγραμμα ",
}


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure(binary, script, seconds):
    text = WORDS[script] * (1_048_576 // len(WORDS[script].encode()) + 1)
    feed = (f"<rss><channel><item><title>{text}</title><link>http://www.tallowmere.example/1"
            "</link></item></channel></rss>")
    with Session(binary) as s:
        (s.feeds / "tallowmere.example" / "long.php").write_text(feed)
        s.write_settings(s.url("tallowmere.example/long.php"), 1500, 1500)
        s.start_ticker()
        wait_for(lambda: s.geometry()[:2] == (100, 100), timeout=60, what="the strip")
        s.xdotool("mousemove", 1200, 790)  # well away from the strip
        time.sleep(3)
        before, started = cpu_seconds(s.ticker.pid), time.monotonic()
        time.sleep(seconds)
        used = cpu_seconds(s.ticker.pid) - before
        return 100 * used / (time.monotonic() - started)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--seconds", type=float, default=20)
    args = parser.parse_args()
    for script in WORDS:
        print(f"{script:9} {measure(Path(args.binary).resolve(), script, args.seconds):5.1f} % "
              "of a core", flush=True)


if __name__ == "__main__":
    main()
