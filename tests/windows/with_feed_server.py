#!/usr/bin/env python3
"""Runs a command with the sample feed server serving a fresh folder on 127.0.0.1.

Usage: with_feed_server.py FEEDSERVER COMMAND [ARG...]

The command finds the server in its environment: FEED_PORT, the port; FEED_ROOT, the served
folder as Wine names it (Z:\\...), where the command may put the files to serve. The request
log is requests.log in that folder. Exits with the command's status.
"""
import os
import subprocess
import sys
import tempfile


def main():
    server_script, command = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory(prefix="feedserver_") as root:
        server = subprocess.Popen(
            [sys.executable, server_script, "--root", root, "--port", "0",
             "--log", os.path.join(root, "requests.log")],
            stdout=subprocess.PIPE, text=True)
        try:
            line = server.stdout.readline().strip()
            if not line.startswith("PORT "):
                print("the feed server did not start", file=sys.stderr)
                return 1
            env = dict(os.environ, FEED_PORT=line[5:],
                       FEED_ROOT="Z:" + root.replace("/", "\\"))
            return subprocess.call(command, env=env)
        finally:
            server.terminate()
            server.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
