"""A settings file that cannot be read or written: RSS_settings.ini replaced by a folder, a
100 MB file or binary noise, or made unreadable. In each case the program starts and shows its
strip, closes and exits normally and leaves what is there exactly as it was; a save that fails
says so in one line on standard error, and an unreadable file's settings go to the user's
configuration folder instead. (Read-only folders: test_settings_location.py.)"""

import hashlib
import os
import pwd
import random
import shutil
import stat
import subprocess

from harness import Session, main, wait_for

DEFAULT_FEED = "http://www.tallowmere.example/rss.php"
FEED_PATH = "tallowmere.example/settings.php"
FEED = ("<rss><channel><item><title>Settings fault feed item</title>"
        "<link>http://www.tallowmere.example/news/1</link></item></channel></rss>")
NOBODY = 65534


def fingerprint(path):
    """Everything about path that a write could change: its kind, inode, size, times,
    permission bits and content (a folder's: its entries)."""
    info = os.lstat(path)
    if stat.S_ISDIR(info.st_mode):
        content = sorted(os.listdir(path))
    else:
        digest = hashlib.sha256()
        with open(path, "rb") as f:
            for block in iter(lambda: f.read(1 << 20), b""):
                digest.update(block)
        content = digest.hexdigest()
    return (stat.S_IFMT(info.st_mode), info.st_ino, info.st_size, info.st_mtime_ns,
            stat.S_IMODE(info.st_mode), info.st_uid, content)


def leftovers(s):
    """Files in the program's folder other than the program and its settings."""
    return sorted(set(os.listdir(s.folder)) - {"ticker", "RSS_settings.ini"})


def other_windows(s):
    """The program's visible windows besides the strip: a message box would be one."""
    out = s.run(["xdotool", "search", "--onlyvisible", "--class", "^ticker$"], check=False)
    return [w for w in out.split() if w != s.window]


def serve_default_feed_through_proxy(s):
    """The built-in feed URL names a host that does not exist here: the feed server stands in
    as the HTTP proxy, so a start with the default URL fetches that feed too."""
    host_folder = s.feeds / "www.tallowmere.example"
    host_folder.mkdir(exist_ok=True)
    (host_folder / "rss.php").write_text(FEED)
    (s.feeds / FEED_PATH).write_text(FEED)
    for name in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                 "ALL_PROXY", "no_proxy", "NO_PROXY"):
        s.env.pop(name, None)
    s.env["http_proxy"] = f"http://127.0.0.1:{s.port}"


def as_unprivileged_user(s):
    """Permission bits bind root not at all: under root, the program runs as nobody, from a
    folder that nobody owns. Returns False (after saying why) when that cannot be arranged."""
    if os.geteuid() != 0:
        return True
    setpriv = shutil.which("setpriv")
    if setpriv is None:
        print("SKIP (loudly): running as root without setpriv; permission bits cannot be "
              "tested", flush=True)
        return False
    os.chmod(s.tmp, 0o755)
    for name in ("xdg-nobody", "home-nobody"):
        folder = s.tmp / name
        folder.mkdir(mode=0o700)
        os.chown(folder, NOBODY, NOBODY)
    os.chown(s.folder, NOBODY, NOBODY)
    s.env["XDG_RUNTIME_DIR"] = str(s.tmp / "xdg-nobody")
    s.env["HOME"] = str(s.tmp / "home-nobody")
    s.env["DBUS_SESSION_BUS_ADDRESS"] = s.start_session_bus(s.tmp / "xdg-nobody",
                                                            pwd.getpwuid(NOBODY))
    s.env.pop("XDG_CONFIG_HOME", None)  # ~/.config, in the home folder above
    s.user_prefix = [setpriv, f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "--"]
    return True


def start(s):
    prefix = getattr(s, "user_prefix", [])
    s.stderr_log = s.tmp / "stderr.log"
    with open(s.stderr_log, "wb") as err:
        s.ticker = s._spawn(prefix + [str(s.binary)], stdout=subprocess.DEVNULL, stderr=err)
    s.window = wait_for(s.find_window, timeout=30, what="the strip window")
    return s.window


def save_messages(s):
    """The lines in which the program said that a save failed."""
    return [line for line in s.stderr_log.read_text(errors="replace").splitlines()
            if line.startswith("ticker: settings not saved")]


def run_and_close(s, case, expect_feed):
    """Starts the program, checks what it shows, moves it (so that the close has something
    new to save) and closes it; returns the server's log of the run."""
    start(s)
    assert s.alive(), f"{case}: the program ended at start-up"
    wait_for(lambda: any(expect_feed in line[1] for line in s.requests() if len(line) > 2),
             timeout=30, what=f"{case}: the start-up fetch of {expect_feed}")
    assert not other_windows(s), f"{case}: a window besides the strip appeared at start-up"

    def moved():
        # The person drags the strip by its title picture until it is where they want it.
        x, y = s.geometry()[:2]
        if (x, y) == (321, 234):
            return True
        s.drag_title(321 - x, 234 - y)
        return False

    wait_for(moved, timeout=15, interval=0.3, what=f"{case}: the moved window")
    s.close_window()
    try:
        code = s.wait_exit(20)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"{case}: the program did not exit after the close; windows "
                             f"besides the strip: {other_windows(s)}") from None
    assert code == 0, f"{case}: the program exited with {code}"


def check_case(binary, case, prepare, expect_feed=DEFAULT_FEED, unprivileged=False,
               reason=None):
    """reason: what the one line about the failed save must end with; None when the save
    must go to the user's configuration folder instead."""
    with Session(binary) as s:
        serve_default_feed_through_proxy(s)
        if unprivileged and not as_unprivileged_user(s):
            return
        try:
            prepare(s)
            before = fingerprint(s.settings)
            folder_before = leftovers(s)
            run_and_close(s, case, expect_feed)
            assert fingerprint(s.settings) == before, f"{case}: the settings file was changed"
            assert leftovers(s) == folder_before, f"{case}: the save left files behind"
            if reason is None:
                home = s.tmp / "home-nobody" if os.geteuid() == 0 else s.tmp / "config"
                saved = list(home.rglob("RSS_settings.ini"))
                assert len(saved) == 1, f"{case}: not saved in the user's folder: {saved}"
                assert save_messages(s) == [], f"{case}: {save_messages(s)}"
            else:
                expected = f"ticker: settings not saved to {s.settings}: {reason}"
                assert save_messages(s) == [expected], f"{case}: {save_messages(s)}"
        finally:
            os.chmod(s.folder, 0o755)  # so that the session can remove it


def test_settings_file_replaced_by_a_folder(binary):
    def prepare(s):
        s.settings.mkdir()
        (s.settings / "keep.txt").write_text("[Options]\nDefault URL=inside\n")

    check_case(binary, "a folder named like the settings file", prepare,
               reason="a folder has the settings file's name")


def test_settings_file_of_100_megabytes(binary):
    def prepare(s):
        s.write_settings(s.url(FEED_PATH), 1500, 1500)
        os.truncate(s.settings, 100 * 1024 * 1024)  # sparse: quick to make and to read

    # Far too large to be settings: not read, so the saved URL is not used either.
    check_case(binary, "a settings file of 100 MB", prepare,
               reason="too large to be a settings file")


def test_settings_file_of_binary_noise(binary):
    def prepare(s):
        noise = bytearray(random.Random(5).randbytes(64 * 1024))
        noise[100] = 0  # not text, whatever the generator gives
        s.settings.write_bytes(bytes(noise))

    check_case(binary, "a settings file of binary noise", prepare, reason="not a text file")


def test_unreadable_settings_file(binary):
    def prepare(s):
        s.write_settings(s.url(FEED_PATH), 1500, 1500)
        if os.geteuid() == 0:
            os.chown(s.settings, NOBODY, NOBODY)
        os.chmod(s.settings, 0)

    check_case(binary, "an unreadable settings file", prepare, unprivileged=True)



if __name__ == "__main__":
    main([test_settings_file_replaced_by_a_folder,
          test_settings_file_of_100_megabytes,
          test_settings_file_of_binary_noise,
          test_unreadable_settings_file])
