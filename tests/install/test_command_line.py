"""The command line, run without any display: --help and --version answer on standard output,
an unknown argument gets one usage line on standard error, and a missing or unreachable
display is one line and exit status 1, never an abort."""

import os
import subprocess
import sys

BINARY = sys.argv[1]
VERSION = os.environ["TICKER_VERSION"]
DISPLAY_NAME = os.environ["TICKER_DISPLAY_NAME"]


def run(args, **env):
    base = {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
    base.update(env)
    return subprocess.run([BINARY, *args], capture_output=True, text=True, timeout=30, env=base)


def check(condition, result, what):
    assert condition, f"{what}: status {result.returncode}\nstdout: {result.stdout!r}\nstderr: {result.stderr!r}"


def test_help_and_version_need_no_display():
    for args in (["--help"], ["-h"], ["--version", "--help"]):
        result = run(args)
        check(result.returncode == 0 and result.stderr == "", result, args)
        check(result.stdout.startswith("Usage: ticker [--options] [--help] [--version]\n"), result, args)
        check("RSS_settings.ini" in result.stdout, result, args)
    result = run(["--version"])
    check(result.returncode == 0 and result.stderr == "", result, "--version")
    check(result.stdout == f"ticker ({DISPLAY_NAME}) {VERSION}\n", result, "--version")


def test_unknown_arguments_get_one_usage_line():
    # An option of any shape, a stray word, and a good option followed by a bad one.
    for args in (["--bogus"], ["-x"], ["feed.xml"], ["--help", "--nope"], ["-platform", "xcb"]):
        result = run(args)
        check(result.returncode == 2 and result.stdout == "", result, args)
        lines = result.stderr.splitlines()
        check(len(lines) == 1 and "usage: ticker" in lines[0], result, args)
        bad = next(a for a in args if a not in ("--help", "-h", "--version"))
        check(f"'{bad}'" in lines[0], result, args)


def test_no_display_is_one_line_and_status_1():
    cases = [
        ({}, "cannot open a display: DISPLAY is not set"),
        ({"DISPLAY": ""}, "cannot open a display: DISPLAY is not set"),
        # A Wayland session without X: the program asks for X11, so it needs DISPLAY.
        ({"WAYLAND_DISPLAY": "wayland-0", "XDG_SESSION_TYPE": "wayland"},
         "cannot open a display: DISPLAY is not set"),
        # A display nobody serves.
        ({"DISPLAY": ":4711"}, "cannot open a display: "),
        ({"DISPLAY": "::not a display"}, "cannot open a display: "),
    ]
    for env, message in cases:
        result = run([], **env)
        check(result.returncode == 1 and result.stdout == "", result, env)
        lines = result.stderr.splitlines()
        check(len(lines) == 1 and lines[0].startswith("ticker: " + message), result, env)


def main():
    failed = 0
    for test in (test_help_and_version_need_no_display, test_unknown_arguments_get_one_usage_line,
                 test_no_display_is_one_line_and_status_1):
        try:
            test()
            print(f"PASS {test.__name__}")
        except AssertionError as error:
            failed += 1
            print(f"FAIL {test.__name__}: {error}")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
