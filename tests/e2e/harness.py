"""End-to-end harness: the real ticker under its own Xvfb (with openbox), the sample feed
server on 127.0.0.1, real pointer events from xdotool and a stand-in xdg-open that records
the links it is given."""

import json
import re
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from screen import Screen

SOURCE = Path(os.environ.get("TICKER_SOURCE_DIR", Path(__file__).resolve().parents[2]))
SERVER = SOURCE / "tools" / "feedserver.py"
BUS_CONFIG = SOURCE / "tools" / "session-bus.conf"


# The strip's scroll timer, in seconds: a running strip moves at least once in each tick.
SCROLL_TICK = 0.1


def wait_for(predicate, timeout=10.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


# Between two looks at the strip: half a scroll tick. What these looks wait for (the row having
# moved, or not) stays visible until the next look, and looking without a pause would only
# take the processor from the program under test.
LOOK_INTERVAL = SCROLL_TICK / 2


def changes(look, timeout=10.0):
    """True as soon as look() answers differently from its first answer; False when it has
    not by the deadline."""
    first = look()
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        time.sleep(LOOK_INTERVAL)
        if look() != first:
            return True
    return False


def stands_still(look, ticks=10):
    """Looks again and again for `ticks` of the strip's scroll timer: True when every answer
    of look() is its first one, False at the first that differs."""
    first = look()
    until = time.monotonic() + ticks * SCROLL_TICK
    while time.monotonic() < until:
        time.sleep(LOOK_INTERVAL)
        if look() != first:
            return False
    return look() == first


def start_display(folder, procs):
    """Starts an Xvfb of its own (added to procs); returns its DISPLAY."""
    display_file = Path(folder) / "display"
    with open(display_file, "w") as out:
        procs.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", "1280x800x24",
             "-nolisten", "tcp"], pass_fds=(out.fileno(),), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL))
    # Generous deadlines for starting the helpers: a busy machine may take seconds.
    return ":" + wait_for(lambda: display_file.read_text().strip(), timeout=30, what="Xvfb")


def start_window_manager(name, env, log, procs):
    """Starts the window manager name ("openbox", "metacity" or "kwin_x11") on env's display
    (added to procs) and waits until it manages the screen."""
    commands = {
        "openbox": ["openbox", "--sm-disable"],
        # No compositor and no session: metacity's settings stay in memory.
        "metacity": ["metacity", "--sm-disable", "--compositor=none"],
        "kwin_x11": ["kwin_x11"],
    }
    # kwin without compositing: no OpenGL worth the processor on a headless X server.
    env = dict(env, GSETTINGS_BACKEND="memory", KWIN_COMPOSE="N")
    # On a busy machine a window manager now and then gives up at once ("failed to open
    # the display") although the server answers: one that has ended is started again,
    # and the wait goes on until one runs or the deadline passes.
    deadline = time.monotonic() + 30
    while True:
        with open(log, "a") as out:
            proc = subprocess.Popen(commands[name], env=env, stdout=out, stderr=out)
        procs.append(proc)

        def running_or_ended():
            check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                   capture_output=True, text=True, timeout=60)
            if "window id" in check.stdout:
                return "running"
            return "ended" if proc.poll() is not None else None

        state = wait_for(running_or_ended, timeout=max(1.0, deadline - time.monotonic()),
                         what=f"{name} (log: {log})")
        if state == "running":
            return
        if time.monotonic() > deadline:
            raise AssertionError(f"{name} ended at every start; see {log}")


class Session:
    """One display, one feed server and one program folder; everything ends with the session."""

    def __init__(self, ticker_binary, window_manager=True, feeds=None):
        """window_manager: True or "openbox" (lenient about focus), "metacity" (focuses new
        windows, as most desktops do), or False for none."""
        self.tmp = Path(tempfile.mkdtemp(prefix="ticker-e2e-"))
        self.procs = []
        self.ticker = None
        self.env = dict(os.environ)
        self.screen = Screen(self.env)
        try:
            self._set_up(ticker_binary, window_manager, feeds)
        except BaseException:
            # A display or window manager that could not start leaves nothing running.
            self.close()
            raise

    def _set_up(self, ticker_binary, window_manager, feeds):
        runtime = self.tmp / "xdg-runtime"
        runtime.mkdir(mode=0o700)
        self.env["XDG_RUNTIME_DIR"] = str(runtime)
        # Settings the program keeps per user stay in the session too.
        self.env["XDG_CONFIG_HOME"] = str(self.tmp / "config")
        self.env.pop("QT_QPA_PLATFORM", None)
        self._start_display()
        # A session bus of the session's own: without one, on a machine with dbus-x11 the
        # D-Bus library starts a bus for the program that outlives it, and the desktop's bus
        # or accessibility bus would let the test depend on the machine it runs on.
        self.env.pop("AT_SPI_BUS_ADDRESS", None)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.start_session_bus(self.tmp)
        self.window_manager = None
        if window_manager:
            self._start_window_manager("openbox" if window_manager is True else window_manager)
        self.feeds = self.tmp / "feeds"
        shutil.copytree(feeds or SOURCE / "resources" / "feeds", self.feeds)
        self.server_log = self.tmp / "server.log"
        self.port = None
        self.start_server()
        self.folder = self.tmp / "program"
        self.folder.mkdir()
        # The Windows program (ticker.exe) runs under Wine, in the prefix the test is given.
        self.windows = str(ticker_binary).endswith(".exe")
        self.binary = self.folder / ("ticker.exe" if self.windows else "ticker")
        shutil.copy2(ticker_binary, self.binary)
        self.command = [str(self.binary)]
        if self.windows:
            self.command = ["wine", str(self.binary)]
            self.env.setdefault("WINEDEBUG", "-all")
        self.opener_log = self.tmp / "opener.log"
        self._install_opener()

    # --- processes -------------------------------------------------------------------------
    def _spawn(self, args, **kwargs):
        proc = subprocess.Popen(args, env=self.env, **kwargs)
        self.procs.append(proc)
        return proc

    def _start_display(self):
        self.env["DISPLAY"] = start_display(self.tmp, self.procs)

    def _start_window_manager(self, name):
        start_window_manager(name, self.env, self.tmp / f"{name}.log", self.procs)
        self.window_manager = name

    def start_session_bus(self, folder, user=None):
        """Starts a session bus listening in folder (ended with the session; run as user, a
        pwd entry, when given) and returns its address."""
        # A copy in the folder, which a user other than the test's can read too.
        config = shutil.copy(BUS_CONFIG, Path(folder) / BUS_CONFIG.name)
        command = ["dbus-daemon", f"--config-file={config}", "--nofork",
                   "--print-address=1", f"--address=unix:dir={folder}"]
        if user:
            command = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}",
                       "--init-groups", *command]
        bus = self._spawn(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            raise AssertionError(f"the session bus did not start ({bus.wait(10)})")
        return address

    def start_server(self):
        port_file = self.tmp / "server.port"
        port_file.unlink(missing_ok=True)
        args = [sys.executable, str(SERVER), "--root", str(self.feeds), "--port-file",
                str(port_file), "--log", str(self.server_log), "--port", str(self.port or 0)]
        self.server = self._spawn(args, stdout=subprocess.DEVNULL)
        self.port = int(wait_for(lambda: port_file.exists() and port_file.read_text().strip(),
                                 timeout=30, what="feed server"))

    def stop_server(self):
        self.server.terminate()
        self.server.wait(10)

    def _install_opener(self):
        bin_dir = self.tmp / "bin"
        bin_dir.mkdir()
        opener = bin_dir / "xdg-open"
        opener.write_text(
            "#!/usr/bin/env python3\nimport json, sys\n"
            f"with open({str(self.opener_log)!r}, 'a', encoding='utf-8', errors='surrogateescape') as f:\n"
            "    f.write(json.dumps(sys.argv[1:]) + '\\n')\n")
        opener.chmod(0o755)
        self.env["PATH"] = f"{bin_dir}:{self.env['PATH']}"

    def run(self, args, check=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=60)
        if check and result.returncode != 0:
            raise AssertionError(f"{args} failed: {result.stderr}")
        return result.stdout

    def close(self):
        self.screen.close()
        if getattr(self, "windows", False):
            # Wine's processes end before the X server they belong to.
            if self.alive():
                self.ticker.terminate()
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
        left = self._strays()
        shutil.rmtree(self.tmp, ignore_errors=True)
        return left

    def _strays(self, timeout=10):
        """Processes started in the session's environment that outlive the session's own
        (a bus the D-Bus library started for the program, say): waits for them to end, then
        ends them and returns their command lines."""
        marker = f"={self.tmp}/".encode()

        def started_here():
            found = {}
            for entry in Path("/proc").iterdir():
                try:
                    if entry.name.isdigit() and marker in (entry / "environ").read_bytes():
                        found[int(entry.name)] = (entry / "cmdline").read_bytes()
                except OSError:
                    continue
            return {pid: args.replace(b"\0", b" ").decode(errors="replace").strip()
                    for pid, args in found.items() if args}

        try:
            wait_for(lambda: not started_here(), timeout=timeout, interval=0.1)
            return []
        except AssertionError:
            left = started_here()
            for pid in left:
                try:
                    os.kill(pid, signal.SIGKILL)
                except OSError:
                    pass
            return list(left.values())

    def __enter__(self):
        return self

    def __exit__(self, kind, *exc):
        left = self.close()
        if left and kind is None:
            raise AssertionError(f"processes of the session outlived it: {left}")

    # --- the program -----------------------------------------------------------------------
    def url(self, path):
        return f"http://127.0.0.1:{self.port}/{path}"

    @property
    def settings(self):
        return self.folder / "RSS_settings.ini"

    def write_settings(self, url, x=None, y=None):
        text = f"[Options]\nDefault URL={url}\n"
        if x is not None:
            text += f"WindowX={x}\nWindowY={y}\n"
        self.settings.write_text(text)

    def settings_value(self, key):
        for line in self.settings.read_text().splitlines():
            name, _, value = line.partition("=")
            if name.strip().lower() == key.lower():
                return value.strip()
        return None

    def start_ticker(self):
        self.ticker = self._spawn(self.command, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.PIPE)
        self.window = wait_for(self.find_window, timeout=30, what="the strip window")
        return self.window

    def find_window(self):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", "^Form2$"], check=False)
        ids = out.split()
        return ids[0] if ids else None

    def wait_exit(self, timeout=15):
        return self.ticker.wait(timeout)

    def alive(self):
        return self.ticker is not None and self.ticker.poll() is None

    def geometry(self, window=None):
        out = self.run(["xdotool", "getwindowgeometry", "--shell", window or self.window])
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def close_window(self, window=None):
        """Sends the window the close request that the window manager sends when the user
        presses its close box or Alt+F4 on it."""
        request_close(self, window or self.window)

    # --- what a person sees and does -------------------------------------------------------
    def active_window(self):
        """The window the window manager has made active (decimal id, as xdotool prints it),
        or None."""
        out = self.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False)
        found = re.search(r"window id # (0x[0-9a-fA-F]+)", out)
        if not found or int(found.group(1), 16) == 0:
            return None
        return str(int(found.group(1), 16))

    def start_other_program(self, text="Another program"):
        """Starts another program's window, as the one the person is working in, and waits
        until it is the active window; returns its id."""
        proc = self._spawn(["xmessage", "-name", "other-program", "-geometry", "+700+500", text],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def window():
            if proc.poll() is not None:
                raise AssertionError("the other program ended")
            out = self.run(["xdotool", "search", "--onlyvisible", "--classname",
                            "^other-program$"], check=False)
            return out.split()[-1] if out.split() else None

        other = wait_for(window, what="the other program's window")
        try:
            wait_for(lambda: self.active_window() == other, timeout=2)
        except AssertionError:
            # The window manager left it inactive: the person clicks into it.
            x, y, w, h = self.geometry(other)
            self.xdotool("mousemove", x + w // 2, y + h // 2)
            self.xdotool("click", 1)
            wait_for(lambda: self.active_window() == other, what="the other program active")
        return other

    def drag_title(self, dx, dy, steps=8):
        """Drags the strip by its title picture with the left button, as a person does."""
        x, y, _, _ = self.geometry()
        px, py = x + 8, y + 6
        self.xdotool("mousemove", px, py)
        self.xdotool("mousedown", 1)
        for step in range(1, steps + 1):
            self.xdotool("mousemove", px + dx * step // steps, py + dy * step // steps)
        self.xdotool("mouseup", 1)

    def xprop(self, prop, window=None):
        return self.run(["xprop", "-id", window or self.window, prop])

    def screenshot(self):
        """The whole screen now."""
        return self.screen.whole()

    def strip_pixels(self, shot):
        """The strip window's part of a screenshot."""
        return shot.crop(*self.geometry())

    def strip_look(self):
        """The strip's pixels now, to compare with another moment."""
        return self.screen.grab(*self.geometry())

    def strip_moves(self, timeout=10.0):
        return changes(self.strip_look, timeout)

    def strip_stands_still(self, ticks=10):
        return stands_still(self.strip_look, ticks)

    def drag(self, start, offsets):
        """Presses the left button at start, moves through the offsets from there (each
        move made before the next starts) and releases it, as a person drags."""
        x, y = start
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("mousedown", 1)
        for dx, dy in offsets:
            self.xdotool("mousemove", "--sync", x + dx, y + dy)
        self.xdotool("mouseup", 1)

    def xdotool(self, *args):
        return self.run(["xdotool", *[str(a) for a in args]])

    def opened_links(self):
        if not self.opener_log.exists():
            return []
        return [json.loads(line) for line in self.opener_log.read_text().splitlines() if line]

    def requests(self):
        if not self.server_log.exists():
            return []
        return [line.split() for line in self.server_log.read_text().splitlines() if line.strip()]

    def server_control(self, query):
        import urllib.request
        urllib.request.urlopen(self.url("__control?" + query), timeout=10).read()


# Window managers the focus tests run under: openbox is lenient about focus, metacity gives
# the keyboard to every new window that does not decline it, as most desktops do.
WINDOW_MANAGERS = ("openbox", "metacity")


def per_window_manager(test, names=WINDOW_MANAGERS):
    """One test function per window manager, named after it, for main()."""
    def make(name):
        def run(binary):
            if shutil.which(name) is None:
                return print(f"SKIP (loudly): {name} is not installed (scripts/install-deps.sh)")
            test(binary, name)
        run.__name__ = f"{test.__name__}[{name}]"
        return run
    return [make(name) for name in names]


def main(test_functions):
    """Runs each test function with a fresh session; exits non-zero on the first failure."""
    binary = Path(sys.argv[1]).resolve()
    failed = 0
    for test in test_functions:
        started = time.monotonic()
        try:
            test(binary)
            print(f"PASS {test.__name__} ({time.monotonic() - started:.1f}s)", flush=True)
        except Exception as error:  # report and go on with the next one
            failed += 1
            print(f"FAIL {test.__name__}: {error!r}", flush=True)
            import traceback
            traceback.print_exc()
    sys.exit(1 if failed else 0)


# --- several instances and close requests -------------------------------------------------

def start_instance(session, timeout=30):
    """Starts one more copy of the program from the session's folder; returns the process and
    its strip window (found by the process id the window carries)."""
    proc = session._spawn(session.command, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)

    def window():
        out = session.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                           str(proc.pid), "--name", "^Form2$"], check=False)
        return out.split()[0] if out.split() else None

    return proc, wait_for(window, timeout=timeout, what=f"the window of process {proc.pid}")


def request_close(session, *windows):
    """Sends each window the close request a window manager sends for Alt+F4 or the close box
    (WM_DELETE_WINDOW), all in one flush: the programs get them at the same moment."""
    import ctypes

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(Event)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(session.env["DISPLAY"].encode())
    if not display:
        raise AssertionError("cannot open the display")
    try:
        protocols = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        delete = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        for window in windows:
            event = Event()
            event.xclient.type = 33  # ClientMessage
            event.xclient.window = int(window)
            event.xclient.message_type = protocols
            event.xclient.format = 32
            event.xclient.data[0] = delete
            event.xclient.data[1] = 0  # CurrentTime
            if not xlib.XSendEvent(display, int(window), 0, 0, ctypes.byref(event)):
                raise AssertionError(f"the close request to {window} was not sent")
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)
