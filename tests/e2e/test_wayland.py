"""The strip on Wayland desktops, through XWayland, under real compositors run headless: mutter
(a GNOME session: the strip at its saved place, above other windows, without a task-list
entry, dragged by the program itself, reached from a launcher without a pointer) and sway (a tiling compositor: the strip floats, the
drag goes through the window manager, the hover pause ends when the pointer leaves for a
native Wayland window). Under sway the pointer is a device of the compositor's own (the
virtual-pointer protocol), as a hand's is; under mutter XTest moves XWayland's pointer."""

import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from harness import Session, main, wait_for
from test_keyboard import start_again

NOBODY = 65534


def skip(reason):
    print(f"SKIP (loudly): {reason}", flush=True)


class VirtualPointer:
    """A pointer device of the compositor (zwlr_virtual_pointer_v1), spoken over the Wayland
    wire protocol: its moves and buttons reach windows as a hand's do."""

    def __init__(self, socket_path, width, height):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(str(socket_path))
        self.size = (width, height)
        self.buf = b""
        self.next_id = 2
        registry = self._new()
        self._send(1, 1, struct.pack("<I", registry))
        offered = {}
        for obj, opcode, body in self._roundtrip():
            if obj == registry and opcode == 0:
                name, length = struct.unpack_from("<II", body)
                offered[body[8:8 + length - 1].decode()] = name
        seat = self._bind(registry, offered, "wl_seat")
        manager = self._bind(registry, offered, "zwlr_virtual_pointer_manager_v1")
        self.pointer = self._new()
        self._send(manager, 0, struct.pack("<II", seat, self.pointer))
        list(self._roundtrip())

    def _new(self):
        self.next_id += 1
        return self.next_id - 1

    def _send(self, obj, opcode, body=b""):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(body)) << 16 | opcode) + body)

    def _bind(self, registry, offered, interface):
        if interface not in offered:
            raise AssertionError(f"the compositor offers no {interface}")
        new = self._new()
        name = interface.encode() + b"\0"
        name += b"\0" * (-len(name) % 4)
        self._send(registry, 0, struct.pack("<II", offered[interface], len(interface) + 1)
                   + name + struct.pack("<II", 1, new))
        return new

    def _roundtrip(self):
        """The events that come before the compositor answers a sync, as they come."""
        callback = self._new()
        self._send(1, 0, struct.pack("<I", callback))
        while True:
            while len(self.buf) < 8 or len(self.buf) < struct.unpack_from("<I", self.buf, 4)[0] >> 16:
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise AssertionError("the compositor closed the connection")
                self.buf += chunk
            obj, word = struct.unpack_from("<II", self.buf)
            body, self.buf = self.buf[8:word >> 16], self.buf[word >> 16:]
            if obj == 1 and word & 0xFFFF == 0:
                raise AssertionError(f"Wayland protocol error: {body!r}")
            if obj == callback:
                return
            yield obj, word & 0xFFFF, body

    def move_to(self, x, y):
        self._send(self.pointer, 1, struct.pack("<IIIII", 0, x, y, *self.size))
        self._send(self.pointer, 4)
        list(self._roundtrip())

    def button(self, pressed, code=0x110):  # BTN_LEFT
        self._send(self.pointer, 2, struct.pack("<III", 0, code, 1 if pressed else 0))
        self._send(self.pointer, 4)
        list(self._roundtrip())


class CompositorSession(Session):
    """A session whose X server is the XWayland of a headless Wayland compositor."""

    def __init__(self, binary, compositor):
        self.compositor = compositor
        super().__init__(binary, window_manager=False)

    def _start_display(self):
        self.env.pop("DISPLAY", None)
        # Each XWayland puts its socket in the X11 socket folder, which a booted system makes
        # writable by all (sticky); on a fresh machine the first X server to start makes it,
        # with a mode of its own, and sway's XWayland runs as another user.
        if os.geteuid() == 0:
            X11_SOCKETS.mkdir(exist_ok=True)
            X11_SOCKETS.chmod(0o1777)
        getattr(self, f"_start_{self.compositor}")()

    def _xwayland_of(self, pid):
        """DISPLAY and auth file of the Xwayland that the process pid (or its children) ran."""
        for entry in Path("/proc").iterdir():
            try:
                args = (entry / "cmdline").read_bytes().split(b"\0")
                parent = int((entry / "stat").read_text().rsplit(")", 1)[1].split()[1])
            except (OSError, ValueError, IndexError):
                continue
            if Path(args[0].decode(errors="replace")).name == "Xwayland" and parent == pid:
                auth = args[args.index(b"-auth") + 1].decode() if b"-auth" in args else None
                return args[1].decode(), auth
        return None

    def _start_mutter(self):
        log = open(self.tmp / "mutter.log", "w")
        self.shell = self._spawn(
            ["dbus-run-session", "--", "mutter", "--wayland", "--headless", "--virtual-monitor",
             "1280x800", "--wayland-display", "wl-ticker"], stdout=log, stderr=log,
            start_new_session=True)

        def xwayland():
            if self.shell.poll() is not None:
                raise AssertionError(f"mutter ended: {(self.tmp / 'mutter.log').read_text()}")
            mutter = [p for p in Path("/proc").iterdir() if p.name.isdigit()
                      and self._comm(p) == "mutter" and self._in_group(p, self.shell.pid)]
            return mutter and self._xwayland_of(int(mutter[0].name))

        display, auth = wait_for(xwayland, timeout=30, what="mutter's XWayland")
        self.env["DISPLAY"], self.env["XAUTHORITY"] = display, auth
        wait_for(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                 check=False), timeout=30, what="mutter's X11 side")

    @staticmethod
    def _comm(proc):
        try:
            return (proc / "comm").read_text().strip()
        except OSError:
            return None

    @staticmethod
    def _in_group(proc, group):
        try:
            return os.getpgid(int(proc.name)) == group
        except OSError:
            return False

    def _start_sway(self):
        # sway refuses to run as root: it runs as an unprivileged user, with its own folder.
        as_root = os.geteuid() == 0
        self.runtime = Path(tempfile.mkdtemp(prefix="ticker-sway-"))
        if as_root:
            os.chown(self.runtime, NOBODY, NOBODY)
        display_file = self.runtime / "display"
        config = self.runtime / "config"
        # A bar: a native Wayland window the pointer can go to.
        config.write_text("xwayland enable\noutput HEADLESS-1 resolution 1280x800\n"
                          "bar {\n  position bottom\n  status_command true\n}\n"
                          f"exec sh -c 'echo $DISPLAY > {display_file}'\n")
        env = {"PATH": os.environ["PATH"], "HOME": str(self.runtime),
               "XDG_RUNTIME_DIR": str(self.runtime), "WLR_BACKENDS": "headless",
               "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"}
        user = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
        log = open(self.tmp / "sway.log", "w")
        self.shell = subprocess.Popen((user if as_root else []) + ["sway", "-c", str(config)],
                                      env=env, stdout=log, stderr=log)
        self.procs.append(self.shell)

        def display():
            if self.shell.poll() is not None:
                raise AssertionError(f"sway ended: {(self.tmp / 'sway.log').read_text()}")
            return display_file.exists() and display_file.read_text().strip()

        self.env["DISPLAY"] = wait_for(display, timeout=30, what="sway's XWayland")
        self.wayland = next(self.runtime.glob("wayland-*[0-9]"))
        # As sway hands it to the programs a person starts in the session.
        self.env["SWAYSOCK"] = str(next(self.runtime.glob("sway-ipc.*")))
        if as_root:
            subprocess.run(user + ["env", f"DISPLAY={self.env['DISPLAY']}", "xhost",
                                   "+si:localuser:root"], check=True, capture_output=True,
                           timeout=30)

    def close(self):
        self.screen.close()  # before its X server goes with the compositor
        if getattr(self, "compositor", None) == "mutter" and getattr(self, "shell", None):
            try:
                os.killpg(self.shell.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        left = super().close()
        if getattr(self, "runtime", None):
            shutil.rmtree(self.runtime, ignore_errors=True)
        return left

    def close_window(self, window=None):
        # The close request goes from this process: it needs the display's authority too.
        if "XAUTHORITY" in self.env:
            os.environ["XAUTHORITY"] = self.env["XAUTHORITY"]
        super().close_window(window)

    def sway_windows(self, focused=False, floating=False):
        """The rectangles of the client windows sway shows, as (x, y, width, height): only the
        one that has the focus when focused is set, only those drawn above the tiled ones when
        floating is."""
        socket_path = next(self.runtime.glob("sway-ipc.*"))
        out = subprocess.run(["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}",
                              "--clear-groups", "swaymsg", "-s", str(socket_path), "-t",
                              "get_tree", "-r"], capture_output=True, text=True, timeout=30,
                             check=True).stdout

        def walk(node, floats=False):
            if node.get("pid") and (node.get("focused") or not focused) and floats >= floating:
                yield tuple(node["rect"][k] for k in ("x", "y", "width", "height"))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                yield from walk(child, floats or child in node.get("floating_nodes", []))
        return list(walk(json.loads(out)))

    def stacking(self):
        out = self.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"])
        return [str(int(w, 16)) for w in out.split("#", 1)[1].replace(",", " ").split()]

    def strip_shot(self):
        # The window itself: XWayland's root window does not hold what the compositor shows.
        _, _, width, height = self.geometry()
        return self.screen.grab(0, 0, width, height, window=self.window)


X11_SOCKETS = Path("/tmp/.X11-unix")


def compositor_session(binary, compositor):
    """The session, or None when the compositor cannot start here (said loudly)."""
    if shutil.which(compositor) is None or shutil.which("Xwayland") is None:
        skip(f"{compositor} or Xwayland is not installed (scripts/install-deps.sh installs them)")
        return None
    try:
        return CompositorSession(binary, compositor)
    except AssertionError as error:
        skip(f"{compositor} cannot start in this environment: {error}")
        return None


FEED = ("<rss><channel>" + "".join(
    f"<item><title>Headline number {i} with enough words to fill the strip</title>"
    f"<link>http://www.tallowmere.example/{i}</link></item>" for i in range(3))
    + "</channel></rss>")


def start(s, x=3000, y=2250):
    (s.feeds / "tallowmere.example" / "wl.php").write_text(FEED)
    s.write_settings(s.url("tallowmere.example/wl.php"), x, y)
    s.start_ticker()


def test_mutter_keeps_the_strip_at_its_place_above_others_and_drags_it(binary):
    s = compositor_session(binary, "mutter")
    if s is None:
        return
    with s:
        other = s.start_other_program()
        start(s)
        wait_for(lambda: s.geometry() == (200, 150, 545, 16), what="545x16 at the saved place")
        state = s.xprop("_NET_WM_STATE")
        assert "_NET_WM_STATE_ABOVE" in state and "_NET_WM_STATE_SKIP_TASKBAR" in state, state
        # The other program is the active one and the strip still stacks above it.
        assert s.active_window() == other
        stack = s.stacking()
        assert stack.index(s.window) > stack.index(other), stack
        s.drag_title(110, 70)
        wait_for(lambda: s.geometry()[:2] == (310, 220), what="the dragged strip")
        # Started again from a launcher, the strip takes the keyboard from the other program;
        # Escape gives it back.
        stamp = int(time.monotonic() * 1000) % 2**32
        start_again(s, startup_id=f"launcher-4711-test_TIME{stamp}")
        wait_for(lambda: s.active_window() == s.window, what="the strip active")
        s.xdotool("key", "Escape")
        wait_for(lambda: s.active_window() == other, what="the keyboard back with the other program")
        s.close_window()
        assert s.wait_exit() == 0
        assert (s.settings_value("WindowX"), s.settings_value("WindowY")) == ("4650", "3300")


def test_sway_floats_the_strip_drags_it_and_ends_the_pause_on_leaving(binary):
    s = compositor_session(binary, "sway")
    if s is None:
        return
    with s:
        other = s.start_other_program()
        start(s)
        # At its saved place and own size, floating above the other program's tiled window,
        # which keeps the keyboard.
        wait_for(lambda: s.geometry() == (200, 150, 545, 16), what="545x16 at the saved place")
        assert s.sway_windows(floating=True) == [(200, 150, 545, 16)], s.sway_windows()
        assert s.active_window() == other
        assert "_NET_WM_WINDOW_TYPE_UTILITY" in s.xprop("_NET_WM_WINDOW_TYPE")
        x, y = 200, 150
        pointer = VirtualPointer(s.wayland, 1280, 800)

        def rest_on_a_headline():
            # The hand stirs on the headline until the strip pauses: when sway's focus follows
            # the pointer from another X window, XWayland may lose its first moves there.
            stir = iter(range(1000))
            wait_for(lambda: pointer.move_to(x + 150 + next(stir) % 3, y + 5)
                     or not changes_within(s, 1.5), what="the hover pause")

        # A press while sway moves the focus to the strip can be lost too: the hand rests first.
        rest_on_a_headline()
        wait_for(lambda: s.active_window() == s.window, what="the strip under the pointer focused")
        # A drag by the title picture: sway moves the window for the program. The hand goes on
        # moving until the strip follows it, then drags it 60 px further down.
        pointer.move_to(x + 8, y + 6)
        pointer.button(True)
        steps = iter(range(1, 200))
        wait_for(lambda: pointer.move_to(x + 8 + next(steps), y + 6) or s.geometry()[0] != x,
                 what="the strip following the drag")
        start_x, start_y = s.geometry()[:2]
        for step in range(1, 5):
            pointer.move_to(x + 48 + 25 * step, y + 6 + 15 * step)
            # sway keeps the pointer's place in fractions of a pixel: the strip may be one off.
            wait_for(lambda: abs(s.geometry()[1] - start_y - 15 * step) <= 1, what=f"step {step}")
        pointer.button(False)
        # Where sway leaves the strip, once the program has heard of it too.
        x, y, w, h = wait_for(lambda: [g := s.geometry()] == s.sway_windows(floating=True) and g,
                              what="the strip where sway dropped it")
        assert x > start_x and abs(y - start_y - 60) <= 1 and (w, h) == (545, 16), (x, y, w, h)
        # A later move without a button leaves the strip where it is.
        pointer.move_to(x + 300, y + 300)
        pointer.move_to(x + 350, y + 320)
        assert s.geometry()[:2] == (x, y)
        rest_on_a_headline()
        # The pointer goes to the bar, a native Wayland window: XWayland keeps the old place.
        pointer.move_to(640, 795)
        assert changes_within(s, 3.0), "the pause stuck after the pointer left the strip"
        s.close_window()
        assert s.wait_exit() == 0
        saved = (int(s.settings_value("WindowX")), int(s.settings_value("WindowY")))
        assert saved == (x * 15, y * 15), (saved, x, y)


def test_sway_native_wayland_floats_drags_and_keeps_the_saved_place(binary):
    """With QT_QPA_PLATFORM=wayland the program is never told where its window is: the drag
    still moves it, and the place saved is the one it had, not a made-up one."""
    s = compositor_session(binary, "sway")
    if s is None:
        return
    with s:
        (s.feeds / "tallowmere.example" / "wl.php").write_text(FEED)
        s.write_settings(s.url("tallowmere.example/wl.php"), 3000, 2250)
        s.env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=str(s.wayland))
        s.ticker = s._spawn(s.command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        x, y, w, h = wait_for(lambda: s.sway_windows() and s.sway_windows()[0], timeout=30,
                              what="the strip on sway")
        assert (w, h) == (545, 16), (w, h)
        pointer = VirtualPointer(s.wayland, 1280, 800)
        pointer.move_to(x + 8, y + 6)
        # sway's focus follows the pointer; a press while it moves the focus is lost.
        wait_for(lambda: s.sway_windows(focused=True), what="the strip under the pointer focused")
        pointer.button(True)
        steps = iter(range(1, 200))

        def dragged():
            step = next(steps)
            pointer.move_to(x + 8 + 2 * step, y + 6 + step)
            return s.sway_windows()[0][:2] != (x, y)

        wait_for(dragged, what="the strip following the drag")
        pointer.button(False)
        s.ticker.terminate()
        assert s.wait_exit() == 0
        assert (s.settings_value("WindowX"), s.settings_value("WindowY")) == ("3000", "2250")


def changes_within(s, seconds):
    first = s.strip_shot()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        time.sleep(0.1)
        if s.strip_shot() != first:
            return True
    return False


if __name__ == "__main__":
    main([test_mutter_keeps_the_strip_at_its_place_above_others_and_drags_it,
          test_sway_floats_the_strip_drags_it_and_ends_the_pause_on_leaving,
          test_sway_native_wayland_floats_drags_and_keeps_the_saved_place])
