"""Where the settings are kept, run as an unprivileged user (as nobody under root): beside the
program when its folder takes files; in the user's configuration folder when it does not, the
folder made by the first save; a writable file in a read-only folder rewritten where it is; a
read-only file read as defaults under the user's own values; and a save that can go nowhere
told in one line on standard error. Each case drags the strip, closes it and starts again."""

import os
import subprocess

from harness import Session, main, wait_for
from test_settings_faults import (FEED_PATH, NOBODY, as_unprivileged_user, fingerprint,
                                  leftovers, serve_default_feed_through_proxy)

PRODUCT_FOLDER = "TallowmereTicker"
SAVE_FAILED = "ticker: settings not saved to "
WHERE = (321, 234)          # where the person drags the strip, in pixels
SAVED_AT = (100, 100)       # 1500 twips


def prepare_user(s):
    """An unprivileged user with a home folder of their own and no XDG_CONFIG_HOME, so that
    the configuration folder is ~/.config. False when that cannot be arranged."""
    s.env.pop("XDG_CONFIG_HOME", None)
    if os.geteuid() == 0:
        if not as_unprivileged_user(s):
            return False
    else:
        home = s.tmp / "home"
        home.mkdir()
        s.env["HOME"] = str(home)
    s.home = s.tmp / ("home-nobody" if os.geteuid() == 0 else "home")
    s.user_settings = s.home / ".config" / PRODUCT_FOLDER / "RSS_settings.ini"
    return True


def own(path, mode):
    """Gives path to the unprivileged user (under root) with the given permission bits."""
    if os.geteuid() == 0:
        os.chown(path, NOBODY, NOBODY)
    os.chmod(path, mode)


def start(s):
    prefix = getattr(s, "user_prefix", [])
    s.stderr_log = s.tmp / f"stderr-{len(s.procs)}.log"
    with open(s.stderr_log, "wb") as err:
        s.ticker = s._spawn(prefix + [str(s.binary)], stdout=subprocess.DEVNULL, stderr=err)
    s.window = wait_for(s.find_window, timeout=30, what="the strip window")


def save_messages(s):
    return [line for line in s.stderr_log.read_text(errors="replace").splitlines()
            if line.startswith(SAVE_FAILED)]


def drag_and_close(s, case):
    """Drags the strip to WHERE, closes it and waits for a normal end."""
    def moved():
        x, y = s.geometry()[:2]
        if (x, y) == WHERE:
            return True
        s.drag_title(WHERE[0] - x, WHERE[1] - y)
        return False

    wait_for(moved, timeout=15, interval=0.3, what=f"{case}: the dragged strip")
    s.close_window()
    code = s.wait_exit(20)
    assert code == 0, f"{case}: the program exited with {code}"


def at(s, place, case):
    wait_for(lambda: s.geometry()[:2] == place, timeout=15,
             what=f"{case}: the strip at {place} (it is at {s.geometry()[:2]})")


def fetched(s, path, case, since=0):
    wait_for(lambda: any(len(line) > 2 and path in line[1] for line in s.requests()[since:]),
             timeout=30, what=f"{case}: the fetch of {path}")


def read_settings(path):
    values = {}
    for line in path.read_text().splitlines():
        name, _, value = line.partition("=")
        values[name.strip()] = value.strip()
    return values


def restart_finds_the_strip_where_it_was_left(s, case):
    start(s)
    at(s, WHERE, case + " (started again)")
    s.close_window()
    assert s.wait_exit(20) == 0


def session(binary):
    s = Session(binary)
    serve_default_feed_through_proxy(s)
    return s


def test_writable_program_folder_keeps_the_file_beside_the_program(binary):
    case = "a writable program folder"
    with session(binary) as s:
        if not prepare_user(s):
            return
        start(s)
        fetched(s, "www.tallowmere.example/rss.php", case)
        drag_and_close(s, case)
        values = read_settings(s.settings)
        assert float(values["WindowX"]) == WHERE[0] * 15, f"{case}: {values}"
        assert float(values["WindowY"]) == WHERE[1] * 15, f"{case}: {values}"
        assert not (s.home / ".config").exists(), f"{case}: a configuration folder was made"
        assert save_messages(s) == [], f"{case}: {save_messages(s)}"
        restart_finds_the_strip_where_it_was_left(s, case)


def test_read_only_program_folder_saves_in_the_users_folder(binary):
    case = "a read-only program folder"
    with session(binary) as s:
        if not prepare_user(s):
            return
        try:
            own(s.folder, 0o555)
            before = fingerprint(s.folder)
            start(s)
            fetched(s, "www.tallowmere.example/rss.php", case)
            drag_and_close(s, case)
            assert s.user_settings.is_file(), f"{case}: no settings in the user's folder"
            values = read_settings(s.user_settings)
            assert values["[Options]"] == "", f"{case}: {values}"
            assert float(values["WindowX"]) == WHERE[0] * 15, f"{case}: {values}"
            assert values["Default URL"] == "http://www.tallowmere.example/rss.php", values
            # The folder made for it is the user's alone.
            mode = os.stat(s.user_settings.parent).st_mode & 0o777
            assert mode == 0o700, f"{case}: the settings folder has mode {oct(mode)}"
            assert fingerprint(s.folder) == before, f"{case}: the program folder changed"
            assert save_messages(s) == [], f"{case}: {save_messages(s)}"
            restart_finds_the_strip_where_it_was_left(s, case)
        finally:
            os.chmod(s.folder, 0o755)


def test_writable_file_in_a_read_only_folder_is_rewritten_in_place(binary):
    case = "a writable file in a read-only program folder"
    with session(binary) as s:
        if not prepare_user(s):
            return
        try:
            s.write_settings(s.url(FEED_PATH), 1500, 1500)
            with open(s.settings, "a") as f:
                f.write("[Other]\nkeep=me\n")
            own(s.settings, 0o644)
            own(s.folder, 0o555)
            inode = os.stat(s.settings).st_ino
            folder_before = leftovers(s)
            start(s)
            at(s, SAVED_AT, case)
            fetched(s, FEED_PATH, case)
            drag_and_close(s, case)
            assert os.stat(s.settings).st_ino == inode, f"{case}: the file was replaced"
            values = read_settings(s.settings)
            assert float(values["WindowX"]) == WHERE[0] * 15, f"{case}: not saved: {values}"
            assert values["Default URL"] == s.url(FEED_PATH), f"{case}: {values}"
            assert values["keep"] == "me", f"{case}: another section was lost: {values}"
            assert leftovers(s) == folder_before, f"{case}: the save left files behind"
            assert not s.user_settings.exists(), f"{case}: saved in the user's folder too"
            assert save_messages(s) == [], f"{case}: {save_messages(s)}"
            restart_finds_the_strip_where_it_was_left(s, case)
        finally:
            os.chmod(s.folder, 0o755)


def read_only_defaults(s):
    """A settings file the user cannot write, in a folder the user cannot write: the
    administrator's defaults."""
    s.write_settings(s.url(FEED_PATH), 1500, 1500)
    os.chmod(s.settings, 0o444)
    if os.geteuid() == 0:
        os.chown(s.folder, 0, 0)  # the administrator's folder, not the user's
    os.chmod(s.folder, 0o555)


def test_read_only_file_gives_defaults_under_the_users_own_values(binary):
    case = "a read-only file in a read-only program folder"
    with session(binary) as s:
        if not prepare_user(s):
            return
        try:
            read_only_defaults(s)
            before = fingerprint(s.settings)
            start(s)
            at(s, SAVED_AT, case)            # the defaults are read
            fetched(s, FEED_PATH, case)
            drag_and_close(s, case)
            assert fingerprint(s.settings) == before, f"{case}: the defaults were changed"
            values = read_settings(s.user_settings)
            assert float(values["WindowX"]) == WHERE[0] * 15, f"{case}: {values}"
            assert values["Default URL"] == s.url(FEED_PATH), f"{case}: {values}"
            assert save_messages(s) == [], f"{case}: {save_messages(s)}"
            # The user's values win over the defaults.
            since = len(s.requests())
            start(s)
            at(s, WHERE, case + " (started again)")
            fetched(s, FEED_PATH, case + " (started again)", since)
            s.close_window()
            assert s.wait_exit(20) == 0
        finally:
            os.chmod(s.folder, 0o755)


def test_a_save_that_can_go_nowhere_says_where_and_why(binary):
    case = "a read-only file in a read-only folder, and no configuration folder"
    with session(binary) as s:
        if not prepare_user(s):
            return
        try:
            read_only_defaults(s)
            # ~/.config is a file: the user's folder cannot be made.
            config = s.home / ".config"
            config.write_text("not a folder\n")
            own(config, 0o644)
            before = fingerprint(s.settings)
            start(s)
            at(s, SAVED_AT, case)
            drag_and_close(s, case)
            messages = save_messages(s)
            assert messages == [f"{SAVE_FAILED}{s.user_settings}: {config}: Not a directory"], \
                f"{case}: {s.stderr_log.read_text()}"
            assert fingerprint(s.settings) == before, f"{case}: the defaults were changed"
            assert config.read_text() == "not a folder\n", f"{case}: ~/.config was changed"
        finally:
            os.chmod(s.folder, 0o755)


if __name__ == "__main__":
    main([test_writable_program_folder_keeps_the_file_beside_the_program,
          test_read_only_program_folder_saves_in_the_users_folder,
          test_writable_file_in_a_read_only_folder_is_rewritten_in_place,
          test_read_only_file_gives_defaults_under_the_users_own_values,
          test_a_save_that_can_go_nowhere_says_where_and_why])
