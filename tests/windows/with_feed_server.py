#!/usr/bin/env python3
"""Runs a command with the sample feed server serving a fresh folder on 127.0.0.1.

Usage: with_feed_server.py FEEDSERVER COMMAND [ARG...]

The command finds the server in its environment: FEED_PORT, the port; FEED_ROOT, the served
folder as Wine names it (Z:\\...), where the command may put the files to serve. The request
log is requests.log in that folder. FEED_TLS_PORT is a second server over the same folder that
speaks HTTPS with a certificate made for the run, which nothing trusts. Exits with the
command's status.
"""
import os
import subprocess
import sys
import tempfile


def start(server_script, root, log, *extra):
    """Starts one server; returns it and its port, or None for the port if it did not start."""
    server = subprocess.Popen(
        [sys.executable, server_script, "--root", root, "--port", "0", "--log", log, *extra],
        stdout=subprocess.PIPE, text=True)
    line = server.stdout.readline().strip()
    return server, line[5:] if line.startswith("PORT ") else None


def main():
    server_script, command = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory(prefix="feedserver_") as root, \
            tempfile.TemporaryDirectory(prefix="feedserver_keys_") as keys:
        cert, key = os.path.join(keys, "cert.pem"), os.path.join(keys, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                        "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                        "-keyout", key, "-out", cert], check=True, capture_output=True)
        servers = []
        try:
            server, port = start(server_script, root, os.path.join(root, "requests.log"))
            servers.append(server)
            tls, tls_port = start(server_script, root, os.path.join(keys, "tls.log"),
                                  "--tls-cert", cert, "--tls-key", key)
            servers.append(tls)
            if port is None or tls_port is None:
                print("the feed server did not start", file=sys.stderr)
                return 1
            env = dict(os.environ, FEED_PORT=port, FEED_TLS_PORT=tls_port,
                       FEED_ROOT="Z:" + root.replace("/", "\\"))
            return subprocess.call(command, env=env)
        finally:
            for server in servers:
                server.terminate()
                server.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
