"""Whether two builds show the same strip while it scrolls: each runs on the sample feed under
its own Xvfb with openbox, the pointer away, and the strip is looked at as often as the X server
answers (many looks a step) from the moment its window appears. Every distinct picture the
second build shows in its first --seconds must be one the first build showed in a second more;
the script prints how many pictures each showed and which of the second's were not the first's,
and exits with 1 if there are any.

    python3 bench/scroll_frames.py BEFORE AFTER [--seconds 3]"""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session, wait_for  # noqa: E402


def pictures(binary, seconds):
    """The strip's distinct pictures in the order first seen, and how many looks were taken."""
    with Session(Path(binary).resolve()) as s:
        s.write_settings(s.url("tallowmere.example/rss.php"), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()
        geometry = wait_for(lambda: s.geometry(), what="the strip's place")
        seen, looks = {}, 0
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            shot = s.screen.grab(*geometry)
            looks += 1
            seen.setdefault(shot.data, len(seen))
        return list(seen), looks


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("before")
    parser.add_argument("after")
    parser.add_argument("--seconds", type=float, default=3)
    args = parser.parse_args()
    before, before_looks = pictures(args.before, args.seconds + 1)
    after, after_looks = pictures(args.after, args.seconds)
    known = set(before)
    strange = [index for index, picture in enumerate(after) if picture not in known]
    print(f"before: {len(before)} pictures in {before_looks} looks over {args.seconds + 1:g} s")
    print(f"after:  {len(after)} pictures in {after_looks} looks over {args.seconds:g} s")
    print(f"pictures of the second build the first never showed: {len(strange)}"
          + (f" (the {', '.join(str(i + 1) for i in strange)})" if strange else ""))
    return 1 if strange else 0


if __name__ == "__main__":
    sys.exit(main())
