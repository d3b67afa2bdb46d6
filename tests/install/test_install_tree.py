"""`cmake --install` into a scratch folder: the program, its menu entry, icons, AppStream
description and manual page are where the desktop looks for them, and each one passes its
format's own checker."""

import os
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

BUILD = Path(sys.argv[1])
DESKTOP_ID = os.environ["TICKER_DESKTOP_ID"]
DISPLAY_NAME = os.environ["TICKER_DISPLAY_NAME"]
HOME_DOMAIN = os.environ["TICKER_HOME_DOMAIN"]


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=120, **kwargs)


def png_size(path):
    header = path.read_bytes()[:24]
    assert header[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG"
    return struct.unpack(">II", header[16:24])


def desktop_entry(path, group="Desktop Entry"):
    entry, current = {}, None
    for line in path.read_text().splitlines():
        if line.startswith("["):
            current = line.strip("[]")
        key, sep, value = line.partition("=")
        if sep and current == group:
            entry[key] = value
    return entry


def main():
    with tempfile.TemporaryDirectory(prefix="ticker-install-") as tmp:
        stage = Path(tmp)
        result = run(["cmake", "--install", str(BUILD), "--prefix", "/usr"],
                     env=dict(os.environ, DESTDIR=str(stage)))
        assert result.returncode == 0, result.stderr
        usr = stage / "usr"
        installed = sorted(str(p.relative_to(stage)) for p in stage.rglob("*") if p.is_file())
        print("\n".join(installed))

        # The program, and no developer tool beside it.
        program = usr / "bin" / "ticker"
        assert program.is_file() and os.access(program, os.X_OK), installed
        assert sorted(p.name for p in (usr / "bin").iterdir()) == ["ticker"], installed
        # Nothing outside the prefix: in particular no autostart entry for every user.
        assert all(p.startswith("usr/") for p in installed), installed

        # The menu entry, valid, named after the product, starting the installed program.
        desktop = usr / "share" / "applications" / f"{DESKTOP_ID}.desktop"
        result = run(["desktop-file-validate", str(desktop)])
        assert result.returncode == 0 and not result.stdout.strip(), result.stdout
        entry = desktop_entry(desktop)
        assert entry["Name"] == DISPLAY_NAME, entry
        assert entry["Exec"] == "ticker", entry
        assert entry["Icon"] == DESKTOP_ID, entry
        assert entry["StartupWMClass"] == "ticker", entry
        # The launcher's startup id lets a later start hand the running strip the keyboard.
        assert entry["StartupNotify"] == "true" and entry["Actions"] == "options;", entry
        assert desktop_entry(desktop, "Desktop Action options")["Exec"] == "ticker --options"

        # The icon in every size the theme asks for, plus the drawing.
        for size in (16, 32, 48, 64, 128):
            icon = usr / "share" / "icons" / "hicolor" / f"{size}x{size}" / "apps" / f"{DESKTOP_ID}.png"
            assert png_size(icon) == (size, size), icon
        svg = usr / "share" / "icons" / "hicolor" / "scalable" / "apps" / f"{DESKTOP_ID}.svg"
        assert "<svg" in svg.read_text(), svg

        # The AppStream description, valid without the network, pointing at the menu entry.
        metainfo = usr / "share" / "metainfo" / f"{DESKTOP_ID}.metainfo.xml"
        result = run(["appstreamcli", "validate", "--no-net", "--no-color", str(metainfo)])
        assert result.returncode == 0, result.stdout + result.stderr
        text = metainfo.read_text()
        assert f"<id>{DESKTOP_ID}</id>" in text, text
        assert f'<launchable type="desktop-id">{DESKTOP_ID}.desktop</launchable>' in text, text
        assert "screenshot.png</image>" in text, text

        # The manual page renders without a warning and says what a user needs.
        page = usr / "share" / "man" / "man1" / "ticker.1"
        result = run(["man", "--warnings", "-l", str(page)],
                     env=dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING="0",
                              LC_ALL="C.UTF-8", MANPAGER="cat", PAGER="cat"))
        assert result.returncode == 0 and not result.stderr.strip(), result.stderr
        rendered = re.sub(".\b", "", result.stdout)  # without the overstrikes of bold and underline
        for heading in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "ENVIRONMENT"):
            assert f"\n{heading}\n" in rendered, f"no {heading} section:\n{rendered}"
        for words in ("RSS_settings.ini", HOME_DOMAIN, "http_proxy", "XDG_CONFIG_HOME",
                      "--help", "--version", "autostart"):
            assert words in rendered, f"the page does not mention {words}:\n{rendered}"
        assert "@" not in rendered.replace("ticker@", ""), "an unreplaced placeholder"
    print("PASS install tree")


if __name__ == "__main__":
    main()
