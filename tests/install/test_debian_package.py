"""The Debian package on this machine: built with cpack, installed with dpkg, run by an
ordinary user from their home folder under Xvfb. The user drags the strip, chooses "Exit
Ticker", finds the settings in their own configuration folder and the strip where they left it
at the next start; then the package is removed and the user with it."""

import os
import pwd
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from harness import Session, wait_for  # noqa: E402

BUILD = Path(sys.argv[1])
PACKAGE = os.environ["TICKER_PACKAGE_NAME"]
DESKTOP_ID = os.environ["TICKER_DESKTOP_ID"]
USER = "ticker-pkgtest"
SKIP = 77
TWIPS = 15


def sh(*args, check=True):
    result = subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=240)
    if check and result.returncode != 0:
        raise AssertionError(f"{args} failed ({result.returncode}): {result.stdout}{result.stderr}")
    return result


def installed(package):
    result = sh("dpkg-query", "-W", "-f=${Status}", package, check=False)
    return "install ok installed" in result.stdout


def remove_user():
    """Removes the test's user once no process of theirs is left; fails naming any that
    outlive the test."""
    if sh("id", "-u", USER, check=False).returncode != 0:
        return
    try:
        wait_for(lambda: sh("pgrep", "-u", USER, check=False).returncode != 0, timeout=10,
                 what="the test user's processes to end")
    except AssertionError:
        left = sh("ps", "-o", "pid=,args=", "-u", USER, check=False).stdout
        sh("pkill", "-KILL", "-u", USER, check=False)
        sh("userdel", USER)
        raise AssertionError(f"processes of {USER} outlived the test:\n{left}")
    sh("userdel", USER)


def build_package(folder):
    sh("cpack", "-G", "DEB", "-B", folder, "--config", BUILD / "CPackConfig.cmake")
    debs = list(Path(folder).glob("*.deb"))
    assert len(debs) == 1, debs
    deb = debs[0]
    fields = {f: sh("dpkg-deb", "-f", deb, f).stdout.strip() for f in ("Package", "Depends")}
    assert fields["Package"] == PACKAGE, fields
    # The dependencies come from the libraries the program links.
    for library in ("libc6", "libqt6widgets6", "libqt6network6", "libxcb1"):
        assert library in fields["Depends"], fields
    contents = sh("dpkg-deb", "-c", deb).stdout
    assert "./usr/bin/ticker\n" in contents, contents
    assert "feeddump" not in contents and "autostart" not in contents, contents
    return deb


def find_window(s, pid, title):
    out = s.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name",
                 f"^{title}$"], check=False)
    return out.split()[0] if out.split() else None


def client_origin(s, window):
    """The screen position of the window's client area (xwininfo's absolute corner; xdotool
    counts a decorated window's title bar twice)."""
    out = s.run(["xwininfo", "-id", window])
    values = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
    return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])


def orange_icon_pixels(s, window):
    """How many pixels of the window's icons (_NET_WM_ICON: width, height, ARGB pixels, for
    each size) are the orange of the program's icon."""
    raw = s.run(["xprop", "-id", window, "-notype", "-f", "_NET_WM_ICON", "32c", " $0+",
                 "_NET_WM_ICON"])
    values = raw.partition(" ")[2].replace(",", " ").split()
    return sum(1 for v in values if v.isdigit() and int(v) == 0xFFFF8000)


def exit_through_options(s, proc, strip):
    """Right-click the strip, then click "Exit Ticker" in the options window."""
    x, y, w, h = s.geometry(strip)
    s.xdotool("mousemove", x + w - 20, y + h // 2)
    s.xdotool("click", 3)
    dialog = wait_for(lambda: find_window(s, proc.pid, "Ticker : Options"), what="the options")
    # The options window shows the program's icon, not the toolkit's generic one (a window
    # without an icon of its own is given the toolkit's logo, which has no orange in it).
    assert orange_icon_pixels(s, dialog) > 0, "the options window has the toolkit's icon"
    dx, dy = client_origin(s, dialog)
    # "Exit Ticker": left 3240, top 840, 1335 x 375 twips in the window's client area.
    s.xdotool("mousemove", dx + (3240 + 1335 // 2) // TWIPS, dy + (840 + 375 // 2) // TWIPS)
    s.xdotool("click", 1)
    assert proc.wait(30) == 0, proc.stderr.read() if proc.stderr else ""


def run_as_user(s, account, home):
    runtime = home / ".runtime"
    runtime.mkdir(mode=0o700, exist_ok=True)
    os.chown(runtime, account.pw_uid, account.pw_gid)
    env = {k: v for k, v in s.env.items() if not k.startswith("XDG_CONFIG")}
    env.update(HOME=str(home), USER=USER, LOGNAME=USER, XDG_RUNTIME_DIR=str(runtime),
               DBUS_SESSION_BUS_ADDRESS=s.start_session_bus(runtime, account))
    proc = subprocess.Popen(["setpriv", f"--reuid={account.pw_uid}", f"--regid={account.pw_gid}",
                             "--init-groups", "/usr/bin/ticker"], cwd=home, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    s.procs.append(proc)
    strip = wait_for(lambda: find_window(s, proc.pid, "Form2"), timeout=30, what="the strip")
    return proc, strip


def scenario(s, home, account):
    # The program's default feed, served by the sample server acting as the proxy.
    site = s.feeds / "www.tallowmere.example"
    site.mkdir(exist_ok=True)
    shutil.copy(s.feeds / "tallowmere.example" / "rss.php", site / "rss.php")
    s.env["http_proxy"] = f"http://127.0.0.1:{s.port}"
    s.env["no_proxy"] = ""

    proc, strip = run_as_user(s, account, home)
    wait_for(lambda: any(r[1].endswith("www.tallowmere.example/rss.php")
                         for r in s.requests() if len(r) > 1), what="the default feed")

    # The window system and the menu entry agree on who this is.
    entry = Path("/usr/share/applications") / f"{DESKTOP_ID}.desktop"
    wm_class = [line.split("=", 1)[1] for line in entry.read_text().splitlines()
                if line.startswith("StartupWMClass=")]
    assert wm_class and f'"{wm_class[0]}"' in s.xprop("WM_CLASS", strip).split("=")[-1].split(",")[-1], \
        (wm_class, s.xprop("WM_CLASS", strip))

    # Drag the strip by its title picture (the program's own moves are never undone as the
    # window manager's first placement).
    x, y, _, _ = s.geometry(strip)
    s.drag((x + 5, y + 5), [(15 * step, 10 * step) for step in range(1, 9)])
    target = (x + 120, y + 80)
    wait_for(lambda: s.geometry(strip)[:2] == target, what="the dragged strip")

    exit_through_options(s, proc, strip)

    # The settings are the user's own, in their configuration folder.
    assert not Path("/usr/bin/RSS_settings.ini").exists(), "written beside the installed program"
    found = list((home / ".config").glob("*/RSS_settings.ini"))
    assert len(found) == 1, list(home.rglob("*"))
    settings = found[0]
    print(f"settings file: {settings}")
    assert settings.stat().st_uid == account.pw_uid, "not the user's file"
    values = dict(line.split("=", 1) for line in settings.read_text().splitlines() if "=" in line)
    assert values.get("WindowX") == str(target[0] * TWIPS), values
    assert values.get("WindowY") == str(target[1] * TWIPS), values
    assert values.get("Default URL") == "http://www.tallowmere.example/rss.php", values

    # The next start puts the strip where it was left.
    proc, strip = run_as_user(s, account, home)
    wait_for(lambda: s.geometry(strip)[:2] == target, what="the restored position")
    exit_through_options(s, proc, strip)


def main():
    if os.geteuid() != 0:
        message = "SKIP: installing a package needs root (CI runs the tests as root)"
        print(message, flush=True)
        sys.exit(1 if os.environ.get("CI") else SKIP)
    if installed(PACKAGE):
        print(f"FAIL: {PACKAGE} is already installed on this machine; this test installs and "
              "removes it, so remove it first", flush=True)
        sys.exit(1)

    work = Path(tempfile.mkdtemp(prefix="ticker-deb-"))
    os.chmod(work, 0o755)
    home = work / "home"
    try:
        deb = build_package(work / "package")
        sh("pkill", "-KILL", "-u", USER, check=False)  # left by a run that was killed
        remove_user()
        sh("useradd", "--no-create-home", "--home-dir", home, "--shell", "/usr/sbin/nologin",
           "--user-group", USER)
        account = pwd.getpwnam(USER)
        home.mkdir(mode=0o755)
        os.chown(home, account.pw_uid, account.pw_gid)
        sh("dpkg", "-i", deb)
        with Session(str(BUILD / "src" / "ticker")) as s:
            scenario(s, home, account)
    finally:
        if installed(PACKAGE):
            sh("dpkg", "--purge", PACKAGE, check=False)
        remove_user()
        shutil.rmtree(work, ignore_errors=True)
    assert not installed(PACKAGE) and not Path("/usr/bin/ticker").exists(), "package left behind"
    print("PASS debian package", flush=True)


if __name__ == "__main__":
    main()
