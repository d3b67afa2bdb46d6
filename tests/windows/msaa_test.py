"""The Windows program as a screen reader reads it through Microsoft Active Accessibility:
msaa_client.exe, in a process of its own, reads the running ticker.exe: names, roles, states and
places of the strip, its title picture and headlines, "Jump" that opens a link once, reorders
as the row moves and no event flood, the options' controls named, and an error, not a crash,
for a reader that holds the headlines when the program ends.

Run as: msaa_test.py ticker.exe msaa_client.exe (WINEPREFIX: the Wine prefix to use;
TICKER_DISPLAY_NAME: the program's name)."""

import json
import os
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import Session, main, wait_for  # noqa: E402

FEED = "tallowmere.example/reader.php"
HOME = "http://www.tallowmere.example"
TITLE_WIDTH = 33  # the title picture's pixels at the strip's left end
ROLE_LINK, ROLE_GRAPHIC, EVENT_REORDER = 0x1E, 0x28, 0x8004
STATE_INVISIBLE, STATE_OFFSCREEN, STATE_LINKED = 0x8000, 0x10000, 0x400000


def test_the_strip_reads_as_a_screen_reader_needs_it(binary):
    client = str(Path(sys.argv[2]).resolve())
    with Session(binary) as s:
        def read(*args):
            out = subprocess.run(["wine", client, *args], env=s.env, capture_output=True,
                                 text=True, timeout=60)
            return json.loads(out.stdout) if out.returncode == 0 else None

        (s.feeds / FEED).write_text("<rss>" + "".join(
            f"<item><title>Story {n}</title><link>{HOME}/{n}</link><author>Desk {n}</author>"
            "</item>" for n in range(1, 40)) + "</rss>")
        s.write_settings(s.url(FEED), 1500, 1500)
        s.xdotool("mousemove", 5, 700)
        s.start_ticker()

        tree = wait_for(lambda: (t := read("tree")) and len(t["boxes"][-1]) > 1 and t,
                        timeout=30, what="the headlines in the reader's tree")
        window, strip = tree["strip"]
        assert window[0] == strip[0] == os.environ["TICKER_DISPLAY_NAME"], tree["strip"]
        [title] = tree["boxes"][0]
        assert title[0].endswith(" RSS Feed - rightclick to display options"), title
        assert title[2] == ROLE_GRAPHIC, title
        x, y, width, height = strip[4]

        def headlines_with_one_under_the_title():
            nodes = ((read("tree") or {"boxes": [[]]})["boxes"][-1])[1:]
            return any(n[4][0] + n[4][2] <= x + TITLE_WIDTH for n in nodes) and nodes

        nodes = wait_for(headlines_with_one_under_the_title, timeout=40,
                         what="a headline under the title picture")
        for name, description, role, state, (lx, ly, lw, lh), action in nodes:
            assert role == ROLE_LINK and action == "Jump" and state & STATE_LINKED, name
            assert f"Desk {name[6:]}" in description, (name, description)
            hidden = lx + lw <= x + TITLE_WIDTH
            assert bool(state & STATE_OFFSCREEN) == bool(state & STATE_INVISIBLE) == hidden, name
            assert hidden or lx < x + width and y <= ly and ly + lh <= y + height, (name, strip)
        pressed = next(n[0] for n in nodes if n[4][0] >= x + TITLE_WIDTH)
        assert read("press", pressed) == 0
        wait_for(s.opened_links, what="the opener")

        # Headlines come and go at the strip's ends as it scrolls. Events of one kind for one
        # headline come at the engine's rate at most, never once a scroll tick (ten a second).
        events = read("events", "5000")
        assert any(e[1] == EVENT_REORDER and e[2] == "TickerPictureBox" for e in events), events
        for when, *what in events:
            same = [e for e in events if e[1:] == what and 0 <= e[0] - when < 1000]
            assert len(same) <= 3, same

        s.xdotool("mousemove", x + 400, y + 8, "click", 3)  # the options, as a person opens them
        controls = wait_for(lambda: (t := read("tree")) and t["dialog"], what="the options")
        names = {described[0]: (kind, described[4]) for kind, described in controls}
        assert names.keys() == {"URL", "Close this Window", "Exit Ticker"}, controls
        assert names["URL"][0] == "ComboBox" and names["Exit Ticker"][0] == "Button", controls

        # A reader still holds the headlines when the person presses Exit Ticker.
        holder = s._spawn(["wine", client, "hold"], stdin=subprocess.PIPE,
                          stdout=subprocess.PIPE, text=True)
        assert holder.stdout.readline().strip() == "HELD"
        bx, by, bw, bh = names["Exit Ticker"][1]
        s.xdotool("mousemove", bx + bw // 2, by + bh // 2, "click", 1)
        assert s.wait_exit(30) == 0, "the program ended with an error"
        answer, _ = holder.communicate("\n", timeout=60)
        assert holder.returncode == 0 and int(answer) < 0, answer
        assert s.opened_links() == [[f"{HOME}/{pressed.split()[1]}"]], s.opened_links()


if __name__ == "__main__":
    main([test_the_strip_reads_as_a_screen_reader_needs_it])
