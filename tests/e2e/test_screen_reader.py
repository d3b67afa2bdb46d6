"""The program read as a screen reader reads it: AT-SPI on a session bus of its own, read by
Debian's pyatspi in a reader process (/usr/bin/python3, as Orca runs). Shown headlines are
links with their tooltip and a press that opens the link once; those under the title picture
are not showing; events while the strip moves come a few a second per object at most; the
strip is named after the program, the options window is a dialog, its URL box is named URL;
the focus a reader follows moves with the keys."""

import json
import subprocess

from harness import Session, main, wait_for

FEED = "tallowmere.example/reader.php"
HOME = "http://www.tallowmere.example"
TITLE_RIGHT = 100 + 33  # the strip is at (100, 100); its headlines show right of the picture

READER = r'''
import json, sys, time, pyatspi
from gi.repository import GLib
pid, command = int(sys.argv[1]), sys.argv[2]
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == pid)
def walk(node):
    yield node
    for child in filter(None, node): yield from walk(child)
def node(n):
    box = n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    try: actions = n.queryAction().nActions
    except NotImplementedError: actions = 0
    return [n.getRoleName(), n.name, n.description, box.x, box.width, actions,
            n.getState().contains(pyatspi.STATE_SHOWING)]
if command == "tree":
    print(json.dumps([node(n) for window in filter(None, app) for n in walk(window)]))
elif command == "press":
    next(n for n in walk(app) if n.name == sys.argv[3]).queryAction().doAction(0)
elif command == "focus":
    seen = []
    def record(e):
        if e.source and e.source.get_process_id() == pid:
            seen.append([e.detail1, e.source.name, e.source.getState().contains(pyatspi.STATE_FOCUSABLE)])
    pyatspi.Registry.registerEventListener(record, "object:state-changed:focused")
    GLib.timeout_add(int(sys.argv[3]), pyatspi.Registry.stop)
    print("ready", flush=True)
    pyatspi.Registry.start()
    print(json.dumps(seen))
else:
    seen = []
    def record(e):
        if e.source and e.source.get_process_id() == pid:
            seen.append([time.monotonic(), e.type, e.source.name])
    for kind in ("children-changed", "bounds-changed", "state-changed:showing"):
        pyatspi.Registry.registerEventListener(record, "object:" + kind)
    GLib.timeout_add(6000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    print(json.dumps(seen))
'''


def test_the_tree_reads_as_a_screen_reader_needs_it(binary):
    with Session(binary) as s:
        s._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], stderr=subprocess.DEVNULL)
        s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        (s.tmp / "reader.py").write_text(READER)
        (s.feeds / FEED).write_text("<rss>" + "".join(
            f"<item><title>Story {n}</title><link>{HOME}/{n}</link><author>Desk {n}</author>"
            "</item>" for n in range(1, 40)) + "</rss>")
        s.write_settings(s.url(FEED), 1500, 1500)
        s.start_ticker()

        def read(*args):
            out = subprocess.run(["/usr/bin/python3", s.tmp / "reader.py", str(s.ticker.pid),
                                  *args], env=s.env, capture_output=True, timeout=60)
            if out.returncode != 0: print(out.stderr.decode()[-300:])
            return json.loads(out.stdout) if out.returncode == 0 and out.stdout else None

        def headlines():
            return [n for n in read("tree") or [] if n[0] in ("link", "static")]

        wait_for(headlines, timeout=60, what="the headlines in the reader's tree")
        program = s.run([str(s.binary), "--version"]).split("(")[1].split(")")[0]
        assert any(n[1] == program for n in read("tree")), "the strip's name"

        events = read("events")
        # Events of one kind on one object that come together (headlines added by one reload)
        # are one report; the rate is of reports.
        reports = []
        for when, kind, name in sorted(events):
            if not any((k, n) == (kind, name) and 0 <= when - w < 0.1 for w, k, n in reports[-50:]):
                reports.append((when, kind, name))
        most = {}
        for when, kind, name in reports:
            most[kind] = max(most.get(kind, 0), sum(
                1 for w, k, n in reports if (k, n) == (kind, name) and when <= w < when + 1))
        print(f"{len(events)} events in 6 s; most reports per object in a second: {most}")
        assert {"object:bounds-changed", "object:children-changed:add"} <= most.keys(), most
        assert max(most.values()) <= 3, most

        nodes = wait_for(lambda: (h := headlines()) and h[0][3] + h[0][4] <= TITLE_RIGHT and h,
                         timeout=60, what="a headline under the title picture")
        for role, name, description, x, width, actions, showing in nodes:
            assert role == "link" and actions == 1 and f"Desk {name[6:]}" in description, name
            assert showing == (x + width > TITLE_RIGHT), (name, x, width)
        pressed = next(n for n in nodes if n[3] >= TITLE_RIGHT)[1]
        read("press", pressed)
        wait_for(s.opened_links, what="the opener")

        # A reader follows the keyboard: the program started again gives the strip the keyboard
        # with the first headline focused, Right moves the focus, Escape takes it away.
        listener = subprocess.Popen(["/usr/bin/python3", s.tmp / "reader.py", str(s.ticker.pid),
                                     "focus", "4000"], env=s.env, stdout=subprocess.PIPE, text=True)
        assert listener.stdout.readline().strip() == "ready"
        subprocess.run([str(s.binary)], env=s.env, check=True, timeout=30)
        wait_for(lambda: s.active_window() == s.window, what="the strip active")
        s.xdotool("key", "Right")
        s.xdotool("key", "Escape")
        focus = json.loads(listener.communicate(timeout=30)[0].splitlines()[-1])
        gained = [name for detail, name, focusable in focus if detail == 1 and focusable]
        assert len(gained) >= 2 and gained[0] != gained[1], focus
        assert [d for d, name, _ in focus if name == gained[1]][-1] == 0, focus

        s.xdotool("mousemove", 110, 105, "click", 3)  # the options, as a person opens them
        tree = wait_for(lambda: (t := read("tree")) and any(n[0] == "dialog" for n in t) and t,
                        what="the dialog in the reader's tree")
        assert [n[1] for n in tree if n[0] == "combo box"] == ["URL"], tree
        assert s.opened_links() == [[f"{HOME}/{pressed.split()[1]}"]], s.opened_links()


if __name__ == "__main__":
    main([test_the_tree_reads_as_a_screen_reader_needs_it])
