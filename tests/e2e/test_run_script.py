"""scripts/run.sh without a display, run twice in a row from the same build: each run starts
its own feed server and shows the sample feed's headlines in its screenshot (the second run
once read the first run's port file, naming a server that had gone)."""

import os
import re
import subprocess
from pathlib import Path

from harness import SOURCE, main

LINK_BLUE_MARGIN = 60


def link_coloured_pixels(shot):
    """Pixels drawn in the link colour's blue anywhere on the screenshot."""
    rgb = subprocess.run(["convert", str(shot), "-depth", "8", "rgb:-"], capture_output=True,
                         check=True).stdout
    return sum(1 for i in range(0, len(rgb) - 2, 3)
               if rgb[i + 2] - rgb[i] >= LINK_BLUE_MARGIN
               and rgb[i + 2] - rgb[i + 1] >= LINK_BLUE_MARGIN)


def run_script(build):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)
    result = subprocess.run([str(SOURCE / "scripts" / "run.sh"), "--build-dir", str(build)],
                            env=env, capture_output=True, text=True, timeout=300)
    assert result.returncode == 0, result.stderr
    shot = Path(result.stdout.strip().splitlines()[-1])
    assert shot.is_file(), result.stdout
    return shot


def test_run_twice_shows_the_headlines_both_times(binary):
    build = Path(os.environ.get("TICKER_BUILD_DIR", binary.parents[1]))
    log = build / "run" / "server.log"

    def feeds_served():
        return log.read_text().count("/tallowmere.example/rss.php 200") if log.exists() else 0

    for attempt in ("first", "second"):
        before = feeds_served()
        shot = run_script(build)
        assert feeds_served() > before, f"the {attempt} run fetched nothing from its own server"
        assert link_coloured_pixels(shot) > 20, f"the {attempt} run's strip shows no headline"
        shot.unlink()


if __name__ == "__main__":
    main([test_run_twice_shows_the_headlines_both_times])
