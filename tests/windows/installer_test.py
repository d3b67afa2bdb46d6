"""The Windows installer under Wine, in a prefix of its own, on Xvfb with openbox, as an
administrator deploys it and a person then uses the program: a silent install for the user, the
strip that signing in starts, a second start, an upgrade while the strip runs and one that
cannot replace the program, then a silent uninstall. Also what the .zip holds.

Run as: installer_test.py INSTALLER ZIP HOLD_FILE NAME APPS_ID VERSION PUBLISHER, with
WINEPREFIX naming the prefix."""

import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path, PureWindowsPath

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import Session, wait_for  # noqa: E402

FEED = "tallowmere.example/rss.php"
KEY = r"Software\Microsoft\Windows\CurrentVersion"


def wine(s, *args, output=subprocess.DEVNULL):
    """Runs a Windows program to its end; its output goes nowhere unless asked for, since a
    program it starts (the ticker) would hold a pipe open past its end."""
    return subprocess.run(["wine", *map(str, args)], env=s.env, stdout=output,
                          stderr=subprocess.DEVNULL, text=True, timeout=120).returncode


def values(s, key):
    """The registry key's values, {name: data}; None when there is no such key."""
    out = subprocess.run(["wine", "reg", "query", key], env=s.env, capture_output=True,
                         text=True, timeout=120)
    lines = [line.strip().split("    ") for line in out.stdout.splitlines()]
    return {v[0]: v[2] for v in lines if len(v) == 3} if out.returncode == 0 else None


def strips(s):
    return s.run(["xdotool", "search", "--onlyvisible", "--name", "^Form2$"], check=False).split()


def test_installer(installer, archive, hold_file, name, apps_id, version, publisher):
    assert zipfile.ZipFile(archive).namelist() == ["ticker.exe"]
    with Session(installer) as s:
        prefix = Path(s.env["WINEPREFIX"])
        user = prefix / "drive_c" / "users" / pwd.getpwuid(os.getuid()).pw_name
        folder = user / "AppData" / "Local" / "Programs" / name
        program, settings = folder / "ticker.exe", folder / "RSS_settings.ini"
        shortcut = user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs" / f"{name}.lnk"
        apps, run = rf"HKCU\{KEY}\Uninstall\{apps_id}", rf"HKCU\{KEY}\Run"
        unsaved = f"[Options]\nDefault URL={s.url(FEED)}\n"  # no position until a save
        problems = []
        try:
            # What an earlier, failed run may have left in the prefix.
            shutil.rmtree(folder, ignore_errors=True)
            shortcut.unlink(missing_ok=True)
            wine(s, "reg", "delete", apps, "/f")
            wine(s, "reg", "delete", run, "/v", name, "/f")

            assert wine(s, installer, "/S") == 0
            assert sorted(p.name for p in folder.iterdir()) == ["Uninstall.exe", "ticker.exe"]
            assert shortcut.is_file()
            entry = values(s, apps)
            at = PureWindowsPath(entry["InstallLocation"])
            assert prefix / "drive_c" / Path(*at.parts[1:]) == folder, at
            assert {k: entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher",
                                              "DisplayIcon", "UninstallString",
                                              "QuietUninstallString")} == {
                "DisplayName": name, "DisplayVersion": version, "Publisher": publisher,
                "DisplayIcon": f"{at}\\ticker.exe,0", "UninstallString": f'"{at}\\Uninstall.exe"',
                "QuietUninstallString": f'"{at}\\Uninstall.exe" /S'}, entry
            assert int(entry["EstimatedSize"], 16) * 1024 >= program.stat().st_size, entry
            assert values(s, run)[name] == f'"{at}\\ticker.exe"'
            assert values(s, rf"HKLM\{KEY}\Uninstall\{apps_id}") is None
            assert name not in (values(s, rf"HKLM\{KEY}\Run") or {})

            # Signing in (wineboot runs the Run values) starts the strip.
            settings.write_text(unsaved)
            assert wine(s, "wineboot") == 0
            wait_for(lambda: len(strips(s)) == 1, timeout=30, what="the strip at sign-in")
            wait_for(lambda: any(FEED in r[1] for r in s.requests() if len(r) > 1),
                     timeout=30, what="the feed fetched")
            second = s._spawn(["wine", program], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
            wait_for(lambda: second.poll() is not None or len(strips(s)) > 1, timeout=30,
                     what="the second start to end or show a strip")
            if len(strips(s)) != 1:
                problems.append("a second start of the installed program showed a second strip")

            # The upgrade closes the strip, which saves beside itself, and replaces the program;
            # the administrator's /NOSTARTUP turns start at sign-in off.
            os.utime(program, (0, 0))
            assert wine(s, installer, "/S", "/NOSTARTUP") == 0
            wait_for(lambda: not strips(s), what="the strip closed by the upgrade")
            assert program.stat().st_mtime != 0, "the program was not replaced"
            assert name not in (values(s, run) or {}), "start at sign-in stayed on"
            assert "WindowX=" in settings.read_text(), settings.read_text()
            assert not (user / "AppData" / "Roaming" / name.replace(" ", "")).exists()

            # A program file another program holds cannot be replaced: the install fails.
            holder = s._spawn(["wine", hold_file, f"Z:{program}"], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE)
            assert holder.stdout.readline().strip() == b"held"
            assert wine(s, installer, "/S") != 0, "an install that replaced nothing succeeded"
            holder.stdin.close()
            assert holder.wait(30) == 0

            # The uninstaller closes the strip started from the Start menu, which saves, and
            # returns before it has done its work: the Apps entry goes last.
            settings.write_text(unsaved)
            wine(s, "start", "/unix", shortcut)
            wait_for(lambda: len(strips(s)) == 1, timeout=30, what="the strip from the Start menu")
            assert wine(s, folder / "Uninstall.exe", "/S") == 0
            wait_for(lambda: values(s, apps) is None, timeout=60, what="the Apps entry removed")
            wait_for(lambda: not strips(s), what="the strip closed by the uninstaller")
            assert [p.name for p in folder.iterdir()] == ["RSS_settings.ini"]
            assert "WindowX=" in settings.read_text(), settings.read_text()
            assert not shortcut.exists() and name not in (values(s, run) or {})
        finally:
            subprocess.run(["wineserver", "-k"], env=s.env)
        assert not problems, problems


def test_signed_packages(config, package):
    """--signed CPACK_CONFIG PACKAGE: the installer, its uninstaller and ticker.exe carry a SHA-256
    signature by a throwaway certificate, the password is in no command, a failed signing fails."""
    with tempfile.TemporaryDirectory() as t:
        t, secret, run = Path(t), "throwaway secret", subprocess.run
        (t / "password").write_text(secret)
        run("openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=Throwaway -keyout key -out cert"
            " && openssl pkcs12 -export -inkey key -in cert -out pfx -passout file:password",
            shell=True, cwd=t, check=True, capture_output=True)
        cpack = ["cpack", "-G", "NSIS", "-B", t, "--config", config, "-D",
                 f"CPACK_TICKER_SIGN_PFX={t / 'pfx'}", "-D",
                 f"CPACK_TICKER_SIGN_PASSWORD_FILE={t / 'password'}"]
        assert run(cpack).returncode == 0
        assert secret not in (t / "_CPack_Packages/win64/NSIS/project.nsi").read_text()
        run(["7z", "x", f"-o{t}", t / f"{package}.exe"], check=True, capture_output=True)
        for signed in (f"{package}.exe", "Uninstall.exe", "ticker.exe"):
            out = run(["osslsigncode", "verify", "-CAfile", t / "cert", "-in", t / signed],
                      capture_output=True, text=True)
            assert out.returncode == 0 and "digest algorithm  : SHA256" in out.stdout, out
        cpack += ["-D", "CPACK_TICKER_SIGN_TIMESTAMP_URL=http://127.0.0.1:9"]
        assert run(cpack).returncode != 0


if __name__ == "__main__":
    signed = sys.argv[1] == "--signed"
    (test_signed_packages if signed else test_installer)(*sys.argv[1 + signed:])
    print("PASS test_signed_packages" if signed else "PASS test_installer")
