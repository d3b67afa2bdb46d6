"""A settings file that cannot be read or written: RSS_settings.ini replaced by a folder, a
100 MB file or binary noise, made unreadable, or its folder made read-only. In each case the
program starts and shows its strip, closes and exits normally, says nothing about the failed
save and leaves what is there exactly as it was."""

import hashlib
import os
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
    s.user_prefix = [setpriv, f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "--"]
    return True


def start(s):
    prefix = getattr(s, "user_prefix", [])
    s.ticker = s._spawn(prefix + [str(s.binary)], stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
    s.window = wait_for(s.find_window, timeout=30, what="the strip window")
    return s.window


def run_and_close(s, case, expect_feed):
    """Starts the program, checks what it shows, moves it (so that the close has something
    new to save) and closes it; returns the server's log of the run."""
    start(s)
    assert s.alive(), f"{case}: the program ended at start-up"
    wait_for(lambda: any(expect_feed in line[1] for line in s.requests() if len(line) > 2),
             timeout=30, what=f"{case}: the start-up fetch of {expect_feed}")
    assert not other_windows(s), f"{case}: a window besides the strip appeared at start-up"

    def moved():
        # The program settles its first placement just after showing: move until it stays.
        if s.geometry()[:2] == (321, 234):
            return True
        s.xdotool("windowmove", s.window, 321, 234)
        return False

    wait_for(moved, timeout=15, interval=0.3, what=f"{case}: the moved window")
    s.close_window()
    try:
        code = s.wait_exit(20)
    except subprocess.TimeoutExpired:
        raise AssertionError(f"{case}: the program did not exit after the close; windows "
                             f"besides the strip: {other_windows(s)}") from None
    assert code == 0, f"{case}: the program exited with {code}"


def check_case(binary, case, prepare, expect_feed=DEFAULT_FEED, unprivileged=False):
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
        finally:
            os.chmod(s.folder, 0o755)  # so that the session can remove it


def test_settings_file_replaced_by_a_folder(binary):
    def prepare(s):
        s.settings.mkdir()
        (s.settings / "keep.txt").write_text("[Options]\nDefault URL=inside\n")

    check_case(binary, "a folder named like the settings file", prepare)


def test_settings_file_of_100_megabytes(binary):
    def prepare(s):
        s.write_settings(s.url(FEED_PATH), 1500, 1500)
        os.truncate(s.settings, 100 * 1024 * 1024)  # sparse: quick to make and to read

    # Far too large to be settings: not read, so the saved URL is not used either.
    check_case(binary, "a settings file of 100 MB", prepare)


def test_settings_file_of_binary_noise(binary):
    def prepare(s):
        noise = bytearray(random.Random(5).randbytes(64 * 1024))
        noise[100] = 0  # not text, whatever the generator gives
        s.settings.write_bytes(bytes(noise))

    check_case(binary, "a settings file of binary noise", prepare)


def test_unreadable_settings_file(binary):
    def prepare(s):
        s.write_settings(s.url(FEED_PATH), 1500, 1500)
        if os.geteuid() == 0:
            os.chown(s.settings, NOBODY, NOBODY)
        os.chmod(s.settings, 0)

    check_case(binary, "an unreadable settings file", prepare, unprivileged=True)


def test_settings_folder_read_only(binary):
    def prepare(s):
        s.write_settings(s.url(FEED_PATH), 1500, 1500)
        if os.geteuid() == 0:
            os.chown(s.settings, NOBODY, NOBODY)
        os.chmod(s.folder, 0o555)

    # The file itself is readable and writable: its URL is used, only the save fails.
    check_case(binary, "a read-only program folder", prepare, expect_feed=FEED_PATH,
               unprivileged=True)


if __name__ == "__main__":
    main([test_settings_file_replaced_by_a_folder,
          test_settings_file_of_100_megabytes,
          test_settings_file_of_binary_noise,
          test_unreadable_settings_file,
          test_settings_folder_read_only])
